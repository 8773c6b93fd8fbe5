#include "app/InstallSession.h"

#include <windows.h>

#include "app/DestinationDlg.h"
#include "app/SetupPlatform.h"
#include "app/SourceDir.h"
#include "framework/Exception.h"
#include "framework/ExceptionReport.h"
#include "framework/File.h"
#include "framework/WinApp.h"
#include "install/ArchivePhase.h"
#include "install/DirectoryUtil.h"
#include "install/InstallLog.h"
#include "install/TreeCopy.h"
#include "script/SetupScript.h"

namespace {

// The script's lists as the log and the record see them.
class CListRecorder : public CSectionObserver {
public:
    explicit CListRecorder(CUninstallRecord& record) : m_record(record), m_log(GetInstallLog()) {}

    void Copied(const std::string& source, const std::string& target, bool existed, bool copied) override
    {
        m_log.Write("Copy " + source + " to " + target + (copied ? ": done" : ": passed over, it cannot be copied"));
        if (copied)
            m_record.AddFile(target, existed);
    }
    void Deleting(const std::string& path) override { m_log.Write("Delete " + path); }
    void WritingIni(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) override
    {
        RecordedIni ini;
        ini.file = file;
        ini.section = section;
        ini.key = key;
        if (::GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
            ini.made = RecordedIni::madeFile;
        else if (!HasSection(file, section))
            ini.made = RecordedIni::madeSection;
        m_record.iniValues.push_back(ini);
        m_log.Write("Ini [" + section + "] " + key + "=" + value + " in " + file);
    }
    void GroupMade(const std::string& group, bool made) override
    {
        m_log.Write("Group " + group + (made ? ": made" : ": not made, no Program Manager answered"));
        if (made)
            m_record.group = group;
    }
    void ItemMade(const std::string& name, const std::string& command) override
    {
        m_log.Write("Group item " + name + ": " + command);
        m_record.groupItems.push_back(name);
    }
    void Starting(const std::string& command) override { m_log.Write("Run " + command); }

private:
    static bool HasSection(const std::string& file, const std::string& section)
    {
        std::vector<char> names(32768);
        DWORD n = ::GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), file.c_str());
        for (DWORD at = 0; at < n && names[at];) {
            const std::string name(&names[at]);
            if (::lstrcmpiA(name.c_str(), section.c_str()) == 0)
                return true;
            at += static_cast<DWORD>(name.size()) + 1;
        }
        return false;
    }

    CUninstallRecord& m_record;
    CInstallLog& m_log;
};

bool VolumeFreeSpace(const std::string& destination, std::string& volume, std::uint64_t& freeBytes)
{
    // The volume's root from the full path: "C:\" or "\\server\share\".
    char full[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameA(destination.c_str(), sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full)
        return false;
    std::string root(full, n);
    if (root.size() >= 2 && root[1] == ':') {
        root = root.substr(0, 2) + "\\";
    } else if (root.compare(0, 2, "\\\\") == 0) {
        std::string::size_type share = root.find('\\', 2);
        std::string::size_type end = share == std::string::npos ? share : root.find('\\', share + 1);
        if (end == std::string::npos)
            return false;
        root = root.substr(0, end + 1);
    } else {
        return false;
    }
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExA(root.c_str(), &available, nullptr, nullptr))
        return false;
    volume = root.substr(0, root.size() - 1);
    freeBytes = available.QuadPart;
    return true;
}

std::string ScriptString(const char* section, const char* key)
{
    std::string value;
    GetSetupScript().GetString(section, key, value);
    return value;
}

} // namespace

CInstallSession& GetInstallSession()
{
    static CInstallSession session;
    return session;
}

std::string ExceptionText(std::exception_ptr error)
{
    return DescribeException(error).text;
}

void ReportToUser(const std::string& text, unsigned type)
{
    GetInstallLog().Write(((type & MB_ICONMASK) == MB_ICONSTOP ? "Error: " : "") + text);
    if (!GetInstallSession().options.silent)
        AfxMessageBox(text, type);
}

