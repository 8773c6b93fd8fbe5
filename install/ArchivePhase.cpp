#include "install/ArchivePhase.h"

#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/DirectoryUtil.h"
#include "install/InstallArchive.h"

namespace {

// Clears the program-wide pointer to the archive being extracted however
// the extraction ends.
class CurrentArchive {
public:
    explicit CurrentArchive(CInstallArchive& archive) { CurrentInstallArchive() = &archive; }
    ~CurrentArchive() { CurrentInstallArchive() = nullptr; }
};

std::string Damaged(const std::string& name, const std::string& reason, bool nothingInstalled)
{
    return "The file " + name + " is damaged (" + reason + ")." +
           (nothingInstalled ? " Nothing has been installed." : "");
}

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
            message = Damaged(present[i]->name, directories[i].GetError(), true);
            return false;
        }
        total += directories[i].GetTotalSize();
    }
    std::uint64_t before = 0;
    for (std::size_t i = 0; i < present.size(); ++i) {
        if (onChecking)
            onChecking(present[i]->name);
        auto progress = [&](std::uint64_t done) {
            if (onCheckProgress && total)
                onCheckProgress(static_cast<int>((before + done) * 100 / total));
        };
        if (!directories[i].Verify(progress)) {
            message = Damaged(present[i]->name, directories[i].GetError(), true);
            return false;
        }
        before += directories[i].GetTotalSize();
    }
    if (onChecked)
        onChecked();

    for (std::size_t i = 0; i < present.size(); ++i) {
        CInstallArchive archive(owner);
        archive.SetDestination(present[i]->destination);
        CurrentArchive current(archive);
        std::string error;
        // The medium changed since it was checked.
        if (!archive.ExtractAll(present[i]->path, 0, error)) {
            message = Damaged(present[i]->name, error, i == 0);
            return false;
        }
    }
    return true;
}
