#include "framework/SourceDir.h"

#include <vector>

std::string GetModulePath()
{
    // Grow until the whole path fits (the system cuts it silently).
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::string();
        if (n < path.size() - 1 || path.size() >= 65536)
            return std::string(path.data(), n);
        path.resize(path.size() * 2);
    }
}

std::string SourceDirFromModulePath(const std::string& modulePath)
{
    std::string::size_type slash = modulePath.rfind('\\');
    if (slash == std::string::npos)
        return modulePath;
    return modulePath.substr(0, slash + 1);
}

std::string GetSourceDir()
{
    return SourceDirFromModulePath(GetModulePath());
}
