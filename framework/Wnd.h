#pragma once
// A thin owner of a window handle, with the few calls the program makes.

#include <windows.h>

#include <string>

#include "framework/Object.h"

class CWnd : public CObject {
public:
    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    void SetWindowText(const std::string& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }
    std::string GetWindowText() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, msg, wParam, lParam);
    }
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }
};

std::string GetWindowTextString(HWND hWnd);
