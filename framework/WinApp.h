#pragma once
// The application object: one per program, made as a global, started by
// AfxWinMain. InitInstance returns false to end the program at once without
// a message loop of its own.

#include <windows.h>

#include <string>

#include "framework/Wnd.h"

class CWinApp : public CObject {
public:
    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    // The hourglass cursor, counted so that nested users balance.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    HINSTANCE m_hInstance = nullptr;
    std::string m_strAppName;
    CWnd* m_pMainWnd = nullptr;

private:
    int m_nWaitCursorCount = 0;
};

CWinApp* AfxGetApp();
// The program file's name without directory and extension.
std::string AfxGetAppName();

// The three-dimensional control look is Windows' own on Win32: there is
// nothing to enable. The call is kept where the program makes it.
inline void Enable3dControlsStatic() {}

int AfxWinMain(HINSTANCE instance);
