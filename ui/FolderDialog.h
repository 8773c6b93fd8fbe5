#pragma once
// A folder picker made from the system's Open dialog: the name and type
// fields are hidden, the list takes their room, OK becomes "Select" beside
// Cancel, and Select returns the folder the dialog is showing, which the
// dialog keeps as the process's current directory.

#include <string>

#include "framework/FileDialog.h"

class CFolderDialog : public CFileDialog {
public:
    CFolderDialog(std::string* folder, const std::string& title);

    std::string* m_pstrFolder;
    std::string m_strTitle;

protected:
    void OnInitDone() override;

private:
    static LRESULT CALLBACK FolderDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Only one picker is open at a time.
    static WNDPROC s_pfnPrevDialogProc;
};
