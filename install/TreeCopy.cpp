#include "install/TreeCopy.h"

#include <memory>

#include "framework/File.h"
#include "install/DirectoryUtil.h"
#include "install/InstallLog.h"
#include "install/UninstallRecord.h"

#ifdef _WIN32
#include <io.h>
#else
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#endif

namespace {

bool IsDotEntry(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The current directory's entries matching pattern, files or directories.
void ListCurrent(std::vector<std::string>& names, const std::string& pattern, bool directories)
{
#ifdef _WIN32
    _finddata_t data;
    intptr_t handle = _findfirst(pattern.c_str(), &data);
    if (handle == -1)
        return;
    do {
        bool isDir = (data.attrib & _A_SUBDIR) != 0;
        if (isDir == directories && !IsDotEntry(data.name))
            names.push_back(data.name);
    } while (_findnext(handle, &data) == 0);
    _findclose(handle);
#else
    // "*.*" matches every name, as it does on Windows.
    std::string glob = pattern == "*.*" ? "*" : pattern;
    DIR* dir = opendir(".");
    if (!dir)
        return;
    while (dirent* entry = readdir(dir)) {
        if (IsDotEntry(entry->d_name) || fnmatch(glob.c_str(), entry->d_name, 0) != 0)
            continue;
        struct stat st;
        if (stat(entry->d_name, &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode) == directories)
            names.push_back(entry->d_name);
    }
    closedir(dir);
#endif
}

} // namespace

bool ListFiles(std::vector<std::string>& names, const std::string& pattern, const std::string& directory)
{
    if (!directory.empty() && !ChangeDir(directory))
        return false;
    names.clear();
    ListCurrent(names, pattern, false);
    return true;
}

bool ListSubdirectories(std::vector<std::string>& names, const std::string& directory)
{
    if (!directory.empty() && !ChangeDir(directory))
        return false;
    names.clear();
    ListCurrent(names, "*", true);
    return true;
}

int CountFiles(const std::string& directory)
{
    std::vector<std::string> names;
    if (!ListFiles(names, "*.*", directory))
        return 0;
    int count = static_cast<int>(names.size());
    std::vector<std::string> subdirectories;
    ListSubdirectories(subdirectories, directory);
    for (const std::string& sub : subdirectories)
        count += CountFiles(directory + "\\" + sub);
    return count;
}

namespace {

// Makes the folder's missing levels; the record learns those made here,
// parents first.
void MakeFolders(const std::string& folder, CUninstallRecord* record)
{
    std::vector<std::string> missing;
    for (std::string level = folder; !level.empty() && !DirectoryExists(level);) {
        missing.push_back(level);
        const std::size_t cut = level.find_last_of("\\/");
        level = cut == std::string::npos ? std::string() : level.substr(0, cut);
    }
    CreateDirectoryPath(folder);
    for (auto it = missing.rbegin(); record && it != missing.rend(); ++it)
        if (DirectoryExists(*it))
            record->AddFolder(*it);
}

// root: the whole copy's destination, which the walk never enters.
bool CopyTreeBelow(const std::string& source, const std::string& destination, const std::string& root)
{
    CTreeCopier& copier = GetTreeCopier();
    std::vector<std::string> names;
    if (!ListFiles(names, "*.*", source))
        return false;
    for (const std::string& name : names) {
        copier.m_strCurrentName = name;
        if (!DirectoryExists(destination))
            MakeFolders(destination, copier.m_pRecord);
        if (copier.m_pOwner)
            copier.m_pOwner->Notify(kProgressCopyFile);
        const std::string target = destination + "\\" + name;
        CFileStatus status;
        const bool existed = copier.m_pRecord && CFile::GetStatus(NativePath(target), status);
        const bool copied = CopyOneFile(source + "\\" + name, target, false);
        GetInstallLog().Write((copied ? "Copied: " : "Not copied: ") + target);
        if (copied && copier.m_pRecord)
            copier.m_pRecord->AddFile(target, existed);
    }
    if (!ListSubdirectories(names, source))
        return false;
    for (const std::string& name : names) {
        if (IsSameOrInside(source + "\\" + name, root))
            continue;
        if (!CopyTreeBelow(source + "\\" + name, destination + "\\" + name, root))
            return false;
    }
    return true;
}

} // namespace

bool CopyTree(const std::string& source, const std::string& destination)
{
    // Listing changes the current directory: a relative destination is
    // resolved once, against the current directory at the start.
    const std::string root = AbsolutePath(destination);
    return CopyTreeBelow(source, root, root);
}

bool CopyOneFile(const std::string& source, const std::string& target, bool failIfExists)
{
    CFileStatus status;
    if (failIfExists && CFile::GetStatus(NativePath(target), status))
        return false;
    CFile in;
    if (!in.Open(NativePath(source), CFile::modeRead))
        return false;
    std::uint32_t length = in.GetLength();
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length ? length : 1]);
    std::uint32_t got = in.Read(buffer.get(), length);
    in.Close();
    CFile out;
    if (!out.Open(NativePath(target), CFile::modeCreate | CFile::modeWrite))
        return false;
    out.Write(buffer.get(), got);
    out.Close();
    return true;
}
