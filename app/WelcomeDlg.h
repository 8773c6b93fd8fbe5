#pragma once

#include <string>

#include "framework/Dialog.h"

// The first wizard page: names the product; Continue or Exit.
class CWelcomeDlg : public CDialog {
public:
    enum { IDD = 129 };
    CWelcomeDlg();

    std::string m_strText;
    std::string m_strCaption;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
};
