#include "image/PcxPicture.h"

#include "framework/MemFile.h"
#include "image/DibPicture.h"

namespace {

int WithPalette(int code, PcxDib& dib, HPALETTE& palette)
{
    palette = nullptr;
    if (code != kPcxOk)
        return code;
    if (std::uint32_t colors = PcxColorCount(dib)) {
        palette = MakeColorTablePalette(dib.lpDib + 40, colors);
        if (!palette) {
            FreePcxDib(dib);
            return kPcxNoMemory;
        }
    }
    return kPcxOk;
}

// Makes the bitmap from a decoded picture and releases the picture.
int MakeBitmap(HDC dc, int code, PcxDib& dib, HBITMAP& bitmap, HPALETTE& palette, int noBitmap)
{
    if (code != kPcxOk)
        return code;
    bitmap = MakeScreenBitmap(dc, dib.lpDib, dib.lpBits, palette);
    FreePcxDib(dib);
    if (!bitmap) {
        if (palette)
            ::DeleteObject(palette);
        palette = nullptr;
        return noBitmap;
    }
    return kPcxOk;
}

} // namespace

int ReadPcx(CFile& source, PcxDib& dib, HPALETTE& palette)
{
    return WithPalette(ReadPcx(source, dib), dib, palette);
}

int ReadPcxFile(const std::string& path, PcxDib& dib, HPALETTE& palette)
{
    return WithPalette(ReadPcxFile(path, dib), dib, palette);
}

int ReadPcxResource(HMODULE module, const char* name, PcxDib& dib, HPALETTE& palette)
{
    dib = PcxDib();
    palette = nullptr;
    HRSRC info = ::FindResourceA(module, name, "PCX");
    HGLOBAL resource = info ? ::LoadResource(module, info) : nullptr;
    void* bytes = resource ? ::LockResource(resource) : nullptr;
    if (!bytes)
        return kPcxCannotOpen;
    // The decoder only reads: the resource's read-only bytes are safe here.
    CMemFile source(static_cast<std::uint8_t*>(bytes), ::SizeofResource(module, info));
    return ReadPcx(source, dib, palette);
}

int LoadPcxFile(HDC dc, const std::string& path, HBITMAP& bitmap, HPALETTE& palette)
{
    bitmap = nullptr;
    palette = nullptr;
    PcxDib dib;
    int code = ReadPcxFile(path, dib, palette);
    return MakeBitmap(dc, code, dib, bitmap, palette, kPcxNoBitmap);
}

int LoadPcxResource(HDC dc, HMODULE module, const char* name, HBITMAP& bitmap, HPALETTE& palette)
{
    bitmap = nullptr;
    palette = nullptr;
    PcxDib dib;
    int code = ReadPcxResource(module, name, dib, palette);
    return MakeBitmap(dc, code, dib, bitmap, palette, kPcxNoMemory);
}
