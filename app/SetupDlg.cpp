#include "app/SetupDlg.h"

#include "app/Gradient.h"
#include "app/InstallSession.h"
#include "app/SourceDir.h"
#include "app/resource.h"
#include "script/SetupScript.h"

CSetupDlg::CSetupDlg() : CDialog(IDD)
{
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

BOOL CSetupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    RECT desktop;
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    WindowPlacement place = ChooseWindowPlacement(desktop.left, desktop.top, desktop.right, desktop.bottom);
    m_nWidth = place.width;
    m_nHeight = place.height;
    ::SetWindowPos(m_hWnd, nullptr, place.x, place.y, place.width, place.height, SWP_NOZORDER);

    // A missing script leaves every key missing.
    GetSetupScript().Load(GetSourceDir() + "Setup.ini", false);
    // /D= offers its folder in the Destination dialog.
    if (!GetInstallSession().options.destination.empty())
        GetSetupScript().SetString("General", "Destination", GetInstallSession().options.destination);
    LoadArtwork();

    ::SetTimer(m_hWnd, kStartTimer, 10, nullptr);
    return TRUE;
}

LRESULT CSetupDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        if (IsIconic()) {
            OnPaint();
            return 0;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

LRESULT CSetupDlg::OnEraseBkgnd(HDC dc)
{
    LRESULT result = Default();
    DrawGradient(m_hWnd, dc);
    DrawArtwork(dc);
    return result;
}

void CSetupDlg::LoadArtwork()
{
    // Both pictures are transparent in the colour of their top-left pixel.
    HDC screen = ::GetDC(nullptr);
    const std::string dir = GetSourceDir();
    if (FileExists(dir + "App.bmp"))
        m_appImage.LoadFile(screen, dir + "App.bmp", 0, 0, false);
    if (FileExists(dir + "Company.bmp"))
        m_companyImage.LoadFile(screen, dir + "Company.bmp", 0, 0, false);
    ::ReleaseDC(nullptr, screen);
}

void CSetupDlg::DrawArtwork(HDC dc)
{
    if (!m_appImage.IsEmpty())
        m_appImage.Draw(dc, 10, 10);
    if (!m_companyImage.IsEmpty()) {
        // Placed for the start-up size: it stays put when the window is
        // resized, and its margin includes the frame and caption.
        BITMAP bm = {};
        ::GetObjectA(m_companyImage.m_hbmImage, sizeof bm, &bm);
        m_companyImage.Draw(dc, m_nWidth - bm.bmWidth - 20, m_nHeight - bm.bmHeight - 40);
    }
}

void CSetupDlg::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
}

void CSetupDlg::OnTimer(UINT_PTR id)
{
    if (id != kStartTimer)
        return;
    // The installation runs once, inside this one timer message.
    ::KillTimer(m_hWnd, kStartTimer);
    Default();
    std::string title;
    GetSetupScript().GetString("General", "Title", title);
    SetWindowText(title);
    RunInstall();
    OnCancel();
}

void DrawGradient(HWND window, HDC dc)
{
    RECT client;
    ::GetClientRect(window, &client);
    int height = client.bottom - client.top;
    GradientBands bands = ComputeGradientBands(height);
    int top = 0;
    for (int i = 0; i < bands.bandCount; ++i) {
        int bottom = top + bands.bandHeight;
        if (bottom > height)
            bottom = height;
        RECT band = {client.left, client.top + top, client.right, client.top + bottom};
        HBRUSH brush = ::CreateSolidBrush(RGB(0, 0, GradientBandBlue(i, bands.colourStep)));
        HGDIOBJ old = ::SelectObject(dc, brush);
        ::PatBlt(dc, band.left, band.top, band.right - band.left, band.bottom - band.top, PATCOPY);
        ::SelectObject(dc, old);
        ::DeleteObject(brush);
        top = bottom;
    }
}
