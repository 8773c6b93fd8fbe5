#pragma once
// The shape of a QJ10 stream, shared by the compressor's parts: the ring,
// the alphabet of literals and lengths, the bounds on code lengths and the
// fixed code of a match position's upper six bits. QjCompressor.cpp
// describes the stream as a whole.

#include <bit>
#include <cstdint>
#include <cstring>

namespace qj {

constexpr int N = 4096;                           // ring size
constexpr int F = 60;                             // longest match
constexpr int kThreshold = 2;                     // longer matches are coded
constexpr int kStart = N - F;                     // first position filled
constexpr int kSymbols = 256 - kThreshold + F;    // 314
constexpr int kMaxCodeBits = 21;                  // see QjCompressor.cpp
constexpr int kMaxOffsetBits = 14;

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

inline constexpr PositionCode kPosition = MakePositionCode();
static_assert(kPosition.code[63] == 0xFF && kPosition.code[47] == 0x77 && kPosition.code[4] == 0x0A);

inline std::uint64_t LoadBigEndian64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::little)
        v = __builtin_bswap64(v);
    return v;
}

} // namespace qj
