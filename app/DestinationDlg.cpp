#include "app/DestinationDlg.h"

#include <direct.h>

#include <vector>

#include "app/resource.h"
#include "framework/ExceptionReport.h"
#include "script/SetupScript.h"
#include "ui/FolderDialog.h"

std::string AbsoluteDestination(const std::string& typed)
{
    auto slash = [](char c) { return c == '\\' || c == '/'; };
    if ((typed.size() >= 3 && typed[1] == ':' && slash(typed[2])) ||
        (typed.size() >= 2 && slash(typed[0]) && slash(typed[1])))
        return typed;
    std::vector<char> full(MAX_PATH);
    for (;;) {
        DWORD n = ::GetFullPathNameA(typed.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0)
            return typed;
        if (n < full.size())
            return std::string(full.data(), n);
        full.resize(n);
    }
}


CDestinationDlg::CDestinationDlg() : CDialog(IDD)
{
    GetSetupScript().GetString("General", "Destination", m_strDestination);
}

void CDestinationDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Text(dx, IDC_DESTINATION, m_strDestination);
}

BOOL CDestinationDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    std::string title;
    GetSetupScript().GetString("General", "Title", title);
    SetWindowText(title);
    return TRUE;
}

bool CDestinationDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_BROWSE && HIWORD(wParam) == BN_CLICKED) {
        OnBrowse();
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CDestinationDlg::OnOK()
{
    UpdateData(true);
    // An empty folder would install into the root of the current drive,
    // which may be the medium itself.
    if (m_strDestination.find_first_not_of(" \t") == std::string::npos) {
        std::string name;
        GetSetupScript().GetString("General", "Name", name);
        AfxMessageBox("Please enter the folder to install " + (name.empty() ? std::string("the software") : name) +
                          " into.",
                      MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(GetDlgItem(IDC_DESTINATION));
        return;
    }
    m_strDestination = AbsoluteDestination(m_strDestination);
    UpdateData(false);
    EndDialog(IDOK);
}

void CDestinationDlg::OnBrowse()
{
    // The picker opens at C:\Program Files, or at C:\ when that is missing.
    _chdir("C:\\");
    _chdir("C:\\Program Files");
    CFolderDialog picker(&m_strDestination, "Select Application Folder");
    if (picker.DoModal() == IDOK)
        UpdateData(false);
}
