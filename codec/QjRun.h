#pragma once
// The state of one run of CQjCompressor, shared by its decoder
// (QjDecoder.cpp), its encoder (QjEncoder.cpp) and the buffered input and
// progress both use (QjCompressor.cpp). Everything is fixed in size,
// whatever the file.

#include <cstddef>
#include <cstdint>

#include "codec/QjCompressor.h"
#include "codec/QjMatchFinder.h"
#include "codec/QjModel.h"

namespace qj {

constexpr std::size_t kInSize = 64 * 1024;
constexpr std::size_t kOutSize = 64 * 1024;
constexpr std::size_t kSlack = 128;               // a match or a word may overrun

// Thrown by the bit reader when the zero bits read past the input's end are
// more than a whole stream can need.
struct StreamCut {};

} // namespace qj

struct CQjCompressor::Run {
    CQjModel model;
    CQjMatchFinder finder;       // compress only

    CFile* in;
    CFile* out;
    std::uint64_t inLeft;        // bytes the input may still deliver
    bool inEof;
    bool readFailed;
    bool writeFailed;
    const std::uint8_t* inPtr;
    const std::uint8_t* inEnd;

    // Bit reader: zeroBytes counts the zero bytes fed in after the end of
    // the input, bitsLeft the bits read ahead but not used at the end.
    std::uint64_t zeroBytes;
    int bitsLeft;

    // Bit writer: pending bits in the low nacc bits of acc.
    std::uint64_t acc;
    int nacc;
    std::size_t outPos;

    std::uint32_t done;          // compress: input bytes read

    std::uint8_t inBuf[qj::kInSize];
    // Expand: N bytes of history, then the bytes not yet written.
    std::uint8_t outBuf[qj::N + qj::kOutSize + qj::kSlack];

    void Reset(CFile& input, CFile& output)
    {
        in = &input;
        out = &output;
        inLeft = ~std::uint64_t(0);
        inEof = false;
        readFailed = false;
        writeFailed = false;
        inPtr = inEnd = inBuf;
        zeroBytes = 0;
        bitsLeft = 0;
        acc = 0;
        nacc = 0;
        outPos = 0;
        done = 0;
        finder.matchLength = 0;
        finder.matchStamp = 0;
    }
};

// Inline, as both directions use these once per byte or symbol.

inline int CQjCompressor::GetByte()
{
    Run& run = *m_pRun;
    if (run.inPtr == run.inEnd && !RefillInput())
        return -1;
    return *run.inPtr++;
}

inline void CQjCompressor::UpdateModel(int symbol)
{
    m_pRun->model.Update(symbol);
}

inline void CQjCompressor::Progress(std::uint32_t done, std::uint32_t total, ProgressState& state)
{
    // Steps of 1024 at most once per item, a report each 10240.
    if (done > state.step) {
        state.step += 1024;
        if (state.step > state.mark) {
            state.mark += 10240;
            ReportProgress(done, total);
        }
    }
}
