#include "ui/TransBmp.h"

#include "image/LoadPicture.h"
#include "ui/BitmapHelpers.h"

CTransBmp::~CTransBmp()
{
    Free();
}

void CTransBmp::LoadFile(HDC dc, const std::string& path, int keyX, int keyY, bool mirror)
{
    Free();
    HBITMAP bitmap = nullptr;
    if (!LoadPicture(path, bitmap, m_hPalette) || !bitmap) {
        Free();
        return;
    }
    HPALETTE old = nullptr;
    if (m_hPalette) {
        old = ::SelectPalette(dc, m_hPalette, FALSE);
        ::RealizePalette(dc);
    }
    if (mirror)
        MirrorBitmap(dc, bitmap);
    if (!MakeMask(dc, m_hbmImage, m_hbmMask, bitmap, keyX, keyY)) {
        // Nothing is held half-made: the holder stays empty.
        ::DeleteObject(bitmap);
        Free();
    }
    // The palette stays realised, but is not left selected into a context
    // that may outlive it.
    if (old)
        ::SelectPalette(dc, old, FALSE);
}

BOOL CTransBmp::Draw(HDC dc, int x, int y, int srcX, int srcY, int width, int height)
{
    if (!m_hbmImage || !m_hbmMask)
        return FALSE;
    return DrawMasked(dc, m_hbmImage, m_hbmMask, srcX, srcY, width, height, x, y);
}

BOOL CTransBmp::Free()
{
    FreeMaskPair(m_hbmImage, m_hbmMask);
    BOOL result = FALSE;
    if (m_hPalette) {
        result = ::DeleteObject(m_hPalette);
        m_hPalette = nullptr;
    }
    return result;
}
