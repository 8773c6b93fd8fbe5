#include "install/DirectoryUtil.h"

#include <cctype>
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
        MakeDirectory(full.substr(0, at));
    }
}

bool MakeDirectory(const std::string& path)
{
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0;
#else
    return mkdir(NativePath(path).c_str(), 0777) == 0;
#endif
}

bool RemoveEmptyDirectory(const std::string& path)
{
#ifdef _WIN32
    return _rmdir(path.c_str()) == 0;
#else
    return rmdir(NativePath(path).c_str()) == 0;
#endif
}

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool HasDrive(const std::string& path)
{
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// Lower case, one separator spelling, no trailing separator.
std::string ComparableKey(std::string path)
{
    for (char& c : path)
        c = IsSeparator(c) ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (path.size() > 1 && path.back() == '\\')
        path.pop_back();
    return path;
}

} // namespace

std::string AbsolutePath(const std::string& path)
{
    if (!path.empty() && IsSeparator(path[0]))
        return path;
    if (HasDrive(path) && (path.size() == 2 || IsSeparator(path[2]))) {
        // "C:" alone is C:'s current directory; "C:\x" is absolute.
        if (path.size() > 2)
            return path;
    }
    std::string here = GetCurrentDir();
    if (here.empty())
        return path;
    std::string rest = path;
    if (HasDrive(path)) {
        if (!HasDrive(here) || std::toupper(static_cast<unsigned char>(here[0])) !=
                                   std::toupper(static_cast<unsigned char>(path[0])))
            return path;   // another drive's current directory is not known here
        rest = path.substr(2);
    }
    if (rest.empty())
        return here;
    return IsSeparator(here.back()) ? here + rest : here + (HasDrive(here) ? "\\" : "/") + rest;
}

bool IsSameOrInside(const std::string& inner, const std::string& outer)
{
    const std::string a = ComparableKey(AbsolutePath(inner));
    const std::string b = ComparableKey(AbsolutePath(outer));
    return a == b || (a.size() > b.size() && a.compare(0, b.size(), b) == 0 && (a[b.size()] == '\\' || b.back() == '\\'));
}
