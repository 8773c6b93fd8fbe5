#pragma once
// Packed files: an 8-byte tag that names the codec ("QJFFHUFF", "QJFFLZSS",
// "QJFFLZW "; anything else means stored), then members back to back, each
// an 8-byte header (unpacked size, packed size, 32-bit little-endian) and its
// coded bytes. Every member's bit stream starts on a byte boundary, is packed
// most significant bit first and ends padded with zero bits.
//
// CPackedFile holds what the codecs share: the 32000-byte file buffer, the
// bit input and output, member selection and the header bookkeeping. Each
// variant (stored, LZSS, adaptive Huffman, LZW) adds its codec.
//
// Contract: whatever the file holds, reading never touches memory outside
// the caller's buffer or our own; a decoder that runs out of coded data,
// meets its end-of-stream code early or finds a code it cannot follow stops
// and returns a short count. Reading never passes the current member's
// packed size.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "framework/File.h"

class CPackedFile;

// Coded bits of the member being read, held in a 64-bit accumulator so that
// a decoder takes a whole code per step and refills by whole bytes. The
// next bit is bit 63. Past the member's last byte the reader supplies zero
// bits and counts them as padding, so a decoder learns that it overran by
// comparing count with padding after taking a code. Decoders copy the
// reader into a local for their loops: stores through the output bytes
// would otherwise force the compiler to reload every field.
struct CBitInput {
    std::uint64_t bits = 0;
    int count = 0;      // bits held, padding included (0..64)
    int padding = 0;    // zero bits supplied past the member's end
    const std::uint8_t* next = nullptr;   // member bytes in the file buffer
    const std::uint8_t* end = nullptr;
    CPackedFile* file = nullptr;

    // Afterwards at least 56 bits are held.
    void Fill()
    {
        if (end - next >= 8) {
            // The bits below count come out as the stream's own next bits,
            // so the following refill may OR over them.
            std::uint64_t word;
            std::memcpy(&word, next, 8);
            bits |= ByteSwapIfLittle(word) >> count;
            next += (63 - count) >> 3;
            count |= 56;
        } else {
            FillSlow();
        }
    }
    void FillSlow();
    // The next n bits (1..32) without taking them.
    std::uint32_t Peek(int n) const { return static_cast<std::uint32_t>(bits >> (64 - n)); }
    void Skip(int n)
    {
        bits <<= n;
        count -= n;
    }
    // True when a code just taken reached into the padding.
    bool Overrun() const { return count < padding; }
    // Whether n more bits are real member bits.
    bool Has(int n) const { return count - n >= padding; }

    static std::uint64_t ByteSwapIfLittle(std::uint64_t v)
    {
        return __builtin_bswap64(v);
    }
};

// Coded bits being written: whole bytes go to the file buffer when the
// accumulator would overflow, and at the end of the member.
struct CBitOutput {
    std::uint64_t bits = 0;   // held bits at the top
    int count = 0;
    std::uint8_t* next = nullptr;   // free part of the file buffer
    std::uint8_t* end = nullptr;
    CPackedFile* file = nullptr;

    // Writes the low n bits (1..32) of value, most significant first.
    void Put(std::uint32_t value, int n)
    {
        if (count + n > 64)
            Drain();
        bits |= static_cast<std::uint64_t>(value) << (64 - count - n);
        count += n;
    }
    // Moves the whole bytes held to the buffer.
    void Drain()
    {
        int bytes = count >> 3;
        if (end - next >= 8) {
            std::uint64_t word = CBitInput::ByteSwapIfLittle(bits);
            std::memcpy(next, &word, 8);
            next += bytes;
            bits = (bits << (bytes * 4)) << (bytes * 4);
            count &= 7;
        } else {
            DrainSlow();
        }
    }
    void DrainSlow();
    // Moves everything held, the last byte padded with zero bits.
    void Flush();
};

class CPackedFile : public CFile {
public:
    enum Kind { kindStored = -1, kindHuffman = 0, kindLzss = 1, kindLzw = 2 };
    static constexpr std::uint32_t bufferSize = 32000;
    static const char* const storedTag;   // what a stored archive starts with

    ~CPackedFile() override;

