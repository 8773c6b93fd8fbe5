#pragma once
// The vendor's check of a setup script: the script is read by the very
// reader Setup.exe uses, and whatever its rules will silently do is told
// with the line it comes from. Given the medium's folder, the files the
// script needs are looked for and the archives checked whole.

#include <string>
#include <vector>

struct ScriptWarning {
    int line;   // 0: the script as a whole, or the medium
    std::string text;
};

std::vector<ScriptWarning> CheckScript(const char* data, std::size_t size, const std::string& mediumDir = std::string());
