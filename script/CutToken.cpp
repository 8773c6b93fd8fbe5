#include "script/CutToken.h"

bool CutToken(std::string& text, std::string& head, char separator)
{
    std::string::size_type at = text.find(separator);
    if (at == std::string::npos) {
        head = text;
        return false;
    }
    head.assign(text, 0, at);
    text.erase(0, at + 1);
    return true;
}

void TrimBlanks(std::string& text)
{
    std::string::size_type first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    std::string::size_type last = text.find_last_not_of(" \t");
    text = text.substr(first, last - first + 1);
}
