// Pictures under Wine: loading by name from files and resources of each
// kind, and the transparent picture holder with its bitmap helpers, checked
// pixel by pixel in memory device contexts.

#include <windows.h>

#include <gtest/gtest.h>

#include "Canvas.h"

#include <vector>

#include "image/LoadPicture.h"
#include "image/PcxPicture.h"
#include "tests/unit/PictureBytes.h"
#include "tests/unit/TempDir.h"
#include "ui/BitmapHelpers.h"
#include "ui/TransBmp.h"

namespace {

// 0x00RRGGBB, as a 32-bit DIB holds it.
using Pixels = std::vector<std::uint32_t>;

std::uint32_t Rgb(int r, int g, int b) { return static_cast<std::uint32_t>(r << 16 | g << 8 | b); }

SIZE SizeOf(HBITMAP bitmap)
{
    BITMAP bm = {};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

BITMAPINFO Info32(int width, int height)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    return bi;
}

// A bitmap's pixels, row by row from the top.
Pixels Read(HBITMAP bitmap)
{
    SIZE s = SizeOf(bitmap);
    Pixels p(static_cast<std::size_t>(s.cx) * s.cy);
    BITMAPINFO bi = Info32(s.cx, s.cy);
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(s.cy), p.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    for (auto& v : p)
        v &= 0xFFFFFF;
    return p;
}

// A screen bitmap of the given pixels.
HBITMAP Make(int width, int height, const Pixels& pixels)
{
    BITMAPINFO bi = Info32(width, height);
    HDC screen = ::GetDC(nullptr);
    HBITMAP b = ::CreateDIBitmap(screen, &bi.bmiHeader, CBM_INIT, pixels.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return b;
}


// The bitmap's pixels as drawn with SRCCOPY.
Pixels Drawn(HBITMAP bitmap)
{
    SIZE s = SizeOf(bitmap);
    Canvas c(s.cx, s.cy, 0x123456);
    EXPECT_TRUE(BltBitmap(c.dc(), bitmap, 0, 0, -1, -1, 0, 0, SRCCOPY));
    Pixels p;
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x)
            p.push_back(c.at(x, y));
    return p;
}

int PaletteEntries(HPALETTE palette)
{
    WORD n = 0;
    ::GetObjectA(palette, sizeof n, &n);
    return n;
}

// A 24-bit BMP of the given pixels (0x00RRGGBB, rows from the top).
Bytes Bmp24(int width, int height, const Pixels& pixels)
{
    BmpSpec s;
    s.width = width;
    s.height = height;
    s.bits = 24;
    std::uint32_t row = BmpRowBytes(s);
    s.rows.assign(row * static_cast<std::uint32_t>(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t v = pixels[static_cast<std::size_t>(y) * width + x];
            std::uint8_t* p = &s.rows[(height - 1 - y) * row + 3 * x];
            p[0] = static_cast<std::uint8_t>(v);
            p[1] = static_cast<std::uint8_t>(v >> 8);
            p[2] = static_cast<std::uint8_t>(v >> 16);
        }
    return MakeBmp(s);
}

std::string Write(const TempDir& dir, const std::string& name, const Bytes& bytes)
{
    return dir.Write(name, std::string(bytes.begin(), bytes.end()));
}

// Loads a picture by name and checks what it draws; returns the palette's
// entry count (0 for none) and frees both.
int ExpectPicture(const std::string& name, int width, int height, const Pixels& want)
{
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    EXPECT_TRUE(LoadPicture(name, bitmap, palette)) << name;
    if (!bitmap)
        return -1;
    SIZE s = SizeOf(bitmap);
    EXPECT_EQ(s.cx, width) << name;
    EXPECT_EQ(s.cy, height) << name;
    EXPECT_EQ(Drawn(bitmap), want) << name;
    int entries = palette ? PaletteEntries(palette) : 0;
    ::DeleteObject(bitmap);
    if (palette)
        ::DeleteObject(palette);
    return entries;
}

void ExpectRefused(const std::string& name)
{
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    HPALETTE palette = reinterpret_cast<HPALETTE>(1);
    EXPECT_FALSE(LoadPicture(name, bitmap, palette)) << name;
    EXPECT_EQ(bitmap, nullptr) << name;
    EXPECT_EQ(palette, nullptr) << name;
}

} // namespace

TEST(LoadPicture, FilesByExtension)
{
    TempDir dir;
    const Pixels rgb = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(1, 2, 3), Rgb(0, 0, 0), Rgb(255, 255, 255)};
    Bytes bmp = Bmp24(3, 2, rgb);
    EXPECT_EQ(ExpectPicture(Write(dir, "a.BmP", bmp), 3, 2, rgb), 0);   // 24 bits: no palette
    EXPECT_EQ(ExpectPicture(Write(dir, "a.dib", bmp), 3, 2, rgb), 0);
    ExpectRefused(Write(dir, "a.gif", bmp));
    ExpectRefused(Write(dir, "a", bmp));

