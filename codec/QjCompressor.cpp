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
#include <bit>
#include <cstdio>
#include <cstring>

#include "codec/QjErrorReport.h"

namespace {

constexpr int N = 4096;                           // ring size
constexpr int F = 60;                             // longest match
constexpr int kThreshold = 2;                     // longer matches are coded
constexpr int kStart = N - F;                     // first position filled
constexpr int NIL = N;                            // "no node" in the trees
constexpr int kSymbols = 256 - kThreshold + F;    // 314
constexpr int kNodes = 2 * kSymbols - 1;          // 627
constexpr int kRoot = kNodes - 1;
constexpr unsigned kLimit = 0x8000;
constexpr int kMaxCodeBits = 21;                  // see the opening comment
constexpr int kMaxOffsetBits = 14;

constexpr std::size_t kInSize = 64 * 1024;
constexpr std::size_t kOutSize = 64 * 1024;
constexpr std::size_t kSlack = 128;               // a match or a word may overrun

// The fixed prefix code of a position's upper six bits: lengths 3 to 8,
// canonical, codes in increasing order of the value.
struct PositionCode {
    std::uint8_t length[64];
    std::uint8_t code[64];           // right-aligned
    std::uint8_t decodeValue[256];   // by the next 8 bits of the stream
    std::uint8_t decodeLength[256];
};

constexpr PositionCode MakePositionCode()
{
    PositionCode t{};
    int code = 0, previous = 3;
    for (int u = 0; u < 64; ++u) {
        int len = u < 1 ? 3 : u < 4 ? 4 : u < 12 ? 5 : u < 24 ? 6 : u < 48 ? 7 : 8;
        if (u > 0)
            code = (code + 1) << (len - previous);
        previous = len;
        t.length[u] = static_cast<std::uint8_t>(len);
        t.code[u] = static_cast<std::uint8_t>(code);
        int first = code << (8 - len);
        for (int i = 0; i < (1 << (8 - len)); ++i) {
            t.decodeValue[first + i] = static_cast<std::uint8_t>(u);
            t.decodeLength[first + i] = static_cast<std::uint8_t>(len);
        }
    }
    return t;
}

constexpr PositionCode kPosition = MakePositionCode();
static_assert(kPosition.code[63] == 0xFF && kPosition.code[47] == 0x77 && kPosition.code[4] == 0x0A);

inline std::uint64_t LoadBigEndian64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::little)
        v = __builtin_bswap64(v);
    return v;
}

// The bits of the first n bytes (0 to 8) of a big-endian word.
constexpr std::uint64_t LeadingBytes(int n)
{
    return n >= 8 ? ~std::uint64_t(0) : ~(~std::uint64_t(0) >> (8 * n));
}

constexpr std::uint64_t kLeadingBytes[9] = {
    LeadingBytes(0), LeadingBytes(1), LeadingBytes(2), LeadingBytes(3), LeadingBytes(4),
    LeadingBytes(5), LeadingBytes(6), LeadingBytes(7), LeadingBytes(8)};

inline void StoreBigEndian32(std::uint8_t* p, std::uint32_t v)
{
    if constexpr (std::endian::native == std::endian::little)
        v = __builtin_bswap32(v);
    std::memcpy(p, &v, 4);
}

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

// Compares the 60-byte strings at a and b from byte 17 on (bytes 1 to 16
// are known to agree; byte 0 is the same in a whole tree). Returns twice the
// index of the first difference, plus 1 when a's byte there is the larger;
// 2 * 60 when all agree. Big-endian words compare like the bytes they hold.
// Out of line, so that the search loop stays small.
[[gnu::noinline]] int LaterDifferenceFrom17(const std::uint8_t* a, const std::uint8_t* b)
{
    for (int at = 17; at < 57; at += 8) {
        std::uint64_t u = LoadBigEndian64(a + at), v = LoadBigEndian64(b + at);
        if (u != v)
            return 2 * (at + std::countl_zero(u ^ v) / 8) + (u > v);
    }
    // The last word overlaps bytes already found equal and ends at byte 59.
    std::uint64_t u = LoadBigEndian64(a + 52), v = LoadBigEndian64(b + 52);
    if (u != v)
        return 2 * (52 + std::countl_zero(u ^ v) / 8) + (u > v);
    return 2 * F;
}

