#include "app/WelcomeDlg.h"

#include "app/resource.h"
#include "script/SetupScript.h"

CWelcomeDlg::CWelcomeDlg() : CDialog(IDD)
{
    std::string name;
    GetSetupScript().GetString("General", "Title", m_strCaption);
    GetSetupScript().GetString("General", "Name", name);
    m_strText = "Welcome to the " + name + " installation program.\n\nThis will install the " + name +
                " software on your computer.";
}

void CWelcomeDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Text(dx, IDC_WELCOME_TEXT, m_strText);
}

BOOL CWelcomeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strCaption);
    return TRUE;
}
