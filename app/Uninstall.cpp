#include "app/Uninstall.h"

#include <windows.h>

#include "app/InstallSession.h"
#include "app/SourceDir.h"
#include "framework/ExceptionReport.h"
#include "install/InstallLog.h"
#include "install/Removal.h"
#include "ui/ProgmanClient.h"

namespace {

class CWindowsRemoval : public CRemovalPlatform {
public:
    void RemoveIniValue(const RecordedIni& ini) override
    {
        const char* file = ini.file.c_str();
        ::WritePrivateProfileStringA(ini.section.c_str(), ini.key.c_str(), nullptr, file);
        char probe[4];
        if (ini.made != RecordedIni::madeValue &&
            ::GetPrivateProfileSectionA(ini.section.c_str(), probe, sizeof probe, file) == 0)
            ::WritePrivateProfileStringA(ini.section.c_str(), nullptr, nullptr, file);
        if (ini.made == RecordedIni::madeFile && ::GetPrivateProfileSectionNamesA(probe, sizeof probe, file) == 0) {
            // Let go of the cached file before deleting it.
            ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
            ::DeleteFileA(file);
        }
    }
    bool RemoveGroup(const std::string& group) override
    {
        ProgmanLink link;
        if (!::ProgmanOpen(link))
            return false;
        const bool sent = ::ProgmanDeleteGroup(link, group) != 0;
        ::ProgmanClose(link);
        return sent;
    }
    bool RemoveRegistryKey(const std::string& key) override
    {
        return ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str()) == ERROR_SUCCESS;
    }
};

std::string List(const std::vector<std::string>& paths)
{
    std::string text;
    for (const std::string& path : paths)
        text += "\n" + path;
    return text;
}

// Starts the copy that removes the program and the record once this
// process has ended; false when it cannot.
bool StartCleanup(const std::string& folder)
{
    char temp[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof temp, temp);
    if (n == 0 || n > MAX_PATH)
        return false;
    const std::string id = std::to_string(::GetCurrentProcessId());
    const std::string copy = std::string(temp, n) + "~QJRemove" + id + ".exe";
    if (!::CopyFileA(GetModulePath().c_str(), copy.c_str(), FALSE))
        return false;
    std::string command = "\"" + copy + "\" /CLEANUP=" + id;
    const std::string& log = GetInstallSession().options.log;
    if (!log.empty())
        command += " \"/LOG=" + log + "\"";
    command += " /D=" + folder;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Started in the temporary folder: a process's current folder cannot
    // be removed.
    if (!::CreateProcessA(copy.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, temp, &startup,
                          &process)) {
        ::DeleteFileA(copy.c_str());
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

} // namespace

int RunRemoval()
{
    CInstallLog& log = GetInstallLog();
    const bool silent = GetInstallSession().options.silent;
    std::string folder = GetSourceDir();
    const std::string path = folder + "Uninstall.dat";
    if (folder.size() > 3)
        folder.pop_back();
    CUninstallRecord record;
    std::string error;
    if (!record.Load(path, error)) {
        ReportToUser("The removal record " + path + " is missing or damaged: " + error + ". Nothing has been removed.",
                     MB_OK | MB_ICONSTOP);
        return statusMedium;
    }
    if (!silent && AfxMessageBox("Remove " + record.title + " and all of its components?",
                                 MB_YESNO | MB_ICONQUESTION) != IDYES) {
        log.Write("Removal of " + record.title + " cancelled");
        return statusCancelled;
    }
    log.Write("Removing " + record.title + " from " + record.destination);
    CWindowsRemoval platform;
    const RemovalResult result = RemoveInstalled(record, platform, log);
    if (!StartCleanup(folder))
        log.Write("Error: the removal program cannot remove itself; delete " + folder +
                  "\\Uninstall.exe and Uninstall.dat by hand");

    std::string text = record.title + " has been removed.";
    if (!result.kept.empty())
        text += "\n\nThese files were changed after the installation and have been kept:" + List(result.kept);
    if (!result.replaced.empty())
        text += "\n\nThese files had replaced files of the same name at the installation. They have been "
                "removed; the earlier files were not kept and cannot be put back:" +
                List(result.replaced);
    if (!result.failed.empty())
        text += "\n\nThese files could not be removed:" + List(result.failed);
    log.Write(result.failed.empty() ? "Removal done" : "Removal done, but some files could not be removed");
    if (!silent)
        AfxMessageBox(text, MB_OK | (result.failed.empty() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
    return result.failed.empty() ? statusInstalled : statusFileError;
}

int RunCleanup()
{
    const SetupOptions& options = GetInstallSession().options;
    if (HANDLE parent = ::OpenProcess(SYNCHRONIZE, FALSE, options.cleanupOf)) {
        ::WaitForSingleObject(parent, 60000);
        ::CloseHandle(parent);
    }
    // The log is the removal's; it was closed as that process ended.
    CInstallLog& log = GetInstallLog();
    if (!options.log.empty())
        log.Open(options.log);
    const std::string folder = options.destination;
    CUninstallRecord record;
    std::string error;
    record.Load(folder + "\\Uninstall.dat", error);
    for (const char* name : {"Uninstall.exe", "Uninstall.dat"}) {
        const std::string path = folder + "\\" + name;
        log.Write(::DeleteFileA(path.c_str()) ? "File removed: " + path
                                              : "Error: " + path + " cannot be removed (error " +
                                                    std::to_string(::GetLastError()) + ")");
    }
    RemoveRecordedFolders(record, log);
    // This copy goes as soon as the system lets it.
    const std::string self = GetModulePath();
    if (!::DeleteFileA(self.c_str()))
        ::MoveFileExA(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return statusInstalled;
}
