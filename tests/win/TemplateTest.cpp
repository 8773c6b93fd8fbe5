// The dialogs as the dialog manager makes them from the program's
// resources, against their literal layouts: a wrong template is a wrong
// dialog on screen.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/SetupDlg.h"
#include "app/resource.h"
#include "framework/Wnd.h"

namespace {

INT_PTR CALLBACK NoHandler(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Each window's style as the dialog manager makes it, before a control
// changes its own; the manager draws a control's border as a sunken edge.
std::map<HWND, DWORD> g_created;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* c = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        g_created[reinterpret_cast<HWND>(wParam)] = c->style | (c->dwExStyle & WS_EX_CLIENTEDGE ? WS_BORDER : 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST(Templates, LiteralLayouts)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    const DWORD wizard = WS_POPUP | WS_CAPTION | DS_MODALFRAME, hidden = WS_VISIBLE | DS_CENTER;
    const DWORD background = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                             WS_VISIBLE;
    // Control 0 is the dialog itself, its place not checked (the program
    // places it); a title is looked up among the statics (IDC_STATIC). The
    // box is in dialog units.
    struct Want {
        int dialog, id;
        const char* className;
        const char* title;
        DWORD style, notStyle;
        int box[4];   // x, y, cx, cy
    } wants[] = {
        {IDD_WELCOME, 0, nullptr, "Dialog", wizard | WS_SYSMENU, hidden, {0, 0, 187, 86}},
        {IDD_WELCOME, IDOK, "Button", "&Continue", BS_DEFPUSHBUTTON, 0, {43, 67, 50, 14}},
        {IDD_WELCOME, IDCANCEL, "Button", "&Exit", 0, 0, {98, 67, 50, 14}},
        {IDD_WELCOME, IDC_WELCOME_TEXT, "Static", nullptr, 0, SS_TYPEMASK, {11, 8, 165, 53}},
        {IDD_LICENSE, 0, nullptr, "License Agreement", wizard, hidden, {0, 0, 266, 155}},
        {IDD_LICENSE, IDC_LICENSE_TEXT, "Edit", nullptr,
         ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, {3, 3, 261, 131}},
        {IDD_LICENSE, IDOK, "Button", "I accept the license agreement", 0, 0, {3, 138, 129, 14}},
        {IDD_LICENSE, IDCANCEL, "Button", "I do not accept the license agreement", 0, 0, {135, 138, 129, 14}},
        {IDD_DESTINATION, 0, nullptr, "Dialog", wizard, hidden, {0, 0, 227, 60}},
        {IDD_DESTINATION, IDC_DESTINATION, "Edit", nullptr, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, ES_MULTILINE,
         {3, 18, 169, 12}},
        {IDD_DESTINATION, IDC_BROWSE, "Button", "&Browse....", 0, 0, {175, 18, 50, 12}},
        {IDD_DESTINATION, IDOK, "Button", "&Continue", 0, 0, {61, 38, 50, 14}},
        {IDD_DESTINATION, IDCANCEL, "Button", "&Exit", 0, 0, {117, 38, 50, 14}},
        {IDD_DESTINATION, IDC_STATIC, "Static", "Please select the directory to install the software to:", 0, 0,
         {17, 5, 160, 8}},
        {IDD_PROGRESS, 0, nullptr, "Installing...", wizard, hidden | WS_SYSMENU, {0, 0, 186, 43}},
        {IDD_PROGRESS, IDC_STATUS, "Static", nullptr, SS_SUNKEN, 0, {21, 5, 162, 9}},
        {IDD_PROGRESS, IDC_PROGRESS, PROGRESS_CLASSA, nullptr, WS_BORDER, 0, {4, 30, 179, 9}},
        {CSetupDlg::IDD, 0, nullptr, "Setup", background, 0, {0, 0, 68, 9}},
    };
    HDC screen = ::GetDC(nullptr);
    const int eightPoints = -::MulDiv(8, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    std::map<int, HWND> dialogs;
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, RecordCreation, nullptr, ::GetCurrentThreadId());
    for (const Want& w : wants) {
        HWND& dlg = dialogs[w.dialog];
        if (!dlg)
            dlg = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(w.dialog), nullptr, NoHandler, 0);
        ASSERT_NE(dlg, nullptr) << w.dialog;
        HWND b = w.id ? nullptr : dlg;
        for (HWND c = ::GetWindow(dlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            if (::GetDlgCtrlID(c) == w.id && (w.id != IDC_STATIC || GetWindowTextString(c) == w.title))
                b = c;
        SCOPED_TRACE(std::to_string(w.dialog) + " control " + std::to_string(w.id));
        ASSERT_NE(b, nullptr);
        char className[64] = {};
        ::GetClassNameA(b, className, sizeof className);
        EXPECT_TRUE(!w.className || lstrcmpiA(className, w.className) == 0) << className;
        EXPECT_TRUE(!w.title || GetWindowTextString(b) == w.title) << GetWindowTextString(b);
        const DWORD style = g_created[b] | (::GetWindowLongA(b, GWL_STYLE) & WS_VISIBLE);
        EXPECT_EQ(style & w.style, w.style);
        EXPECT_EQ(style & w.notStyle, 0u);
        // Place in the dialog's client area, size of the client area for
        // the dialog itself.
        RECT want = {w.box[0], w.box[1], w.box[2], w.box[3]}, got;
        ::MapDialogRect(dlg, &want);
        if (w.id) {
            ::GetWindowRect(b, &got);
            ::MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&got), 2);
        } else {
            ::GetClientRect(b, &got);
        }
        EXPECT_TRUE(!w.id || (got.left == want.left && got.top == want.top)) << got.left << "," << got.top;
        EXPECT_TRUE(!w.box[2] || (got.right - got.left == want.right && got.bottom - got.top == want.bottom))
            << got.right - got.left << " x " << got.bottom - got.top;
        LOGFONTA font = {};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(dlg, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_TRUE(w.id || (std::string(font.lfFaceName) == "MS Sans Serif" && font.lfHeight == eightPoints))
            << font.lfFaceName << " " << font.lfHeight;
    }
    EXPECT_EQ(::GetDlgItem(dialogs[IDD_PROGRESS], IDOK), nullptr) << "the progress dialog has no button";
    EXPECT_EQ(::GetWindow(dialogs[CSetupDlg::IDD], GW_CHILD), nullptr);
    EXPECT_TRUE(::GetWindowLongA(dialogs[CSetupDlg::IDD], GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_NE(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
    ::UnhookWindowsHookEx(hook);
    for (auto& [id, dlg] : dialogs)
        ::DestroyWindow(dlg);
}
