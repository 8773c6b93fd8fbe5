#include "script/LowerAnsi.h"

#include <windows.h>

std::string LowerAnsi(const std::string& text)
{
    std::string lower = text;
    if (!lower.empty())
        ::CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}
