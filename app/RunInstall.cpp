// The install sequence as the user meets it: Welcome, licence, destination,
// the file phase, then the script's lists and the program to start.

#include "app/DestinationDlg.h"
#include "app/LicenseDlg.h"
#include "app/ProgressDlg.h"
#include "app/SetupPlatform.h"
#include "app/SetupDlg.h"
#include "app/SourceDir.h"
#include "app/WelcomeDlg.h"
#include "framework/WinApp.h"
#include "script/ScriptSections.h"
#include "script/SetupScript.h"

namespace {

// Ends the hourglass however the sequence is left, an escaping file error
// included.
class WaitCursor {
public:
    WaitCursor() { AfxGetApp()->BeginWaitCursor(); }
    ~WaitCursor() { AfxGetApp()->EndWaitCursor(); }
    void Restore() { AfxGetApp()->RestoreWaitCursor(); }
};

} // namespace

void CSetupDlg::RunInstall()
{
    CSetupScript& script = GetSetupScript();

    CWelcomeDlg welcome;
    if (welcome.DoModal() != IDOK)
        return;

    std::int16_t license = 0;
    script.GetInt("General", "License", license);
    std::string licensePath = GetSourceDir() + "License.txt";
    if (license != 0 && FileExists(licensePath)) {
        CLicenseDlg licenseDlg(licensePath);
        if (licenseDlg.DoModal() != IDOK)
            return;
    }

    CDestinationDlg destination;
    if (destination.DoModal() != IDOK)
        return;

    // Not empty and absolute (the dialog saw to both); the file phase
    // creates what it writes into.
    CProgressDlg progress;
    progress.m_strDestination = destination.m_strDestination;
    m_strDestination = destination.m_strDestination;
    script.SetString("General", "Destination", destination.m_strDestination);
    if (progress.DoModal() != IDOK)
        return;

    WaitCursor wait;
    ProcessCopySection();
    ProcessDelSection();
    wait.Restore();
    ProcessIniAndGroupSections();
    RunProgram();
}

void CSetupDlg::ProcessCopySection()
{
    CSetupPlatform platform(m_hWnd);
    CScriptSections(platform, GetSetupScript()).ProcessCopySection();
}

void CSetupDlg::ProcessDelSection()
{
    CSetupPlatform platform(m_hWnd);
    CScriptSections(platform, GetSetupScript()).ProcessDelSection();
}

bool CSetupDlg::ProcessIniAndGroupSections()
{
    CSetupPlatform platform(m_hWnd);
    return CScriptSections(platform, GetSetupScript()).ProcessIniAndGroupSections();
}

void CSetupDlg::RunProgram()
{
    CSetupPlatform platform(m_hWnd);
    CScriptSections(platform, GetSetupScript()).RunProgram();
}
