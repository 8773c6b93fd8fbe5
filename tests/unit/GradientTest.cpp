#include "app/Gradient.h"

#include <gtest/gtest.h>

TEST(Gradient, PlacementOnTheDesktop)
{
    WindowPlacement full = ChooseWindowPlacement(0, 0, 800, 600);
    EXPECT_EQ(full.x, 0);
    EXPECT_EQ(full.y, 0);
    EXPECT_EQ(full.width, 800);
    EXPECT_EQ(full.height, 600);

    WindowPlacement wide = ChooseWindowPlacement(0, 0, 801, 600);
    EXPECT_EQ(wide.width, 600);
    EXPECT_EQ(wide.height, 450);
    EXPECT_EQ(wide.x, 100);   // (801 - 600) / 2, truncated
    EXPECT_EQ(wide.y, 75);

    // A desktop that does not start at the origin.
    WindowPlacement offset = ChooseWindowPlacement(-1024, 10, 1024, 778);
    EXPECT_EQ(offset.width, 1536);
    EXPECT_EQ(offset.height, 576);
    EXPECT_EQ(offset.x, (1024 - 1536 + 1024) / 2);
    EXPECT_EQ(offset.y, (778 - 576 - 10) / 2);
}

TEST(Gradient, BandsForTheClientHeight)
{
    GradientBands small = ComputeGradientBands(90);
    EXPECT_EQ(small.bandHeight, 1);
    EXPECT_EQ(small.bandCount, 90);
    EXPECT_EQ(small.colourStep, 2);
    EXPECT_EQ(GradientBandBlue(0, small.colourStep), 255);
    EXPECT_EQ(GradientBandBlue(89, small.colourStep), 77);

    GradientBands tall = ComputeGradientBands(1000);
    EXPECT_EQ(tall.bandHeight, 6);
    EXPECT_EQ(tall.bandCount, 167);   // the last one 4 pixels high
    EXPECT_EQ(tall.colourStep, 1);
    EXPECT_EQ(GradientBandBlue(166, tall.colourStep), 89);

    GradientBands exact = ComputeGradientBands(180);
    EXPECT_EQ(exact.bandHeight, 1);
    EXPECT_EQ(exact.bandCount, 180);
    EXPECT_EQ(exact.colourStep, 1);

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
