#pragma once
// One archive being extracted: its names, its destination, and what the
// progress dialog shows of it (the member's name and the percent done).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Object.h"
#include "install/ProgressSink.h"

class CArchiveDirectory;
class CFileTransaction;

class CInstallArchive : public CObject {
public:
    explicit CInstallArchive(CProgressSink* owner = nullptr) : m_pOwner(owner) {}

    // The directory the names are written below; the caller ends it with a
    // backslash.
    void SetDestination(const std::string& directory) { m_strDestination = directory; }

    // Decodes every member of the archive (read and checked already) into a
    // staged file of the transaction, through one bounded buffer:
    // ID_PROGRESS_FILE before a member, ID_PROGRESS_STEP after it and once
    // more at the end; bytes learns each piece decoded. False, with the
    // reason in error, when a member does not decode to its size and its
    // end-of-stream code. File errors are thrown, naming the target.
    bool StageAll(CArchiveDirectory& directory, CFileTransaction& transaction, std::string& error,
                  const std::function<void(std::uint32_t)>& bytes = {});

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
