#include "ui/FolderDialog.h"

#include <vector>

#include "framework/ExceptionReport.h"

WNDPROC CFolderDialog::s_pfnPrevDialogProc = nullptr;

namespace {

RECT ChildRect(HWND parent, int id)
{
    RECT r = {0, 0, 0, 0};
    if (HWND child = ::GetDlgItem(parent, id)) {
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void HideChild(HWND parent, int id)
{
    if (HWND child = ::GetDlgItem(parent, id))
        ::ShowWindow(child, SW_HIDE);
}

// Ends the list just above the row of buttons, keeping its top and width.
void StretchList(HWND parent, int id, const RECT& cancel)
{
    HWND list = ::GetDlgItem(parent, id);
    if (!list)
        return;
    RECT r = ChildRect(parent, id);
    int height = std::abs(r.top + 4 - cancel.top);
    ::SetWindowPos(list, nullptr, 0, 0, r.right - r.left, height, SWP_NOMOVE | SWP_NOZORDER);
}

std::string CurrentDirectory()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n == 0)
            return std::string();
        if (n < buffer.size())
            return std::string(buffer.data(), n);
        buffer.resize(n + 1);
    }
}

} // namespace

CFolderDialog::CFolderDialog(std::string* folder, const std::string& title)
    : CFileDialog(true, nullptr, "*..*", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr, nullptr),
      m_pstrFolder(folder), m_strTitle(title)
{
}

void CFolderDialog::OnInitDone()
{
    HWND dialog = ::GetParent(m_hWnd);
    // The file-name edit and its label, the type combo and its label. Wine's
    // dialog has a combo box (1148) for the name instead of the edit.
    for (int id : {1152, 1090, 1136, 1089, 1148})
        HideChild(dialog, id);

    RECT cancel = ChildRect(dialog, IDCANCEL);
    RECT ok = ChildRect(dialog, IDOK);
    int okWidth = ok.right - ok.left;
    ::SetWindowPos(::GetDlgItem(dialog, IDOK), nullptr, cancel.left - okWidth - 4, cancel.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);

    // The list (1120); on Wine it is a hidden placeholder and the list shown
    // is the shell view (1121), so that one is stretched too.
    StretchList(dialog, 1120, cancel);
    StretchList(dialog, 1121, cancel);

    ::SetDlgItemTextA(dialog, IDOK, "Select");
    ::SetWindowTextA(dialog, m_strTitle.c_str());

    s_pfnPrevDialogProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FolderDialogProc)));
}

LRESULT CALLBACK CFolderDialog::FolderDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && wParam == IDOK) {
        auto* picker = static_cast<CFolderDialog*>(CFileDialog::FromHookWindow(::GetDlgItem(hWnd, 0)));
        if (picker) {
            // Select takes the folder shown, never a file name.
            AfxGuard<int>(0, [&] {
                *picker->m_pstrFolder = CurrentDirectory();
                return 0;
            });
            ::EndDialog(hWnd, IDOK);
            return 0;
        }
    }
    return ::CallWindowProcA(s_pfnPrevDialogProc, hWnd, message, wParam, lParam);
}
