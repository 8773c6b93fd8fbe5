#include "app/ProgressDlg.h"

#include <commctrl.h>

#include "app/resource.h"
#include "framework/ExceptionReport.h"
#include "install/InstallArchive.h"
#include "install/TreeCopier.h"
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
    bool ok = false;
    try {
        ok = RunFilePhase();
    } catch (...) {
        // The dialog has no button: after the report it must end, or the
        // user would be left with a window that cannot be closed.
        AfxReportException(std::current_exception());
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
    return copyMode != 0 ? InstallCopyTree() : InstallArchives();
}

bool CProgressDlg::InstallArchives()
{
    // Extraction joins here with the archive reader; until then there is
    // nothing to install and the phase succeeds.
    return true;
}

bool CProgressDlg::InstallCopyTree()
{
    // The tree copy joins here; until then there is nothing to copy.
    return true;
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
        return true;
    case ID_PROGRESS_COPYFILE:
        m_strStatus = GetTreeCopier().m_strCurrentName;
        m_progress.SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_nCounter));
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
