#include "install/packed/StoredFile.h"

std::uint32_t CStoredFile::Read(void* buffer, std::uint32_t count)
{
    return ReadStored(static_cast<std::uint8_t*>(buffer), count);
}

void CStoredFile::WritePacked(const void* data, std::uint32_t count)
{
    if (!IsWriting())
        return;
    WriteStored(static_cast<const std::uint8_t*>(data), count);
    m_nUnpackedSize += count;
}

bool CStoredFile::FinishMember()
{
    // Nothing marks the end: the member must hold exactly what was read.
    std::uint8_t probe;
    return GetPackedSize() == GetUnpackedSize() && ReadStored(&probe, 1) == 0;
}
