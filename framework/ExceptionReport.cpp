#include "framework/ExceptionReport.h"

#include <windows.h>

#include "framework/Exception.h"
#include "framework/WinApp.h"

int AfxMessageBox(const std::string& text, unsigned type, unsigned /*helpId*/)
{
    HWND owner = ::GetActiveWindow();
    if (!owner) {
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd)
            owner = app->m_pMainWnd->m_hWnd;
    }
    return ::MessageBoxA(owner, text.c_str(), AfxGetAppName().c_str(), type);
}

void AfxReportException(std::exception_ptr error)
{
    ExceptionReport report = DescribeException(error);
    if (report.kind == ExceptionReport::outOfMemory)
        AfxMessageBox(report.text, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    else
        AfxMessageBox(report.text, MB_OK | MB_ICONSTOP);
}
