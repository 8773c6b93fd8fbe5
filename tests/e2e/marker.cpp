// A program for the scenarios to start: it appends its command line to
// C:\qjmarker.log and ends, so a test can tell what was started and how.

#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HANDLE log = ::CreateFileA("C:\\qjmarker.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    const char* line = ::GetCommandLineA();
    DWORD written = 0;
    ::WriteFile(log, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    ::WriteFile(log, "\r\n", 2, &written, nullptr);
    ::CloseHandle(log);
    return 0;
}
