#pragma once
// LZSS members ("QJFFLZSS"): literals and back references into a 4096-byte
// window; see LzssFile.cpp for the stream.

#include "install/packed/PackedFile.h"

class CLzssFile : public CPackedFile {
public:
    static constexpr int windowSize = 4096;
    static constexpr int lookAhead = 17;

    CLzssFile();
    std::uint32_t Read(void* buffer, std::uint32_t count) override;
    void WritePacked(const void* data, std::uint32_t count) override;
    bool FinishMember() override;

protected:
    void StartMember() override;
    void EndMember() override;

private:
    static constexpr int root = windowSize;   // tree node above every position

    void Encode(const std::uint8_t* data, std::uint32_t count, bool last);
    void SetUpTree();
    int Insert(int pos);
    void Remove(int pos);
    void PutWindow(int pos, std::uint8_t byte)
    {
        m_encWindow[pos] = byte;
        if (pos < mirror)
            m_encWindow[windowSize + pos] = byte;
    }

    // Decoder.
    std::uint8_t m_window[windowSize];
    int m_nCurrent = 1;        // window position of the next byte
    int m_nPendingDist = 0;    // a match cut short by the requested count:
    int m_nPendingLeft = 0;    // its distance back and the bytes still owed
    bool m_bEnded = false;     // end of stream, corrupt or truncated data

    // Encoder. The window repeats its first bytes past its end so that the
    // match comparison needs no wrap-around.
    static constexpr int mirror = 16;
    std::uint8_t m_encWindow[windowSize + mirror];
    // The tree works on doubled node numbers (2n for node n), so that a
    // node's links, parent and head word share one index: m_link[2n + d] is
    // child d of node n (0 smaller, 1 larger), m_parent[2n] its parent,
    // m_head[2n] the first 8 bytes of its string as a big-endian word; 0 is
    // none. A position leaves the tree before any of its 17 bytes is
    // overwritten, so the head word stays right while the node is there.
    std::uint16_t m_link[2 * (windowSize + 1)];
    std::uint16_t m_parent[2 * (windowSize + 1)];
    std::uint64_t m_head[2 * (windowSize + 1)];
    int m_nPhase = 0;          // 0 filling the first look-ahead, 2 coding
    int m_nEncCurrent = 1;
    int m_nLookAhead = 0;
    int m_nMatchLength = 0;
    int m_nMatchPos = 0;
    int m_nFill = 0;
    std::uint8_t m_carry[lookAhead];   // input held back until a token's bytes are all there
    int m_nCarry = 0;
};
