// LZSS over a 4096-byte window. A member's bit stream is a sequence of
// tokens, most significant bit first:
//
//   literal   1, then the byte in 8 bits
//   match     0, then a window position P (12 bits, 1..4095), then L
//             (4 bits): copy the L + 2 bytes found at P, P + 1, ...
//   end       0, then 12 zero bits (position 0 is never a match)
//
// Both sides fill the window from position 1 at the start of a member and
// advance one position per byte, modulo 4096. A match may run into the bytes
// it produces, which repeats them. The encoder keeps every window position
// in a binary search tree ordered by the 17 bytes starting there; inserting
// the current position finds the longest earlier match on the way down (the
// last node met at the best length wins, and a node matching all 17 bytes is
// replaced by the new position). The stream depends on that exact search,
// so the tree is kept as the format defines it. Speed comes from how it is
// walked: each node keeps its first 8 bytes as a big-endian word, so one
// comparison of numbers decides the way down, and the match length is not
// worked out per node but only for the two nodes that end up closest to the
// new string from below and from above, one of which is the best.
//
// The decoder writes straight into the caller's buffer and copies a match
// from there; the window is brought up to date only when a Read ends, and
// serves matches that reach back before the current Read.
//
// Contract: Read never writes outside the caller's count nor reads outside
// the member; a truncated or damaged stream gives a short count.

#include "install/packed/LzssFile.h"

#include <algorithm>
#include <bit>

namespace {

inline std::uint64_t Load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline std::uint64_t LoadBig64(const std::uint8_t* p)
{
    return __builtin_bswap64(Load64(p));
}

} // namespace

CLzssFile::CLzssFile() : CPackedFile(kindLzss)
{
    std::memset(m_window, 0, sizeof m_window);
    std::memset(m_encWindow, 0, sizeof m_encWindow);
    std::memset(m_link, 0, sizeof m_link);
    std::memset(m_parent, 0, sizeof m_parent);
    std::memset(m_head, 0, sizeof m_head);
}

void CLzssFile::StartMember()
{
    // A damaged stream may point before the member's first byte; a cleared
    // window makes what it gets independent of earlier members.
    std::memset(m_window, 0, sizeof m_window);
    m_nCurrent = 1;
    m_nPendingDist = m_nPendingLeft = 0;
    m_bEnded = false;
    std::memset(m_encWindow, 0, sizeof m_encWindow);
    m_nPhase = 0;
    m_nFill = 0;
    m_nCarry = 0;
    m_nEncCurrent = 1;
    m_nLookAhead = m_nMatchLength = m_nMatchPos = 0;
}

std::uint32_t CLzssFile::Read(void* buffer, std::uint32_t count)
{
    if (!IsReading())
        return 0;
    auto* const out = static_cast<std::uint8_t*>(buffer);
    const std::uint32_t n = count;
    const std::uint32_t base = static_cast<std::uint32_t>(m_nCurrent);
    std::uint32_t o = 0;

    // The byte d positions behind output index at: from this Read's output
    // when it reaches that far, else from the window.
    auto history = [&](std::uint32_t at, std::uint32_t d) -> std::uint8_t {
        return d <= at ? out[at - d] : m_window[(base + at - d) & (windowSize - 1)];
    };

    for (; m_nPendingLeft && o < n; ++o, --m_nPendingLeft)
        out[o] = history(o, static_cast<std::uint32_t>(m_nPendingDist));

    if (!m_bEnded) {
        CBitInput in = m_in;
        while (o < n) {
            if (in.count < 17)
                in.Fill();
            const std::uint64_t b = in.bits;
            if (b >> 63) {
                if (!in.Has(9)) {
                    m_bEnded = true;
                    break;
                }
                out[o++] = static_cast<std::uint8_t>(b >> 55);
                in.Skip(9);
                continue;
            }
            const auto pos = static_cast<std::uint32_t>(b >> 51) & 0xFFF;
            if (pos == 0 || !in.Has(17)) {
                in.Skip(13);
                m_bEnded = true;
                break;
            }
            const std::uint32_t len = static_cast<std::uint32_t>((b >> 47) & 15) + 2;
            in.Skip(17);
            std::uint32_t d = (base + o - pos) & (windowSize - 1);
            if (d == 0)
                d = windowSize;   // the position about to be overwritten
            if (d <= o && n - o >= 24 && d >= 8) {
                // Three word copies cover the longest match; with d >= 8
                // no word overlaps its own source.
                std::uint8_t* p = out + o;
                std::memcpy(p, p - d, 8);
                std::memcpy(p + 8, p + 8 - d, 8);
                std::memcpy(p + 16, p + 16 - d, 8);
                o += len;
            } else if (d <= o && n - o >= len) {
                std::uint8_t* p = out + o;
                const std::uint8_t* src = p - d;
                for (std::uint32_t k = 0; k < len; ++k)
                    p[k] = src[k];
                o += len;
            } else {
                std::uint32_t k = 0;
                for (; k < len && o < n; ++k, ++o)
                    out[o] = history(o, d);
                if (k < len) {
                    m_nPendingDist = static_cast<int>(d);
                    m_nPendingLeft = static_cast<int>(len - k);
                }
            }
        }
        m_in = in;
    }

    // Bring the window up to date with the last bytes produced.
    const std::uint32_t keep = std::min<std::uint32_t>(o, windowSize);
    for (std::uint32_t k = o - keep; k < o;) {
        std::uint32_t at = (base + k) & (windowSize - 1);
        std::uint32_t run = std::min(o - k, windowSize - at);
        std::memcpy(m_window + at, out + k, run);
        k += run;
    }
    m_nCurrent = static_cast<int>((base + o) & (windowSize - 1));
    return o;
}

