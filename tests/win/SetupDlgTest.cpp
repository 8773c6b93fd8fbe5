// The background window's gradient on Windows' own GDI, and where the
// program looks for its medium.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "Canvas.h"
#include "app/SetupDlg.h"
#include "app/SourceDir.h"

TEST(SetupDlg, GradientPaintsEveryBand)
{
    // Client height, then rows and their blue: the band height and the last,
    // shorter band show in where the colour changes.
    const std::vector<std::vector<int>> heights = {{90, 0, 255, 1, 253, 89, 77},
                                                   {1000, 5, 255, 6, 254, 995, 90, 999, 89},
                                                   {450, 2, 255, 3, 254, 449, 106}};
    for (const auto& h : heights) {
        const int width = 40, height = h[0];
        HWND window = ::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
        Canvas canvas(width, height, 0xFFFFFF);   // white shows what is left unpainted
        DrawGradient(window, canvas.dc());
        ::DestroyWindow(window);
        // Every row is one blue across, never lighter than the row above.
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_TRUE(canvas.at(x, y) == canvas.at(0, y) && canvas.at(0, y) <= (y ? canvas.at(0, y - 1) : 255u))
                    << height << " row " << y << ": " << canvas.at(x, y);
        for (size_t k = 1; k < h.size(); k += 2)
            EXPECT_EQ(canvas.at(width / 2, h[k]), static_cast<std::uint32_t>(h[k + 1])) << height << " row " << h[k];
    }
}

TEST(SetupDlg, SourceDirIsTheProgramsDirectory)
{
    // A medium's root is the common case; the program's own folder and
    // FileExists are walked by every e2e scenario.
    EXPECT_EQ(SourceDirFromModulePath("C:\\Setup\\Setup.exe"), "C:\\Setup\\");
    EXPECT_EQ(SourceDirFromModulePath("D:\\Setup.exe"), "D:\\");
    EXPECT_EQ(SourceDirFromModulePath("Setup.exe"), "Setup.exe");
}
