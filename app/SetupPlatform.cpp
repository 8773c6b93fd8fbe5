#include "app/SetupPlatform.h"

#include <shellapi.h>

#include "app/SourceDir.h"
#include "framework/FileException.h"
#include "install/TreeCopy.h"

std::string CSetupPlatform::WindowsDirectory()
{
    return GetWindowsFolder();
}

std::string CSetupPlatform::SystemDirectory()
{
    return GetSystemFolder();
}

std::string CSetupPlatform::SourceDirectory()
{
    return GetSourceDir();
}

bool CSetupPlatform::CopyWholeFile(const std::string& source, const std::string& target)
{
    return CopyOneFile(source, target, false);
}

void CSetupPlatform::DeleteOneFile(const std::string& path)
{
    // The failure carries no file name.
    if (!::DeleteFileA(path.c_str()))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()));
}

void CSetupPlatform::WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                                    const std::string& file)
{
    ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

bool CSetupPlatform::FileExists(const std::string& path)
{
    return ::FileExists(path);
}

std::string CSetupPlatform::FindAssociatedProgram(const std::string& document)
{
    char program[MAX_PATH + 1] = {};
    HINSTANCE result = ::FindExecutableA(document.c_str(), ".", program);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        return std::string();
    return program;
}

void CSetupPlatform::StartProgram(const std::string& commandLine)
{
    ::WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

bool CSetupPlatform::OpenProgman()
{
    return ::ProgmanOpen(m_link) != 0;
}

bool CSetupPlatform::ProgmanCreateGroup(const std::string& group)
{
    return ::ProgmanCreateGroup(m_link, group) != 0;
}

void CSetupPlatform::ProgmanShowGroup(const std::string& group, std::uint16_t show)
{
    ::ProgmanShowGroup(m_link, group, show);
}

void CSetupPlatform::ProgmanReplaceItem(const std::string& name, const std::string& command,
                                        const std::string& iconPath, std::uint16_t iconIndex)
{
    ::ProgmanReplaceItem(m_link, name, command, iconPath, iconIndex);
}

void CSetupPlatform::CloseProgman()
{
    ::ProgmanClose(m_link);
}

void CSetupPlatform::RaiseMainWindow()
{
    ::SetWindowPos(m_hMainWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}
