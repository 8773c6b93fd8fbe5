#include "app/ProgressDlg.h"

#include <commctrl.h>

#include "app/resource.h"
#include "framework/ExceptionReport.h"
#include "app/SourceDir.h"
#include "app/InstallSession.h"
#include "install/InstallArchive.h"
#include "install/InstallLog.h"
#include "install/TreeCopy.h"
#include "script/SetupScript.h"

CProgressDlg::CProgressDlg() : CDialog(IDD)
{
}

void CProgressDlg::Notify(unsigned id)
{
    ::SendMessageA(m_hWnd, WM_COMMAND, id, 0);
}

void CProgressDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_PROGRESS, m_progress);
    DDX_Text(dx, IDC_STATUS, m_strStatus);
}

BOOL CProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SetTimer(m_hWnd, kStartTimer, 10, nullptr);
    return TRUE;
}

void CProgressDlg::OnTimer(UINT_PTR id)
{
    if (id != kStartTimer)
        return;
    // The phase runs once, inside this one timer message.
    ::KillTimer(m_hWnd, kStartTimer);
    Default();
    // The modal loop shows the dialog only once its queue is empty; the
    // tick can come first, and the phase pumps no messages.
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::UpdateWindow(m_hWnd);
    bool ok = false;
    try {
        ok = RunFilePhase();
    } catch (...) {
        // The dialog has no button: after the report it must end, or the
        // user would be left with a window that cannot be closed.
        GetInstallLog().Write("Error: " + ExceptionText(std::current_exception()));
        AfxReportException(std::current_exception());
        m_nStatus = statusFileError;
        ok = false;
    }
    if (ok)
        CDialog::OnOK();
    else
        CDialog::OnCancel();
}

bool CProgressDlg::RunFilePhase()
{
    std::int16_t copyMode = 0;
    GetSetupScript().GetInt("General", "CopyMode", copyMode);
    if (copyMode != 0) {
        std::string from;
        GetSetupScript().GetString("Copy", "From", from);
        m_nTotal = CountFiles(GetSourceDir() + from);
        // The 32-bit range: a tree may hold more than 65535 files.
        m_progress.SendMessage(PBM_SETRANGE32, 0, static_cast<LPARAM>(m_nTotal));
        m_nCounter = 0;
    }
    m_nStatus = ::RunFilePhase(m_strDestination, this);
    if (copyMode != 0)
        m_progress.SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_nTotal));
    return m_nStatus == statusInstalled;
}

bool CProgressDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_PROGRESS_FILE:
        if (CInstallArchive* archive = CurrentInstallArchive())
            m_strStatus = archive->m_strCurrentName;
        UpdateData(false);
        return true;
    case ID_PROGRESS_STEP:
        if (CInstallArchive* archive = CurrentInstallArchive())
            m_progress.SendMessage(PBM_SETPOS, static_cast<WPARAM>(archive->m_nPercent));
        // The phase pumps no messages: paint the bar now, or it stays as
        // it was until the phase is over.
        ::UpdateWindow(m_progress.m_hWnd);
        return true;
    case ID_PROGRESS_COPYFILE:
        m_strStatus = GetTreeCopier().m_strCurrentName;
        m_progress.SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_nCounter));
        ::UpdateWindow(m_progress.m_hWnd);
        ++m_nCounter;
        UpdateData(false);
        return true;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CProgressDlg::OnOK()
{
    // Enter must not end the dialog: only the phase's result does.
}

void CProgressDlg::OnCancel()
{
    // Esc only raises the flag; the file phase cannot be interrupted.
    m_bCancel = true;
}
