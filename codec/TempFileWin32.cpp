#include "codec/TempFile.h"

#include <windows.h>

bool CreateTempFile(const char* prefix, std::string& path)
{
    // Ask for the directory's length first: no fixed buffer is too short.
    DWORD need = ::GetTempPathA(0, nullptr);
    if (need == 0)
        return false;
    std::string dir(need, '\0');
    DWORD got = ::GetTempPathA(need, dir.data());
    if (got == 0 || got >= need)
        return false;
    dir.resize(got);
    // The name is at most MAX_PATH characters; GetTempFileNameA refuses a
    // directory too long for that rather than overrunning.
    char name[MAX_PATH + 1];
    if (::GetTempFileNameA(dir.c_str(), prefix, 0, name) == 0)
        return false;
    path = name;
    return true;
}
