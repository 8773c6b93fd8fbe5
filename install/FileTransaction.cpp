#include "install/FileTransaction.h"

#include <cctype>
#include <cstdio>

#include "framework/File.h"
#include "install/DirectoryUtil.h"

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

} // namespace

CFileTransaction::~CFileTransaction()
{
    if (!m_bDone)
        Rollback();
}

void CFileTransaction::Reserve(const std::string& target)
{
    m_reserved.insert(Fold(NativePath(target)));
}

void CFileTransaction::MakeFolders(const std::string& folder)
{
    if (folder.empty() || m_knownFolders.count(folder))
        return;
    // Level by level from the left, as CreateDirectoryPath does, remembering
    // the levels made here.
    const std::string full = folder + '/';
    for (std::size_t at = full.find('/'); at != std::string::npos; at = full.find('/', at + 1)) {
        if (at == 0 || (at == 2 && full[1] == ':'))
            continue;   // the root, or a drive
        const std::string level = full.substr(0, at);
        if (m_knownFolders.count(level))
            continue;
        CFileStatus status;
        if (!CFile::GetStatus(level, status) && MakeDirectory(level)) {
            m_madeFolders.push_back(level);
            m_madeSet.insert(level);
        }
        m_knownFolders.insert(level);
    }
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
    MakeFolders(folder);
    Entry entry;
    entry.target = native;
    // A target is reserved even when the caller did not, so that no
    // temporary name in a folder made here can take it.
    const std::string key = Fold(native);
    m_reserved.insert(key);
    entry.fresh = m_stagedTargets.insert(key).second && m_madeSet.count(folder);
    entry.staged = NativePath(FreeName(folder));
#ifdef _WIN32
    for (char& c : entry.staged)
        if (c == '/')
            c = '\\';
#endif
    m_entries.push_back(entry);
    return entry.staged;
}

void CFileTransaction::Commit()
{
    for (Entry& entry : m_entries) {
        if (!entry.fresh && Exists(entry.target)) {
            const std::size_t cut = entry.staged.find_last_of("\\/");
            std::string aside = FreeName(cut == std::string::npos ? std::string() : entry.staged.substr(0, cut));
#ifdef _WIN32
            for (char& c : aside)
                if (c == '/')
                    c = '\\';
#endif
            CFile::Rename(entry.target, aside);
            entry.aside = aside;
        }
        CFile::Rename(entry.staged, entry.target);
        entry.committed = true;
    }
}

void CFileTransaction::Rollback() noexcept
{
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
    m_knownFolders.clear();
    m_bDone = true;
}

void CFileTransaction::Finish() noexcept
{
    for (const Entry& entry : m_entries)
        if (!entry.aside.empty())
            RemoveQuietly(entry.aside);
    m_entries.clear();
    m_madeFolders.clear();
    m_bDone = true;
}
