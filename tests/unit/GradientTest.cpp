#include "app/Gradient.h"

#include <gtest/gtest.h>

#include <array>

TEST(Gradient, PlacementOnTheDesktop)
{
    auto place = [](int x, int y, int w, int h) {
        WindowPlacement p = ChooseWindowPlacement(x, y, w, h);
        return std::array{p.x, p.y, p.width, p.height};
    };
    EXPECT_EQ(place(0, 0, 800, 600), (std::array{0, 0, 800, 600}));
    // Three quarters of a wider one, centred, the halves truncated.
    EXPECT_EQ(place(0, 0, 801, 600), (std::array{100, 75, 600, 450}));
    // A desktop that does not start at the origin.
    EXPECT_EQ(place(-1024, 10, 1024, 778), (std::array{(1024 - 1536 + 1024) / 2, (778 - 576 - 10) / 2, 1536, 576}));
}

TEST(Gradient, BandsForTheClientHeight)
{
    auto bands = [](int height) {
        GradientBands b = ComputeGradientBands(height);
        return std::array{b.bandHeight, b.bandCount, b.colourStep};
    };
    EXPECT_EQ(bands(90), (std::array{1, 90, 2}));
    EXPECT_EQ(bands(180), (std::array{1, 180, 1}));
    EXPECT_EQ(bands(1000), (std::array{6, 167, 1}));   // the last one 4 pixels high
    EXPECT_EQ(GradientBandBlue(0, 2), 255);
    EXPECT_EQ(GradientBandBlue(89, 2), 77);
    EXPECT_EQ(GradientBandBlue(166, 1), 89);
    EXPECT_EQ(ComputeGradientBands(0).bandCount, 0);
    EXPECT_EQ(ComputeGradientBands(-5).bandCount, 0);

    // Never more than 181 bands, and they always cover the whole height.
    for (int h = 1; h <= 5000; ++h) {
        GradientBands b = ComputeGradientBands(h);
        ASSERT_LE(b.bandCount, 181) << h;
        ASSERT_LE(h / b.bandHeight, 180) << h;
        ASSERT_GE(b.bandCount * b.bandHeight, h) << h;
        ASSERT_LT((b.bandCount - 1) * b.bandHeight, h) << h;
    }
}
