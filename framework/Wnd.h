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

// The message a subclassed window is handling, so that Default() can pass
// it on. Handlers nest (a handler's own calls send messages back), so each
// one keeps the outer message and puts it back when it ends.
struct CurrentMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class CMessageScope {
public:
    CMessageScope(CurrentMessage& slot, UINT message, WPARAM wParam, LPARAM lParam) : m_slot(&slot), m_saved(slot)
    {
        slot = {message, wParam, lParam};
    }
    ~CMessageScope()
    {
        if (m_slot)
            *m_slot = m_saved;
    }
    CMessageScope(const CMessageScope&) = delete;
    CMessageScope& operator=(const CMessageScope&) = delete;
    // The object let go of its window while handling: nothing to put back.
    void Forget() { m_slot = nullptr; }

private:
    CurrentMessage* m_slot;
    CurrentMessage m_saved;
};
