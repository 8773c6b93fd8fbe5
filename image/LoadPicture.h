#pragma once
// Pictures by name: the extension picks the source and the decoder (see
// PictureName.h). The bitmap and the palette (null where the picture has
// none) belong to the caller.

#include <windows.h>

#include <string>

// True when a bitmap was made (for BMP, DIB and B8 files: when the data was
// found and read). Both outputs are set to null first.
BOOL LoadPicture(const std::string& name, HBITMAP& bitmap, HPALETTE& palette);
// A 256-colour bitmap resource of the program with a palette of its colour
// table; false when it cannot be found or is not a DIB we can draw.
BOOL LoadResourceDib256(const char* name, HBITMAP& bitmap, HPALETTE& palette);
