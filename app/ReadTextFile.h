#pragma once

#include <string>

// Reads a whole file as it is (no line-end translation) into out, up to
// its first zero byte. False, with out empty, when it cannot be opened.
// A read error after opening is thrown as CFileException.
bool ReadTextFile(const std::string& path, std::string& out);
