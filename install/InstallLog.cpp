#include "install/InstallLog.h"

#include <cstdio>
#include <ctime>

#include "install/DirectoryUtil.h"

bool CInstallLog::Open(const std::string& path)
{
    m_file.Abort();
    if (!m_file.Open(NativePath(path), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                                           CFile::shareDenyWrite))
        return false;
    try {
        m_file.SeekToEnd();
    } catch (const CFileException&) {
        m_file.Abort();
        return false;
    }
    return true;
}

void CInstallLog::Write(const std::string& line)
{
    if (!m_file.IsOpen())
        return;
    const std::time_t now = std::time(nullptr);
    char stamp[32] = "";
    if (const std::tm* local = std::localtime(&now))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", local);
    std::string text = stamp + line;
    // One line per action, whatever the action's text holds.
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    text += "\r\n";
    try {
        m_file.Write(text.data(), static_cast<std::uint32_t>(text.size()));
    } catch (const CFileException&) {
        m_file.Abort();
    }
}

CInstallLog& GetInstallLog()
{
    static CInstallLog log;
    return log;
}
