#include "install/InstallArchive.h"

#include <memory>

#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/DirectoryUtil.h"
#include "install/FileTransaction.h"
#include "install/StagedWriter.h"
#include "install/packed/PackedFile.h"

void CInstallArchive::Notify(unsigned id)
{
    if (m_pOwner)
        m_pOwner->Notify(id);
}

bool CInstallArchive::StageAll(CArchiveDirectory& directory, CFileTransaction& transaction, std::string& error,
                               const std::function<void(std::uint32_t)>& bytes)
{
    m_names.clear();
    for (const CArchiveMember& member : directory.GetMembers())
        m_names.push_back(member.strName);
    std::unique_ptr<CPackedFile> packed = directory.OpenPacked();
    // Files are created and filled on the writer's thread while the next
    // piece is decoded here; leaving early (damage, a thrown error) drops
    // what is queued and closes the open file before the rollback.
    CStagedWriter writer(CArchiveDirectory::chunkSize);

    const std::size_t count = m_names.size();
    for (std::size_t i = 0; i < count; ++i) {
        m_strCurrentName = m_names[i];
        const std::string target = m_strDestination + m_strCurrentName;
        Notify(kProgressFile);

        writer.Open(transaction.Stage(target), target);
        const bool decoded = directory.Decode(
            *packed, i, nullptr, CArchiveDirectory::chunkSize,
            [&](const std::uint8_t* data, std::uint32_t n) {
                writer.Submit(data, n);
                if (bytes && n)
                    bytes(n);
            },
            [&] { return writer.Acquire(); });
        if (!decoded) {
            error = directory.GetError();
            return false;
        }
        writer.Close();
        m_nPercent = static_cast<int>(100 * (i + 1) / count);
        Notify(kProgressStep);
    }
    writer.Finish();
    m_nPercent = 100;
    Notify(kProgressStep);
    return true;
}
