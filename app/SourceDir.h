#pragma once

#include <string>

// The directory that holds the running program, with its trailing
// backslash ("C:\Setup\" for C:\Setup\Setup.exe); a path without any
// backslash comes back whole.
std::string GetSourceDir();

// The Windows and system directories as the system gives them (no
// trailing backslash unless a root); empty when it does not say.
std::string GetWindowsFolder();
std::string GetSystemFolder();

// Whether the file's status can be read.
bool FileExists(const std::string& path);

// The directory part of a module path, as GetSourceDir cuts it.
std::string SourceDirFromModulePath(const std::string& modulePath);
