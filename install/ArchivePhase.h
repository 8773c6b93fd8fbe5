#pragma once
// The archive phase: up to three archives, each into its own directory.
// Every archive present is checked whole (structure, names, every member
// decoding to its size and end-of-stream) before the first member of any
// is written, so a damaged medium installs nothing at all.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "install/ProgressSink.h"

struct ArchiveJob {
    std::string name;          // as the user knows it: "Setup.aqj"
    std::string path;          // on the medium
    std::string destination;   // ends in a backslash
};

class CArchivePhase {
public:
    // Told the archive being checked, and the share of all bytes checked.
    std::function<void(const std::string& name)> onChecking;
    std::function<void(int percent)> onCheckProgress;
    // Every archive passed; extraction starts.
    std::function<void()> onChecked;

    // Checks, then extracts, the jobs whose archive exists; missing ones
    // are passed over. False, with the text for the user in message, when
    // an archive is damaged. File errors while writing are thrown.
    bool Run(const std::vector<ArchiveJob>& jobs, CProgressSink* owner, std::string& message);
};
