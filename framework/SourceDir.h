#pragma once
// The running program's own module: its path, its folder (the source
// directory, where everything the program reads lies) and its handle.

#include <windows.h>

#include <string>

// The program's whole path, however deep the medium; empty when the system
// does not say.
std::string GetModulePath();

// The directory that holds the running program, with its trailing
// backslash ("C:\Setup\" for C:\Setup\Setup.exe); a path without any
// backslash comes back whole.
std::string GetSourceDir();

// The directory part of a module path, as GetSourceDir cuts it.
std::string SourceDirFromModulePath(const std::string& modulePath);

// Resources are looked up in the program's own module.
inline HMODULE ProgramModule() { return ::GetModuleHandleA(nullptr); }