    // 8 bits using 20 colours: a palette of 20.
    BmpSpec eight;
    eight.width = 2;
    eight.height = 1;
    eight.colorsUsed = 20;
    for (int i = 0; i < 20; ++i)
        eight.colors.push_back(Rgb(10 * i, 5, 200 - i));
    eight.rows = {19, 3, 0, 0};
    EXPECT_EQ(ExpectPicture(Write(dir, "e.bmp", MakeBmp(eight)), 2, 1, (Pixels{Rgb(190, 5, 181), Rgb(30, 5, 197)})), 20);

    // A 124-byte header and a gap before the rows: the table after the
    // header and the rows at the file's pixel offset.
    BmpSpec v5;
    v5.headerSize = 124;
    v5.bits = 4;
    v5.width = 3;
    v5.height = 2;
    for (int i = 0; i < 16; ++i)
        v5.colors.push_back(Rgb(16 * i, 255 - 16 * i, 7));
    v5.gap = 12;
    v5.rows = {0x12, 0x30, 0, 0, 0xFE, 0xD0, 0, 0};   // bottom row first
    EXPECT_EQ(ExpectPicture(Write(dir, "v5.bmp", MakeBmp(v5)), 3, 2,
                            (Pixels{Rgb(240, 15, 7), Rgb(224, 31, 7), Rgb(208, 47, 7), Rgb(16, 239, 7), Rgb(32, 223, 7),
                                    Rgb(48, 207, 7)})),
              16);

    // Cut short inside the rows: refused, nothing made.
    Bytes cut = bmp;
    cut.resize(cut.size() - 2);
    ExpectRefused(Write(dir, "cut.bmp", cut));
    ExpectRefused(dir.File("missing.bmp"));

    // PCX files, any case of the extension.
    PcxSpec p;
    p.xmax = 1;
    for (int i = 0; i < 48; ++i)
        p.palette[i] = static_cast<std::uint8_t>(i * 5);
    p.bits = 4;
    Bytes pcx = MakePcx(p, {0x1F, 0x00});
    EXPECT_EQ(ExpectPicture(Write(dir, "p.PcX", pcx), 2, 1, (Pixels{Rgb(15, 20, 25), Rgb(225, 230, 235)})), 16);
    PcxSpec t;
    t.planes = 3;
    t.xmax = 1;
    EXPECT_EQ(ExpectPicture(Write(dir, "t.pcx", MakePcx(t, {9, 8, 7, 6, 5, 4})), 2, 1, (Pixels{Rgb(9, 7, 5), Rgb(8, 6, 4)})),
              0);
    ExpectRefused(Write(dir, "bad.pcx", MakePcx(t, {9, 8})));

    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(LoadPcxFile(screen, dir.File("none.pcx"), bitmap, palette), kPcxCannotOpen);
    EXPECT_EQ(LoadPcxResource(screen, ::GetModuleHandleA(nullptr), "NONE.P", bitmap, palette), kPcxCannotOpen);
    ::ReleaseDC(nullptr, screen);
}

