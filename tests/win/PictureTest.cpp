// Pictures under Wine: loading by name from files and resources of each
// kind, and the transparency masks, checked pixel by pixel. (The decoders
// are tested natively; the masked pictures drawn on the background: the
// e2e scenario wizard.)

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "Canvas.h"
#include "image/LoadPicture.h"
#include "tests/unit/PictureBytes.h"
#include "tests/unit/TempDir.h"
#include "ui/BitmapHelpers.h"

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
    // Those pixels in 24 bits: the rows bottom first, blue-green-red, padded
    // to 12 bytes.
    const Bytes bmp24 = MakeBmp({.width = 3, .bits = 24, .rows = {3, 2, 1, 0, 0, 0, 255, 255, 255, 0, 0, 0,
                                                                   0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}});
    auto write = [&](const std::string& name, const Bytes& b) { return dir.Write(name, std::string(b.begin(), b.end())); };
    // 8 bits using 20 colours: a palette of 20.
    BmpSpec eight;
    eight.width = 2;
    eight.height = 1;
    eight.colorsUsed = 20;
    for (int i = 0; i < 20; ++i)
        eight.colors.push_back(Rgb(10 * i, 5, 200 - i));
    eight.rows = {19, 3, 0, 0};
    PcxSpec p;
    p.xmax = 1;
    for (int i = 0; i < 48; ++i)
        p.palette[i] = static_cast<std::uint8_t>(i * 5);
    p.bits = 4;

    ExpectPicture(write("a.BmP", bmp24), 3, rgb, 0);   // 24 bits: no palette
    ExpectPicture(write("e.bmp", MakeBmp(eight)), 2, {Rgb(190, 5, 181), Rgb(30, 5, 197)}, 20);
    ExpectPicture(write("p.PcX", MakePcx(p, {0x1F, 0x00})), 2, {Rgb(15, 20, 25), Rgb(225, 230, 235)}, 16);
    // Refused, nothing made: cut short, missing. (Which extensions are
    // pictures, and the header kinds: the unit tests.)
    for (const std::string& name : {write("cut.bmp", Bytes(bmp24.begin(), bmp24.end() - 2)), dir.File("missing.bmp")})
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
            FreeMaskPair(image, mask);
        }
    ::ReleaseDC(nullptr, screen);
}
