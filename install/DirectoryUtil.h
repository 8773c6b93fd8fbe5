#pragma once
// Directory helpers of the file phase. Paths are Windows paths with
// backslashes; on other systems (the tool and the native tests) a backslash
// is taken as the separator too.

#include <string>

// The path in the running system's spelling: backslashes become slashes
// where the system does not take them as separators.
std::string NativePath(const std::string& path);

// Whether the directory can be entered. The current directory is left as
// it was.
bool DirectoryExists(const std::string& path);

// Makes every level of the path that is missing, from the left (C:, then
// C:\Apps, then C:\Apps\Tool). Levels that exist or cannot be made are
// passed over; whether the whole path exists afterwards is the caller's to
// find out.
void CreateDirectoryPath(const std::string& path);

// The process's current directory, and changing it; false when it cannot.
std::string GetCurrentDir();
bool ChangeDir(const std::string& path);