// In place of where a node's link is: the node is in no tree.
constexpr std::uint16_t kOut = 0xFFFF;

constexpr int kSearchNodes = N + 1 + 256;

// Thrown by the bit reader when the zero bits read past the input's end are
// more than a whole stream can need.
struct StreamCut {};

} // namespace

// Everything one run needs. The window, the trees and the buffers are fixed
// in size, whatever the file.
struct CQjCompressor::Run {
    // The adaptive Huffman tree: each node's count (non-decreasing by index,
    // with a sentinel after the root) and parent side by side, as counting
    // walks both; each node's first child or leaf reference (>= kNodes);
    // the node that holds each symbol's leaf.
    struct Node {
        std::uint16_t weight;
        std::uint16_t parent;
    };
    Node node[kNodes + 1];
    std::uint16_t child[kNodes];
    std::uint16_t leaf[kSymbols];

    // The encoder's search trees: one per first byte, roots at N + 1 + byte
    // (only their larger link is used). Node NIL stands for "no node"; its
    // first word is the key's during a search. What every step of a search
    // reads, a node's first word and its links, is kept small and apart.
    std::uint64_t order[N + 1];             // bytes 1 to 8, big-endian
    std::uint16_t links[2 * kSearchNodes];  // node p's smaller, larger child at 2p, 2p + 1
    std::uint64_t later[N + 1];             // bytes 9 to 16, the same way
    std::uint64_t stamps[N];                // positions without wrapping
    std::uint16_t up[N + 1];                // where the link to it is in links, or kOut
    // The ring, with its first F - 1 bytes repeated after it so that any
    // string of F bytes can be compared without wrapping.
    std::uint8_t window[N + F - 1];
    int matchLength;
    std::uint64_t matchStamp;

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

    std::uint8_t inBuf[kInSize];
    // Expand: N bytes of history, then the bytes not yet written.
    std::uint8_t outBuf[N + kOutSize + kSlack];

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
        matchLength = 0;
        matchStamp = 0;
    }
};

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
    std::size_t room = std::min<std::uint64_t>(kInSize - left, run.inLeft);
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

int CQjCompressor::GetByte()
{
    Run& run = *m_pRun;
    if (run.inPtr == run.inEnd && !RefillInput())
        return -1;
    return *run.inPtr++;
}

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

[[gnu::noinline]] void CQjCompressor::ReportProgress(std::uint32_t done, std::uint32_t total)
{
    OnProgress(&done, &total);
}

int CQjCompressor::CodeLength(int symbol) const
{
    if (!m_pRun || symbol < 0 || symbol >= kSymbols)
        return 0;
    int n = 0;
    for (int k = m_pRun->leaf[symbol]; k != kRoot; k = m_pRun->node[k].parent)
        ++n;
    return n;
}

// ---- the model ------------------------------------------------------------

void CQjCompressor::InitModel()
{
    Run& run = *m_pRun;
    for (int s = 0; s < kSymbols; ++s) {
        run.node[s].weight = 1;
        run.child[s] = static_cast<std::uint16_t>(s + kNodes);
        run.leaf[s] = static_cast<std::uint16_t>(s);
    }
    for (int i = 0, j = kSymbols; j < kNodes; i += 2, ++j) {
        run.node[j].weight = static_cast<std::uint16_t>(run.node[i].weight + run.node[i + 1].weight);
        run.child[j] = static_cast<std::uint16_t>(i);
        run.node[i].parent = run.node[i + 1].parent = static_cast<std::uint16_t>(j);
    }
    run.node[kNodes].weight = 0xFFFF;
    run.node[kRoot].parent = 0;
}

