#include "image/LoadPicture.h"

#include "framework/SourceDir.h"
#include "image/DibPicture.h"
#include "image/PcxPicture.h"
#include "image/PictureName.h"

BOOL LoadResourceDib256(const char* name, HBITMAP& bitmap, HPALETTE& palette)
{
    bitmap = nullptr;
    palette = nullptr;
    HMODULE module = ProgramModule();
    HRSRC info = ::FindResourceA(module, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    HGLOBAL resource = info ? ::LoadResource(module, info) : nullptr;
    const auto* dib = resource ? static_cast<const std::uint8_t*>(::LockResource(resource)) : nullptr;
    // The colour table and rows are found from the header, and must lie in
    // the resource, rather than at a fixed 256 entries.
    if (!dib || !CheckPackedDib(dib, ::SizeofResource(module, info)))
        return FALSE;
    palette = MakeColorTablePalette(dib + DibColorTableOffset(dib), CountDibColors(dib));
    if (HDC dc = ::GetDC(nullptr)) {
        bitmap = MakeScreenBitmap(dc, dib, LocateDibBits(dib), palette);
        ::ReleaseDC(nullptr, dc);
    }
    return TRUE;
}

BOOL LoadPicture(const std::string& name, HBITMAP& bitmap, HPALETTE& palette)
{
    bitmap = nullptr;
    palette = nullptr;
    switch (ClassifyPicture(name)) {
    case PictureKind::dibFile:
        return LoadDibPicture(name, bitmap, palette);
    case PictureKind::pcxFile:
    case PictureKind::pcxResource: {
        HDC dc = ::GetDC(nullptr);
        if (!dc)
            return FALSE;
        int code = ClassifyPicture(name) == PictureKind::pcxFile
                       ? LoadPcxFile(dc, name, bitmap, palette)
                       : LoadPcxResource(dc, ProgramModule(), name.c_str(), bitmap, palette);
        ::ReleaseDC(nullptr, dc);
        return code == kPcxOk;
    }
    case PictureKind::bitmap:
        bitmap = ::LoadBitmapA(ProgramModule(), name.c_str());
        return bitmap != nullptr;
    case PictureKind::bitmap256:
        return LoadResourceDib256(name.c_str(), bitmap, palette);
    case PictureKind::none:
        break;
    }
    return FALSE;
}
