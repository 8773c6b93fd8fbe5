#pragma once
// One archive being extracted: what the progress dialog shows of it.

#include <string>
#include <vector>

#include "framework/Object.h"
#include "install/ProgressSink.h"

class CInstallArchive : public CObject {
public:
    explicit CInstallArchive(CProgressSink* owner = nullptr) : m_pOwner(owner) {}

    std::string m_strCurrentName;   // member being extracted
    int m_nPercent = 0;             // share of the members done, 0..100
    std::vector<std::string> m_names;
    std::string m_strDestination;   // ends in a backslash
    CProgressSink* m_pOwner;
};

// The archive being extracted, or null; the progress dialog reads the
// current name and percent through it when notified.
CInstallArchive*& CurrentInstallArchive();