int RunFilePhase(const std::string& destination, CProgressSink* sink)
{
    std::int16_t copyMode = 0;
    GetSetupScript().GetInt("General", "CopyMode", copyMode);
    CUninstallRecord& record = GetInstallSession().record;
    if (copyMode != 0) {
        const std::string source = GetSourceDir() + ScriptString("Copy", "From");
        GetInstallLog().Write("Copying the tree " + source + " into " + destination);
        CTreeCopier& copier = GetTreeCopier();
        copier.m_pOwner = sink;
        copier.m_pRecord = &record;
        bool copied = false;
        try {
            copied = CopyTree(source, AbsolutePath(destination));
        } catch (...) {
            copier.m_pOwner = nullptr;
            copier.m_pRecord = nullptr;
            throw;
        }
        copier.m_pOwner = nullptr;
        copier.m_pRecord = nullptr;
        if (!copied) {
            ReportToUser("A folder of the medium cannot be read: " + source + ". The copy is incomplete.",
                         MB_OK | MB_ICONSTOP);
            return statusMedium;
        }
        return statusInstalled;
    }
    const std::string medium = GetSourceDir();
    std::vector<ArchiveJob> jobs = {
        {"Setup.aqj", medium + "Setup.aqj", destination + "\\"},
        {"Windows.aqj", medium + "Windows.aqj", GetWindowsFolder() + "\\"},
        {"System.aqj", medium + "System.aqj", GetSystemFolder() + "\\"},
    };
    CArchivePhase phase;
    phase.maxPath = MAX_PATH - 1;
    phase.title = ScriptString("General", "Title");
    phase.freeSpace = VolumeFreeSpace;
    phase.record = &record;
    std::string message;
    if (!phase.Run(jobs, sink, message)) {
        ReportToUser(message, MB_OK | MB_ICONSTOP);
        return statusMedium;
    }
    return statusInstalled;
}

void RunSectionLists(HWND mainWindow)
{
    CSetupPlatform platform(mainWindow);
    CListRecorder recorder(GetInstallSession().record);
    CScriptSections sections(platform, GetSetupScript(), &recorder);
    sections.ProcessCopySection();
    sections.ProcessDelSection();
    sections.ProcessIniAndGroupSections();
}

void RunScriptProgram(HWND mainWindow)
{
    CSetupPlatform platform(mainWindow);
    CListRecorder recorder(GetInstallSession().record);
    CScriptSections(platform, GetSetupScript(), &recorder).RunProgram();
}

void RegisterRemoval(const std::string& destination)
{
    std::int16_t uninstall = 0;
    GetSetupScript().GetInt("General", "Uninstall", uninstall);
    if (uninstall == 0)
        return;
    CInstallLog& log = GetInstallLog();
    CUninstallRecord& record = GetInstallSession().record;
    std::string folder = destination;
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    record.title = ScriptString("General", "Title");
    if (record.title.empty())
        record.title = AfxGetAppName();
    record.destination = folder;
    std::uint64_t bytes = record.StampFiles();
    const std::string program = folder + (folder.back() == '\\' ? "" : "\\") + "Uninstall.exe";
    if (!::CopyFileA(GetModulePath().c_str(), program.c_str(), FALSE))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), program);
    log.Write("Removal program written: " + program);

    // Add/Remove Programs lists the product under its title.
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + record.title;
    HKEY entry = nullptr;
    LONG result = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                    nullptr, &entry, nullptr);
    if (result == ERROR_SUCCESS) {
        auto text = [entry](const char* name, const std::string& value) {
            ::RegSetValueExA(entry, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
        };
        text("DisplayName", record.title);
        text("UninstallString", "\"" + program + "\" /U");
        text("InstallLocation", folder);
        text("DisplayIcon", program);
        CFileStatus status;
        if (CFile::GetStatus(program, status))
            bytes += status.m_size;
        const DWORD kilobytes = static_cast<DWORD>((bytes + 1023) / 1024);
        ::RegSetValueExA(entry, "EstimatedSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kilobytes),
                         sizeof kilobytes);
        ::RegCloseKey(entry);
        record.registryKey = key;
        log.Write("Registry key HKLM\\" + key + " written");
    } else {
        log.Write("Error: the registry key HKLM\\" + key + " cannot be written (error " + std::to_string(result) +
                  "); the product is not listed in Add/Remove Programs");
    }
    const std::string path = folder + (folder.back() == '\\' ? "" : "\\") + "Uninstall.dat";
    try {
        record.Save(path);
    } catch (...) {
        if (!record.registryKey.empty())
            ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, record.registryKey.c_str());
        throw;
    }
    log.Write("Removal record written: " + path + " (" + std::to_string(record.files.size()) + " files)");
}

int RunSilentInstall()
{
    CInstallLog& log = GetInstallLog();
    CSetupScript& script = GetSetupScript();
    std::string destination = GetInstallSession().options.destination;
    if (destination.empty())
        script.GetString("General", "Destination", destination);
    if (destination.find_first_not_of(" \t") == std::string::npos) {
        log.Write("Error: no destination: give /D=<folder> or the script's Destination");
        return statusCommandLine;
    }
    destination = AbsoluteDestination(destination);
    script.SetString("General", "Destination", destination);
    std::int16_t license = 0;
    if (script.GetInt("General", "License", license) && license != 0)
        log.Write("Licence accepted by the unattended installation (/S)");
    log.Write("Destination " + destination);
    try {
        const int status = RunFilePhase(destination, nullptr);
        if (status != statusInstalled)
            return status;
        RunSectionLists(nullptr);
        RegisterRemoval(destination);
        RunScriptProgram(nullptr);
    } catch (...) {
        log.Write("Error: " + ExceptionText(std::current_exception()));
        return statusFileError;
    }
    return statusInstalled;
}
