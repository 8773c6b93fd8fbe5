#pragma once
// "Installing...": runs the file phase on its first timer tick and shows
// what the phase reports. It has no button and no close box.

#include <string>

#include "framework/Dialog.h"
#include "install/ProgressSink.h"

class CProgressDlg : public CDialog, public CProgressSink {
public:
    enum { IDD = 131 };
    static constexpr UINT_PTR kStartTimer = 456;

    CProgressDlg();

    CWnd m_progress;
    std::string m_strStatus;
    std::string m_strDestination;
    bool m_bCancel = false;
    int m_nTotal = 0;
    int m_nCounter = 0;
    int m_nStatus = 0;   // why the phase ended, as the process reports it

    // CProgressSink: a synchronous WM_COMMAND to this dialog.
    void Notify(unsigned id) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;

    // The file phase: the archives, or the source tree in copy mode. True
    // when the installation may go on.
    virtual bool RunFilePhase();
};
