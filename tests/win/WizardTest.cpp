// The wizard dialogs on the real dialog manager: their templates, the
// progress dialog's notifications and failures, and the install sequence
// with a file error escaping it.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "DialogTemplate.h"
#include "app/ProgressDlg.h"
#include "app/SetupDlg.h"
#include "app/resource.h"
#include "framework/FileException.h"
#include "framework/WinApp.h"
#include "install/InstallArchive.h"
#include "install/TreeCopier.h"
#include "script/SetupScript.h"

namespace {

const DialogItemTemplate* Item(const DialogTemplate& t, int id)
{
    for (const auto& item : t.items)
        if (static_cast<int>(static_cast<std::int16_t>(item.id)) == id || static_cast<int>(item.id) == id)
            return &item;
    return nullptr;
}

// A top-level window of this process that holds the given control.
struct FindByControl {
    int control;
    HWND found = nullptr;
};

BOOL CALLBACK FindByControlProc(HWND hWnd, LPARAM lParam)
{
    auto* f = reinterpret_cast<FindByControl*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, f->control)) {
        f->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialogWith(int control, int timeoutMs = 10000)
{
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        FindByControl f{control};
        ::EnumWindows(FindByControlProc, reinterpret_cast<LPARAM>(&f));
        if (f.found)
            return f.found;
        ::Sleep(20);
    }
    return nullptr;
}

HWND WaitForMessageBox(const std::string& caption, int timeoutMs = 10000)
{
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (HWND box = ::FindWindowA("#32770", caption.c_str()))
            if (::IsWindowVisible(box))
                return box;
        ::Sleep(20);
    }
    return nullptr;
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM lParam)
{
    char cls[32] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    auto* text = reinterpret_cast<std::string*>(lParam);
    std::string t = GetWindowTextString(child);
    if (lstrcmpiA(cls, "Static") == 0 && t.size() > text->size())
        *text = t;
    return TRUE;
}

std::string MessageBoxText(HWND box)
{
    std::string text;
    ::EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

// A progress dialog whose file phase is given by the test.
class TestProgressDlg : public CProgressDlg {
public:
    std::function<bool(TestProgressDlg&)> phase;
    HWND Control(int id) const { return ::GetDlgItem(m_hWnd, id); }

protected:
    bool RunFilePhase() override { return phase(*this); }
};

} // namespace

TEST(Wizard, TemplatesHoldTheirControls)
{
    DialogTemplate welcome, license, destination, progress;
    ASSERT_TRUE(LoadDialogTemplate(IDD_WELCOME, welcome));
    ASSERT_TRUE(LoadDialogTemplate(IDD_LICENSE, license));
    ASSERT_TRUE(LoadDialogTemplate(IDD_DESTINATION, destination));
    ASSERT_TRUE(LoadDialogTemplate(IDD_PROGRESS, progress));

    for (const DialogTemplate* t : {&welcome, &license, &destination, &progress}) {
        EXPECT_EQ(t->typeface, "MS Sans Serif");
        EXPECT_EQ(t->pointSize, 8);
        EXPECT_EQ(t->style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME), static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME));
        EXPECT_EQ(t->style & (WS_VISIBLE | DS_CENTER), 0u);
    }
    EXPECT_EQ(welcome.cx, 187);
    EXPECT_EQ(welcome.cy, 86);
    EXPECT_EQ(welcome.title, "Dialog");
    EXPECT_TRUE(welcome.style & WS_SYSMENU);
    ASSERT_NE(Item(welcome, IDOK), nullptr);
    EXPECT_EQ(Item(welcome, IDOK)->style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(Item(welcome, IDOK)->title, "&Continue");
    EXPECT_EQ(Item(welcome, IDCANCEL)->title, "&Exit");
    EXPECT_EQ(Item(welcome, IDC_WELCOME_TEXT)->className, "#130");   // static
    EXPECT_EQ(Item(welcome, IDC_WELCOME_TEXT)->style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));

    EXPECT_EQ(license.title, "License Agreement");
    EXPECT_EQ(license.cx, 266);
    EXPECT_EQ(license.cy, 155);
    const DialogItemTemplate* text = Item(license, IDC_LICENSE_TEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->className, "#129");   // edit
    const DWORD editStyle = ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
    EXPECT_EQ(text->style & editStyle, editStyle);
    EXPECT_EQ(Item(license, IDOK)->title, "I accept the license agreement");
    EXPECT_EQ(Item(license, IDCANCEL)->title, "I do not accept the license agreement");

    EXPECT_EQ(destination.title, "Dialog");
    EXPECT_EQ(destination.cx, 227);
    EXPECT_EQ(destination.cy, 60);
    const DialogItemTemplate* edit = Item(destination, IDC_DESTINATION);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->style & ES_MULTILINE, 0u);
    EXPECT_EQ(edit->style & (ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP), static_cast<DWORD>(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP));
    EXPECT_EQ(Item(destination, IDC_BROWSE)->title, "&Browse....");
    bool prompt = false;
    for (const auto& item : destination.items)
        prompt |= item.title == "Please select the directory to install the software to:" && item.x == 17 &&
                  item.y == 5 && item.cx == 160 && item.cy == 8;
    EXPECT_TRUE(prompt);

    EXPECT_EQ(progress.title, "Installing...");
    EXPECT_EQ(progress.cx, 186);
    EXPECT_EQ(progress.cy, 43);
    EXPECT_EQ(progress.style & WS_SYSMENU, 0u);   // no close box
    EXPECT_EQ(Item(progress, IDOK), nullptr);
    EXPECT_EQ(Item(progress, IDC_STATUS)->style & SS_SUNKEN, static_cast<DWORD>(SS_SUNKEN));
    const DialogItemTemplate* bar = Item(progress, IDC_PROGRESS);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(lstrcmpiA(bar->className.c_str(), "msctls_progress32"), 0) << bar->className;
    EXPECT_TRUE(bar->style & WS_BORDER);
    EXPECT_EQ(bar->x, 4);
    EXPECT_EQ(bar->y, 30);
    EXPECT_EQ(bar->cx, 179);
    EXPECT_EQ(bar->cy, 9);
}

