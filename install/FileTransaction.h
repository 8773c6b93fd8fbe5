#pragma once
// Files replaced all together or not at all. Each new file is first
// written to a staged file beside its target (same folder, so the final
// rename never copies); Commit moves an existing target aside and renames
// the staged file in; Rollback undoes whatever has been done, staged files,
// moved-aside targets and folders made here, so that nothing on disk
// differs from before. Paths are Windows paths (see DirectoryUtil.h).
//
// When folders may be staged, a missing folder is made under a temporary
// name instead, its files are written inside it under their own names, and
// the commit renames the whole folder in: one rename for all its files.

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CUninstallRecord;

class CFileTransaction {
public:
    CFileTransaction() = default;
    CFileTransaction(const CFileTransaction&) = delete;
    CFileTransaction& operator=(const CFileTransaction&) = delete;
    // Rolls back unless Finish ran.
    ~CFileTransaction();

    // A target that will be staged later: no staged or moved-aside file may
    // take its name.
    void Reserve(const std::string& target);
    // Whether missing folders are staged whole. Paths inside a staged folder
    // are up to 11 characters longer than their targets until the commit.
    void SetStageFolders(bool stage) { m_bStageFolders = stage; }
    // Makes the target's missing folders (remembered for the rollback) and
    // returns the path, in the system's spelling, that the caller writes
    // the new contents to.
    std::string Stage(const std::string& target);
    // Puts every staged file in place. File errors are thrown; the caller
    // then rolls back.
    void Commit();
    // Undoes everything; never throws. Best effort: a file that cannot be
    // removed or put back is left where it is.
    void Rollback() noexcept;
    // After Commit: deletes the moved-aside targets; the transaction is done.
    void Finish() noexcept;
    // After Commit, before Finish: the files written, whether each replaced
    // one, and the folders made, parents first, under their final names.
    void Record(CUninstallRecord& record) const;

private:
    struct Entry {
        std::string target;   // system spelling
        std::string staged;
        std::string aside;    // the old target while the new one is in place
        bool fresh = false;   // in a folder made here, and staged once: nothing to move aside
        bool inFolder = false;   // under its own name inside a staged folder
        bool committed = false;
    };
    struct Folder {
        std::string target;   // system spelling
        std::string staged;
        bool committed = false;
    };
    std::string FreeName(const std::string& folder);
    std::string PlaceOf(const std::string& folder);

    std::vector<Entry> m_entries;
    std::vector<Folder> m_folders;   // staged whole, in the order made
    std::vector<std::string> m_madeFolders;   // in the order made
    // Folders made here held nothing when made: whatever is in them now
    // is ours, so names there need not be looked up on disk.
    std::unordered_set<std::string> m_madeSet;
    // Where the files of each folder looked up so far are written: the
    // folder itself, or its place inside a staged folder.
    std::unordered_map<std::string, std::string> m_places;
    std::unordered_set<std::string> m_reserved;   // folded target and temporary paths
    std::unordered_set<std::string> m_stagedTargets;   // folded
    unsigned m_nCounter = 0;
    bool m_bStageFolders = false;
    bool m_bDone = false;
};