TEST(LoadPicture, ResourcesOfEachKind)
{
    // The colours that pictures/make_pictures.py wrote.
    Pixels logo, tiles, photo;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            int i = 6 * y + x;
            logo.push_back(Rgb(10 * i, 255 - 10 * i, 3 * i));
        }
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x) {
            int i = (x + 8 * y) % 16;
            tiles.push_back(Rgb(16 * i, 0x40, 255 - 16 * i));
        }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            int i = 50 * y + 7 * x;
            photo.push_back(Rgb(i, 255 - i, 0x80));
        }
    EXPECT_EQ(ExpectPicture("LOGO.P", 6, 4, logo), 256);
    EXPECT_EQ(ExpectPicture("logo.p", 6, 4, logo), 256);
    EXPECT_EQ(ExpectPicture("TILES.B4", 8, 2, tiles), 0);
    EXPECT_EQ(ExpectPicture("PHOTO.B8", 5, 3, photo), 256);
    ExpectRefused("NONE.P");
    ExpectRefused("NONE.B4");
    ExpectRefused("NONE.B8");
}

TEST(TransBmp, KeyColourIsTransparentEverywhereAndNowhereElse)
{
    const std::uint32_t key = Rgb(200, 100, 50), back = Rgb(0, 255, 0);
    // The key colour at the corner and inside; near colours, black and
    // white stay opaque.
    const Pixels picture = {
        key,              Rgb(201, 100, 50), Rgb(200, 101, 50), Rgb(200, 100, 51), key,
        Rgb(0, 0, 0),     key,               Rgb(255, 255, 255), Rgb(0, 0, 0),      Rgb(9, 9, 9),
        Rgb(199, 100, 50), Rgb(0, 0, 0),     key,                Rgb(10, 20, 30),   key,
    };
    TempDir dir;
    std::string path = Write(dir, "k.bmp", Bmp24(5, 3, picture));
    CTransBmp holder;
    EXPECT_FALSE(holder.Draw(nullptr, 0, 0));
    HDC screen = ::GetDC(nullptr);
    holder.LoadFile(screen, path, 0, 0, false);
    ::ReleaseDC(nullptr, screen);
    ASSERT_FALSE(holder.IsEmpty());
    EXPECT_EQ(holder.m_hPalette, nullptr);

    Pixels image = Read(holder.m_hbmImage), mask = Read(holder.m_hbmMask);
    for (std::size_t i = 0; i < picture.size(); ++i) {
        EXPECT_EQ(mask[i], picture[i] == key ? 0xFFFFFFu : 0u) << i;
        EXPECT_EQ(image[i], picture[i] == key ? 0u : picture[i]) << i;
    }

    Canvas canvas(9, 6, back);
    EXPECT_TRUE(holder.Draw(canvas.dc(), 3, 2));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            bool inside = x >= 3 && x < 8 && y >= 2 && y < 5;
            std::uint32_t p = inside ? picture[(y - 2) * 5 + (x - 3)] : back;
            EXPECT_EQ(canvas.at(x, y), p == key ? back : p) << x << "," << y;
        }

    // A part of the picture: source (1, 1), 2 by 2.
    Canvas part(4, 4, back);
    EXPECT_TRUE(holder.Draw(part.dc(), 1, 1, 1, 1, 2, 2));
    EXPECT_EQ(part.at(1, 1), back);            // key at (1, 1)
    EXPECT_EQ(part.at(2, 1), Rgb(255, 255, 255));
    EXPECT_EQ(part.at(1, 2), Rgb(0, 0, 0));
    EXPECT_EQ(part.at(2, 2), back);            // key at (2, 2)
    EXPECT_EQ(part.at(3, 3), back);
    EXPECT_EQ(part.at(0, 0), back);

    // Another key pixel picks another colour.
    screen = ::GetDC(nullptr);
    holder.LoadFile(screen, path, 3, 1, false);   // black
    EXPECT_EQ(Read(holder.m_hbmMask)[5], 0xFFFFFFu);
    EXPECT_EQ(Read(holder.m_hbmMask)[0], 0u);

    // A file that cannot be decoded empties the holder.
    holder.LoadFile(screen, Write(dir, "bad.bmp", Bytes{'B', 'M', 0}), 0, 0, false);
    EXPECT_TRUE(holder.IsEmpty());
    EXPECT_EQ(holder.m_hbmMask, nullptr);
    EXPECT_FALSE(holder.Draw(canvas.dc(), 0, 0));

    // Free reports the palette's deletion.
    BmpSpec eight;
    eight.width = 1;
    eight.height = 1;
    eight.colors = {Rgb(1, 2, 3), Rgb(4, 5, 6)};
    eight.colorsUsed = 2;
    holder.LoadFile(screen, Write(dir, "pal.bmp", MakeBmp(eight)), 0, 0, false);
    ::ReleaseDC(nullptr, screen);
    ASSERT_FALSE(holder.IsEmpty());
    EXPECT_NE(holder.m_hPalette, nullptr);
    EXPECT_TRUE(holder.Free());
    EXPECT_TRUE(holder.IsEmpty());
    EXPECT_FALSE(holder.Free());
}

