#pragma once

#include <string>

// The directory that holds the running program, with its trailing
// backslash ("C:\Setup\" for C:\Setup\Setup.exe); a path without any
// backslash comes back whole. Everything the program reads lies there.
std::string GetSourceDir();

// The directory part of a module path, as GetSourceDir cuts it.
std::string SourceDirFromModulePath(const std::string& modulePath);
