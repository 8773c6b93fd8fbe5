// The compressor's default error box, shown as the framework shows its own:
// owned by the active window, captioned with the program's name.

#include "codec/QjErrorReport.h"

#include <windows.h>

#include "framework/Exception.h"
#include "framework/SourceDir.h"

void ReportCompressorError(const char* text)
{
    ::MessageBoxA(::GetActiveWindow(), text, AppNameFromModulePath(GetModulePath()).c_str(), MB_OK);
}
