#include "install/InstallArchive.h"

#include <memory>

#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/DirectoryUtil.h"
#include "install/FileTransaction.h"
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
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[CArchiveDirectory::chunkSize]);

    const std::size_t count = m_names.size();
    for (std::size_t i = 0; i < count; ++i) {
        m_strCurrentName = m_names[i];
        const std::string target = m_strDestination + m_strCurrentName;
        Notify(kProgressFile);

        const std::string staged = transaction.Stage(target);
        bool decoded = false;
        try {
            CFile out(staged, CFile::modeCreate | CFile::modeWrite);
            decoded = directory.Decode(*packed, i, buffer.get(), CArchiveDirectory::chunkSize,
                                       [&](const std::uint8_t* data, std::uint32_t n) {
                                           out.Write(data, n);
                                           if (bytes)
                                               bytes(n);
                                       });
            if (decoded)
                out.Close();
        } catch (CFileException& e) {
            // The user knows the target, not its staged name.
            if (e.m_strFileName == staged)
                e.m_strFileName = NativePath(target);
            throw;
        }
        if (!decoded) {
            error = directory.GetError();
            return false;
        }
        m_nPercent = static_cast<int>(100 * (i + 1) / count);
        Notify(kProgressStep);
    }
    m_nPercent = 100;
    Notify(kProgressStep);
    return true;
}
