// The encoder's match finder: its start, and the rare steps of a search,
// kept out of line so that the search loop (QjMatchFinder.h) stays small.

#include "codec/QjMatchFinder.h"

#include <algorithm>
#include <bit>
#include <cstring>

using qj::F;
using qj::N;
using qj::LoadBigEndian64;

void CQjMatchFinder::Reset()
{
    for (int b = 0; b < 256; ++b)
        links[2 * (N + 1 + b) + 1] = NIL;
    std::fill(up, up + N, kOut);
    std::memset(window, 0, sizeof window);
    std::memset(window, ' ', qj::kStart);
}

// Node r takes the place of p, whose 60 bytes it repeats: the nearer copy
// is the one to keep.
[[gnu::noinline]] void CQjMatchFinder::Replace(std::size_t p, std::size_t r)
{
    links[2 * r] = links[2 * p];
    links[2 * r + 1] = links[2 * p + 1];
    up[links[2 * p]] = static_cast<std::uint16_t>(2 * r);
    up[links[2 * p + 1]] = static_cast<std::uint16_t>(2 * r + 1);
    links[up[p]] = static_cast<std::uint16_t>(r);
    up[r] = up[p];
    up[p] = kOut;
}

// Compares the 60-byte strings at a and b from byte 17 on (bytes 1 to 16
// are known to agree; byte 0 is the same in a whole tree). Returns twice the
// index of the first difference, plus 1 when a's byte there is the larger;
// 2 * 60 when all agree. Big-endian words compare like the bytes they hold.
// Out of line, so that the search loop stays small.
[[gnu::noinline]] int CQjMatchFinder::LaterDifferenceFrom17(const std::uint8_t* a, const std::uint8_t* b)
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
