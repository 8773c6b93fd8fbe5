#pragma once
// A failed file operation: why (the cause) and on which file.

#include <string>

#include "framework/Exception.h"

class CFileException : public CException {
public:
    enum {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, long osError = -1, const std::string& fileName = std::string());

    // The text shown for the cause, with "%1" replaced by the file's name,
    // or by "an unnamed file" when the error carries none.
    bool GetErrorMessage(std::string& text) const override;

    // Causes for operating system error numbers: Windows' GetLastError codes
    // and POSIX errno values. Both tables are plain data, so both are
    // available (and tested) on either platform.
    static int OsErrorToException(long winError);
    static int ErrnoToException(int err);

    [[noreturn]] static void ThrowOsError(long winError, const std::string& fileName = std::string());
    [[noreturn]] static void ThrowErrno(int err, const std::string& fileName = std::string());

    int m_cause;
    long m_lOsError;
    std::string m_strFileName;
};
