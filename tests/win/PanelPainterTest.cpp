// The panel painter pixel by pixel in a 32-bit memory device context.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "Canvas.h"
#include "ui/PanelPainter.h"

namespace {

constexpr std::uint32_t kMarker = 0x123456;   // as the DIB holds it: 0xRRGGBB
constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kGrey = 0x808080, kLight = 0xC0C0C0;

std::string Hex(std::uint32_t v)
{
    char text[16];
    wsprintfA(text, "%06X", v);
    return text;
}

// What the default style's border 2 paints on (0, 0, 99, 29), pixel by
// pixel; the panel's inner pixels are face.
std::uint32_t ExpectedDefault(int x, int y)
{
    if (x == 0 || x == 99 || y == 0 || y == 29)
        return kBlack;
    // Outer bevel: two lines; the bottom-right colour is drawn last.
    for (int i = 0; i < 2; ++i) {
        if ((y == 28 - i && x >= 1 + i && x <= 98 - i) || (x == 98 - i && y >= 1 + i && y <= 27 - i))
            return kGrey;
    }
    for (int i = 0; i < 2; ++i) {
        if ((y == 1 + i && x >= 1 + i && x <= 98 - i) || (x == 1 + i && y >= 1 + i && y <= 28 - i))
            return kWhite;
    }
    // Inner bevel on (8, 8, 91, 21): grey top-left, white bottom-right.
    for (int i = 0; i < 2; ++i) {
        if ((y == 20 - i && x >= 9 + i && x <= 90 - i) || (x == 90 - i && y >= 9 + i && y <= 19 - i))
            return kWhite;
    }
    for (int i = 0; i < 2; ++i) {
        if ((y == 9 + i && x >= 9 + i && x <= 90 - i) || (x == 9 + i && y >= 9 + i && y <= 20 - i))
            return kGrey;
    }
    return kLight;
}

// Every pixel of the canvas (of the given size): expected() inside the
// panel, the marker outside it.
void ExpectPanel(const Canvas& c, std::uint32_t (*expected)(int, int), int right, int bottom, int width = 110,
                 int height = 40)
{
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t want = x > right || y > bottom ? kMarker : expected(x, y);
            if (c.at(x, y) != want && ++wrong <= 10)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << Hex(c.at(x, y)) << ", expected "
                              << Hex(want);
        }
    EXPECT_EQ(wrong, 0);
}

} // namespace

