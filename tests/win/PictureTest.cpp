// Pictures under Wine: loading by name from files and resources of each
// kind, and the transparent picture holder with its mask, checked pixel by
// pixel. (The decoders themselves are tested natively.)

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "Canvas.h"
#include "image/LoadPicture.h"
#include "tests/unit/PictureBytes.h"
#include "tests/unit/TempDir.h"
#include "ui/BitmapHelpers.h"
#include "ui/TransBmp.h"

namespace {

using Pixels = std::vector<std::uint32_t>;   // 0x00RRGGBB, rows from the top

std::uint32_t Rgb(int r, int g, int b) { return static_cast<std::uint32_t>(r << 16 | g << 8 | b); }

// A bitmap's pixels as drawn with SRCCOPY.
Pixels Read(HBITMAP bitmap)
{
    BITMAP bm = {};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    Canvas c(bm.bmWidth, bm.bmHeight, 0x123456);
    EXPECT_TRUE(BltBitmap(c.dc(), bitmap, 0, 0, -1, -1, 0, 0, SRCCOPY));
    Pixels p;
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x)
            p.push_back(c.at(x, y));
    return p;
}

std::string Save(const TempDir& dir, const std::string& name, const Bytes& b)
{
    return dir.Write(name, std::string(b.begin(), b.end()));
}

// A 24-bit BMP of the given pixels.
Bytes Bmp24(int width, int height, const Pixels& pixels)
{
    BmpSpec s;
    s.width = width;
    s.height = height;
    s.bits = 24;
    std::uint32_t row = BmpRowBytes(s);
    s.rows.assign(row * static_cast<std::uint32_t>(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k)
                s.rows[(height - 1 - y) * row + 3 * x + k] = static_cast<std::uint8_t>(pixels[y * width + x] >> (8 * k));
    return MakeBmp(s);
}

// Loads a picture by name; checks its size and what it draws, then the
// palette's entry count (0 for none). want empty: refused, nothing made.
void ExpectPicture(const std::string& name, int width, const Pixels& want, int paletteEntries)
{
    SCOPED_TRACE(name);
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    HPALETTE palette = reinterpret_cast<HPALETTE>(1);
    bool loaded = LoadPicture(name, bitmap, palette);
    if (want.empty()) {
        EXPECT_TRUE(!loaded && !bitmap && !palette);
        return;
    }
    ASSERT_TRUE(loaded && bitmap);
    BITMAP bm = {};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth * bm.bmHeight, static_cast<int>(want.size()));
    EXPECT_EQ(bm.bmWidth, width);
    EXPECT_EQ(Read(bitmap), want);
    WORD entries = 0;
    if (palette)
        ::GetObjectA(palette, sizeof entries, &entries);
    EXPECT_EQ(entries, paletteEntries);
    ::DeleteObject(bitmap);
    if (palette)
        ::DeleteObject(palette);
}

} // namespace

TEST(LoadPicture, FilesByExtension)
{
    TempDir dir;
    const Pixels rgb = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(1, 2, 3), Rgb(0, 0, 0), Rgb(255, 255, 255)};
    std::string bmp = Save(dir, "a.BmP", Bmp24(3, 2, rgb));
    auto write = [&](const std::string& name, const Bytes& b) { return Save(dir, name, b); };
    // 8 bits using 20 colours: a palette of 20.
    BmpSpec eight;
    eight.width = 2;
    eight.height = 1;
    eight.colorsUsed = 20;
    for (int i = 0; i < 20; ++i)
        eight.colors.push_back(Rgb(10 * i, 5, 200 - i));
    eight.rows = {19, 3, 0, 0};
    // A 124-byte header and a gap: the rows are at the file's pixel offset.
    BmpSpec v5;
    v5.headerSize = 124;
    v5.bits = 4;
    v5.width = 3;
    for (int i = 0; i < 16; ++i)
        v5.colors.push_back(Rgb(16 * i, 255 - 16 * i, 7));
    v5.gap = 12;
    v5.rows = {0x12, 0x30, 0, 0, 0xFE, 0xD0, 0, 0};   // bottom row first
    Bytes cut = Bmp24(3, 2, rgb);
    cut.resize(cut.size() - 2);
    PcxSpec p;
    p.xmax = 1;
    for (int i = 0; i < 48; ++i)
        p.palette[i] = static_cast<std::uint8_t>(i * 5);
    p.bits = 4;

    ExpectPicture(bmp, 3, rgb, 0);   // 24 bits: no palette
    ExpectPicture(write("a.dib", Bmp24(3, 2, rgb)), 3, rgb, 0);
    ExpectPicture(write("e.bmp", MakeBmp(eight)), 2, {Rgb(190, 5, 181), Rgb(30, 5, 197)}, 20);
    ExpectPicture(write("v5.bmp", MakeBmp(v5)), 3,
                  {Rgb(240, 15, 7), Rgb(224, 31, 7), Rgb(208, 47, 7), Rgb(16, 239, 7), Rgb(32, 223, 7), Rgb(48, 207, 7)},
                  16);
    ExpectPicture(write("p.PcX", MakePcx(p, {0x1F, 0x00})), 2, {Rgb(15, 20, 25), Rgb(225, 230, 235)}, 16);
    // Refused, nothing made: an unknown extension, cut short, missing.
    for (const std::string& name : {write("a.gif", MakeBmp(eight)), write("cut.bmp", cut), dir.File("missing.bmp")})
        ExpectPicture(name, 0, {}, 0);
}

