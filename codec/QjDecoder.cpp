// The QJ10 decoder: reads the bit stream a machine word at a time, decodes
// each symbol by walking the model's tree bit by bit, and writes literals
// and matches into a history buffer that goes out in large blocks. The
// stream and the contract of this direction are described in
// QjCompressor.cpp.

#include <algorithm>
#include <bit>
#include <cstring>

#include "codec/QjRun.h"

using namespace qj;

namespace {

// Copies a match byte by byte in effect: a distance shorter than the
// length repeats the bytes just written. May write up to 7 bytes past n.
inline void CopyMatch(std::uint8_t* dst, const std::uint8_t* src, std::uint32_t n)
{
    if (dst - src >= 8) {
        for (std::uint32_t i = 0; i < n; i += 8)
            std::memcpy(dst + i, src + i, 8);
    } else {
        for (std::uint32_t i = 0; i < n; ++i)
            dst[i] = src[i];
    }
}

} // namespace

void CQjCompressor::FlushHistory(std::size_t end)
{
    Run& run = *m_pRun;
    if (!run.writeFailed && end > N) {
        try {
            run.out->Write(run.outBuf + N, static_cast<std::uint32_t>(end - N));
        } catch (const CFileException&) {
            run.writeFailed = true;
            m_result = resultWriteFailed;
            OnError(1);
        }
    }
    std::memmove(run.outBuf, run.outBuf + end - N, N);
}

CQjCompressor::BitBuffer CQjCompressor::RefillBits(BitBuffer in)
{
    Run& run = *m_pRun;
    if (run.inEnd - run.inPtr < 8)
        RefillInput();
    if (in.count < 0)
        in.count = 0;   // cannot happen (codes are bounded); keeps shifts defined
    if (run.inEnd - run.inPtr >= 8) {
        // Eight bytes at once; a partly taken byte is ORed in again later
        // at the same place, which changes nothing.
        in.bits |= LoadBigEndian64(run.inPtr) >> in.count;
        run.inPtr += (63 - in.count) >> 3;
        in.count |= 56;
        return in;
    }
    // Up to 56 bits: the lowest bit is never an unread one (see DecodeSymbol).
    while (in.count <= 48) {
        std::uint64_t byte = 0;
        if (run.inPtr < run.inEnd) {
            byte = *run.inPtr++;
        } else {
            // Past the end the stream reads as zeros. Zero bits used (fed
            // but no longer held) beyond a symbol and a position: no valid
            // stream goes on here.
            if (run.zeroBytes * 8 > static_cast<std::uint64_t>(in.count) + kMaxCodeBits + kMaxOffsetBits)
                throw StreamCut{};
            ++run.zeroBytes;
        }
        in.bits |= byte << (56 - in.count);
        in.count += 8;
    }
    return in;
}

inline int CQjCompressor::DecodeSymbol(BitBuffer& in)
{
    // Enough bits for the longest symbol code and a position after it.
    if (in.count < kMaxCodeBits + kMaxOffsetBits) {
        Run& run = *m_pRun;
        if (run.inEnd - run.inPtr >= 8 && in.count >= 0) {
            // Eight bytes at once; a partly taken byte is ORed in again
            // later at the same place, which changes nothing.
            in.bits |= LoadBigEndian64(run.inPtr) >> in.count;
            run.inPtr += (63 - in.count) >> 3;
            in.count |= 56;
        } else {
            in = RefillBits(in);
        }
    }
    const std::uint16_t* child = m_pRun->model.child;
    // A marker in the lowest bit counts the bits taken: it moves up one
    // place per bit. That bit is never an unread one (at most 63 are held);
    // it may be an early copy of an unread byte's bit, which the next
    // refill ORs in again, so clearing it afterwards loses nothing.
    std::uint64_t bits = in.bits | 1;
    std::size_t c = child[CQjModel::kRoot];
    while (c < CQjModel::kNodes) {
        // Doubling shifts the next bit out as the carry.
        bool bit = __builtin_add_overflow(bits, bits, &bits);
        c = child[c + bit];
    }
    int used = std::countr_zero(bits);
    in.count -= used;
    in.bits = bits ^ (std::uint64_t(1) << used);
    int symbol = static_cast<int>(c) - CQjModel::kNodes;
    UpdateModel(symbol);
    return symbol;
}

inline int CQjCompressor::DecodeOffset(BitBuffer& in)
{
    if (in.count < kMaxOffsetBits)
        in = RefillBits(in);
    unsigned top = static_cast<unsigned>(in.bits >> 56);
    int len = kPosition.decodeLength[top];
    int raw = static_cast<int>(in.bits >> (64 - len - 6)) & 0x3F;
    in.bits <<= len + 6;
    in.count -= len + 6;
    return (kPosition.decodeValue[top] << 6) | raw;
}

void CQjCompressor::Expand(std::uint32_t size)
{
    Run& run = *m_pRun;
    InitModel();
    std::uint8_t* buf = run.outBuf;
    // The ring as history: positions 4036 to 4095 (not yet written, zero),
    // then 0 to 4035 (spaces); output goes on from N.
    std::memset(buf, 0, F);
    std::memset(buf + F, ' ', kStart);
    std::size_t o = N;
    std::uint32_t count = 0;
    BitBuffer in{0, 0};
    ProgressState progress;
    try {
        while (count < size) {
            int s = DecodeSymbol(in);
            if (s < 256) {
                buf[o++] = static_cast<std::uint8_t>(s);
                ++count;
            } else {
                std::size_t from = o - static_cast<std::size_t>(DecodeOffset(in)) - 1;
                std::uint32_t n = std::min<std::uint32_t>(static_cast<std::uint32_t>(s - 253), size - count);
                CopyMatch(buf + o, buf + from, n);
                o += n;
                count += n;
            }
            Progress(count, size, progress);
            if (o >= N + kOutSize) {
                FlushHistory(o);
                o = N;
                if (run.writeFailed)
                    return;
            }
        }
    } catch (const StreamCut&) {
        m_bStreamShort = true;
    }
    FlushHistory(o);
    run.bitsLeft = in.count;
}

int CQjCompressor::ExpandStreams()
{
    Run& run = *m_pRun;
    m_nMode = modeExpand;
    for (char want : {'Q', 'J', '1', '0'}) {
        if (GetByte() != static_cast<unsigned char>(want)) {
            if (run.readFailed)
                return 0;
            m_result = resultBadSignature;
            return 1;
        }
    }
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i) {
        int c = GetByte();
        if (c < 0) {
            if (run.readFailed)
                return 0;
            m_result = resultShortHeader;
            return 1;
        }
        size |= static_cast<std::uint32_t>(c) << (8 * i);
    }
    if (size == 0)
        return 1;
    Expand(size);
    if (run.writeFailed || run.readFailed)
        return 0;
    m_bStreamShort = m_bStreamShort || run.zeroBytes * 8 > static_cast<std::uint64_t>(run.bitsLeft);
    OnProgress(&size, &size);
    m_nMode = modeIdle;
    return 1;
}
