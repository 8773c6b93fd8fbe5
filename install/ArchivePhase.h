#pragma once
// The archive phase: up to three archives, each into its own directory, as
// one transaction. First what can be checked without decoding (structure,
// names Windows can create, path lengths, targets that cannot be replaced,
// free space); then every member of every archive is decoded once, in
// bounded pieces, into a staged file beside its target; only then are the
// targets replaced. Any failure on the way rolls everything back, so a
// damaged medium, a full disk or a file in use installs nothing at all.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "install/ProgressSink.h"

class CUninstallRecord;

struct ArchiveJob {
    std::string name;          // as the user knows it: "Setup.aqj"
    std::string path;          // on the medium
    std::string destination;   // ends in a backslash
};

class CArchivePhase {
public:
    // The volume that holds a destination, as the user names it ("C:"),
    // and its free bytes; false when that cannot be told (no check then).
    std::function<bool(const std::string& destination, std::string& volume, std::uint64_t& freeBytes)> freeSpace;
    // The longest path the system takes, 0 for no limit.
    std::size_t maxPath = 0;
    // The product, for the space message.
    std::string title;
    // When given, learns the files written and the folders made.
    CUninstallRecord* record = nullptr;
    // Bytes decoded so far, out of the total of every archive.
    std::function<void(std::uint64_t done, std::uint64_t total)> onBytes;

    // Installs the jobs whose archive exists; missing ones are passed over.
    // False, with the text for the user in message, when an archive is
    // damaged or a volume lacks the space. File errors are thrown, after
    // the rollback, as CFileException naming the target.
    bool Run(const std::vector<ArchiveJob>& jobs, CProgressSink* owner, std::string& message);
};
