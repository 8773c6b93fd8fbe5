#include "framework/Wnd.h"

#include <vector>

std::string GetWindowTextString(HWND hWnd)
{
    int length = ::GetWindowTextLengthA(hWnd);
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1);
    int n = ::GetWindowTextA(hWnd, text.data(), length + 1);
    return std::string(text.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

std::string CWnd::GetWindowText() const
{
    return GetWindowTextString(m_hWnd);
}