namespace {

// Makes node n (a child or a leaf reference) and, for a child, its sibling
// the children of p.
inline void SetParent(CQjCompressor::Run& run, std::size_t n, std::uint16_t p)
{
    if (n >= kNodes) {
        run.leaf[n - kNodes] = p;
    } else {
        run.node[n].parent = p;
        run.node[n + 1].parent = p;
    }
}

} // namespace

void CQjCompressor::RebuildModel()
{
    Run& run = *m_pRun;
    Run::Node* node = run.node;
    std::uint16_t* child = run.child;
    // The leaves, in their order, with halved counts (odd ones rounded up);
    // their counts stay in order.
    std::uint16_t leafWeight[kSymbols], leafRef[kSymbols];
    for (int i = 0, n = 0; i < kNodes; ++i) {
        if (child[i] >= kNodes) {
            leafWeight[n] = static_cast<std::uint16_t>((node[i].weight + 1u) / 2u);
            leafRef[n] = child[i];
            ++n;
        }
    }
    // Joining nodes 0 and 1, 2 and 3 ... in turn, each new node placed after
    // every node not heavier than it, gives the leaves and the new nodes
    // merged by count, a leaf first on a tie: build that order directly.
    // New node m joins the nodes at 2m and 2m + 1, which are in place by
    // the time it is due (a Huffman tree has one fewer inner node than
    // leaves).
    int a = 0, m = 0;
    for (int pos = 0; pos < kNodes; ++pos) {
        bool joinable = 2 * m + 1 < pos;
        unsigned f = joinable ? node[2 * m].weight + node[2 * m + 1].weight : 0;
        if (a < kSymbols && (!joinable || leafWeight[a] <= f)) {
            node[pos].weight = leafWeight[a];
            child[pos] = leafRef[a];
            ++a;
        } else {
            node[pos].weight = static_cast<std::uint16_t>(f);
            child[pos] = static_cast<std::uint16_t>(2 * m);
            ++m;
        }
    }
    for (int i = 0; i < kNodes; ++i)
        SetParent(run, child[i], static_cast<std::uint16_t>(i));
    node[kRoot].parent = 0;
}

namespace {

// Node c has just reached count k, more than the node after it: swaps c
// with the last node still lighter than k (the sentinel ends the scan),
// keeping the counts in order, and returns where c's subtree went. Kept out
// of line, so that the counting loop stays small.
[[gnu::noinline]] std::size_t MoveUp(CQjCompressor::Run& run, std::size_t c, unsigned k)
{
    CQjCompressor::Run::Node* node = run.node;
    // l: the last node lighter than k (c + 1 is one).
    const CQjCompressor::Run::Node* last = node + c + 1;
    while (k > last[1].weight)
        ++last;
    std::size_t l = static_cast<std::size_t>(last - node);
    node[c].weight = node[l].weight;
    node[l].weight = static_cast<std::uint16_t>(k);
    std::size_t i = run.child[c];
    std::size_t j = run.child[l];
    SetParent(run, i, static_cast<std::uint16_t>(l));
    SetParent(run, j, static_cast<std::uint16_t>(c));
    run.child[l] = static_cast<std::uint16_t>(i);
    run.child[c] = static_cast<std::uint16_t>(j);
    return l;
}

} // namespace

inline void CQjCompressor::UpdateModel(int symbol)
{
    Run& run = *m_pRun;
    if (run.node[kRoot].weight == kLimit)
        RebuildModel();
    Run::Node* node = run.node;
    Run::Node* n = node + run.leaf[symbol];
    do {
        unsigned k = ++n->weight;
        if (k > n[1].weight) [[unlikely]]
            n = node + MoveUp(run, static_cast<std::size_t>(n - node), k);
        n = node + n->parent;
    } while (n != node);
}

