#pragma once
// Unbuffered binary file with the framework's open flags. Errors of reads,
// writes, seeks and closes are thrown as CFileException; Open reports its
// failure by result (and fills the caller's exception object when given).
// Two back ends share this interface: Win32 handles and POSIX descriptors.

#include <cstdint>
#include <ctime>
#include <string>

#include "framework/FileException.h"
#include "framework/Object.h"

struct CFileStatus {
    std::time_t m_mtime = 0;
    std::uint64_t m_size = 0;
    std::uint8_t m_attribute = 0;   // 0x01 read-only, 0x10 directory
    std::string m_szFullName;
};

class CFile : public CObject {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile();
    // Opens or throws the CFileException that Open would have filled in.
    CFile(const std::string& path, unsigned openFlags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes quietly: a destructor must not throw.
    ~CFile() override;

    virtual bool Open(const std::string& path, unsigned openFlags, CFileException* error = nullptr);
    virtual std::uint32_t Read(void* buffer, std::uint32_t count);
    virtual void Write(const void* buffer, std::uint32_t count);
    // Positions are 64-bit so that files past 2 GiB (archives reach 4 GiB - 1)
    // can be walked; GetLength still caps at 4 GiB - 1, the formats' limit.
    virtual std::uint64_t Seek(std::int64_t offset, unsigned from);
    virtual std::uint32_t GetLength() const;
    virtual std::uint64_t GetPosition() const;
    virtual void Flush();
    virtual void Close();
    // Closes without reporting errors.
    virtual void Abort();

    std::uint64_t SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { Seek(0, begin); }
    bool IsOpen() const { return m_hFile != hFileNull; }
    const std::string& GetFilePath() const { return m_strFileName; }

    static bool GetStatus(const std::string& path, CFileStatus& status);
    static void Remove(const std::string& path);
    static void Rename(const std::string& oldPath, const std::string& newPath);

    static constexpr std::intptr_t hFileNull = -1;

protected:
    std::intptr_t m_hFile = hFileNull;
    std::string m_strFileName;
};
