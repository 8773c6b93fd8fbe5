#include "install/DirectoryUtil.h"

#include <vector>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

std::string NativePath(const std::string& path)
{
#ifdef _WIN32
    return path;
#else
    std::string native = path;
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return native;
#endif
}

std::string GetCurrentDir()
{
    std::vector<char> buffer(1024);
    for (;;) {
#ifdef _WIN32
        if (_getcwd(buffer.data(), static_cast<int>(buffer.size())))
#else
        if (getcwd(buffer.data(), buffer.size()))
#endif
            return std::string(buffer.data());
        if (buffer.size() > (1u << 20))
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

bool ChangeDir(const std::string& path)
{
#ifdef _WIN32
    return _chdir(path.c_str()) == 0;
#else
    return chdir(NativePath(path).c_str()) == 0;
#endif
}

bool DirectoryExists(const std::string& path)
{
    std::string here = GetCurrentDir();
    bool exists = ChangeDir(path);
    if (!here.empty())
        ChangeDir(here);
    return exists;
}

void CreateDirectoryPath(const std::string& path)
{
    std::string full = path;
    if (full.empty() || (full.back() != '\\' && full.back() != '/'))
        full += '\\';
    for (std::string::size_type at = full.find_first_of("\\/"); at != std::string::npos;
         at = full.find_first_of("\\/", at + 1)) {
        if (at == 0)
            continue;   // the root itself
        std::string level = NativePath(full.substr(0, at));
#ifdef _WIN32
        _mkdir(level.c_str());
#else
        mkdir(level.c_str(), 0777);
#endif
    }
}