TEST(Wizard, ProgressDialogShowsWhatThePhaseReports)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    TestProgressDlg dlg;
    std::string status1, status2, status3;
    LRESULT rangeHigh = 0, pos1 = -1, pos2 = -1, pos3 = -1;
    bool stillOpenAfterCancel = false;
    std::vector<std::string> layout;
    dlg.phase = [&](TestProgressDlg& d) {
        // The controls stand where the template puts them (in-process,
        // MapDialogRect converts dialog units).
        const int want[][5] = {{IDC_STATUS, 21, 5, 162, 9}, {IDC_PROGRESS, 4, 30, 179, 9}};
        for (const auto& w : want) {
            // Position and size convert separately, as the dialog manager does.
            RECT units = {w[1], w[2], w[3], w[4]};
            ::MapDialogRect(d.m_hWnd, &units);
            units.right += units.left;
            units.bottom += units.top;
            RECT got;
            ::GetWindowRect(d.Control(w[0]), &got);
            ::MapWindowPoints(nullptr, d.m_hWnd, reinterpret_cast<POINT*>(&got), 2);
            if (!::EqualRect(&units, &got))
                layout.push_back("control " + std::to_string(w[0]) + " at " + std::to_string(got.left) + "," +
                                 std::to_string(got.top) + "-" + std::to_string(got.right) + "," +
                                 std::to_string(got.bottom) + ", template " + std::to_string(units.left) + "," +
                                 std::to_string(units.top) + "-" + std::to_string(units.right) + "," +
                                 std::to_string(units.bottom));
        }
        RECT client, size = {0, 0, 186, 43};
        ::GetClientRect(d.m_hWnd, &client);
        ::MapDialogRect(d.m_hWnd, &size);
        if (!::EqualRect(&client, &size))
            layout.push_back("client area differs from 186 x 43 units");
        rangeHigh = ::SendMessageA(d.Control(IDC_PROGRESS), PBM_GETRANGE, FALSE, 0);
        CInstallArchive archive(&d);
        CurrentInstallArchive() = &archive;
        archive.m_strCurrentName = "sub\\readme.txt";
        archive.m_nPercent = 33;
        d.Notify(ID_PROGRESS_FILE);
        status1 = GetWindowTextString(d.Control(IDC_STATUS));
        d.Notify(ID_PROGRESS_STEP);
        pos1 = ::SendMessageA(d.Control(IDC_PROGRESS), PBM_GETPOS, 0, 0);
        CurrentInstallArchive() = nullptr;

        GetTreeCopier().m_strCurrentName = "one.dll";
        d.Notify(ID_PROGRESS_COPYFILE);
        pos2 = ::SendMessageA(d.Control(IDC_PROGRESS), PBM_GETPOS, 0, 0);
        status2 = GetWindowTextString(d.Control(IDC_STATUS));
        GetTreeCopier().m_strCurrentName = "two.dll";
        d.Notify(ID_PROGRESS_COPYFILE);
        pos3 = ::SendMessageA(d.Control(IDC_PROGRESS), PBM_GETPOS, 0, 0);
        status3 = GetWindowTextString(d.Control(IDC_STATUS));

        // Esc only raises the flag; Enter does nothing either.
        ::SendMessageA(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
        ::SendMessageA(d.m_hWnd, WM_COMMAND, IDOK, 0);
        stillOpenAfterCancel = ::IsWindow(d.m_hWnd) && d.m_bCancel;
        return true;
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(layout.empty()) << layout.front();
    EXPECT_EQ(rangeHigh, 100);
    EXPECT_EQ(status1, "sub\\readme.txt");
    EXPECT_EQ(pos1, 33);
    EXPECT_EQ(pos2, 0);   // the first copied file shows position 0
    EXPECT_EQ(status2, "one.dll");
    EXPECT_EQ(pos3, 1);
    EXPECT_EQ(status3, "two.dll");
    EXPECT_EQ(dlg.m_nCounter, 2);
    EXPECT_TRUE(stillOpenAfterCancel);

    TestProgressDlg failing;
    failing.phase = [](TestProgressDlg&) { return false; };
    EXPECT_EQ(failing.DoModal(), IDCANCEL);
}

TEST(Wizard, FileErrorInThePhaseIsReportedAndEndsTheDialog)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    TestProgressDlg dlg;
    dlg.phase = [](TestProgressDlg&) -> bool {
        throw CFileException(CFileException::diskFull, 112, "C:\\App\\big.dat");
    };
    std::string text;
    std::thread answer([&] {
        if (HWND box = WaitForMessageBox(AfxGetAppName())) {
            text = MessageBoxText(box);
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    });
    INT_PTR result = dlg.DoModal();
    answer.join();
    EXPECT_EQ(text, "Disk full while accessing C:\\App\\big.dat.");
    EXPECT_EQ(result, IDCANCEL);
}

namespace {

// The program's application object, as Setup.exe has one.
CWinApp g_testApp;

// The background window with a Copy list that fails as a file error would.
class FailingSetupDlg : public CSetupDlg {
protected:
    void ProcessCopySection() override { throw CFileException(CFileException::fileNotFound); }
    void ProcessDelSection() override { ++laterSteps; }
    void RunProgram() override { ++laterSteps; }

public:
    int laterSteps = 0;
};

} // namespace

TEST(Wizard, ErrorEscapingTheSequenceLeavesTheBackgroundOpen)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    FailingSetupDlg background;
    g_testApp.m_pMainWnd = &background;
    std::string text;
    bool backgroundOpen = false;
    std::thread user([&] {
        if (HWND welcome = WaitForDialogWith(IDC_WELCOME_TEXT))
            ::PostMessageA(::GetDlgItem(welcome, IDOK), BM_CLICK, 0, 0);
        if (HWND destination = WaitForDialogWith(IDC_DESTINATION)) {
            // An empty folder would be refused.
            ::SendMessageA(::GetDlgItem(destination, IDC_DESTINATION), WM_SETTEXT, 0,
                           reinterpret_cast<LPARAM>("C:\\QjWizardTest"));
            ::PostMessageA(::GetDlgItem(destination, IDOK), BM_CLICK, 0, 0);
        }
        if (HWND box = WaitForMessageBox(AfxGetAppName())) {
            text = MessageBoxText(box);
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        // The background stays until the user closes it.
        ::Sleep(300);
        HWND hWnd = background.m_hWnd;
        backgroundOpen = hWnd && ::IsWindow(hWnd) && ::IsWindowEnabled(hWnd);
        if (hWnd)
            ::PostMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    INT_PTR result = background.DoModal();
    user.join();
    g_testApp.m_pMainWnd = nullptr;
    EXPECT_EQ(text, "an unnamed file was not found.");
    EXPECT_TRUE(backgroundOpen);
    EXPECT_EQ(background.laterSteps, 0);
    EXPECT_EQ(result, IDCANCEL);
}
