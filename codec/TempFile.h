#pragma once
// A new empty file in the platform's temporary directory, for the expanded
// copy of a compressed script.

#include <string>

// Creates the file (its name starts with prefix) and sets path to it; false
// when no temporary file can be made. Paths of any length the platform
// hands out are taken.
bool CreateTempFile(const char* prefix, std::string& path);
