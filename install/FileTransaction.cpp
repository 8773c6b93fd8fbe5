#include "install/FileTransaction.h"

#include <cctype>
#include <cstdio>

#include "framework/File.h"
#include "install/DirectoryUtil.h"
#include "install/UninstallRecord.h"

namespace {

std::string Fold(const std::string& path)
{
    std::string key = path;
    for (char& c : key)
        c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

bool Exists(const std::string& path)
{
    CFileStatus status;
    return CFile::GetStatus(path, status);
}

void RemoveQuietly(const std::string& path)
{
    try {
        CFile::Remove(path);
    } catch (const CFileException&) {
    }
}

// A folder's path in the system's spelling.
std::string SystemPath(std::string slashed)
{
#ifdef _WIN32
    for (char& c : slashed)
        if (c == '/')
            c = '\\';
#endif
    return slashed;
}

// The key under which a folder's place is remembered: folders that differ
// only in case are one folder on Windows.
std::string PlaceKey(const std::string& folder)
{
#ifdef _WIN32
    return Fold(folder);
#else
    return folder;
#endif
}

} // namespace

CFileTransaction::~CFileTransaction()
{
    if (!m_bDone)
        Rollback();
}

void CFileTransaction::Reserve(const std::string& target)
{
    const std::string key = Fold(NativePath(target));
    m_reserved.insert(key);
    // A folder of the target that a temporary name could spell is reserved
    // too, so that no staged folder or file takes its place.
    for (std::size_t at = key.find("/~QJ"); at != std::string::npos; at = key.find("/~QJ", at + 1)) {
        const std::size_t end = key.find('/', at + 1);
        if (end != std::string::npos)
            m_reserved.insert(key.substr(0, end));
    }
}

std::string CFileTransaction::PlaceOf(const std::string& folder)
{
    if (folder.empty())
        return folder;
    auto known = m_places.find(PlaceKey(folder));
    if (known != m_places.end())
        return known->second;
    // Level by level from the left, as CreateDirectoryPath does. A level
    // below a staged one is made inside it; a missing level whose parent
    // exists (not a root) is staged whole when allowed, else made as it is.
    const std::string full = folder + '/';
    std::string place;   // of the level before
    std::size_t before = std::string::npos;
    for (std::size_t at = full.find('/'); at != std::string::npos; before = at, at = full.find('/', at + 1)) {
        if (at == 0 || (at == 2 && full[1] == ':'))
            continue;   // the root, or a drive
        const std::string level = full.substr(0, at);
        const std::string key = PlaceKey(level);
        known = m_places.find(key);
        if (known != m_places.end()) {
            place = known->second;
            continue;
        }
        const std::string parent = before == std::string::npos ? std::string() : full.substr(0, before);
        CFileStatus status;
        if (!place.empty() && place != parent) {
            place += full.substr(before, at - before);
            if (MakeDirectory(place))
                m_madeFolders.push_back(place);
        } else if (CFile::GetStatus(level, status)) {
            place = level;
        } else {
            place = level;
            const bool rooted = parent.empty() || parent == "/" || (parent.size() == 2 && parent[1] == ':');
            if (m_bStageFolders && !rooted) {
                const std::string staged = FreeName(parent);
                if (MakeDirectory(staged)) {
                    m_madeFolders.push_back(staged);
                    m_folders.push_back({SystemPath(level), SystemPath(staged)});
                    place = staged;
                }
            }
            if (place == level && MakeDirectory(level)) {
                m_madeFolders.push_back(level);
                m_madeSet.insert(level);
            }
        }
        m_places.emplace(key, place);
    }
    return place.empty() ? folder : place;   // a root or a drive
}

std::string CFileTransaction::FreeName(const std::string& folder)
{
    for (;;) {
        char name[16];
        std::snprintf(name, sizeof name, "~QJ%05X.TMP", ++m_nCounter & 0xFFFFF);
        const std::string path = folder.empty() ? std::string(name) : folder + '/' + name;
        const std::string key = Fold(path);
        if (!m_reserved.count(key) && (m_madeSet.count(folder) || !Exists(path))) {
            m_reserved.insert(key);
            return path;
        }
    }
}

std::string CFileTransaction::Stage(const std::string& target)
{
    // Folders in the '/' spelling internally; the system's spelling outside.
    std::string native = NativePath(target), slashed = target;
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    const std::size_t cut = slashed.find_last_of('/');
    const std::string folder = cut == std::string::npos ? std::string() : slashed.substr(0, cut);
    const std::string place = PlaceOf(folder);
    // A target is reserved even when the caller did not, so that no
    // temporary name can take it.
    Reserve(target);
    const bool first = m_stagedTargets.insert(Fold(native)).second;
    Entry entry;
    entry.target = native;
    if (place != folder) {
        // Staged twice (two archives, one target), the later contents
        // replace the earlier ones in the same file.
        entry.staged = SystemPath(place + slashed.substr(cut));
        entry.inFolder = true;
    } else {
        entry.fresh = first && m_madeSet.count(folder);
        entry.staged = SystemPath(NativePath(FreeName(folder)));
    }
    m_entries.push_back(entry);
    return entry.staged;
}

void CFileTransaction::Commit()
{
    for (Entry& entry : m_entries) {
        if (entry.inFolder)
            continue;
        if (!entry.fresh && Exists(entry.target)) {
            const std::size_t cut = entry.staged.find_last_of("\\/");
            std::string aside = SystemPath(FreeName(cut == std::string::npos ? std::string() : entry.staged.substr(0, cut)));
            CFile::Rename(entry.target, aside);
            entry.aside = aside;
        }
        CFile::Rename(entry.staged, entry.target);
        entry.committed = true;
    }
    for (Folder& folder : m_folders) {
        try {
            CFile::Rename(folder.staged, folder.target);
        } catch (CFileException& e) {
            // The user knows the folder, not its staged name.
            e.m_strFileName = folder.target;
            throw;
        }
        folder.committed = true;
    }
}

void CFileTransaction::Rollback() noexcept
{
    // Staged folders back under their temporary names first, so that the
    // files inside are found where they were written.
    for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it) {
        if (it->committed) {
            try {
                CFile::Rename(it->target, it->staged);
            } catch (const CFileException&) {
            }
        }
    }
    m_folders.clear();
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it->committed)
            RemoveQuietly(it->target);
        else
            RemoveQuietly(it->staged);
        if (!it->aside.empty()) {
            try {
                CFile::Rename(it->aside, it->target);
            } catch (const CFileException&) {
            }
        }
    }
    m_entries.clear();
    for (auto it = m_madeFolders.rbegin(); it != m_madeFolders.rend(); ++it)
        RemoveEmptyDirectory(*it);
    m_madeFolders.clear();
    m_madeSet.clear();
    m_places.clear();
    m_bDone = true;
}

void CFileTransaction::Finish() noexcept
{
    for (const Entry& entry : m_entries)
        if (!entry.aside.empty())
            RemoveQuietly(entry.aside);
    m_entries.clear();
    m_folders.clear();
    m_madeFolders.clear();
    m_bDone = true;
}

void CFileTransaction::Record(CUninstallRecord& record) const
{
    for (const Entry& entry : m_entries)
        record.AddFile(entry.target, !entry.aside.empty());
    for (const std::string& made : m_madeFolders) {
        std::string path = SystemPath(made);
        // A folder made inside a staged one now has the staged one's name.
        for (const Folder& folder : m_folders) {
            const std::size_t n = folder.staged.size();
            if (path.compare(0, n, folder.staged) == 0 && (path.size() == n || path[n] == '\\' || path[n] == '/')) {
                path = folder.target + path.substr(n);
                break;
            }
        }
        record.AddFolder(path);
    }
}
