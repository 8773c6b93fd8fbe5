#include "framework/FileException.h"

#include <cerrno>

namespace {

const char* CauseText(int cause)
{
    switch (cause) {
    case CFileException::generic: return "An unknown error occurred while accessing %1.";
    case CFileException::fileNotFound: return "%1 was not found.";
    case CFileException::badPath: return "%1 contains an invalid path.";
    case CFileException::tooManyOpenFiles: return "%1 could not be opened because there are too many open files.";
    case CFileException::accessDenied: return "Access to %1 was denied.";
    case CFileException::invalidFile: return "An invalid file handle was associated with %1.";
    case CFileException::removeCurrentDir: return "%1 could not be removed because it is the current directory.";
    case CFileException::directoryFull: return "%1 could not be created because the directory is full.";
    case CFileException::badSeek: return "Seek failed on %1";
    case CFileException::hardIO: return "A hardware I/O error was reported while accessing %1.";
    case CFileException::sharingViolation: return "A sharing violation occurred while accessing %1.";
    case CFileException::lockViolation: return "A locking violation occurred while accessing %1.";
    case CFileException::diskFull: return "Disk full while accessing %1.";
    case CFileException::endOfFile: return "An attempt was made to access %1 past its end.";
    default: return nullptr;
    }
}

} // namespace

CFileException::CFileException(int cause, long osError, const std::string& fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

bool CFileException::GetErrorMessage(std::string& text) const
{
    text.clear();
    const char* format = CauseText(m_cause);
    if (!format)
        return false;
    const std::string name = m_strFileName.empty() ? std::string("an unnamed file") : m_strFileName;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == '1') {
            text += name;
            ++p;
        } else {
            text += *p;
        }
    }
    return true;
}

int CFileException::OsErrorToException(long winError)
{
    switch (winError) {
    case 0: return none;
    case 2: case 18: case 110: return fileNotFound;            // file not found, no more files, open failed
    case 3: case 15: case 17: case 34: case 52: case 53: case 55: case 67:
    case 87: case 111: case 123: case 161: case 206: return badPath;
    case 4: case 36: case 68: return tooManyOpenFiles;
    case 5: case 19: case 29: case 54: case 58: case 64: case 65: case 80:
    case 82: case 86: case 88: case 183: return accessDenied;
    case 6: case 11: case 26: case 60: return invalidFile;
    case 16: case 145: return removeCurrentDir;
    case 62: return directoryFull;
    case 24: case 25: case 27: case 30: case 131: return badSeek;
    case 20: case 21: case 22: case 23: case 57: case 59: return hardIO;
    case 32: return sharingViolation;
    case 33: case 108: return lockViolation;
    case 39: case 112: return diskFull;
    case 38: return endOfFile;
    default: return generic;
    }
}

int CFileException::ErrnoToException(int err)
{
    switch (err) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR: case ENAMETOOLONG: case ELOOP: case EINVAL: return badPath;
    case EMFILE: case ENFILE: return tooManyOpenFiles;
    case EACCES: case EPERM: case EROFS: case EISDIR: case EEXIST: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: case ETXTBSY: return sharingViolation;
    case ENOSPC: case EFBIG: return diskFull;
#ifdef EDQUOT
    case EDQUOT: return diskFull;
#endif
    case EIO: case ENXIO: case ENODEV: return hardIO;
    case ESPIPE: case EOVERFLOW: return badSeek;
    default: return generic;
    }
}

void CFileException::ThrowOsError(long winError, const std::string& fileName)
{
    throw CFileException(OsErrorToException(winError), winError, fileName);
}

void CFileException::ThrowErrno(int err, const std::string& fileName)
{
    throw CFileException(ErrnoToException(err), err, fileName);
}
