#pragma once
// The copier of the source tree in copy mode: one for the whole program.

#include <string>

#include "framework/Object.h"
#include "install/ProgressSink.h"

class CUninstallRecord;

class CTreeCopier : public CObject {
public:
    std::string m_strCurrentName;   // bare name of the file being copied
    CProgressSink* m_pOwner = nullptr;
    // When given, learns the files copied and the folders made.
    CUninstallRecord* m_pRecord = nullptr;
};

CTreeCopier& GetTreeCopier();
