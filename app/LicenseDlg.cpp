#include "app/LicenseDlg.h"

#include "app/ReadTextFile.h"
#include "app/resource.h"

CLicenseDlg::CLicenseDlg(const std::string& path) : CDialog(IDD)
{
    // An unreadable file leaves the text empty; the user can still accept.
    ReadTextFile(path, m_strText);
}

void CLicenseDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Text(dx, IDC_LICENSE_TEXT, m_strText);
}