TEST(TransBmp, MirrorsLeftToRight)
{
    const Pixels picture = {Rgb(1, 1, 1), Rgb(2, 2, 2), Rgb(3, 3, 3), Rgb(4, 4, 4),
                            Rgb(5, 5, 5), Rgb(6, 6, 6), Rgb(1, 1, 1), Rgb(4, 4, 4)};
    TempDir dir;
    HDC screen = ::GetDC(nullptr);
    CTransBmp holder;
    holder.LoadFile(screen, Write(dir, "m.bmp", Bmp24(4, 2, picture)), 0, 0, true);
    ASSERT_FALSE(holder.IsEmpty());
    // Mirrored first, so the key is the colour now at the top left.
    const std::uint32_t key = Rgb(4, 4, 4);
    Pixels image = Read(holder.m_hbmImage);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            std::uint32_t p = picture[y * 4 + (3 - x)];
            EXPECT_EQ(image[y * 4 + x], p == key ? 0u : p) << x << "," << y;
        }

    // One pixel wide: its own mirror image.
    const Pixels column = {Rgb(7, 7, 7), Rgb(8, 9, 10), Rgb(11, 12, 13)};
    holder.LoadFile(screen, Write(dir, "c.bmp", Bmp24(1, 3, column)), 0, 2, true);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(Read(holder.m_hbmImage), (Pixels{Rgb(7, 7, 7), Rgb(8, 9, 10), 0}));
}

TEST(BitmapHelpers, FastMaskMatchesThePixelRule)
{
    // Colours from a small set with near neighbours of the key, so that
    // both equal and almost equal pixels are common.
    const int w = 37, h = 23;
    const std::uint32_t set[] = {Rgb(10, 20, 30), Rgb(10, 20, 31), Rgb(11, 20, 30), 0, 0xFFFFFF, Rgb(10, 21, 30)};
    Pixels pixels;
    std::uint32_t seed = 12345;
    for (int i = 0; i < w * h; ++i) {
        seed = seed * 1103515245 + 12345;
        pixels.push_back(set[(seed >> 16) % 6]);
    }
    HDC screen = ::GetDC(nullptr);
    for (POINT key : {POINT{5, 7}, POINT{0, 0}, POINT{w, 0}, POINT{-1, 3}}) {
        HBITMAP fastImage = nullptr, fastMask = nullptr, slowImage = nullptr, slowMask = nullptr;
        ASSERT_TRUE(MakeMask(screen, fastImage, fastMask, Make(w, h, pixels), key.x, key.y));
        ASSERT_TRUE(MakeMaskByPixel(screen, slowImage, slowMask, Make(w, h, pixels), key.x, key.y));
        Pixels mask = Read(fastMask);
        EXPECT_EQ(mask, Read(slowMask)) << key.x << "," << key.y;
        EXPECT_EQ(Read(fastImage), Read(slowImage)) << key.x << "," << key.y;
        bool inside = key.x >= 0 && key.x < w;
        std::size_t white = 0;
        for (std::size_t i = 0; i < mask.size(); ++i)
            white += mask[i] == 0xFFFFFF && (!inside || pixels[i] == pixels[key.y * w + key.x]);
        EXPECT_EQ(white, inside ? static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), pixels[key.y * w + key.x]))
                                : 0u);
        EXPECT_TRUE(FreeMaskPair(fastImage, fastMask));
        EXPECT_TRUE(FreeMaskPair(slowImage, slowMask));
        EXPECT_EQ(fastImage, nullptr);
        EXPECT_FALSE(FreeMaskPair(fastImage, fastMask));
    }

    ::ReleaseDC(nullptr, screen);
}
