// Dialogs on the real dialog manager: the framework's exception report and
// data exchange, the progress dialog's notifications and failures. (An
// error escaping the install sequence: the e2e scenario sections_failures.)

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "app/ProgressDlg.h"
#include "app/resource.h"
#include "framework/FileException.h"
#include "framework/WinApp.h"
#include "install/InstallArchive.h"
#include "install/TreeCopier.h"

namespace {

// The program's application object, as Setup.exe has one.
CWinApp g_testApp;

// For a helper thread while the test's thread runs a modal loop: waits for
// the message box with the given caption (10 s at most), presses OK and
// returns its text (its longest static); "" when none came.
std::string AnswerMessageBox(const std::string& caption)
{
    HWND box = nullptr;
    for (int waited = 0; waited < 10000 && !box; waited += 20, ::Sleep(20))
        if ((box = ::FindWindowA("#32770", caption.c_str())) && !::IsWindowVisible(box))
            box = nullptr;
    std::string text;
    for (HWND c = box ? ::GetWindow(box, GW_CHILD) : nullptr; c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = {};
        ::GetClassNameA(c, cls, sizeof cls);
        std::string t = GetWindowTextString(c);
        if (lstrcmpiA(cls, "Static") == 0 && t.size() > text.size())
            text = t;
    }
    if (box)
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return text;
}

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
