#pragma once
// The encoder's match finder: the ring of the last 4096 input bytes and,
// over its positions, one binary search tree per first byte, ordered by the
// 60 bytes from each position. Adding a position searches its tree on the
// way down and keeps the longest match met on that path, the nearest on
// ties; these choices fix the stream.

#include <cstddef>
#include <cstdint>

#include "codec/QjStream.h"

namespace qj {

// The bits of the first n bytes (0 to 8) of a big-endian word.
constexpr std::uint64_t LeadingBytes(int n)
{
    return n >= 8 ? ~std::uint64_t(0) : ~(~std::uint64_t(0) >> (8 * n));
}

inline constexpr std::uint64_t kLeadingBytes[9] = {
    LeadingBytes(0), LeadingBytes(1), LeadingBytes(2), LeadingBytes(3), LeadingBytes(4),
    LeadingBytes(5), LeadingBytes(6), LeadingBytes(7), LeadingBytes(8)};

} // namespace qj

struct CQjMatchFinder {
    static constexpr int NIL = qj::N;                        // "no node"
    static constexpr int kSearchNodes = qj::N + 1 + 256;
    static constexpr std::uint16_t kOut = 0xFFFF;            // in no tree

    // Roots at N + 1 + byte (only their larger link is used). Node NIL's
    // first word is the key's during a search. What every step of a search
    // reads, a node's first word and its links, is kept small and apart.
    std::uint64_t order[qj::N + 1];             // bytes 1 to 8, big-endian
    std::uint16_t links[2 * kSearchNodes];      // node p's smaller, larger child at 2p, 2p + 1
    std::uint64_t later[qj::N + 1];             // bytes 9 to 16, the same way
    std::uint64_t stamps[qj::N];                // positions without wrapping
    std::uint16_t up[qj::N + 1];                // where the link to it is in links, or kOut
    // The ring, with its first F - 1 bytes repeated after it so that any
    // string of F bytes can be compared without wrapping.
    std::uint8_t window[qj::N + qj::F - 1];
    // What the last Insert found: the match's length and its stamp.
    int matchLength;
    std::uint64_t matchStamp;

    // Empty trees, and the ring as a stream starts: spaces up to kStart,
    // zeros after (bytes past the input's end stay zero).
    void Reset();
    // Adds the string at ring position r, whose stamp (its position without
    // wrapping) is stamp, and sets matchLength and matchStamp.
    void Insert(int r, std::uint64_t stamp);
    // Takes the string at ring position p out of its tree, if it is in one.
    void Remove(int p);

private:
    static int LaterDifferenceFrom17(const std::uint8_t* a, const std::uint8_t* b);
    void Replace(std::size_t p, std::size_t r);
};

// Insert and Remove are inline: the encoder calls both once per byte.
[[gnu::always_inline]] inline void CQjMatchFinder::Insert(int r, std::uint64_t stamp)
{
    const std::uint8_t* key = window + r;
    const std::size_t at = static_cast<std::size_t>(r);
    links[2 * at] = links[2 * at + 1] = NIL;
    stamps[at] = stamp;
    // Bytes 1 to 8 of the key in big-endian order, compared with every node
    // on the way: their exclusive or shows the agreement byte by byte, the
    // words themselves compare like the bytes. A missing child reads as a
    // copy of the key's, so only agreeing words need a closer look.
    const std::uint64_t head = qj::LoadBigEndian64(key + 1);
    const std::uint64_t tail = qj::LoadBigEndian64(key + 9);
    order[at] = head;
    later[at] = tail;
    order[NIL] = head;
    int length = 0;
    std::uint64_t best = stamp;   // the match's stamp: the larger, the nearer
    // A node whose word agrees with the key's in the bytes of near agrees
    // on at least max(3, length) bytes, so it may change the match; in the
    // bytes of nearer, on more than length bytes (or on all 8, x == 0).
    // Once the match is 8 bytes or longer, only equal words can change it.
    std::uint64_t near = qj::LeadingBytes(2), nearer = near;
    // Down the tree from the root: each step reads node p's first word and
    // moves link to p's child on the key's side. The path ends at node NIL,
    // where the key is linked in, or at a node that repeats its 60 bytes,
    // whose place it takes.
    std::uint16_t* link = &links[2 * (qj::N + 1 + key[0]) + 1];
    for (;;) {
        const std::size_t p = *link;
        const std::uint64_t x = head ^ order[p];
        if ((x & near) == 0) [[unlikely]] {
            if ((x & nearer) != 0) {
                if (stamps[p] > best)
                    best = stamps[p];   // as long, and nearer
            } else if (x != 0) {
                int b = std::countl_zero(x) / 8;   // the first byte that differs, 2 to 7
                length = b + 1;
                best = stamps[p];
                near = qj::kLeadingBytes[b];
                nearer = qj::kLeadingBytes[b + 1];
            } else if (p == NIL) {
                up[at] = static_cast<std::uint16_t>(link - links);
                *link = static_cast<std::uint16_t>(r);
                break;
            } else {
                // Bytes 1 to 8 agree: the first later byte that differs
                // gives the match's length and the side to go on.
                int i;
                bool larger;
                if (std::uint64_t y = tail ^ later[p]; y != 0) {
                    i = 9 + std::countl_zero(y) / 8;   // 9 to 16
                    larger = tail > later[p];
                } else {
                    // Twice the index of the first difference, plus 1 when
                    // the key's byte there is the larger.
                    int found = LaterDifferenceFrom17(key, window + p);
                    i = found >> 1;
                    larger = found & 1;
                }
                if (i > length) {
                    best = stamps[p];
                    length = i;
                    near = nearer = ~std::uint64_t(0);
                    if (i >= qj::F) {
                        Replace(p, at);
                        break;
                    }
                } else if (i == length && stamps[p] > best) {
                    best = stamps[p];
                }
                link = &links[2 * p + larger];
                continue;
            }
        }
        // The common step: bytes 1 to 8 decide the side.
        link = head > order[p] ? &links[2 * p + 1] : &links[2 * p];
    }
    matchLength = length;
    matchStamp = best;
}

inline void CQjMatchFinder::Remove(int position)
{
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