// ---- the decoder ----------------------------------------------------------

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
    const std::uint16_t* child = m_pRun->child;
    // A marker in the lowest bit counts the bits taken: it moves up one
    // place per bit. That bit is never an unread one (at most 63 are held);
    // it may be an early copy of an unread byte's bit, which the next
    // refill ORs in again, so clearing it afterwards loses nothing.
    std::uint64_t bits = in.bits | 1;
    std::size_t c = child[kRoot];
    while (c < kNodes) {
        // Doubling shifts the next bit out as the carry.
        bool bit = __builtin_add_overflow(bits, bits, &bits);
        c = child[c + bit];
    }
    int used = std::countr_zero(bits);
    in.count -= used;
    in.bits = bits ^ (std::uint64_t(1) << used);
    int symbol = static_cast<int>(c) - kNodes;
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

// ---- the encoder ----------------------------------------------------------

namespace {

// Node r takes the place of p, whose 60 bytes it repeats: the nearer copy
// is the one to keep.
[[gnu::noinline]] void ReplaceNode(CQjCompressor::Run& run, std::size_t p, std::size_t r)
{
    std::uint16_t* links = run.links;
    std::uint16_t* up = run.up;
    links[2 * r] = links[2 * p];
    links[2 * r + 1] = links[2 * p + 1];
    up[links[2 * p]] = static_cast<std::uint16_t>(2 * r);
    up[links[2 * p + 1]] = static_cast<std::uint16_t>(2 * r + 1);
    links[up[p]] = static_cast<std::uint16_t>(r);
    up[r] = up[p];
    up[p] = kOut;
}

} // namespace

[[gnu::always_inline]] inline void CQjCompressor::InsertPosition(Run& run, int r, std::uint64_t stamp)
{
    const std::uint8_t* window = run.window;
    const std::uint8_t* key = window + r;
    const std::size_t at = static_cast<std::size_t>(r);
    run.links[2 * at] = run.links[2 * at + 1] = NIL;
    run.stamps[at] = stamp;
    // Bytes 1 to 8 of the key in big-endian order, compared with every node
    // on the way: their exclusive or shows the agreement byte by byte, the
    // words themselves compare like the bytes. A missing child reads as a
    // copy of the key's, so only agreeing words need a closer look.
    const std::uint64_t head = LoadBigEndian64(key + 1);
    const std::uint64_t tail = LoadBigEndian64(key + 9);
    run.order[at] = head;
    run.later[at] = tail;
    run.order[NIL] = head;
    int length = 0;
    std::uint64_t best = stamp;   // the match's stamp: the larger, the nearer
    // A node whose word agrees with the key's in the bytes of near agrees
    // on at least max(3, length) bytes, so it may change the match; in the
    // bytes of nearer, on more than length bytes (or on all 8, x == 0).
    // Once the match is 8 bytes or longer, only equal words can change it.
    std::uint64_t near = LeadingBytes(2), nearer = near;
    // The link followed last: where the key goes if that child is missing.
    std::uint16_t* link = &run.links[2 * (N + 1 + key[0]) + 1];
    std::size_t p;
    goto visit;
    // The two directions are two paths through the loop, so that the
    // comparison's outcome is a jump rather than an index.
larger:
    link = &run.links[2 * p + 1];
    goto visit;
smaller:
    link = &run.links[2 * p];
visit:
    p = *link;
    {
        std::uint64_t x = head ^ run.order[p];
        if ((x & near) == 0) [[unlikely]] {
            if ((x & nearer) != 0) {
                if (run.stamps[p] > best)
                    best = run.stamps[p];   // as long, and nearer
            } else if (x != 0) {
                int b = std::countl_zero(x) / 8;   // the first byte that differs, 2 to 7
                length = b + 1;
                best = run.stamps[p];
                near = kLeadingBytes[b];
                nearer = kLeadingBytes[b + 1];
            } else {
                if (p == NIL)
                    goto attached;
                if (std::uint64_t y = tail ^ run.later[p]; y != 0) {
                    int i = 9 + std::countl_zero(y) / 8;   // 9 to 16
                    if (i > length) {
                        best = run.stamps[p];
                        length = i;
                        near = nearer = ~std::uint64_t(0);
                    } else if (i == length && run.stamps[p] > best) {
                        best = run.stamps[p];
                    }
                    if (tail > run.later[p])
                        goto larger;
                    goto smaller;
                }
                // Twice the index of the first difference, plus 1 when the
                // key's byte there is the larger.
                int found = LaterDifferenceFrom17(key, window + p);
                int i = found >> 1;
                if (i > length) {
                    best = run.stamps[p];
                    length = i;
                    near = nearer = ~std::uint64_t(0);
                    if (i >= F) {
                        ReplaceNode(run, p, at);
                        goto done;
                    }
                } else if (i == length && run.stamps[p] > best) {
                    best = run.stamps[p];
                }
                if (found & 1)
                    goto larger;
                goto smaller;
            }
        }
        if (head > run.order[p])
            goto larger;
        goto smaller;
    }
attached:
    run.up[at] = static_cast<std::uint16_t>(link - run.links);
    *link = static_cast<std::uint16_t>(r);
done:
    run.matchLength = length;
    run.matchStamp = best;
}

