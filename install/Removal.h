#pragma once
// Taking away what an installation made, as its record lists it: files
// unchanged since (a changed one is kept and named), the Ini values, the
// group, the registry key, then the folders it made once they are empty.
// What only the system can undo goes through CRemovalPlatform.

#include <string>
#include <vector>

#include "install/UninstallRecord.h"

class CInstallLog;

class CRemovalPlatform {
public:
    virtual ~CRemovalPlatform() = default;
    virtual void RemoveIniValue(const RecordedIni& ini) = 0;
    virtual bool RemoveGroup(const std::string& group) = 0;
    virtual bool RemoveRegistryKey(const std::string& key) = 0;
};

struct RemovalResult {
    std::vector<std::string> kept;       // changed since the installation
    std::vector<std::string> replaced;   // removed, though they replaced a file at the installation
    std::vector<std::string> failed;     // could not be removed
};

// The record and the running program are the caller's to remove. Folders
// that are not empty stay.
RemovalResult RemoveInstalled(const CUninstallRecord& record, CRemovalPlatform& platform, CInstallLog& log);

// The record's folders, deepest first, each removed when empty.
void RemoveRecordedFolders(const CUninstallRecord& record, CInstallLog& log);
