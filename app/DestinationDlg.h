#pragma once

#include <string>

#include "framework/Dialog.h"

// Asks for the installation folder, typed or picked with Browse.
class CDestinationDlg : public CDialog {
public:
    enum { IDD = 130 };
    CDestinationDlg();

    std::string m_strDestination;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Refuses an empty or blank folder with a message; makes a relative one
    // absolute against the current directory.
    void OnOK() override;
    void OnBrowse();
};

// "C:\..." and "\\server\..." stay as typed; anything else ("App",
// "C:App", "\App") is taken against the current directory now, since the
// picker and the copy phase move it later.
std::string AbsoluteDestination(const std::string& typed);