bool CLzssFile::FinishMember()
{
    if (!IsReading() || m_bEnded || m_nPendingLeft)
        return false;
    if (m_in.count < 13)
        m_in.Fill();
    const bool end = m_in.Peek(13) == 0 && m_in.Has(13);
    m_in.Skip(13);
    m_bEnded = true;
    return end;
}

void CLzssFile::WritePacked(const void* data, std::uint32_t count)
{
    if (!IsWriting())
        return;
    m_nUnpackedSize += count;
    Encode(static_cast<const std::uint8_t*>(data), count, false);
}

void CLzssFile::EndMember()
{
    Encode(nullptr, 0, true);
    m_out.Put(0, 13);
}

void CLzssFile::SetUpTree()
{
    std::memset(m_link, 0, sizeof m_link);
    std::memset(m_parent, 0, sizeof m_parent);
    m_link[2 * root + 1] = 2;
    m_parent[2] = 2 * root;
    m_head[2] = LoadBig64(m_encWindow + 1);
    m_nLookAhead = m_nFill;
    m_nMatchLength = m_nMatchPos = 0;
    m_nEncCurrent = 1;
    m_nPhase = 2;
}

// Takes the member's data as it comes; a token is coded only when all the
// bytes it covers have arrived (or at the end), so the stream is the same
// however the data was split between calls.
void CLzssFile::Encode(const std::uint8_t* src, std::uint32_t count, bool last)
{
    const std::uint8_t* const srcEnd = src + count;
    if (m_nPhase == 0) {
        while (m_nFill < lookAhead && src < srcEnd)
            PutWindow(1 + m_nFill++, *src++);
        if (m_nFill < lookAhead && !last)
            return;
        SetUpTree();
    }

    CBitOutput out = m_out;
    int cur = m_nEncCurrent;
    int look = m_nLookAhead;
    int mlen = m_nMatchLength;
    int carryPos = 0;
    auto have = [&] { return (m_nCarry - carryPos) + (srcEnd - src); };
    while (look > 0) {
        if (mlen > look)
            mlen = look;
        const int replace = mlen <= 1 ? 1 : mlen;
        if (!last && have() < replace)
            break;
        if (mlen <= 1)
            out.Put(0x100u | m_encWindow[cur], 9);
        else
            out.Put(static_cast<std::uint32_t>(m_nMatchPos << 4 | (mlen - 2)), 17);
        for (int k = 0; k < replace; ++k) {
            const int p = (cur + lookAhead) & (windowSize - 1);
            Remove(p);
            if (carryPos < m_nCarry)
                PutWindow(p, m_carry[carryPos++]);
            else if (src < srcEnd)
                PutWindow(p, *src++);
            else
                --look;
            cur = (cur + 1) & (windowSize - 1);
            if (look > 0)
                mlen = Insert(cur);
        }
    }
    // Keep what the next token still waits for.
    int kept = 0;
    while (carryPos < m_nCarry)
        m_carry[kept++] = m_carry[carryPos++];
    while (src < srcEnd)
        m_carry[kept++] = *src++;
    m_nCarry = kept;
    m_nEncCurrent = cur;
    m_nLookAhead = look;
    m_nMatchLength = mlen;
    m_out = out;
}

