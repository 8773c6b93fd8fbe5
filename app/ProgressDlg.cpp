#include "app/ProgressDlg.h"

#include <commctrl.h>

#include "app/resource.h"
#include "framework/ExceptionReport.h"
#include "app/SourceDir.h"
#include "install/ArchivePhase.h"
#include "install/DirectoryUtil.h"
#include "install/InstallArchive.h"
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
    const std::string source = GetSourceDir();
    std::vector<ArchiveJob> jobs = {
        {"Setup.aqj", source + "Setup.aqj", m_strDestination + "\\"},
        {"Windows.aqj", source + "Windows.aqj", GetWindowsFolder() + "\\"},
        {"System.aqj", source + "System.aqj", GetSystemFolder() + "\\"},
    };
    CArchivePhase phase;
    phase.maxPath = MAX_PATH - 1;
    GetSetupScript().GetString("General", "Title", phase.title);
    phase.freeSpace = [](const std::string& destination, std::string& volume, std::uint64_t& freeBytes) {
        // The volume's root from the full path: "C:\" or "\\server\share\".
        char full[MAX_PATH * 2];
        DWORD n = ::GetFullPathNameA(destination.c_str(), sizeof full, full, nullptr);
        if (n == 0 || n >= sizeof full)
            return false;
        std::string root(full, n);
        if (root.size() >= 2 && root[1] == ':') {
            root = root.substr(0, 2) + "\\";
        } else if (root.compare(0, 2, "\\\\") == 0) {
            std::string::size_type share = root.find('\\', 2);
            std::string::size_type end = share == std::string::npos ? share : root.find('\\', share + 1);
            if (end == std::string::npos)
                return false;
            root = root.substr(0, end + 1);
        } else {
            return false;
        }
        ULARGE_INTEGER available;
        if (!::GetDiskFreeSpaceExA(root.c_str(), &available, nullptr, nullptr))
            return false;
        volume = root.substr(0, root.size() - 1);
        freeBytes = available.QuadPart;
        return true;
    };
    std::string message;
    if (!phase.Run(jobs, this, message)) {
        AfxMessageBox(message, MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

bool CProgressDlg::InstallCopyTree()
{
    std::string from, destination;
    GetSetupScript().GetString("Copy", "From", from);
    GetSetupScript().GetString("General", "Destination", destination);
    const std::string source = GetSourceDir() + from;
    // Counting changes the current directory: a relative destination
    // means the current directory as the phase starts.
    destination = AbsolutePath(destination);
    CTreeCopier& copier = GetTreeCopier();
    copier.m_pOwner = this;
    m_nTotal = CountFiles(source);
    // The 32-bit range: a tree may hold more than 65535 files.
    m_progress.SendMessage(PBM_SETRANGE32, 0, static_cast<LPARAM>(m_nTotal));
    m_nCounter = 0;
    bool result = CopyTree(source, destination);
    m_progress.SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_nTotal));
    copier.m_pOwner = nullptr;
    return result;
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
