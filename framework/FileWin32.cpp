// Win32 back end of CFile: CreateFileA handles and GetLastError codes.

#include "framework/File.h"

#include <windows.h>

namespace {

HANDLE H(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

} // namespace

CFile::CFile() = default;

CFile::CFile(const std::string& path, unsigned openFlags)
{
    CFileException error;
    if (!Open(path, openFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (IsOpen())
        Abort();
}

bool CFile::Open(const std::string& path, unsigned openFlags, CFileException* error)
{
    if (IsOpen())
        Abort();
    m_strFileName = path;

    DWORD access = 0;
    switch (openFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default:
        if (error)
            *error = CFileException(CFileException::generic, ERROR_INVALID_PARAMETER, path);
        return false;
    }
    // Compatibility mode is exclusive on Win32.
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;
    }
    SECURITY_ATTRIBUTES sa = { sizeof sa, nullptr, (openFlags & modeNoInherit) ? FALSE : TRUE };
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate)
        disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    HANDLE h = ::CreateFileA(path.c_str(), access, share, &sa, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD code = ::GetLastError();
        if (error)
            *error = CFileException(CFileException::OsErrorToException(static_cast<long>(code)), static_cast<long>(code), path);
        return false;
    }
    m_hFile = reinterpret_cast<std::intptr_t>(h);
    return true;
}

std::uint32_t CFile::Read(void* buffer, std::uint32_t count)
{
    if (count == 0)
        return 0;
    DWORD read = 0;
    if (!::ReadFile(H(m_hFile), buffer, count, &read, nullptr))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), m_strFileName);
    return read;
}

void CFile::Write(const void* buffer, std::uint32_t count)
{
    if (count == 0)
        return;
    DWORD written = 0;
    if (!::WriteFile(H(m_hFile), buffer, count, &written, nullptr))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), m_strFileName);
    // A short write means the disk is full.
    if (written != count)
        throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

std::uint64_t CFile::Seek(std::int64_t offset, unsigned from)
{
    DWORD method = from == begin ? FILE_BEGIN : from == current ? FILE_CURRENT : FILE_END;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER pos;
    if (!::SetFilePointerEx(H(m_hFile), distance, &pos, method))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), m_strFileName);
    return static_cast<std::uint64_t>(pos.QuadPart);
}

std::uint64_t CFile::GetPosition() const
{
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    LARGE_INTEGER pos;
    if (!::SetFilePointerEx(H(m_hFile), zero, &pos, FILE_CURRENT))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), m_strFileName);
    return static_cast<std::uint64_t>(pos.QuadPart);
}

std::uint32_t CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(H(m_hFile), &size))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), m_strFileName);
    if (size.QuadPart > 0xFFFFFFFFLL)
        return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(size.QuadPart);
}

void CFile::Flush()
{
    if (!IsOpen())
        return;
    if (!::FlushFileBuffers(H(m_hFile)))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), m_strFileName);
}

void CFile::Close()
{
    if (!IsOpen())
        return;
    HANDLE h = H(m_hFile);
    m_hFile = hFileNull;
    if (!::CloseHandle(h))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), m_strFileName);
}

void CFile::Abort()
{
    if (!IsOpen())
        return;
    ::CloseHandle(H(m_hFile));
    m_hFile = hFileNull;
}

bool CFile::GetStatus(const std::string& path, CFileStatus& status)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    ULARGE_INTEGER t;
    t.LowPart = data.ftLastWriteTime.dwLowDateTime;
    t.HighPart = data.ftLastWriteTime.dwHighDateTime;
    // FILETIME counts 100 ns from 1601; time_t seconds from 1970.
    status.m_mtime = static_cast<std::time_t>((t.QuadPart - 116444736000000000ULL) / 10000000ULL);
    status.m_size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.m_attribute = static_cast<std::uint8_t>(data.dwFileAttributes & 0xFF);
    char full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    status.m_szFullName = (n > 0 && n < sizeof full) ? std::string(full, n) : path;
    return true;
}

void CFile::Remove(const std::string& path)
{
    if (!::DeleteFileA(path.c_str()))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), path);
}

void CFile::Rename(const std::string& oldPath, const std::string& newPath)
{
    if (!::MoveFileA(oldPath.c_str(), newPath.c_str()))
        CFileException::ThrowOsError(static_cast<long>(::GetLastError()), oldPath);
}
