// POSIX back end of CFile: descriptors, errno. POSIX has no share modes, so
// the share flags are accepted and have no effect here.

#include "framework/File.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    int flags = 0;
    switch (openFlags & 3) {
    case modeRead: flags = O_RDONLY; break;
    case modeWrite: flags = O_WRONLY; break;
    case modeReadWrite: flags = O_RDWR; break;
    default:
        if (error)
            *error = CFileException(CFileException::generic, EINVAL, path);
        return false;
    }
    if (openFlags & modeCreate)
        flags |= O_CREAT | ((openFlags & modeNoTruncate) ? 0 : O_TRUNC);
    flags |= O_CLOEXEC;
    int fd = ::open(path.c_str(), flags, 0666);
    // A directory is refused as Windows refuses it. Opened for writing the
    // system refuses it already, so only a read needs the look.
    if (fd >= 0 && (flags & O_ACCMODE) == O_RDONLY) {
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            fd = -1;
            errno = EACCES;
        }
    }
    if (fd < 0 && errno == EISDIR)
        errno = EACCES;
    if (fd < 0) {
        if (error)
            *error = CFileException(CFileException::ErrnoToException(errno), errno, path);
        return false;
    }
    m_hFile = fd;
    return true;
}

std::uint32_t CFile::Read(void* buffer, std::uint32_t count)
{
    if (!IsOpen())
        CFileException::ThrowErrno(EBADF, m_strFileName);
    std::uint32_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(static_cast<int>(m_hFile), out + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            CFileException::ThrowErrno(errno, m_strFileName);
        }
        if (n == 0)
            break;
        done += static_cast<std::uint32_t>(n);
    }
    return done;
}

void CFile::Write(const void* buffer, std::uint32_t count)
{
    if (!IsOpen())
        CFileException::ThrowErrno(EBADF, m_strFileName);
    std::uint32_t done = 0;
    const char* in = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t n = ::write(static_cast<int>(m_hFile), in + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            CFileException::ThrowErrno(errno, m_strFileName);
        }
        if (n == 0)
            throw CFileException(CFileException::diskFull, ENOSPC, m_strFileName);
        done += static_cast<std::uint32_t>(n);
    }
}

std::uint64_t CFile::Seek(std::int64_t offset, unsigned from)
{
    if (!IsOpen())
        CFileException::ThrowErrno(EBADF, m_strFileName);
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    off_t pos = ::lseek(static_cast<int>(m_hFile), static_cast<off_t>(offset), whence);
    if (pos < 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<std::uint64_t>(pos);
}

std::uint64_t CFile::GetPosition() const
{
    if (!IsOpen())
        CFileException::ThrowErrno(EBADF, m_strFileName);
    off_t pos = ::lseek(static_cast<int>(m_hFile), 0, SEEK_CUR);
    if (pos < 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<std::uint64_t>(pos);
}

std::uint32_t CFile::GetLength() const
{
    if (!IsOpen())
        CFileException::ThrowErrno(EBADF, m_strFileName);
    struct stat st;
    if (::fstat(static_cast<int>(m_hFile), &st) != 0)
        CFileException::ThrowErrno(errno, m_strFileName);
    // The file formats are 32-bit; a larger file reads as its first 4 GiB.
    if (st.st_size > static_cast<off_t>(UINT32_MAX))
        return UINT32_MAX;
    return static_cast<std::uint32_t>(st.st_size);
}

void CFile::Flush()
{
    if (!IsOpen())
        return;
    if (::fsync(static_cast<int>(m_hFile)) != 0 && errno != EINVAL && errno != EROFS)
        CFileException::ThrowErrno(errno, m_strFileName);
}

void CFile::Close()
{
    if (!IsOpen())
        return;
    int fd = static_cast<int>(m_hFile);
    m_hFile = hFileNull;
    if (::close(fd) != 0)
        CFileException::ThrowErrno(errno, m_strFileName);
}

void CFile::Abort()
{
    if (!IsOpen())
        return;
    ::close(static_cast<int>(m_hFile));
    m_hFile = hFileNull;
}

bool CFile::GetStatus(const std::string& path, CFileStatus& status)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return false;
    status.m_mtime = st.st_mtime;
    status.m_size = static_cast<std::uint64_t>(st.st_size);
    status.m_attribute = S_ISDIR(st.st_mode) ? 0x10 : 0;
    if (::access(path.c_str(), W_OK) != 0)
        status.m_attribute |= 0x01;
    char full[PATH_MAX];
    status.m_szFullName = ::realpath(path.c_str(), full) ? full : path;
    return true;
}

void CFile::Remove(const std::string& path)
{
    if (::unlink(path.c_str()) != 0)
        CFileException::ThrowErrno(errno, path);
}

void CFile::Rename(const std::string& oldPath, const std::string& newPath)
{
    if (::rename(oldPath.c_str(), newPath.c_str()) != 0)
        CFileException::ThrowErrno(errno, oldPath);
}
