// Colour codes, decimal reading and font descriptions of the panel style.

#include <gtest/gtest.h>

#include <climits>

#include "ui/PanelStyle.h"

TEST(PanelStyle, ColourCodesAreTheVgaColoursAndWhite)
{
    const char codes[] = "0123456789ABCDEG";
    const std::int32_t colours[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                    0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                    0xFF0000, 0xFF00FF, 0xFFFF00, 0x02F0CAA6};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(ColorFromCode(codes[i]), colours[i]) << codes[i];
    for (char other : {'F', 'g', 'a', 'c', ' ', '\0', '\xff', '-'})
        EXPECT_EQ(ColorFromCode(other), 0xFFFFFF) << static_cast<int>(other);

    const PANELSTYLE& d = GetDefaultPanelStyle();
    EXPECT_EQ(d.crFace, 0xC0C0C0);
    EXPECT_EQ(d.crOuterTopLeft, 0xFFFFFF);
    EXPECT_EQ(d.crOuterBottomRight, 0x808080);
    EXPECT_EQ(d.crInnerTopLeft, 0x808080);
    EXPECT_EQ(d.crInnerBottomRight, 0xFFFFFF);
    EXPECT_EQ(d.crText, 0);
    EXPECT_EQ(d.crShadow, 0xFFFFFF);
    EXPECT_EQ(d.nShadowX + d.nShadowY + d.nTextX + d.nTextY, 2);
    EXPECT_EQ(d.nOuterWidth, 2);
    EXPECT_EQ(d.nInnerWidth, 2);
    EXPECT_EQ(d.nGap, 6);
    EXPECT_EQ(d.bFrame, 1);
    EXPECT_EQ(d.szDisabledText[0], '\0');
}

TEST(PanelStyle, DecimalsReadLikeTheCLibraryButSaturate)
{
    EXPECT_EQ(ReadDecimal(" \t-12x"), -12);
    EXPECT_EQ(ReadDecimal("+7"), 7);
    EXPECT_EQ(ReadDecimal(""), 0);
    EXPECT_EQ(ReadDecimal("abc"), 0);
    EXPECT_EQ(ReadDecimal("- 5"), 0);
    EXPECT_EQ(ReadDecimal("2147483647"), INT_MAX);
    EXPECT_EQ(ReadDecimal("2147483648"), INT_MAX);
    EXPECT_EQ(ReadDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(ReadDecimal("-999999999999999999999999"), INT_MIN);
    EXPECT_EQ(ReadDecimal("999999999999999999999999"), INT_MAX);
}

TEST(PanelStyle, FontTextFields)
{
    std::string spec = "-11,1,1,Arial";
    FONTSPEC f = ReadFontSpec(spec);
    EXPECT_EQ(f.nHeight, -11);
    EXPECT_EQ(f.nWeight, 700);
    EXPECT_TRUE(f.bItalic);
    EXPECT_EQ(f.strFace, "Arial");
    EXPECT_EQ(spec, "Arial");   // the text is consumed to its face

    spec = "16,0,0,Times New Roman";
    f = ReadFontSpec(spec);
    EXPECT_EQ(f.nHeight, 16);
    EXPECT_EQ(f.nWeight, 0);
    EXPECT_FALSE(f.bItalic);
    EXPECT_EQ(f.strFace, "Times New Roman");

    // Missing fields read the rest again.
    spec = "16";
    f = ReadFontSpec(spec);
    EXPECT_EQ(f.nHeight, 16);
    EXPECT_EQ(f.nWeight, 700);
    EXPECT_TRUE(f.bItalic);
    EXPECT_EQ(f.strFace, "16");
    spec = "16,0";
    f = ReadFontSpec(spec);
    EXPECT_EQ(f.nHeight, 16);
    EXPECT_EQ(f.nWeight, 0);
    EXPECT_FALSE(f.bItalic);
    EXPECT_EQ(f.strFace, "0");

    // Empty fields are not "0"; the face keeps later commas; long faces are cut.
    spec = ",,,A,B";
    f = ReadFontSpec(spec);
    EXPECT_EQ(f.nHeight, 0);
    EXPECT_EQ(f.nWeight, 700);
    EXPECT_TRUE(f.bItalic);
    EXPECT_EQ(f.strFace, "A,B");
    spec = "1,0,0," + std::string(100, 'x');
    EXPECT_EQ(ReadFontSpec(spec).strFace, std::string(kMaxFaceName, 'x'));
}
