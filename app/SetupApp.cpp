#include "app/SetupApp.h"

#include <commctrl.h>

#include "app/InstallSession.h"
#include "app/SetupDlg.h"
#include "app/SourceDir.h"
#include "app/Uninstall.h"
#include "framework/ExceptionReport.h"
#include "install/InstallLog.h"
#include "script/SetupScript.h"
#include "ui/BmpBtn.h"

CSetupApp theApp;

namespace {

const char* StatusName(int status)
{
    switch (status) {
    case statusInstalled: return "done";
    case statusCancelled: return "cancelled";
    case statusMedium: return "damaged medium, record or not enough space";
    case statusFileError: return "file error";
    default: return "bad command line";
    }
}

} // namespace

BOOL CSetupApp::InitInstance()
{
    CInstallSession& session = GetInstallSession();
    SetupOptions& options = session.options;
    const std::string commandLine = ::GetCommandLineA();
    if (!ParseCommandLine(CommandArguments(commandLine), options) || options.usage) {
        if (!options.silent)
            AfxMessageBox(UsageText(options.error), MB_OK | (options.error.empty() ? MB_ICONINFORMATION : MB_ICONSTOP));
        m_nExitCode = statusCommandLine;
        return FALSE;
    }
    // Uninstall.exe opened without /U, by a double click in its folder.
    if (!options.uninstall && ::lstrcmpiA(AfxGetAppName().c_str(), "Uninstall") == 0 &&
        !FileExists(GetSourceDir() + "Setup.ini"))
        options.uninstall = true;
    if (options.cleanupOf) {
        m_nExitCode = RunCleanup();
        return FALSE;
    }
    CInstallLog& log = GetInstallLog();
    if (!options.log.empty() && !log.Open(options.log)) {
        if (!options.silent)
            AfxMessageBox("The log file " + options.log + " cannot be written.", MB_OK | MB_ICONSTOP);
        m_nExitCode = statusCommandLine;
        return FALSE;
    }
    log.Write(AfxGetAppName() + " " + kSetupVersion + " started: " + commandLine);

    if (options.uninstall) {
        m_nExitCode = RunRemoval();
    } else if (options.silent) {
        GetSetupScript().Load(GetSourceDir() + "Setup.ini", false);
        m_nExitCode = RunSilentInstall();
    } else {
        Enable3dControlsStatic();
        CBmpBtn::RegisterRuntimeClass();
        // The progress dialog's bar is a common control: register its class
        // before the first dialog, or that dialog cannot be made.
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
        CSetupDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        m_nExitCode = session.status;
    }
    log.Write(AfxGetAppName() + " finished: status " + std::to_string(m_nExitCode) + " (" + StatusName(m_nExitCode) + ")");
    // No message loop of our own: the program ends here.
    return FALSE;
}
