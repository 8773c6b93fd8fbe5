// Dialogs on the real dialog manager: the framework's exception report and
// data exchange, the progress dialog's notifications and failures, and an
// error escaping the install sequence.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "WaitWindow.h"
#include "app/ProgressDlg.h"
#include "app/SetupDlg.h"
#include "app/resource.h"
#include "framework/FileException.h"
#include "framework/WinApp.h"
#include "install/InstallArchive.h"
#include "install/TreeCopier.h"
#include "ui/BmpBtn.h"

namespace {

// The program's application object, as Setup.exe has one.
CWinApp g_testApp;

// A timer handler throws; a second timer after it ends the dialog.
class ThrowingDialog : public CDialog {
public:
    ThrowingDialog() : CDialog(IDD_SETUP_DIALOG) {}
    int timerRuns = 0;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ::SetTimer(m_hWnd, 1, 10, nullptr);
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override
    {
        ::KillTimer(m_hWnd, id);
        ++timerRuns;
        if (id == 2)
            return EndDialog(77);
        ::SetTimer(m_hWnd, 2, 10, nullptr);
        throw CFileException(CFileException::fileNotFound, 2, "C:\\missing.dat");
    }
};

// The dialog's own caption stands in for a control's text.
class DataDialog : public CDialog {
public:
    DataDialog() : CDialog(IDD_SETUP_DIALOG) {}
    std::string m_strCaptionText = "before", seenInWindow;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        if (dx->m_bSaveAndValidate)
            m_strCaptionText = GetWindowText();
        else
            SetWindowText(m_strCaptionText);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        seenInWindow = GetWindowText();
        SetWindowText("typed by the user");
        ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
};

// A progress dialog whose file phase is given by the test.
class TestProgressDlg : public CProgressDlg {
public:
    std::function<bool(TestProgressDlg&)> phase;
    std::string Status() const { return GetWindowTextString(::GetDlgItem(m_hWnd, IDC_STATUS)); }
    LRESULT Bar(UINT message) const { return ::SendDlgItemMessageA(m_hWnd, IDC_PROGRESS, message, 0, 0); }

protected:
    bool RunFilePhase() override { return phase(*this); }
};

// The background window with a Copy list that fails as a file error would.
class FailingSetupDlg : public CSetupDlg {
public:
    int laterSteps = 0;

protected:
    void ProcessSections() override { throw CFileException(CFileException::fileNotFound); }
    void RunProgram() override { ++laterSteps; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP)   // still open after the report: the user closes it
            EndDialog(42);
        return CSetupDlg::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(Dialog, ExceptionFromHandlerIsReportedAndTheLoopGoesOn)
{
    EXPECT_EQ(AfxGetAppName(), "win_tests");
    std::string text;
    std::thread answer([&] { text = AnswerMessageBox(AfxGetAppName()); });
    ThrowingDialog dialog;
    INT_PTR result = dialog.DoModal();
    answer.join();
    EXPECT_EQ(text, "C:\\missing.dat was not found.");
    EXPECT_EQ(dialog.timerRuns, 2);
    EXPECT_EQ(result, 77);

    DataDialog data;
    EXPECT_EQ(data.DoModal(), IDOK);
    EXPECT_EQ(data.seenInWindow, "before");
    EXPECT_EQ(data.m_strCaptionText, "typed by the user");
}

TEST(Wizard, ProgressDialogShowsWhatThePhaseReports)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    TestProgressDlg dlg;
    std::vector<std::string> seen;
    dlg.phase = [&](TestProgressDlg& d) {
        auto note = [&](unsigned id) {
            d.Notify(id);
            seen.push_back(d.Status() + " " + std::to_string(d.Bar(PBM_GETPOS)) + "/" +
                           std::to_string(d.Bar(PBM_GETRANGE)));
        };
        CInstallArchive archive(&d);
        CurrentInstallArchive() = &archive;
        archive.m_strCurrentName = "sub\\readme.txt";
        archive.m_nPercent = 33;
        note(ID_PROGRESS_FILE);
        note(ID_PROGRESS_STEP);
        CurrentInstallArchive() = nullptr;
        for (const char* name : {"one.dll", "two.dll"}) {
            GetTreeCopier().m_strCurrentName = name;
            note(ID_PROGRESS_COPYFILE);
        }
        // Esc only raises the flag; Enter does nothing either.
        ::SendMessageA(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
        ::SendMessageA(d.m_hWnd, WM_COMMAND, IDOK, 0);
        seen.push_back(::IsWindow(d.m_hWnd) && d.m_bCancel ? "open, cancel asked" : "closed");
        return true;
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    // The first copied file shows position 0.
    EXPECT_EQ(seen, (std::vector<std::string>{"sub\\readme.txt 0/100", "sub\\readme.txt 33/100", "one.dll 0/100",
                                              "two.dll 1/100", "open, cancel asked"}));
    EXPECT_EQ(dlg.m_nCounter, 2);

    TestProgressDlg failing;
    failing.phase = [](TestProgressDlg&) { return false; };
    EXPECT_EQ(failing.DoModal(), IDCANCEL);

    TestProgressDlg throwing;
    throwing.phase = [](TestProgressDlg&) -> bool {
        throw CFileException(CFileException::diskFull, 112, "C:\\App\\big.dat");
    };
    std::string text;
    std::thread answer([&] { text = AnswerMessageBox(AfxGetAppName()); });
    EXPECT_EQ(throwing.DoModal(), IDCANCEL);
    answer.join();
    EXPECT_EQ(text, "Disk full while accessing C:\\App\\big.dat.");
}

TEST(Wizard, ErrorEscapingTheSequenceLeavesTheBackgroundOpen)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    FailingSetupDlg background;
    g_testApp.m_pMainWnd = &background;
    std::string text;
    const DWORD me = ::GetCurrentThreadId();
    std::thread user([&] {
        for (int control : {IDC_WELCOME_TEXT, IDC_DESTINATION}) {
            HWND dialog = WaitForWindow([&] {
                for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT))
                    if (::IsWindowVisible(w) && ::GetDlgItem(w, control) && ::GetWindowThreadProcessId(w, nullptr) == me)
                        return w;
                return HWND{};
            });
            if (control == IDC_DESTINATION)   // an empty folder would be refused
                ::SendMessageA(::GetDlgItem(dialog, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\QjWizard"));
            ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        }
        text = AnswerMessageBox(AfxGetAppName());
        // Taken after the box's OK: only a background still open sees it.
        ::PostMessageA(background.m_hWnd, WM_APP, 0, 0);
    });
    INT_PTR result = background.DoModal();
    user.join();
    g_testApp.m_pMainWnd = nullptr;
    EXPECT_EQ(text, "an unnamed file was not found.");
    EXPECT_EQ(background.laterSteps, 0);
    EXPECT_EQ(result, 42);
}

namespace {

// A bitmap push button with the id IDOK tells its parent of the pointer
// with the code 5: that must not end the dialog as a click would.
class HoverOkDialog : public CDialog {
public:
    HoverOkDialog() : CDialog(102) {}
    CBmpBtn ok;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        HWND b = ::CreateWindowA("BUTTON", "C:OK", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 60, 20, m_hWnd,
                                 reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
        ok.SubclassWindow(b);
        ::SendMessageA(b, WM_SETCURSOR, reinterpret_cast<WPARAM>(b), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        ::PostMessageA(m_hWnd, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
};

} // namespace

TEST(Dialog, OnlyAClickOfIdOkEndsTheDialog)
{
    HoverOkDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}
