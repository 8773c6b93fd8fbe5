#pragma once
// A picture drawn transparently: every pixel of the colour of one chosen
// (key) pixel is left unpainted. Holds the picture with its key pixels
// blackened, its white-on-black mask and its palette, and owns all three.

#include <windows.h>

#include <string>

#include "framework/Object.h"

class CTransBmp : public CObject {
public:
    CTransBmp() = default;
    CTransBmp(const CTransBmp&) = delete;
    CTransBmp& operator=(const CTransBmp&) = delete;
    ~CTransBmp() override;

    // Loads the picture file (any name LoadPicture takes) for dc's format,
    // transparent in the colour of pixel (keyX, keyY), mirrored left to
    // right when asked. A picture that cannot be loaded leaves the holder
    // empty.
    void LoadFile(HDC dc, const std::string& path, int keyX, int keyY, bool mirror);
    // Draws the part of the picture at (srcX, srcY) of the given size (-1:
    // the full width or height) with its top-left corner at (x, y).
    // Nonzero on success; 0 when empty.
    BOOL Draw(HDC dc, int x, int y, int srcX = 0, int srcY = 0, int width = -1, int height = -1);
    // Empties the holder. The result of deleting the palette; 0 without one.
    BOOL Free();

    bool IsEmpty() const { return m_hbmImage == nullptr; }

    HBITMAP m_hbmImage = nullptr;   // the picture, key pixels black
    HBITMAP m_hbmMask = nullptr;    // white where the key colour was, else black
    HPALETTE m_hPalette = nullptr;
};