    // Mode modeRead (read), modeWrite (append a member to an existing packed
    // file of the same codec) or modeCreate|modeWrite (a new file).
    bool Open(const std::string& path, unsigned mode, CFileException* error = nullptr) override;
    // Decodes up to count bytes of the current member; a later call goes on
    // where this one stopped.
    std::uint32_t Read(void* buffer, std::uint32_t count) override;
    // Codes data into the current member; may be called any number of times.
    virtual void WritePacked(const void* data, std::uint32_t count);
    // Ends the member when writing, closes the file and fills in the member's
    // header. File errors are thrown as CFileException.
    void Close() override;

    // Positions a file open for reading at member index; false when there is
    // no such member or the file is not open for reading.
    bool SelectMember(std::uint32_t index, std::uint32_t base);
    // After a member's unpacked size has been read: true when its coded data
    // then holds the end-of-stream code within the member's packed size.
    // The format has no checksum; this is what can be known.
    virtual bool FinishMember() = 0;

    int GetKind() const { return m_nKind; }
    bool IsReading() const { return m_bOpen && m_bReading; }
    bool IsWriting() const { return m_bOpen && m_bWriting; }
    std::uint32_t GetUnpackedSize() const { return m_nUnpackedSize; }
    std::uint32_t GetPackedSize() const;

    // The offset of the packed data inside its file, for the whole process.
    static std::uint32_t GetBaseOffset() { return s_nBaseOffset; }
    static void SetBaseOffset(std::uint32_t base) { s_nBaseOffset = base; }

    // The bit services the codecs share, for callers outside a decoder loop.
    int ReadRawByte();   // next 8 bits, or -1 past the member's end
    std::uint32_t GetBit() { return GetBits(1); }
    std::uint32_t GetBits(int n);   // n 1..32
    void PutBit(std::uint32_t bit) { m_out.Put(bit & 1, 1); }
    void PutBits(std::uint32_t value, int n) { m_out.Put(value, n); }

    static const char* TagOf(int kind);

protected:
    explicit CPackedFile(int kind);

    // The codec's fresh state for a member read or written from its start.
    virtual void StartMember() = 0;
    // Writing: the codec's end of stream, before the last byte is padded.
    virtual void EndMember() {}

    // Buffered, byte-aligned member input for stored members.
    std::uint32_t ReadStored(std::uint8_t* out, std::uint32_t count);
    void WriteStored(const std::uint8_t* data, std::uint32_t count);

    CBitInput m_in;
    CBitOutput m_out;
    std::uint32_t m_nUnpackedSize = 0;
    std::uint32_t m_nPackedSize = 0;

private:
    friend struct CBitInput;
    friend struct CBitOutput;

    void ResetInput();
    void SyncInput(const CBitInput& in);
    bool MoreInput(CBitInput& in);
    std::uint32_t RefillBuffer();
    void FlushOutput(CBitOutput& out);
    void ReleaseBuffer();

    static std::uint32_t s_nBaseOffset;

    std::unique_ptr<std::uint8_t[]> m_buffer;
    std::uint32_t m_nIndex = 0;       // reading: next byte in the buffer
    std::uint32_t m_nAvailable = 0;   // reading: bytes of the buffer not yet taken
    std::uint32_t m_nMemberLeft = 0;  // reading: member bytes not yet in the buffer's reader
    // Reading: the buffer holds m_nBufferFilled bytes of the file from
    // offset m_nBufferPos, and the file stands right after them, so a member
    // whose header is among them is taken from there without a seek.
    std::uint64_t m_nBufferPos = 0;
    std::uint32_t m_nBufferFilled = 0;
    std::uint32_t m_nFlushed = 0;     // writing: coded bytes already in the file
    bool m_bOpen = false;
    bool m_bReading = false;
    bool m_bWriting = false;
    int m_nKind;
    std::uint32_t m_nHeaderPos = 0;
    unsigned m_nOpenMode = 0;
    // The member SelectMember found last, so that selecting members in
    // order walks each header once instead of from the first every time.
    bool m_bWalkKnown = false;
    std::uint32_t m_nWalkIndex = 0;
    std::uint64_t m_nWalkPos = 0;
    std::uint32_t m_nWalkPacked = 0;
    std::uint32_t m_nWalkBase = 0;
};

// Reads the tag: the kind whose tag the file starts with, or kindStored when
// it cannot be read, is shorter than 8 bytes or matches no tag.
int DetectPackedKind(const std::string& path);

// A packed file object for path's tag (when path is given), else for kind;
// not yet open.
std::unique_ptr<CPackedFile> CreatePackedFile(const std::string& path, int kind);
