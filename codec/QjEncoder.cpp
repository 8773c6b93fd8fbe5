// The QJ10 encoder: feeds the input through the match finder's ring, sends
// each longest match (or a literal) with the shared model's code, and
// packs the bits 32 at a time. The stream is described in QjCompressor.cpp.

#include <bit>
#include <cstring>

#include "codec/QjRun.h"

using namespace qj;

namespace {

inline void StoreBigEndian32(std::uint8_t* p, std::uint32_t v)
{
    if constexpr (std::endian::native == std::endian::little)
        v = __builtin_bswap32(v);
    std::memcpy(p, &v, 4);
}

} // namespace

void CQjCompressor::FlushOutput()
{
    Run& run = *m_pRun;
    if (run.outPos == 0 || run.writeFailed)
        return;
    std::size_t n = run.outPos;
    run.outPos = 0;
    try {
        run.out->Write(run.outBuf, static_cast<std::uint32_t>(n));
    } catch (const CFileException&) {
        // Once, however much is left: the run stops here.
        run.writeFailed = true;
        m_result = resultWriteFailed;
        OnError(1);
    }
}

[[gnu::always_inline]] inline void CQjCompressor::InsertPosition(Run& run, int r, std::uint64_t stamp)
{
    run.finder.Insert(r, stamp);
}

inline void CQjCompressor::RemovePosition(Run& run, int p)
{
    run.finder.Remove(p);
}

// Sends the low count bits of code, most significant first.
inline void CQjCompressor::WriteBits(int count, std::uint32_t code)
{
    Run& run = *m_pRun;
    run.acc = (run.acc << count) | code;
    run.nacc += count;
    if (run.nacc >= 32) {
        run.nacc -= 32;
        StoreBigEndian32(run.outBuf + run.outPos, static_cast<std::uint32_t>(run.acc >> run.nacc));
        run.outPos += 4;
        if (run.outPos >= kOutSize)
            FlushOutput();
    }
}

inline void CQjCompressor::EncodeSymbol(int symbol)
{
    Run& run = *m_pRun;
    // The path from the leaf up, one bit per node (1 for a second child);
    // the bit nearest the root ends up most significant and goes first.
    std::uint32_t code = 0;
    int n = 0;
    for (int k = run.model.leaf[symbol]; k != CQjModel::kRoot; k = run.model.node[k].parent) {
        code |= static_cast<std::uint32_t>(k & 1) << n;
        ++n;
    }
    WriteBits(n, code);
    UpdateModel(symbol);
}

inline void CQjCompressor::EncodeOffset(int position)
{
    int u = position >> 6;
    WriteBits(kPosition.length[u] + 6, (static_cast<std::uint32_t>(kPosition.code[u]) << 6) | (position & 0x3F));
}

void CQjCompressor::Compress(std::uint32_t length)
{
    Run& run = *m_pRun;
    InitModel();
    // Bytes past the input's end stay zero; only the part of a match that
    // lies within the input is ever sent.
    CQjMatchFinder& finder = run.finder;
    finder.Reset();
    int s = 0, r = kStart;
    int len = 0;
    for (int c; len < F && (c = GetByte()) >= 0; ++len)
        finder.window[r + len] = static_cast<std::uint8_t>(c);
    std::uint32_t done = static_cast<std::uint32_t>(len);
    ProgressState progress;
    // The stamp of position r: only differences count.
    std::uint64_t stamp = N + kStart;
    for (int i = 1; i <= F; ++i)
        InsertPosition(run, r - i, stamp - static_cast<std::uint64_t>(i));
    InsertPosition(run, r, stamp);
    do {
        if (finder.matchLength > len)
            finder.matchLength = len;
        if (finder.matchLength <= kThreshold) {
            finder.matchLength = 1;
            EncodeSymbol(finder.window[r]);
        } else {
            EncodeSymbol(finder.matchLength + 253);
            EncodeOffset(static_cast<int>(stamp - finder.matchStamp) - 1);
        }
        int last = finder.matchLength;
        int i = 0;
        for (int c; i < last && (c = GetByte()) >= 0; ++i) {
            RemovePosition(run, s);
            finder.window[s] = static_cast<std::uint8_t>(c);
            if (s < F - 1)
                finder.window[s + N] = static_cast<std::uint8_t>(c);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            InsertPosition(run, r, ++stamp);
        }
        done += static_cast<std::uint32_t>(i);
        Progress(done, length, progress);
        while (i++ < last) {
            RemovePosition(run, s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            ++stamp;
            if (--len)
                InsertPosition(run, r, stamp);
        }
        if (run.writeFailed)
            return;
    } while (len > 0);
    // The last bits, padded with zeros to a whole byte.
    while (run.nacc >= 8) {
        run.nacc -= 8;
        run.outBuf[run.outPos++] = static_cast<std::uint8_t>(run.acc >> run.nacc);
    }
    if (run.nacc > 0)
        run.outBuf[run.outPos++] = static_cast<std::uint8_t>(run.acc << (8 - run.nacc));
    run.nacc = 0;
    run.done = done;
}

int CQjCompressor::CompressStreams()
{
    Run& run = *m_pRun;
    m_nMode = modeCompress;
    std::uint32_t length;
    try {
        length = run.in->GetLength();
        run.in->SeekToBegin();
    } catch (const CFileException&) {
        m_result = resultNoInput;
        return 0;
    }
    static const std::uint8_t signature[4] = {'Q', 'J', '1', '0'};
    std::memcpy(run.outBuf, signature, 4);
    for (int i = 0; i < 4; ++i)
        run.outBuf[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    run.outPos = kHeaderSize;
    run.inLeft = length;
    if (length > 0)
        Compress(length);
    else
        run.done = 0;
    FlushOutput();
    if (run.writeFailed || run.readFailed)
        return 0;
    // The header holds the length found first: the input must have given
    // exactly that many bytes (a file larger than 4 GiB reads as shorter).
    if (!run.inEof) {
        run.inLeft = 1;
        if (GetByte() >= 0)
            run.done = length + 1;
        if (run.readFailed)
            return 0;
    }
    if (run.done != length) {
        m_result = resultInputChanged;
        return 0;
    }
    if (length == 0)
        return 1;   // the bare header
    OnProgress(&run.done, &length);
    m_nMode = modeIdle;
    return 1;
}
