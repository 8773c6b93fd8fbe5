#pragma once
// A CFile over a block of memory that the caller owns (a resource's bytes,
// say). The block never grows: reads stop at its end, a write past it
// throws, and closing forgets the block without freeing it.

#include <cstdint>

#include "framework/File.h"

class CMemFile : public CFile {
public:
    CMemFile() = default;
    CMemFile(std::uint8_t* buffer, std::uint32_t size) { Attach(buffer, size); }
    ~CMemFile() override;

    void Attach(std::uint8_t* buffer, std::uint32_t size);
    // Forgets the block and returns it.
    std::uint8_t* Detach();

    bool Open(const std::string& path, unsigned openFlags, CFileException* error = nullptr) override;
    std::uint32_t Read(void* buffer, std::uint32_t count) override;
    void Write(const void* buffer, std::uint32_t count) override;
    // A position past the end is allowed (reads there give nothing); before
    // the start throws badSeek.
    std::uint64_t Seek(std::int64_t offset, unsigned from) override;
    std::uint32_t GetLength() const override { return m_nFileSize; }
    std::uint64_t GetPosition() const override { return m_nPosition; }
    void Flush() override {}
    void Close() override { Detach(); }
    void Abort() override { Detach(); }

private:
    std::uint8_t* m_lpBuffer = nullptr;
    std::uint32_t m_nFileSize = 0;
    std::uint32_t m_nPosition = 0;
};
