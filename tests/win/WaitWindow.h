#pragma once
// For a helper thread while the test's thread runs a modal loop: waits for
// a window of this process and answers message boxes.

#include <windows.h>

#include <string>

#include "framework/Wnd.h"

// Polls found() until it gives a window (10 s at most).
template <class Found>
HWND WaitForWindow(Found found)
{
    for (int waited = 0; waited < 10000; waited += 20, ::Sleep(20))
        if (HWND hWnd = found())
            return hWnd;
    return nullptr;
}

// Waits for the message box with the given caption, presses OK and returns
// its text (its longest static); "" when none came.
inline std::string AnswerMessageBox(const std::string& caption)
{
    HWND box = WaitForWindow([&] {
        HWND b = ::FindWindowA("#32770", caption.c_str());
        return b && ::IsWindowVisible(b) ? b : nullptr;
    });
    std::string text;
    for (HWND c = box ? ::GetWindow(box, GW_CHILD) : nullptr; c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = {};
        ::GetClassNameA(c, cls, sizeof cls);
        std::string t = GetWindowTextString(c);
        if (lstrcmpiA(cls, "Static") == 0 && t.size() > text.size())
            text = t;
    }
    if (box)
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return text;
}
