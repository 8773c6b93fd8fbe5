#pragma once
// BMP and DIB files into screen bitmaps and palettes, through packed DIBs
// in global memory; and the screen bitmap and palette of any DIB in memory.

#include <windows.h>

#include <string>

#include "image/PackedDib.h"

// Reads the BMP file into a new packed DIB (unlocked); null on any failure,
// a file that is not a BMP we can draw included.
HGLOBAL ReadPackedDib(const std::string& path);
// A palette of the DIB's colour table; null when it has none.
HPALETTE MakeDibPalette(HGLOBAL dib);
// A screen bitmap of the DIB, made with the palette realised; null on failure.
HBITMAP MakeDibBitmap(HGLOBAL dib, HPALETTE palette);
// The three together. False only when the file cannot be read as a BMP
// file; the bitmap or the palette may still come back null.
BOOL LoadDibPicture(const std::string& path, HBITMAP& bitmap, HPALETTE& palette);
// Frees the block: true when it was freed.
BOOL FreePackedDib(HGLOBAL dib);

// A palette of `colors` RGBQUAD entries; null for none or on failure.
HPALETTE MakeColorTablePalette(const void* table, unsigned colors);
// A bitmap compatible with dc from a DIB header and its rows, with the
// palette (when given) selected and realised meanwhile.
HBITMAP MakeScreenBitmap(HDC dc, const void* header, const void* bits, HPALETTE palette);