TEST(PanelPainter, DefaultDoubleBevelPixelByPixel)
{
    Canvas c(110, 40, kMarker);
    RECT r = {0, 0, 99, 29};
    PaintPanel(c.dc(), GetDefaultPanelStyle(), r, kBorderDoubleBevel, "", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ExpectPanel(c, ExpectedDefault, 99, 29);

    // With a caption: black text with a white shadow one pixel right and
    // down, inside the inner bevel, and the rest unchanged.
    Canvas t(110, 40, kMarker);
    // Crisp glyphs, so that every text pixel is exactly black or white.
    HFONT font = ::CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
    HGDIOBJ oldFont = ::SelectObject(t.dc(), font);
    PaintPanel(t.dc(), GetDefaultPanelStyle(), r, kBorderDoubleBevel, "IIII", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    int black = 0, shadowed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 110; ++x) {
            std::uint32_t want = x > 99 || y > 29 ? kMarker : ExpectedDefault(x, y);
            std::uint32_t got = t.at(x, y);
            if (got == want)
                continue;
            ASSERT_TRUE(x > 2 && x < 97 && y > 2 && y < 27) << "text at (" << x << ", " << y << ")";
            if (got == kBlack) {
                ++black;
                std::uint32_t below = t.at(x + 1, y + 1);
                EXPECT_TRUE(below == kBlack || below == kWhite) << x << "," << y << " " << Hex(below);
                shadowed += below == kWhite;
            }
        }
    EXPECT_GT(black, 8);
    EXPECT_GT(shadowed, 4);
    ::SelectObject(t.dc(), oldFont);
    ::DeleteObject(font);
}

TEST(PanelPainter, UndrawnColoursZeroWidthsAndOutline)
{
    RECT r = {0, 0, 99, 29};
    // No face: the marker shows inside; the lines are still drawn.
    PANELSTYLE s = GetDefaultPanelStyle();
    s.crFace = kNoColor;
    Canvas noFace(110, 40, kMarker);
    PaintPanel(noFace.dc(), s, r, kBorderDoubleBevel, "", 0);
    ExpectPanel(noFace, [](int x, int y) { return ExpectedDefault(x, y) == kLight ? kMarker : ExpectedDefault(x, y); },
                99, 29);

    // No inner bevel: face where it would be.
    s = GetDefaultPanelStyle();
    s.crInnerTopLeft = kNoColor;
    Canvas noInner(110, 40, kMarker);
    PaintPanel(noInner.dc(), s, r, kBorderDoubleBevel, "", 0);
    ExpectPanel(noInner, [](int x, int y) { return x >= 8 && x <= 91 && y >= 8 && y <= 21 ? kLight : ExpectedDefault(x, y); },
                99, 29);

    // No outer bevel: only the inner one and the outline.
    s = GetDefaultPanelStyle();
    s.crOuterTopLeft = kNoColor;
    Canvas noOuter(110, 40, kMarker);
    PaintPanel(noOuter.dc(), s, r, kBorderDoubleBevel, "", 0);
    ExpectPanel(noOuter, [](int x, int y) {
        bool outer = x <= 2 || x >= 97 || y <= 2 || y >= 27;
        return outer && !(x == 0 || x == 99 || y == 0 || y == 29) ? kLight : ExpectedDefault(x, y);
    }, 99, 29);

    // Single bevel of width 0: nothing but face and outline; without the
    // outline only face.
    s = GetDefaultPanelStyle();
    s.nOuterWidth = 0;
    Canvas flat(110, 40, kMarker);
    PaintPanel(flat.dc(), s, r, kBorderSingleBevel, "", 0);
    ExpectPanel(flat, [](int x, int y) { return x == 0 || x == 99 || y == 0 || y == 29 ? kBlack : kLight; }, 99, 29);
    s.bFrame = 0;
    Canvas bare(110, 40, kMarker);
    PaintPanel(bare.dc(), s, r, kBorderSingleBevel, "", 0);
    ExpectPanel(bare, [](int, int) { return kLight; }, 99, 29);

    // Absurd widths stay inside GDI's range and end.
    s = GetDefaultPanelStyle();
    s.nOuterWidth = 0x7FFFFFFF;
    s.nGap = 0x7FFFFFFF;
    s.nInnerWidth = 0x7FFFFFFF;
    s.nTextX = 0x7FFFFFFF;
    s.nShadowX = 0x7FFFFFFF;
    Canvas huge(110, 40, kMarker);
    PaintPanel(huge.dc(), s, r, kBorderDoubleBevel, "x", 0);
    PaintPanel(huge.dc(), s, r, kBorderPlateau, "x", 0);
    EXPECT_EQ(huge.at(0, 0), kBlack);
}

TEST(PanelPainter, PlateauAndEtchedFrames)
{
    RECT r = {0, 0, 49, 19};
    PANELSTYLE s = GetDefaultPanelStyle();
    s.nOuterWidth = 3;
    s.bFrame = 0;
    Canvas plateau(60, 30, kMarker);
    PaintPanel(plateau.dc(), s, r, kBorderPlateau, "", 0);
    ExpectPanel(plateau, [](int x, int y) -> std::uint32_t {
        if (x == 0 || x == 49 || y == 0 || y == 19)
            return kBlack;   // the frame's own outline
        // Outer edge: white top and left, black bottom and right (drawn after).
        if (y == 18 || x == 48)
            return kBlack;
        if (x == 1 || y == 1)
            return kWhite;
        // Inner edge on (3, 3, 46, 16): black top and left, white bottom and right.
        if ((y == 3 && x >= 3 && x <= 46) || (x == 3 && y >= 3 && y <= 16))
            return kBlack;
        if ((y == 16 && x >= 4 && x <= 46) || (x == 46 && y >= 3 && y <= 16))
            return kWhite;
        return kLight;
    }, 49, 19, 60, 30);

    Canvas etched(60, 30, kMarker);
    PaintPanel(etched.dc(), s, r, kBorderEtched, "", 0);
    ExpectPanel(etched, [](int x, int y) -> std::uint32_t {
        // Grey on (0, 0, 48, 18) drawn over white on (1, 1, 49, 19).
        if (x <= 48 && y <= 18 && (x == 0 || x == 48 || y == 0 || y == 18))
            return kGrey;
        if (x >= 1 && y >= 1 && (x == 1 || x == 49 || y == 1 || y == 19))
            return kWhite;
        return kLight;
    }, 49, 19, 60, 30);
}

TEST(PanelPainter, FontFromItsText)
{
    Canvas c(4, 4, kMarker);
    std::string spec = "-11,1,1,Arial";
    HFONT font = nullptr;
    HFONT before = static_cast<HFONT>(::GetCurrentObject(c.dc(), OBJ_FONT));
    HFONT old = CreateFontFromSpec(c.dc(), spec, font);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(old, before);
    EXPECT_EQ(::GetCurrentObject(c.dc(), OBJ_FONT), font);
    EXPECT_EQ(spec, "Arial");
    LOGFONTA lf = {};
    ASSERT_TRUE(::GetObjectA(font, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    ::SelectObject(c.dc(), old);
    ::DeleteObject(font);

    spec = "16,0";
    old = CreateFontFromSpec(c.dc(), spec, font);
    ASSERT_TRUE(::GetObjectA(font, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, 16);
    EXPECT_EQ(lf.lfWeight, FW_DONTCARE);
    EXPECT_FALSE(lf.lfItalic);
    EXPECT_STREQ(lf.lfFaceName, "0");
    ::SelectObject(c.dc(), old);
    ::DeleteObject(font);
}
