#pragma once
// The script's work on Windows: the system's directories, files, profile
// API, shell associations, WinExec and the Program Manager.

#include "script/Platform.h"
#include "ui/ProgmanClient.h"

class CSetupPlatform : public CScriptPlatform {
public:
    explicit CSetupPlatform(HWND mainWindow) : m_hMainWnd(mainWindow) {}

    std::string WindowsDirectory() override;
    std::string SystemDirectory() override;
    std::string SourceDirectory() override;
    bool CopyWholeFile(const std::string& source, const std::string& target) override;
    void DeleteOneFile(const std::string& path) override;
    void WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& file) override;
    bool FileExists(const std::string& path) override;
    std::string FindAssociatedProgram(const std::string& document) override;
    void StartProgram(const std::string& commandLine) override;
    bool OpenProgman() override;
    bool ProgmanCreateGroup(const std::string& group) override;
    void ProgmanShowGroup(const std::string& group, std::uint16_t show) override;
    void ProgmanReplaceItem(const std::string& name, const std::string& command, const std::string& iconPath,
                            std::uint16_t iconIndex) override;
    void CloseProgman() override;
    void RaiseMainWindow() override;

private:
    HWND m_hMainWnd;
    ProgmanLink m_link;
};
