#include "image/DibPicture.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

HGLOBAL ReadPackedDib(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadDibFile(path, bytes))
        return nullptr;
    HGLOBAL dib = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size());
    if (!dib)
        return nullptr;
    void* p = ::GlobalLock(dib);
    if (!p) {
        ::GlobalFree(dib);
        return nullptr;
    }
    std::memcpy(p, bytes.data(), bytes.size());
    ::GlobalUnlock(dib);
    return dib;
}

HPALETTE MakeColorTablePalette(const void* table, unsigned colors)
{
    if (colors == 0 || colors > 256)
        return nullptr;
    std::unique_ptr<std::uint8_t[]> memory(
        new (std::nothrow) std::uint8_t[sizeof(LOGPALETTE) + colors * sizeof(PALETTEENTRY)]);
    if (!memory)
        return nullptr;
    auto* log = reinterpret_cast<LOGPALETTE*>(memory.get());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(colors);
    const auto* quads = static_cast<const std::uint8_t*>(table);
    for (unsigned i = 0; i < colors; ++i) {
        PALETTEENTRY& e = log->palPalEntry[i];
        e.peRed = quads[4 * i + 2];
        e.peGreen = quads[4 * i + 1];
        e.peBlue = quads[4 * i];
        e.peFlags = 0;
    }
    return ::CreatePalette(log);
}

HBITMAP MakeScreenBitmap(HDC dc, const void* header, const void* bits, HPALETTE palette)
{
    HPALETTE old = nullptr;
    if (palette) {
        old = ::SelectPalette(dc, palette, FALSE);
        ::RealizePalette(dc);
    }
    HBITMAP bitmap = ::CreateDIBitmap(dc, static_cast<const BITMAPINFOHEADER*>(header), CBM_INIT, bits,
                                      static_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    if (old)
        ::SelectPalette(dc, old, FALSE);
    return bitmap;
}

HPALETTE MakeDibPalette(HGLOBAL dib)
{
    const auto* header = static_cast<const std::uint8_t*>(::GlobalLock(dib));
    if (!header)
        return nullptr;
    // The table follows the header, whatever its size (and the masks).
    HPALETTE palette = MakeColorTablePalette(header + DibColorTableOffset(header), CountDibColors(header));
    ::GlobalUnlock(dib);
    return palette;
}

HBITMAP MakeDibBitmap(HGLOBAL dib, HPALETTE palette)
{
    const void* header = ::GlobalLock(dib);
    if (!header)
        return nullptr;
    HBITMAP bitmap = nullptr;
    if (HDC dc = ::GetDC(nullptr)) {
        bitmap = MakeScreenBitmap(dc, header, LocateDibBits(header), palette);
        ::ReleaseDC(nullptr, dc);
    }
    ::GlobalUnlock(dib);
    return bitmap;
}

BOOL LoadDibPicture(const std::string& path, HBITMAP& bitmap, HPALETTE& palette)
{
    HGLOBAL dib = ReadPackedDib(path);
    if (!dib)
        return FALSE;
    palette = MakeDibPalette(dib);
    bitmap = MakeDibBitmap(dib, palette);
    FreePackedDib(dib);
    return TRUE;
}

BOOL FreePackedDib(HGLOBAL dib)
{
    return dib && ::GlobalFree(dib) == nullptr;
}
