#pragma once

#include "framework/WinApp.h"

class CSetupApp : public CWinApp {
public:
    BOOL InitInstance() override;
    // The run's status, as the process's exit code.
    int ExitInstance() override { return m_nExitCode; }

private:
    int m_nExitCode = 0;
};
