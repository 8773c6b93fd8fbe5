// The progress dialog on the real dialog manager: what it shows for each
// notification of the file phase, and that Esc and Enter do not close it.
// (The framework's data exchange and its report of an exception escaping a
// handler, a file phase that fails or throws: the e2e scenarios wizard,
// full_install and archives.)

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/ProgressDlg.h"
#include "app/resource.h"
#include "framework/WinApp.h"
#include "install/InstallArchive.h"
#include "install/TreeCopier.h"

namespace {

// The program's application object, as Setup.exe has one.
CWinApp g_testApp;

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
}
