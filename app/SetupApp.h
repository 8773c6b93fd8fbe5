#pragma once

#include "framework/WinApp.h"

class CSetupApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
