#pragma once
// PCX files and resources into screen bitmaps and palettes.

#include <windows.h>

#include <string>

#include "image/PcxDecoder.h"

// ReadPcx with the picture's palette (null for 24 bits); kPcxNoMemory when
// the palette cannot be had. On failure dib and palette are both empty.
int ReadPcx(CFile& source, PcxDib& dib, HPALETTE& palette);
int ReadPcxFile(const std::string& path, PcxDib& dib, HPALETTE& palette);
// From a resource of type "PCX": kPcxCannotOpen when it cannot be found.
int ReadPcxResource(HMODULE module, const char* name, PcxDib& dib, HPALETTE& palette);

// Decode and make the screen bitmap: kPcxOk, the reader's code, or
// kPcxNoBitmap (file) or kPcxNoMemory (resource) when no bitmap could be
// made. Both outputs are null unless the result is kPcxOk.
int LoadPcxFile(HDC dc, const std::string& path, HBITMAP& bitmap, HPALETTE& palette);
int LoadPcxResource(HDC dc, HMODULE module, const char* name, HBITMAP& bitmap, HPALETTE& palette);
