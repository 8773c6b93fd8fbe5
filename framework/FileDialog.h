#pragma once
// The system's Explorer-style Open or Save dialog, with a hook so that a
// derived class can adjust the dialog once its controls exist (OnInitDone).
// m_hWnd is the hook's child dialog (control id 0); the real dialog window
// is its parent.

#include <windows.h>

#include <commdlg.h>

#include <string>

#include "framework/Wnd.h"

class CFileDialog : public CWnd {
public:
    CFileDialog(bool openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);
    ~CFileDialog() override;

    // IDOK when the dialog ended with OK (or Select), IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    std::string GetPathName() const { return m_szFileName; }

    // The object behind a hook child dialog, or null.
    static CFileDialog* FromHookWindow(HWND hookChild);

    OPENFILENAMEA m_ofn;

protected:
    virtual void OnInitDone();

private:
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    bool m_bOpenFileDialog;
    std::string m_strDefExt;
    std::string m_strFilter;
    char m_szFileName[4096];
};
