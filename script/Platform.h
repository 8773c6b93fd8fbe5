#pragma once
// What the script's work needs from the system it runs on: the three
// directories of the macros, and the actions of the Copy, Del, Ini, Group
// and Run lists. Setup.exe gives the Windows ones; tests record them.

#include <cstdint>
#include <string>

class CScriptPlatform {
public:
    virtual ~CScriptPlatform() = default;

    // Without a trailing backslash unless it is a root ("C:\").
    virtual std::string WindowsDirectory() = 0;
    virtual std::string SystemDirectory() = 0;
    // With its trailing backslash, as GetSourceDir gives it.
    virtual std::string SourceDirectory() = 0;

    // The whole file copied, an existing target overwritten; false when it
    // could not be. Read and write errors are thrown.
    virtual bool CopyWholeFile(const std::string& source, const std::string& target) = 0;
    // Throws the file error when the file cannot be deleted.
    virtual void DeleteOneFile(const std::string& path) = 0;
    virtual void WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                                const std::string& file) = 0;
    // Whether the file's status can be read.
    virtual bool FileExists(const std::string& path) = 0;
    // The program associated with a document, or empty.
    virtual std::string FindAssociatedProgram(const std::string& document) = 0;
    virtual void StartProgram(const std::string& commandLine) = 0;

    // The Program Manager conversation: false from OpenProgman means no
    // group can be made at all.
    virtual bool OpenProgman() = 0;
    // False when the command could not be sent (no conversation, or too long).
    virtual bool ProgmanCreateGroup(const std::string& group) = 0;
    virtual void ProgmanShowGroup(const std::string& group, std::uint16_t show) = 0;
    virtual void ProgmanReplaceItem(const std::string& name, const std::string& command, const std::string& iconPath,
                                    std::uint16_t iconIndex) = 0;
    virtual void CloseProgman() = 0;
    // Brings the installer's own window back in front.
    virtual void RaiseMainWindow() = 0;
};
