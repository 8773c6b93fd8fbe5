#pragma once
// Small GDI helpers for pictures drawn with a transparency mask: blits of a
// bitmap to a device context or to another bitmap, the two-pass masked
// blit, mask making, mirroring and copying. A width or height of -1 means
// the bitmap's full width or height.

#include <windows.h>

BOOL BltBitmap(HDC dc, HBITMAP bitmap, int srcX, int srcY, int width, int height, int x, int y, DWORD rop);
// Without stretch the rectangle is copied one to one; with it the whole
// source bitmap is stretched into the rectangle.
BOOL BltBitmapToBitmap(HDC dc, HBITMAP source, int srcX, int srcY, int width, int height, HBITMAP target, int x,
                       int y, DWORD rop, bool stretch);
// The mask with SRCAND, then (if that worked) the image with SRCPAINT.
BOOL DrawMasked(HDC dc, HBITMAP image, HBITMAP mask, int srcX, int srcY, int width, int height, int x, int y);

// Makes the mask of bitmap for the colour of its pixel (keyX, keyY): a
// bitmap of the same format, white where the picture has exactly that
// colour and black elsewhere; those pixels of the picture turn black. On
// success the pair holds the bitmap as its image and the new mask; on
// failure the pair is left empty and the bitmap is the caller's again.
BOOL MakeMask(HDC dc, HBITMAP& image, HBITMAP& mask, HBITMAP bitmap, int keyX, int keyY);
// The same, one pixel at a time through GetPixel and SetPixel: the plain
// form of the rule, kept for devices whose pixels do not read back exactly
// as 32-bit colours, and to check the fast form against.
BOOL MakeMaskByPixel(HDC dc, HBITMAP& image, HBITMAP& mask, HBITMAP bitmap, int keyX, int keyY);
// Deletes the pair when it holds a mask: 1; else 0 and nothing changes.
BOOL FreeMaskPair(HBITMAP& image, HBITMAP& mask);

// Mirrors the bitmap left to right in place.
void MirrorBitmap(HDC dc, HBITMAP bitmap);
// A new bitmap of the same size, compatible with the screen, holding a copy.
HBITMAP CopyBitmap(HBITMAP bitmap);
