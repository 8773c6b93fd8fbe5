// The panel painter pixel by pixel in a 32-bit memory device context,
// against pictures drawn here from literal rectangles.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Canvas.h"
#include "ui/PanelPainter.h"

namespace {

constexpr std::uint32_t kMarker = 0x123456, kBlack = 0, kWhite = 0xFFFFFF, kGrey = 0x808080, kLight = 0xC0C0C0;
constexpr int kW = 110, kH = 40;   // canvas; the panels leave a margin of marker

// The expected pixels, painted in order with inclusive rectangles.
struct Picture {
    std::vector<std::uint32_t> p = std::vector<std::uint32_t>(kW * kH, kMarker);
    void Fill(int l, int t, int r, int b, std::uint32_t c)
    {
        for (int y = t; y <= b; ++y)
            for (int x = l; x <= r; ++x)
                p[y * kW + x] = c;
    }
    void Frame(int l, int t, int r, int b, std::uint32_t c)
    {
        Fill(l, t, r, t, c), Fill(l, b, r, b, c), Fill(l, t, l, b, c), Fill(r, t, r, b, c);
    }
    // n lines top and left, then n bottom and right.
    void Bevel(int l, int t, int r, int b, int n, std::uint32_t topLeft, std::uint32_t bottomRight)
    {
        for (int i = 0; i < n; ++i) {
            Fill(l + i, t + i, r - i, t + i, topLeft), Fill(l + i, t + i, l + i, b - i, topLeft);
            Fill(l + i, b - i, r - i, b - i, bottomRight), Fill(r - i, t + i, r - i, b - 1 - i, bottomRight);
        }
    }
};

// The default double bevel on (0, 0, 99, 29), without the parts named.
Picture Default(bool face = true, bool outer = true, bool inner = true)
{
    Picture e;
    if (face)
        e.Fill(0, 0, 99, 29, kLight);
    e.Frame(0, 0, 99, 29, kBlack);
    if (outer)
        e.Bevel(1, 1, 98, 28, 2, kWhite, kGrey);
    if (inner)
        e.Bevel(9, 9, 90, 20, 2, kGrey, kWhite);
    return e;
}

// Paints into a fresh canvas and reports the first wrong pixels.
void ExpectPaint(const PANELSTYLE& s, RECT r, int border, const Picture& want, const char* what)
{
    Canvas c(kW, kH, kMarker);
    PaintPanel(c.dc(), s, r, border, "", 0);
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (c.at(x, y) != want.p[y * kW + x] && ++wrong <= 5)
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is " << std::hex << c.at(x, y)
                              << ", expected " << want.p[y * kW + x];
}

} // namespace

