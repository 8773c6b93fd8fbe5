#include "app/SetupApp.h"

#include <commctrl.h>

#include "app/SetupDlg.h"
#include "ui/BmpBtn.h"

CSetupApp theApp;

BOOL CSetupApp::InitInstance()
{
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
    // No message loop of our own: the program ends here.
    return FALSE;
}
