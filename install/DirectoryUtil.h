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

// Makes one directory; true when it was made here (false when it exists or
// cannot be made).
bool MakeDirectory(const std::string& path);
// Removes a directory when it is empty; false otherwise.
bool RemoveEmptyDirectory(const std::string& path);

// The path made absolute against the current directory as it is now: a
// path with a drive or a leading separator is kept; "C:rel" takes C:'s
// current directory only when C: is the current drive.
std::string AbsolutePath(const std::string& path);

// Whether inner is outer or lies below it, comparing the absolute spellings
// ignoring case and the separator's spelling.
bool IsSameOrInside(const std::string& inner, const std::string& outer);
