#pragma once

#include <string>

// GetSourceDir is the framework's: controls find their pictures there too.
#include "framework/SourceDir.h"

// The Windows and system directories as the system gives them (no
// trailing backslash unless a root); empty when it does not say.
std::string GetWindowsFolder();
std::string GetSystemFolder();

// Whether the file's status can be read.
bool FileExists(const std::string& path);
