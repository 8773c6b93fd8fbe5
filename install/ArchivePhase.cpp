#include "install/ArchivePhase.h"

#include <algorithm>
#include <unordered_map>

#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/DirectoryUtil.h"
#include "install/FileTransaction.h"
#include "install/InstallArchive.h"
#include "install/InstallLog.h"

namespace {

// Clears the program-wide pointer to the archive being extracted however
// the extraction ends.
class CurrentArchive {
public:
    explicit CurrentArchive(CInstallArchive& archive) { CurrentInstallArchive() = &archive; }
    ~CurrentArchive() { CurrentInstallArchive() = nullptr; }
};

std::string Damaged(const std::string& name, const std::string& reason)
{
    return "The file " + name + " is damaged (" + reason + "). Nothing has been installed.";
}

// Length of a staged or moved-aside name ("\~QJ00001.TMP") beside a target.
constexpr std::size_t kTempNameLength = 13;

struct Volume {
    std::string name;
    std::uint64_t needed = 0;
    std::uint64_t free = 0;
};

} // namespace

bool CArchivePhase::Run(const std::vector<ArchiveJob>& jobs, CProgressSink* owner, std::string& message)
{
    std::vector<const ArchiveJob*> present;
    for (const ArchiveJob& job : jobs) {
        CFileStatus status;
        if (CFile::GetStatus(NativePath(job.path), status))
            present.push_back(&job);
    }

    std::vector<CArchiveDirectory> directories(present.size());
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < present.size(); ++i) {
        if (!directories[i].Read(present[i]->path)) {
            message = Damaged(present[i]->name, directories[i].GetError());
            return false;
        }
        total += directories[i].GetTotalSize();
    }

    // Checks on the targets, before anything is written: a path the system
    // cannot take, a target that is a folder or read-only.
    CFileTransaction transaction;
    std::vector<Volume> volumes;
    // Whether each target's folder can be looked up, once per folder: a
    // target inside one that cannot does not exist either.
    std::unordered_map<std::string, bool> folders;
    std::size_t longest = 0;
    for (std::size_t i = 0; i < present.size(); ++i) {
        const std::string& destination = present[i]->destination;
        for (const CArchiveMember& member : directories[i].GetMembers()) {
            const std::string target = NativePath(destination + member.strName);
            const std::size_t folder = target.find_last_of("\\/");
            if (maxPath && (target.size() > maxPath ||
                            (folder == std::string::npos ? 0 : folder) + kTempNameLength > maxPath))
                throw CFileException(CFileException::badPath, -1, target);
            longest = std::max(longest, target.size());
            CFileStatus status;
            // With its separator: a drive's root is "C:\" ("C:" is its current folder).
            const std::string where = target.substr(0, folder == std::string::npos ? 0 : folder + 1);
            auto known = folders.find(where);
            if (known == folders.end())
                known = folders.emplace(where, where.empty() || CFile::GetStatus(where, status)).first;
            if (known->second && CFile::GetStatus(target, status) && (status.m_attribute & 0x11))
                throw CFileException(CFileException::accessDenied, -1, target);
            transaction.Reserve(target);
        }
        Volume volume;
        if (freeSpace && freeSpace(destination, volume.name, volume.free)) {
            auto same = volumes.begin();
            while (same != volumes.end() && same->name != volume.name)
                ++same;
            if (same == volumes.end())
                same = volumes.insert(volumes.end(), volume);
            same->needed += directories[i].GetTotalSize();
        }
    }
    for (const Volume& volume : volumes) {
        if (volume.needed > volume.free) {
            constexpr std::uint64_t mb = 1 << 20;
            message = "There is not enough space on " + volume.name + " to install " + title + ": " +
                      std::to_string((volume.needed + mb - 1) / mb) + " MB are needed and " +
                      std::to_string(volume.free / mb) + " MB are free. Nothing has been installed.";
            return false;
        }
    }

    // A folder staged whole lengthens the paths inside it by up to 11
    // characters until the commit; a folder being made must stay 12 short
    // of the limit.
    transaction.SetStageFolders(!maxPath || longest + 2 * kTempNameLength <= maxPath);

    std::uint64_t done = 0;
    auto bytes = [&](std::uint32_t count) {
        done += count;
        if (onBytes)
            onBytes(done, total);
    };
    try {
        for (std::size_t i = 0; i < present.size(); ++i) {
            CInstallArchive archive(owner);
            archive.SetDestination(present[i]->destination);
            CurrentArchive current(archive);
            std::string error;
            if (!archive.StageAll(directories[i], transaction, error, bytes)) {
                transaction.Rollback();
                message = Damaged(present[i]->name, error);
                return false;
            }
        }
        transaction.Commit();
        if (record)
            transaction.Record(*record);
    } catch (...) {
        transaction.Rollback();
        throw;
    }
    transaction.Finish();
    for (std::size_t i = 0; i < present.size(); ++i) {
        CInstallLog& log = GetInstallLog();
        log.Write("Archive " + present[i]->name + ": " + std::to_string(directories[i].GetMembers().size()) +
                  " members into " + present[i]->destination);
        for (const CArchiveMember& member : directories[i].GetMembers())
            log.Write("Written: " + present[i]->destination + member.strName);
    }
    return true;
}
