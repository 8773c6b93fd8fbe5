#include "framework/SourceDir.h"

#include <windows.h>

#include <vector>

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
