#include "framework/MemFile.h"

#include <cstring>

// Any value but hFileNull marks the file open for CFile::IsOpen; there is
// no descriptor behind it.
static constexpr std::intptr_t kMemoryHandle = 0x4D454D;

CMemFile::~CMemFile()
{
    // CFile's destructor would otherwise close the marker as a real handle.
    Detach();
}

void CMemFile::Attach(std::uint8_t* buffer, std::uint32_t size)
{
    m_lpBuffer = buffer;
    m_nFileSize = size;
    m_nPosition = 0;
    m_hFile = kMemoryHandle;
}

std::uint8_t* CMemFile::Detach()
{
    std::uint8_t* buffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_hFile = hFileNull;
    return buffer;
}

bool CMemFile::Open(const std::string& path, unsigned, CFileException* error)
{
    // A memory file has no name to open.
    if (error)
        *error = CFileException(CFileException::generic, -1, path);
    return false;
}

std::uint32_t CMemFile::Read(void* buffer, std::uint32_t count)
{
    if (m_nPosition >= m_nFileSize)
        return 0;
    std::uint32_t n = m_nFileSize - m_nPosition;
    if (count < n)
        n = count;
    std::memcpy(buffer, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return n;
}

void CMemFile::Write(const void* buffer, std::uint32_t count)
{
    if (m_nPosition > m_nFileSize || count > m_nFileSize - m_nPosition)
        throw CFileException(CFileException::diskFull, -1, m_strFileName);
    if (count == 0)
        return;
    std::memcpy(m_lpBuffer + m_nPosition, buffer, count);
    m_nPosition += count;
}

std::uint64_t CMemFile::Seek(std::int64_t offset, unsigned from)
{
    std::int64_t base = from == begin ? 0 : from == current ? m_nPosition : m_nFileSize;
    std::int64_t target = base + offset;
    if (target < 0 || target > static_cast<std::int64_t>(UINT32_MAX))
        throw CFileException(CFileException::badSeek, -1, m_strFileName);
    m_nPosition = static_cast<std::uint32_t>(target);
    return m_nPosition;
}
