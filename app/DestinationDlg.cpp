#include "app/DestinationDlg.h"

#include <direct.h>

#include "app/resource.h"
#include "script/SetupScript.h"
#include "ui/FolderDialog.h"

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

void CDestinationDlg::OnBrowse()
{
    // The picker opens at C:\Program Files, or at C:\ when that is missing.
    _chdir("C:\\");
    _chdir("C:\\Program Files");
    CFolderDialog picker(&m_strDestination, "Select Application Folder");
    if (picker.DoModal() == IDOK)
        UpdateData(false);
}