TEST(PanelPainter, BordersAndUndrawnPartsPixelByPixel)
{
    const RECT r = {0, 0, 99, 29}, small = {0, 0, 49, 19};
    struct Case {
        const char* what;
        std::function<void(PANELSTYLE&)> change;
        RECT rect;
        int border;
        Picture want;
    };
    Picture flat, bare, plateau, etched;
    flat.Fill(0, 0, 99, 29, kLight);
    bare = flat;
    flat.Frame(0, 0, 99, 29, kBlack);
    // Plateau of width 3: a raised outer edge, a sunken inner one, an outline.
    plateau.Fill(0, 0, 49, 19, kLight);
    plateau.Fill(4, 16, 46, 16, kWhite), plateau.Fill(46, 3, 46, 16, kWhite);
    plateau.Fill(3, 3, 46, 3, kBlack), plateau.Fill(3, 3, 3, 16, kBlack);
    plateau.Fill(1, 1, 48, 1, kWhite), plateau.Fill(1, 1, 1, 18, kWhite);
    plateau.Fill(1, 18, 48, 18, kBlack), plateau.Fill(48, 1, 48, 18, kBlack);
    plateau.Frame(0, 0, 49, 19, kBlack);
    // Etched: grey on (0, 0, 48, 18) over white one pixel right and down.
    etched.Fill(0, 0, 49, 19, kLight);
    etched.Frame(1, 1, 49, 19, kWhite);
    etched.Frame(0, 0, 48, 18, kGrey);
    const Case cases[] = {
        {"default", [](PANELSTYLE&) {}, r, kBorderDoubleBevel, Default()},
        {"no face", [](PANELSTYLE& s) { s.crFace = kNoColor; }, r, kBorderDoubleBevel, Default(false)},
        {"no outer bevel", [](PANELSTYLE& s) { s.crOuterTopLeft = kNoColor; }, r, kBorderDoubleBevel,
         Default(true, false)},
        {"no inner bevel", [](PANELSTYLE& s) { s.crInnerTopLeft = kNoColor; }, r, kBorderDoubleBevel,
         Default(true, true, false)},
        {"width 0", [](PANELSTYLE& s) { s.nOuterWidth = 0; }, r, kBorderSingleBevel, flat},
        {"width 0, no outline", [](PANELSTYLE& s) { s.nOuterWidth = 0, s.bFrame = 0; }, r, kBorderSingleBevel, bare},
        {"plateau", [](PANELSTYLE& s) { s.nOuterWidth = 3, s.bFrame = 0; }, small, kBorderPlateau, plateau},
        {"etched", [](PANELSTYLE& s) { s.nOuterWidth = 3, s.bFrame = 0; }, small, kBorderEtched, etched},
    };
    for (const Case& c : cases) {
        PANELSTYLE s = GetDefaultPanelStyle();
        c.change(s);
        ExpectPaint(s, c.rect, c.border, c.want, c.what);
    }

    // Absurd widths from a caption stay inside GDI's range and end.
    PANELSTYLE s = GetDefaultPanelStyle();
    s.nOuterWidth = s.nGap = s.nInnerWidth = s.nTextX = s.nShadowX = 0x7FFFFFFF;
    Canvas huge(kW, kH, kMarker);
    PaintPanel(huge.dc(), s, r, kBorderDoubleBevel, "x", 0);
    PaintPanel(huge.dc(), s, r, kBorderPlateau, "x", 0);
    EXPECT_EQ(huge.at(0, 0), kBlack);
}

TEST(PanelPainter, CaptionIsBlackWithAWhiteShadowInsideTheBevels)
{
    Canvas t(kW, kH, kMarker);
    // Crisp glyphs, so that every text pixel is exactly black or white.
    HFONT font = ::CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
    HGDIOBJ oldFont = ::SelectObject(t.dc(), font);
    PaintPanel(t.dc(), GetDefaultPanelStyle(), {0, 0, 99, 29}, kBorderDoubleBevel, "IIII",
               DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Picture plain = Default();
    int black = 0, shadowed = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            std::uint32_t got = t.at(x, y);
            if (got == plain.p[y * kW + x])
                continue;
            ASSERT_TRUE(x > 2 && x < 97 && y > 2 && y < 27) << "text at (" << x << ", " << y << ")";
            if (got == kBlack) {
                ++black;
                std::uint32_t below = t.at(x + 1, y + 1);
                EXPECT_TRUE(below == kBlack || below == kWhite) << x << "," << y << " " << below;
                shadowed += below == kWhite;
            }
        }
    EXPECT_GT(black, 8);
    EXPECT_GT(shadowed, 4);
    ::SelectObject(t.dc(), oldFont);
    ::DeleteObject(font);
}

TEST(PanelPainter, FontFromItsText)
{
    // The text itself is read by ReadFontSpec (unit tests): here, that GDI
    // gets each field in its place.
    Canvas c(4, 4, kMarker);
    std::string spec = "-11,1,1,Arial";
    HFONT font = nullptr, before = static_cast<HFONT>(::GetCurrentObject(c.dc(), OBJ_FONT));
    EXPECT_EQ(CreateFontFromSpec(c.dc(), spec, font), before);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(::GetCurrentObject(c.dc(), OBJ_FONT), font);
    LOGFONTA lf = {};
    ASSERT_TRUE(::GetObjectA(font, sizeof lf, &lf));
    EXPECT_TRUE(lf.lfHeight == -11 && lf.lfWeight == FW_BOLD && lf.lfItalic && !lf.lfUnderline);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    ::SelectObject(c.dc(), before);
    ::DeleteObject(font);
}
