#pragma once
// One archive being extracted: its names, its destination, and what the
// progress dialog shows of it (the member's name and the percent done).

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Object.h"
#include "install/ProgressSink.h"

class CInstallArchive : public CObject {
public:
    explicit CInstallArchive(CProgressSink* owner = nullptr) : m_pOwner(owner) {}

    // The directory the names are written below; the caller ends it with a
    // backslash.
    void SetDestination(const std::string& directory) { m_strDestination = directory; }

    // Appends the archive's names; false, with the reason in error, when its
    // directory cannot be read or fails the checks.
    bool ReadDirectory(const std::string& path, std::string& error);

    // Writes every member below the destination: ID_PROGRESS_FILE before a
    // member, ID_PROGRESS_STEP after it and once more at the end. A member
    // is decoded whole before its target is opened, so a member that does
    // not decode to its size is a file error for its target and leaves an
    // existing file as it was. False when the directory cannot be read.
    bool ExtractAll(const std::string& path, std::uint32_t base, std::string& error);

    std::string m_strCurrentName;   // member being extracted
    int m_nPercent = 0;             // share of the members done, 0..100
    std::vector<std::string> m_names;
    std::string m_strDestination;   // ends in a backslash
    CProgressSink* m_pOwner;

private:
    void Notify(unsigned id);
};

// The archive being extracted, or null; the progress dialog reads the
// current name and percent through it when notified.
CInstallArchive*& CurrentInstallArchive();
