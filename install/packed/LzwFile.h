#pragma once
// LZW members ("QJFFLZW "); see LzwFile.cpp for the stream.

#include <vector>

#include "install/packed/PackedFile.h"

class CLzwFile : public CPackedFile {
public:
    static constexpr int endCode = 256;
    static constexpr int bumpCode = 257;
    static constexpr int flushCode = 258;
    static constexpr int firstCode = 259;
    static constexpr int maxCode = 32767;
    static constexpr int tableSize = 35023;   // a prime, for the encoder's hash

    CLzwFile();
    bool Open(const std::string& path, unsigned mode, CFileException* error = nullptr) override;
    std::uint32_t Read(void* buffer, std::uint32_t count) override;
    void WritePacked(const void* data, std::uint32_t count) override;
    bool FinishMember() override;

protected:
    void StartMember() override;
    void EndMember() override;

private:
    struct Entry {
        std::uint16_t parent;   // the string's code without its last byte
        std::uint16_t length;   // bytes in the string
        std::uint8_t last;      // its last byte
        std::uint8_t first;     // its first byte
        std::uint16_t spare;    // eight bytes in all: entries index by shifting
    };

    void ResetEncoder();
    void ResetDecoder();

    // Encoder: (prefix code << 8 | byte) + 1 per slot, 0 when free, and the
    // code given to that string.
    std::vector<std::uint32_t> m_key;
    std::vector<std::uint16_t> m_code;
    bool m_bStarted = false;
    int m_nString = 0;

    // Decoder, indexed by code.
    std::vector<Entry> m_dict;
    std::vector<std::uint8_t> m_pending;   // a string cut short by the count
    std::uint32_t m_nPendingPos = 0;
    int m_nOld = -1;                         // -1: the next code starts afresh
    bool m_bEnded = false;

    int m_nNextCode = firstCode;
    int m_nWidth = 9;
    int m_nThreshold = 511;
};
