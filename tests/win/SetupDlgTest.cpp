// The background window's gradient on Windows' own GDI, and where the
// program looks for its medium.

#include <windows.h>

#include <gtest/gtest.h>

#include "Canvas.h"
#include "app/SetupDlg.h"
#include "app/SourceDir.h"

TEST(SetupDlg, GradientPaintsEveryBand)
{
    // Rows of a client area of the given height and their blue.
    struct Row {
        int height, y, blue;
    } rows[] = {{90, 0, 255},    {90, 1, 253},    {90, 89, 77},     {1000, 5, 255}, {1000, 6, 254},
                {1000, 995, 90}, {1000, 999, 89}, {450, 2, 255},    {450, 3, 254},  {450, 449, 106}};
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "GradientTestWindow";
    ::RegisterClassA(&wc);
    for (int height : {90, 1000, 450}) {
        const int width = 40;
        HWND window = ::CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                      wc.hInstance, nullptr);
        Canvas canvas(width, height, 0xFFFFFF);   // white shows what is left unpainted
        DrawGradient(window, canvas.dc());
        ::DestroyWindow(window);
        // Every row is one blue across, never lighter than the row above.
        for (int y = 0; y < height; ++y) {
            std::uint32_t blue = canvas.at(0, y);
            ASSERT_TRUE(blue <= 255 && (y == 0 || blue <= canvas.at(0, y - 1))) << height << " row " << y;
            for (int x = 1; x < width; ++x)
                ASSERT_EQ(canvas.at(x, y), blue) << height << " row " << y;
        }
        for (const Row& r : rows)
            EXPECT_TRUE(r.height != height || canvas.at(width / 2, r.y) == static_cast<std::uint32_t>(r.blue))
                << height << " row " << r.y << ": " << canvas.at(width / 2, r.y);
    }
}

TEST(SetupDlg, SourceDirIsTheProgramsDirectory)
{
    char path[MAX_PATH];
    std::string module(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
    EXPECT_EQ(GetSourceDir(), module.substr(0, module.rfind('\\') + 1));
    EXPECT_TRUE(FileExists(module));
    EXPECT_FALSE(FileExists(GetSourceDir() + "no such file.txt"));

    EXPECT_EQ(SourceDirFromModulePath("C:\\Setup\\Setup.exe"), "C:\\Setup\\");
    EXPECT_EQ(SourceDirFromModulePath("D:\\Setup.exe"), "D:\\");
    EXPECT_EQ(SourceDirFromModulePath("Setup.exe"), "Setup.exe");
}
