// The compressor's default error box, shown as the framework shows its own:
// owned by the active window, captioned with the program's name.

#include "codec/QjErrorReport.h"

#include <string>
#include <windows.h>

#include "framework/Exception.h"

void ReportCompressorError(const char* text)
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    ::MessageBoxA(::GetActiveWindow(), text, AppNameFromModulePath(path).c_str(), MB_OK);
}
