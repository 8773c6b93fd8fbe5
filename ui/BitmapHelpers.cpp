#include "ui/BitmapHelpers.h"

#include <memory>
#include <new>

namespace {

// image AND NOT mask: blackens the picture where the mask is white.
constexpr DWORD kDSna = 0x00220326;

BITMAP Info(HBITMAP bitmap)
{
    BITMAP bm = {};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    return bm;
}

// A memory context compatible with dc holding a bitmap, released on scope
// exit.
class MemoryDC {
public:
    MemoryDC(HDC dc, HBITMAP bitmap) : m_dc(::CreateCompatibleDC(dc))
    {
        if (m_dc) {
            m_old = ::SelectObject(m_dc, bitmap);
            if (dc)
                ::SetMapMode(m_dc, ::GetMapMode(dc));
        }
    }
    ~MemoryDC()
    {
        if (m_dc) {
            ::SelectObject(m_dc, m_old);
            ::DeleteDC(m_dc);
        }
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    bool ok() const { return m_dc && m_old && m_old != HGDI_ERROR; }
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

// Makes the pair's mask bitmap and copies the picture into it.
bool StartMask(HDC dc, HBITMAP& image, HBITMAP& mask, HBITMAP bitmap, BITMAP& bm)
{
    bm = Info(bitmap);
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    mask = ::CreateBitmap(bm.bmWidth, bm.bmHeight, bm.bmPlanes, bm.bmBitsPixel, nullptr);
    if (!mask)
        return false;
    image = bitmap;
    return BltBitmapToBitmap(dc, image, 0, 0, -1, -1, mask, 0, 0, SRCCOPY, false);
}

BOOL GiveUp(HBITMAP& image, HBITMAP& mask)
{
    if (mask)
        ::DeleteObject(mask);
    mask = nullptr;
    image = nullptr;
    return FALSE;
}

} // namespace

BOOL BltBitmap(HDC dc, HBITMAP bitmap, int srcX, int srcY, int width, int height, int x, int y, DWORD rop)
{
    MemoryDC source(dc, bitmap);
    if (!source.ok())
        return FALSE;
    BITMAP bm = Info(bitmap);
    POINT size = {width == -1 ? bm.bmWidth : width, height == -1 ? bm.bmHeight : height};
    ::DPtoLP(dc, &size, 1);
    POINT origin = {srcX, srcY};
    ::DPtoLP(source.get(), &origin, 1);
    return ::BitBlt(dc, x, y, size.x, size.y, source.get(), origin.x, origin.y, rop);
}

BOOL BltBitmapToBitmap(HDC dc, HBITMAP source, int srcX, int srcY, int width, int height, HBITMAP target, int x,
                       int y, DWORD rop, bool stretch)
{
    MemoryDC from(dc, source);
    MemoryDC to(dc, target);
    if (!from.ok() || !to.ok())
        return FALSE;
    BITMAP bm = Info(source);
    POINT size = {width == -1 ? bm.bmWidth : width, height == -1 ? bm.bmHeight : height};
    ::DPtoLP(dc, &size, 1);
    POINT origin = {srcX, srcY};
    ::DPtoLP(from.get(), &origin, 1);
    if (stretch)
        return ::StretchBlt(to.get(), x, y, size.x, size.y, from.get(), origin.x, origin.y, bm.bmWidth, bm.bmHeight,
                            rop);
    return ::BitBlt(to.get(), x, y, size.x, size.y, from.get(), origin.x, origin.y, rop);
}

BOOL DrawMasked(HDC dc, HBITMAP image, HBITMAP mask, int srcX, int srcY, int width, int height, int x, int y)
{
    BOOL result = BltBitmap(dc, mask, srcX, srcY, width, height, x, y, SRCAND);
    if (result)
        result = BltBitmap(dc, image, srcX, srcY, width, height, x, y, SRCPAINT);
    return result;
}

BOOL MakeMaskByPixel(HDC dc, HBITMAP& image, HBITMAP& mask, HBITMAP bitmap, int keyX, int keyY)
{
    BITMAP bm;
    if (!StartMask(dc, image, mask, bitmap, bm))
        return GiveUp(image, mask);
    MemoryDC maskDC(dc, mask);
    MemoryDC imageDC(dc, image);
    if (!maskDC.ok() || !imageDC.ok())
        return GiveUp(image, mask);
    COLORREF key = ::GetPixel(imageDC.get(), keyX, keyY);
    for (int y = 0; y < bm.bmHeight; ++y) {
        for (int x = 0; x < bm.bmWidth; ++x) {
            ::SetPixel(maskDC.get(), x, y, ::GetPixel(maskDC.get(), x, y) == key ? RGB(255, 255, 255) : RGB(0, 0, 0));
            if (::GetPixel(imageDC.get(), x, y) == key)
                ::SetPixel(imageDC.get(), x, y, RGB(0, 0, 0));
        }
    }
    return TRUE;
}

// Reads the picture once as 32-bit colours, writes the mask in one piece
// and blackens the key pixels with one blit: the same pixels as the pixel
// by pixel rule wherever a pixel reads back as its exact colour, which
// holds for the 16, 24 and 32-bit formats of today's screens.
BOOL MakeMask(HDC dc, HBITMAP& image, HBITMAP& mask, HBITMAP bitmap, int keyX, int keyY)
{
    BITMAP bm = Info(bitmap);
    if (bm.bmBitsPixel < 16 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return MakeMaskByPixel(dc, image, mask, bitmap, keyX, keyY);
    const std::size_t count = static_cast<std::size_t>(bm.bmWidth) * static_cast<std::size_t>(bm.bmHeight);
    std::unique_ptr<std::uint32_t[]> pixels(new (std::nothrow) std::uint32_t[count]);
    if (!pixels)
        return MakeMaskByPixel(dc, image, mask, bitmap, keyX, keyY);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;   // top-down: row y at y * width
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), pixels.get(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != bm.bmHeight)
        return MakeMaskByPixel(dc, image, mask, bitmap, keyX, keyY);

    mask = ::CreateBitmap(bm.bmWidth, bm.bmHeight, bm.bmPlanes, bm.bmBitsPixel, nullptr);
    if (!mask)
        return GiveUp(image, mask);
    image = bitmap;
    // A key pixel outside the picture reads as no colour: nothing matches.
    const bool inside = keyX >= 0 && keyY >= 0 && keyX < bm.bmWidth && keyY < bm.bmHeight;
    const std::uint32_t key = inside ? pixels[static_cast<std::size_t>(keyY) * bm.bmWidth + keyX] & 0xFFFFFF : 0xFFFFFFFF;
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] = (pixels[i] & 0xFFFFFF) == key ? 0xFFFFFF : 0;
    HDC target = ::GetDC(nullptr);
    rows = ::SetDIBits(target, mask, 0, static_cast<UINT>(bm.bmHeight), pixels.get(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, target);
    if (rows != bm.bmHeight)
        return GiveUp(image, mask);
    if (!BltBitmapToBitmap(dc, mask, 0, 0, -1, -1, image, 0, 0, kDSna, false))
        return GiveUp(image, mask);
    return TRUE;
}

BOOL FreeMaskPair(HBITMAP& image, HBITMAP& mask)
{
    if (!mask)
        return FALSE;
    ::DeleteObject(mask);
    if (image)
        ::DeleteObject(image);
    mask = nullptr;
    image = nullptr;
    return TRUE;
}

void MirrorBitmap(HDC dc, HBITMAP bitmap)
{
    BITMAP bm = Info(bitmap);
    HBITMAP copy = CopyBitmap(bitmap);
    if (!copy)
        return;
    for (int i = 0; i < bm.bmWidth; ++i)
        BltBitmapToBitmap(dc, copy, i, 0, 1, -1, bitmap, bm.bmWidth - 1 - i, 0, SRCCOPY, false);
    ::DeleteObject(copy);
}

HBITMAP CopyBitmap(HBITMAP bitmap)
{
    BITMAP bm = Info(bitmap);
    HDC first = ::CreateCompatibleDC(nullptr);
    HDC second = ::CreateCompatibleDC(nullptr);
    HBITMAP copy = nullptr;
    if (first && second) {
        HGDIOBJ oldFirst = ::SelectObject(first, bitmap);
        copy = ::CreateCompatibleBitmap(first, bm.bmWidth, bm.bmHeight);
        if (copy) {
            HGDIOBJ oldSecond = ::SelectObject(second, copy);
            ::BitBlt(second, 0, 0, bm.bmWidth, bm.bmHeight, first, 0, 0, SRCCOPY);
            ::SelectObject(second, oldSecond);
        }
        ::SelectObject(first, oldFirst);
    }
    if (first)
        ::DeleteDC(first);
    if (second)
        ::DeleteDC(second);
    return copy;
}
