// The "QJ10" stream compressor.
//
// A QJ10 file is an 8-byte header ("QJ10", then the uncompressed size, 32
// bits little-endian) and one bit stream, most significant bit of each byte
// first, its last byte padded with zero bits. The stream is LZSS over a
// 4096-byte ring: each item is a literal byte or a match of 3 to 60 bytes
// copied from 1 to 4096 bytes back. Literals and match lengths share one
// alphabet of 314 symbols (0-255 literals, 256-313 lengths 3-60) coded with
// an adaptive Huffman tree that both sides update after every symbol and
// rebuild with halved counts when the root's count reaches 0x8000. A
// match's distance less one (0-4095) follows its length: the upper six bits
// as a fixed prefix code of 3 to 8 bits, the lower six bits raw.
//
// The ring starts as 4036 spaces, so the first matches may copy spaces. The
// encoder keeps one binary search tree of window strings per first byte and
// takes the longest match met on the search path, the nearest on ties; these
// choices fix the stream, so one input always gives the same bytes.
//
// Contract of the expand direction: whatever the input holds, it never
// reads or writes outside its buffers, writes at most the header's size (a
// last match is cut there) and ends. Missing stream bits read as zeros; once
// more of them have been used than one symbol and its position take, the
// stream cannot be a whole one and the run stops, reporting it short. So an
// input of n bytes never yields more than about 60 * (8n + 35) / 4 bytes.
//
// The tree's code lengths are bounded: every count is at least 1 and the
// tree keeps the sibling property, so it is a Huffman tree for its counts,
// and a leaf at depth d needs a root count of at least Fib(d + 2). The root
// never exceeds 0x8000 < Fib(24), so no symbol code is longer than 21 bits.
// (Beyond 16 bits a code no longer fits a 16-bit word: ours go out whole.)

#include "codec/QjCompressor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codec/QjErrorReport.h"
#include "codec/QjRun.h"

CQjCompressor::CQjCompressor() = default;

CQjCompressor::~CQjCompressor() = default;

void CQjCompressor::OnError(int code)
{
    char text[20];
    std::snprintf(text, sizeof text, "Error: %d", code);
    ReportCompressorError(text);
}

void CQjCompressor::OnProgress(const std::uint32_t* /*done*/, const std::uint32_t* /*total*/)
{
}

int CQjCompressor::ProcessFile(const std::string& inPath, const std::string& outPath, int compress)
{
    m_bStreamShort = false;
    CFile in;
    if (!in.Open(inPath, CFile::modeRead | CFile::shareDenyNone)) {
        m_result = resultNoInput;
        return 0;
    }
    CFile out;
    if (!out.Open(outPath, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone)) {
        m_result = resultNoOutput;
        return 0;
    }
    int done = ProcessStreams(in, out, compress);
    in.Abort();
    try {
        out.Close();
    } catch (const CFileException&) {
        // The last data may only fail now, when the system writes it out.
        out.Abort();
        if (done) {
            m_result = resultWriteFailed;
            OnError(1);
            done = 0;
        }
    }
    return done;
}

int CQjCompressor::ProcessStreams(CFile& in, CFile& out, int compress)
{
    m_result = resultDone;
    m_bStreamShort = false;
    std::unique_ptr<Run> perRun;
    Run* run;
    if (m_bPerRunArrays) {
        perRun.reset(new Run());
        run = perRun.get();
    } else {
        if (!m_pKeptRun)
            m_pKeptRun.reset(new Run());
        run = m_pKeptRun.get();
    }
    run->Reset(in, out);
    struct Leave {
        Run*& current;
        ~Leave() { current = nullptr; }
    } leave{m_pRun};
    m_pRun = run;
    return compress ? CompressStreams() : ExpandStreams();
}

// ---- buffered input and output -------------------------------------------

bool CQjCompressor::RefillInput()
{
    Run& run = *m_pRun;
    if (run.inEof)
        return false;
    std::size_t left = static_cast<std::size_t>(run.inEnd - run.inPtr);
    std::memmove(run.inBuf, run.inPtr, left);
    std::size_t room = std::min<std::uint64_t>(qj::kInSize - left, run.inLeft);
    std::uint32_t got = 0;
    if (room > 0) {
        try {
            got = run.in->Read(run.inBuf + left, static_cast<std::uint32_t>(room));
        } catch (const CFileException&) {
            // The run stops as at the end of the input and fails.
            run.readFailed = true;
            m_result = resultReadFailed;
            got = 0;
        }
    }
    run.inLeft -= got;
    // At the length asked for, the input itself may go on: see CompressStreams.
    if (got == 0 && room > 0)
        run.inEof = true;
    run.inPtr = run.inBuf;
    run.inEnd = run.inBuf + left + got;
    return got > 0;
}

// ---- progress and the model -----------------------------------------------

[[gnu::noinline]] void CQjCompressor::ReportProgress(std::uint32_t done, std::uint32_t total)
{
    OnProgress(&done, &total);
}

int CQjCompressor::CodeLength(int symbol) const
{
    if (!m_pRun || symbol < 0 || symbol >= qj::kSymbols)
        return 0;
    return m_pRun->model.CodeLength(symbol);
}

void CQjCompressor::InitModel()
{
    m_pRun->model.Init();
}

void CQjCompressor::RebuildModel()
{
    m_pRun->model.Rebuild();
}
