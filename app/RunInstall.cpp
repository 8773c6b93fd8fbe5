// The install sequence as the user meets it: Welcome, licence, destination,
// the file phase, then the script's lists and the program to start.

#include "app/DestinationDlg.h"
#include "app/InstallSession.h"
#include "app/LicenseDlg.h"
#include "app/ProgressDlg.h"
#include "app/SetupDlg.h"
#include "app/SourceDir.h"
#include "app/WelcomeDlg.h"
#include "framework/WinApp.h"
#include "install/InstallLog.h"
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
    CInstallSession& session = GetInstallSession();
    // Leaving any step before the end is a cancel.
    session.status = statusCancelled;

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
        GetInstallLog().Write("Licence accepted");
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
    GetInstallLog().Write("Destination " + m_strDestination);
    if (progress.DoModal() != IDOK) {
        if (progress.m_nStatus != statusInstalled)
            session.status = progress.m_nStatus;
        return;
    }

    try {
        ProcessSections();
    } catch (...) {
        // Reported by the framework; the background stays up until closed.
        GetInstallLog().Write("Error: " + ExceptionText(std::current_exception()));
        session.status = statusFileError;
        throw;
    }
    session.status = statusInstalled;
    RunProgram();
}

void CSetupDlg::ProcessSections()
{
    WaitCursor wait;
    RunSectionLists(m_hWnd);
    wait.Restore();
    RegisterRemoval(m_strDestination);
}

void CSetupDlg::RunProgram()
{
    RunScriptProgram(m_hWnd);
}
