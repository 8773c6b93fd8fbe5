#include "app/SourceDir.h"

#include <windows.h>

#include <vector>

#include "framework/File.h"

std::string SourceDirFromModulePath(const std::string& modulePath)
{
    std::string::size_type slash = modulePath.rfind('\\');
    if (slash == std::string::npos)
        return modulePath;
    return modulePath.substr(0, slash + 1);
}

std::string GetSourceDir()
{
    // The whole module path, however deep the medium: grow until it fits.
    std::vector<char> path(260);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::string();
        if (n < path.size() - 1)
            return SourceDirFromModulePath(std::string(path.data(), n));
        if (path.size() >= 65536)
            return SourceDirFromModulePath(std::string(path.data(), n));
        path.resize(path.size() * 2);
    }
}

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
