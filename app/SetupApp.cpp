#include "app/SetupApp.h"

#include "app/SetupDlg.h"

CSetupApp theApp;

BOOL CSetupApp::InitInstance()
{
    Enable3dControlsStatic();
    CSetupDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // No message loop of our own: the program ends here.
    return FALSE;
}