TEST(LoadPicture, ResourcesOfEachKind)
{
    // The pictures of TestPictures.rc: logo.pcx, 8-bit PCX 6 x 4, pixel
    // index 6y + x, palette entry i = (10i, 255 - 10i, 3i); tiles16.bmp,
    // 4-bit 8 x 2, index (x + 8y) % 16, colour (16i, 0x40, 255 - 16i);
    // photo256.bmp, 8-bit 5 x 3, index 50y + 7x, colour (i, 255 - i, 0x80).
    Pixels logo, tiles, photo;
    for (int i = 0; i < 24; ++i)
        logo.push_back(Rgb(10 * i, 255 - 10 * i, 3 * i));
    for (int i = 0; i < 16; ++i)
        tiles.push_back(Rgb(16 * i, 0x40, 255 - 16 * i));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            photo.push_back(Rgb(50 * y + 7 * x, 255 - 50 * y - 7 * x, 0x80));
    ExpectPicture("LOGO.P", 6, logo, 256);
    ExpectPicture("logo.p", 6, logo, 256);
    ExpectPicture("TILES.B4", 8, tiles, 0);
    ExpectPicture("PHOTO.B8", 5, photo, 256);
    for (const char* name : {"NONE.P", "NONE.B4", "NONE.B8"})
        ExpectPicture(name, 0, {}, 0);
}

TEST(TransBmp, KeyColourIsTransparentEverywhereAndNowhereElse)
{
    const std::uint32_t key = Rgb(200, 100, 50), back = Rgb(0, 255, 0);
    // The key colour at the corner and inside; near colours, black and
    // white stay opaque.
    const Pixels picture = {
        key,               Rgb(201, 100, 50), Rgb(200, 101, 50),  Rgb(200, 100, 51), key,
        Rgb(0, 0, 0),      key,               Rgb(255, 255, 255), Rgb(0, 0, 0),      Rgb(9, 9, 9),
        Rgb(199, 100, 50), Rgb(0, 0, 0),      key,                Rgb(10, 20, 30),   key,
    };
    TempDir dir;
    std::string path = Save(dir, "k.bmp", Bmp24(5, 3, picture));
    HDC screen = ::GetDC(nullptr);
    CTransBmp holder;
    holder.LoadFile(screen, path, 0, 0, false);
    ASSERT_FALSE(holder.IsEmpty());
    // Placed at (3, 2); every pixel is checked mirrored below.
    Canvas canvas(9, 6, back);
    EXPECT_TRUE(holder.Draw(canvas.dc(), 3, 2));
    EXPECT_TRUE(canvas.at(3, 2) == back && canvas.at(4, 2) == picture[1] && canvas.at(7, 4) == back &&
                canvas.at(6, 4) == picture[13] && canvas.at(8, 3) == back);
    // A part of the picture: source (1, 1), 2 by 2, at (1, 1).
    Canvas part(4, 4, back);
    EXPECT_TRUE(holder.Draw(part.dc(), 1, 1, 1, 1, 2, 2));
    EXPECT_EQ(part.at(1, 1), back);   // key
    EXPECT_EQ(part.at(2, 1), Rgb(255, 255, 255));
    EXPECT_EQ(part.at(1, 2), Rgb(0, 0, 0));
    EXPECT_EQ(part.at(3, 3), back);

    // Another key pixel picks another colour: black.
    holder.LoadFile(screen, path, 3, 1, false);
    Canvas black(5, 3, back);
    EXPECT_TRUE(holder.Draw(black.dc(), 0, 0));
    EXPECT_EQ(black.at(0, 1), back);
    EXPECT_EQ(black.at(0, 0), key);

    // Mirrored first, so the key is the colour now at (1, 0).
    holder.LoadFile(screen, path, 1, 0, true);
    Canvas mirror(5, 3, back);
    EXPECT_TRUE(holder.Draw(mirror.dc(), 0, 0));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            std::uint32_t p = picture[y * 5 + 4 - x];
            EXPECT_EQ(mirror.at(x, y), p == Rgb(200, 100, 51) ? back : p) << "mirrored " << x << "," << y;
        }
    ::ReleaseDC(nullptr, screen);
}

TEST(BitmapHelpers, BothMasksFollowThePixelRule)
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
    BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC screen = ::GetDC(nullptr);
    for (auto make : {MakeMask, MakeMaskByPixel})
        for (POINT key : {POINT{5, 7}, POINT{0, 0}, POINT{w, 0}, POINT{-1, 3}}) {
            HBITMAP bitmap = ::CreateDIBitmap(screen, &bi.bmiHeader, CBM_INIT, pixels.data(), &bi, DIB_RGB_COLORS);
            HBITMAP image = nullptr, mask = nullptr;
            ASSERT_TRUE(make(screen, image, mask, bitmap, key.x, key.y));
            bool inside = key.x >= 0 && key.x < w;   // outside: nothing is transparent
            Pixels m = Read(mask), i = Read(image);
            for (std::size_t k = 0; k < pixels.size(); ++k) {
                bool transparent = inside && pixels[k] == pixels[key.y * w + key.x];
                ASSERT_EQ(m[k], transparent ? 0xFFFFFFu : 0u) << k << " key " << key.x << "," << key.y;
                ASSERT_EQ(i[k], transparent ? 0u : pixels[k]) << k << " key " << key.x << "," << key.y;
            }
            EXPECT_TRUE(FreeMaskPair(image, mask));
            EXPECT_TRUE(image == nullptr && mask == nullptr);
            EXPECT_FALSE(FreeMaskPair(image, mask));
        }
    ::ReleaseDC(nullptr, screen);
}
