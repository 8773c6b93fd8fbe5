#include "app/SourceDir.h"

#include <windows.h>

#include "framework/File.h"

namespace {

std::string Folder(UINT (WINAPI* get)(LPSTR, UINT))
{
    char buffer[MAX_PATH + 1];
    UINT n = get(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer)
        return std::string();
    return std::string(buffer, n);
}

} // namespace

std::string GetWindowsFolder()
{
    return Folder(::GetWindowsDirectoryA);
}

std::string GetSystemFolder()
{
    return Folder(::GetSystemDirectoryA);
}

bool FileExists(const std::string& path)
{
    CFileStatus status;
    return CFile::GetStatus(path, status);
}
