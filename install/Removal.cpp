#include "install/Removal.h"

#include <algorithm>

#include "framework/File.h"
#include "install/DirectoryUtil.h"
#include "install/InstallLog.h"

RemovalResult RemoveInstalled(const CUninstallRecord& record, CRemovalPlatform& platform, CInstallLog& log)
{
    RemovalResult result;
    std::vector<std::string> removed;
    for (const RecordedFile& file : record.files) {
        const std::string path = NativePath(file.path);
        CFileStatus status;
        if (!CFile::GetStatus(path, status)) {
            log.Write("File already gone: " + file.path);
            continue;
        }
        if (status.m_size != file.size || status.m_mtime != file.time) {
            log.Write("File kept, changed since the installation: " + file.path);
            result.kept.push_back(file.path);
            continue;
        }
        try {
            CFile::Remove(path);
            removed.push_back(file.path);
            log.Write("File removed: " + file.path + (file.replaced ? " (it had replaced an earlier file)" : ""));
            if (file.replaced)
                result.replaced.push_back(file.path);
        } catch (const CFileException& e) {
            std::string text;
            e.GetErrorMessage(text);
            log.Write("Error: " + text);
            result.failed.push_back(file.path);
        }
    }
    // Last written first: a value whose write made its section or file is
    // then taken after every later one that went into it. A value in a
    // file the installation wrote went with that file.
    for (auto it = record.iniValues.rbegin(); it != record.iniValues.rend(); ++it) {
        if (std::find_if(removed.begin(), removed.end(), [&](const std::string& path) {
                return SamePath(path, it->file);
            }) != removed.end()) {
            log.Write("Ini value [" + it->section + "] " + it->key + " went with its file " + it->file);
            continue;
        }
        platform.RemoveIniValue(*it);
        log.Write("Ini value removed: [" + it->section + "] " + it->key + " in " + it->file);
    }
    if (!record.group.empty())
        log.Write("Group " + record.group + (platform.RemoveGroup(record.group) ? " removed" : " not removed: no Program Manager"));
    if (!record.registryKey.empty())
        log.Write("Registry key " + record.registryKey +
                  (platform.RemoveRegistryKey(record.registryKey) ? " removed" : " could not be removed"));
    RemoveRecordedFolders(record, log);
    return result;
}

void RemoveRecordedFolders(const CUninstallRecord& record, CInstallLog& log)
{
    for (auto it = record.folders.rbegin(); it != record.folders.rend(); ++it)
        if (RemoveEmptyDirectory(NativePath(*it)))
            log.Write("Folder removed: " + *it);
}