// Adds pos to the tree and returns the longest match length found on the
// way (0 for position 0, which is never a match); m_nMatchPos is its place.
int CLzssFile::Insert(int pos)
{
    if (pos == 0)
        return 0;
    const std::uint8_t* const w = m_encWindow;
    std::uint16_t* const link = m_link;
    std::uint16_t* const parent = m_parent;
    const std::ptrdiff_t p2 = 2 * pos;
    if (link[2 * root + 1] == 0) {
        link[2 * root + 1] = static_cast<std::uint16_t>(p2);
        parent[p2] = 2 * root;
        link[p2] = link[p2 + 1] = 0;
        return 0;
    }
    // The new string as two big-endian words and a byte: comparing words
    // as numbers orders strings as the bytes do, and the first differing
    // bit gives the equal length.
    const std::uint64_t key0 = LoadBig64(w + pos), key1 = LoadBig64(w + pos + 8);
    const std::uint8_t key2 = w[pos + 16];
    const std::uint64_t* const head = m_head;
    m_head[p2] = key0;
    // The longest match lies on the search path, and needs no tracking per
    // node: the nodes where the search turns right are ever closer to the
    // key from below, so their equal lengths never shrink, and likewise
    // from above. The best is the last of one side or the other (the
    // longer, or on a tie the later, which is the last node visited).
    std::ptrdiff_t below = 0, above = 0;
    std::ptrdiff_t slot = 2 * root + 1;
    std::ptrdiff_t node = link[slot];
    // Position 0 is never in the tree, so "no child" leads to node 0, whose
    // head equals the key: the loop leaves through the rare path only.
    m_head[0] = key0;
    for (;;) {
        const std::uint64_t s0 = head[node];
        if (key0 != s0) {
            const bool larger = key0 > s0;
            below = larger ? node : below;
            above = larger ? above : node;
            slot = node + larger;
            node = link[slot];
            continue;
        }
        if (node == 0)
            break;
        const std::uint8_t* const s = w + node / 2;
        const std::uint64_t s1 = LoadBig64(s + 8);
        bool larger;
        if (key1 != s1) {
            larger = key1 > s1;
        } else if (key2 != s[16]) {
            larger = key2 > s[16];
        } else {
            // All 17 equal: equal strings do not pile up, pos takes the
            // node's place.
            m_nMatchPos = static_cast<int>(node / 2);
            const std::uint16_t small = link[node], large = link[node + 1];
            parent[p2] = parent[node];
            link[p2] = small;
            link[p2 + 1] = large;
            if (small)
                parent[small] = static_cast<std::uint16_t>(p2);
            if (large)
                parent[large] = static_cast<std::uint16_t>(p2);
            link[slot] = static_cast<std::uint16_t>(p2);
            parent[node] = 0;
            return lookAhead;
        }
        below = larger ? node : below;
        above = larger ? above : node;
        slot = node + larger;
        node = link[slot];
    }
    const std::ptrdiff_t last = slot & ~std::ptrdiff_t(1);
    link[slot] = static_cast<std::uint16_t>(p2);
    parent[p2] = static_cast<std::uint16_t>(last);
    link[p2] = link[p2 + 1] = 0;

    // Equal leading bytes of the key and node n's string (below 17).
    auto equal = [&](std::ptrdiff_t n) -> int {
        if (n == 0)
            return -1;
        const std::uint64_t x = key0 ^ head[n];
        if (x)
            return std::countl_zero(x) >> 3;
        const std::uint64_t y = key1 ^ LoadBig64(w + n / 2 + 8);
        if (y)
            return 8 + (std::countl_zero(y) >> 3);
        return 16;
    };
    const int lengthBelow = equal(below), lengthAbove = equal(above);
    std::ptrdiff_t best;
    int length;
    if (lengthBelow != lengthAbove) {
        best = lengthBelow > lengthAbove ? below : above;
        length = lengthBelow > lengthAbove ? lengthBelow : lengthAbove;
    } else {
        best = last;
        length = lengthBelow;
    }
    m_nMatchPos = static_cast<int>(best / 2);
    return length;
}

void CLzssFile::Remove(int pos)
{
    std::uint16_t* const link = m_link;
    std::uint16_t* const parent = m_parent;
    const int p2 = 2 * pos;
    const int up = parent[p2];
    if (up == 0)
        return;
    const int small = link[p2], large = link[p2 + 1];
    int q;
    if (large == 0) {
        q = small;
    } else if (small == 0) {
        q = large;
    } else {
        // The largest node of the smaller subtree takes pos's place.
        q = small;
        if (link[q + 1]) {
            do
                q = link[q + 1];
            while (link[q + 1]);
            const int qUp = parent[q], qSmall = link[q];
            link[qUp + 1] = static_cast<std::uint16_t>(qSmall);
            if (qSmall)
                parent[qSmall] = static_cast<std::uint16_t>(qUp);
            link[q] = static_cast<std::uint16_t>(small);
            parent[small] = static_cast<std::uint16_t>(q);
        }
        link[q + 1] = static_cast<std::uint16_t>(large);
        parent[large] = static_cast<std::uint16_t>(q);
    }
    if (q)
        parent[q] = static_cast<std::uint16_t>(up);
    link[up + (link[up + 1] == p2 ? 1 : 0)] = static_cast<std::uint16_t>(q);
    parent[p2] = 0;
}
