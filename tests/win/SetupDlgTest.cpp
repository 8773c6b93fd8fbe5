// The background window's template, painting and helpers, on Windows' own
// window manager and GDI.

#include <windows.h>

#include <gtest/gtest.h>

#include "Canvas.h"
#include "DialogTemplate.h"
#include "app/Gradient.h"
#include "app/SetupDlg.h"
#include "app/SourceDir.h"

namespace {

// A window of the given client size, and a canvas of the same size to
// paint into (white first, so that anything left unpainted shows).
class PaintTarget {
public:
    PaintTarget(int width, int height) : m_canvas(width, height, 0xFFFFFF)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "GradientTestWindow";
        ::RegisterClassA(&wc);
        RECT r = {0, 0, width, height};
        ::AdjustWindowRect(&r, WS_POPUP, FALSE);
        m_window = ::CreateWindowA("GradientTestWindow", "", WS_POPUP, 0, 0, r.right - r.left, r.bottom - r.top,
                                   nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~PaintTarget() { ::DestroyWindow(m_window); }
    HWND window() const { return m_window; }
    HDC dc() const { return m_canvas.dc(); }
    std::uint32_t Pixel(int x, int y) const { return m_canvas.at(x, y); }

private:
    Canvas m_canvas;
    HWND m_window = nullptr;
};

void ExpectBands(int width, int height, int bandHeight, int bands, int step, int firstBlue, int lastBlue)
{
    PaintTarget target(width, height);
    RECT client;
    ::GetClientRect(target.window(), &client);
    ASSERT_EQ(client.bottom, height);
    DrawGradient(target.window(), target.dc());
    GradientBands layout = ComputeGradientBands(height);
    ASSERT_EQ(layout.bandHeight, bandHeight);
    ASSERT_EQ(layout.bandCount, bands);
    ASSERT_EQ(layout.colourStep, step);
    for (int band = 0; band < bands; ++band) {
        std::uint32_t blue = static_cast<std::uint32_t>(255 - band * step);   // never below 75: no wrap
        int top = band * bandHeight;
        int bottom = std::min(height, top + bandHeight);
        for (int y = top; y < bottom; ++y) {
            ASSERT_EQ(target.Pixel(0, y), blue) << "band " << band << " row " << y;
            ASSERT_EQ(target.Pixel(width - 1, y), blue) << "band " << band << " row " << y;
        }
    }
    EXPECT_EQ(target.Pixel(width / 2, 0), static_cast<std::uint32_t>(firstBlue));
    EXPECT_EQ(target.Pixel(width / 2, height - 1), static_cast<std::uint32_t>(lastBlue));
}

} // namespace

TEST(SetupDlg, TemplateIsTheBackgroundWindow)
{
    DialogTemplate t;
    ASSERT_TRUE(LoadDialogTemplate(CSetupDlg::IDD, t));
    EXPECT_EQ(t.title, "Setup");
    EXPECT_EQ(t.typeface, "MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 68);
    EXPECT_EQ(t.cy, 9);
    EXPECT_TRUE(t.items.empty());
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE;
    EXPECT_EQ(t.style & style, style);
    EXPECT_EQ(t.exStyle & WS_EX_APPWINDOW, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_TRUE(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128)) != nullptr);
}

TEST(SetupDlg, GradientPaintsEveryBand)
{
    ExpectBands(64, 90, 1, 90, 2, 255, 77);
    ExpectBands(40, 1000, 6, 167, 1, 255, 89);
    ExpectBands(30, 450, 3, 150, 1, 255, 106);
    // An empty client area paints nothing.
    PaintTarget empty(20, 0);
    DrawGradient(empty.window(), empty.dc());
}

TEST(SetupDlg, SourceDirIsTheProgramsDirectory)
{
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string module(path, n);
    std::string dir = GetSourceDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_EQ(dir, module.substr(0, module.rfind('\\') + 1));
    EXPECT_TRUE(FileExists(module));
    EXPECT_FALSE(FileExists(dir + "no such file.txt"));

    EXPECT_EQ(SourceDirFromModulePath("C:\\Setup\\Setup.exe"), "C:\\Setup\\");
    EXPECT_EQ(SourceDirFromModulePath("D:\\Setup.exe"), "D:\\");
    EXPECT_EQ(SourceDirFromModulePath("Setup.exe"), "Setup.exe");
}
