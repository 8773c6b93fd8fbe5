#include "install/InstallArchive.h"

#include <memory>

#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/DirectoryUtil.h"
#include "install/packed/PackedFile.h"

void CInstallArchive::Notify(unsigned id)
{
    if (m_pOwner)
        m_pOwner->Notify(id);
}

bool CInstallArchive::ReadDirectory(const std::string& path, std::string& error)
{
    CArchiveDirectory directory;
    if (!directory.Read(path)) {
        error = directory.GetError();
        return false;
    }
    for (const CArchiveMember& member : directory.GetMembers())
        m_names.push_back(member.strName);
    return true;
}

bool CInstallArchive::ExtractAll(const std::string& path, std::uint32_t base, std::string& error)
{
    std::unique_ptr<CPackedFile> packed = CreatePackedFile(path, CPackedFile::kindLzw);
    m_names.clear();
    if (!ReadDirectory(path, error))
        return false;
    CFileException openError;
    if (!packed->Open(path, CFile::modeRead | CFile::shareDenyNone, &openError))
        throw openError;

    const std::size_t count = m_names.size();
    std::vector<std::uint8_t> buffer;
    std::string madeDirectory;   // known to exist: members come by folder
    for (std::size_t i = 0; i < count; ++i) {
        packed->SelectMember(static_cast<std::uint32_t>(i), base);
        m_strCurrentName = m_names[i];
        const std::string target = m_strDestination + m_strCurrentName;
        Notify(kProgressFile);

        std::string::size_type slash = target.find_last_of("\\/");
        if (slash != std::string::npos) {
            std::string directory = target.substr(0, slash);
            if (!directory.empty() && directory != madeDirectory) {
                if (!DirectoryExists(directory))
                    CreateDirectoryPath(directory);
                madeDirectory = directory;
            }
        }

        const std::uint32_t size = packed->GetUnpackedSize();
        buffer.resize(size);
        const std::uint32_t got = size ? packed->Read(buffer.data(), size) : 0;
        if (got != size)
            throw CFileException(CFileException::generic, -1, target);

        // The real cause of a target that cannot be made (read-only, in use,
        // a bad name) is reported, empty members included.
        CFile out(NativePath(target), CFile::modeCreate | CFile::modeWrite);
        out.Write(buffer.data(), size);
        out.Close();

        m_nPercent = static_cast<int>(100 * (i + 1) / count);
        Notify(kProgressStep);
    }
    m_nPercent = 100;
    Notify(kProgressStep);
    return true;
}
