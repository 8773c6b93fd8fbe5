#pragma once

#include <string>

#include "framework/Dialog.h"

// Shows License.txt for acceptance.
class CLicenseDlg : public CDialog {
public:
    enum { IDD = 135 };
    explicit CLicenseDlg(const std::string& path);

    std::string m_strText;

protected:
    void DoDataExchange(CDataExchange* dx) override;
};