inline void CQjCompressor::RemovePosition(Run& run, int position)
{
    std::uint16_t* links = run.links;
    std::uint16_t* up = run.up;
    const std::size_t p = static_cast<std::size_t>(position);
    if (up[p] == kOut)
        return;
    std::size_t q;
    if (links[2 * p + 1] == NIL) {
        q = links[2 * p];
    } else if (links[2 * p] == NIL) {
        q = links[2 * p + 1];
    } else {
        // Replace p by the greatest node of its smaller subtree.
        q = links[2 * p];
        if (links[2 * q + 1] != NIL) {
            do
                q = links[2 * q + 1];
            while (links[2 * q + 1] != NIL);
            links[up[q]] = links[2 * q];
            up[links[2 * q]] = up[q];
            links[2 * q] = links[2 * p];
            up[links[2 * p]] = static_cast<std::uint16_t>(2 * q);
        }
        links[2 * q + 1] = links[2 * p + 1];
        up[links[2 * p + 1]] = static_cast<std::uint16_t>(2 * q + 1);
    }
    links[up[p]] = static_cast<std::uint16_t>(q);
    up[q] = up[p];
    up[p] = kOut;
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
    for (int k = run.leaf[symbol]; k != kRoot; k = run.node[k].parent) {
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
    for (int b = 0; b < 256; ++b)
        run.links[2 * (N + 1 + b) + 1] = NIL;
    std::fill(run.up, run.up + N, kOut);
    // Bytes past the input's end stay zero; only the part of a match that
    // lies within the input is ever sent.
    std::memset(run.window, 0, sizeof run.window);
    std::memset(run.window, ' ', kStart);
    int s = 0, r = kStart;
    int len = 0;
    for (int c; len < F && (c = GetByte()) >= 0; ++len)
        run.window[r + len] = static_cast<std::uint8_t>(c);
    std::uint32_t done = static_cast<std::uint32_t>(len);
    ProgressState progress;
    // The stamp of position r: only differences count.
    std::uint64_t stamp = N + kStart;
    for (int i = 1; i <= F; ++i)
        InsertPosition(run, r - i, stamp - static_cast<std::uint64_t>(i));
    InsertPosition(run, r, stamp);
    do {
        if (run.matchLength > len)
            run.matchLength = len;
        if (run.matchLength <= kThreshold) {
            run.matchLength = 1;
            EncodeSymbol(run.window[r]);
        } else {
            EncodeSymbol(run.matchLength + 253);
            EncodeOffset(static_cast<int>(stamp - run.matchStamp) - 1);
        }
        int last = run.matchLength;
        int i = 0;
        for (int c; i < last && (c = GetByte()) >= 0; ++i) {
            RemovePosition(run, s);
            run.window[s] = static_cast<std::uint8_t>(c);
            if (s < F - 1)
                run.window[s + N] = static_cast<std::uint8_t>(c);
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
