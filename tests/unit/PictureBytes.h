#pragma once
// BMP and PCX pictures made byte by byte for the image tests.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// v as n little-endian bytes at b[at].
inline void PutLe(Bytes& b, std::size_t at, std::uint32_t v, int n = 4)
{
    for (int i = 0; i < n; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline std::uint32_t Get32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// A BMP file: file header, info header of headerSize bytes, extra bytes
// (masks), colour table, gap, rows.
struct BmpSpec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 4, height = 2;
    unsigned bits = 8;
    std::uint32_t compression = 0, colorsUsed = 0;
    Bytes extra{};                       // between header and colour table
    std::vector<std::uint32_t> colors{}; // 0x00RRGGBB each
    std::size_t gap = 0;                 // bytes between table and rows
    Bytes rows{};                        // empty: a pattern of the right size
    std::int64_t pixelOffset = -1;       // -1: the true offset
};

inline std::uint32_t BmpRowBytes(const BmpSpec& s)
{
    return (static_cast<std::uint32_t>(s.width) * s.bits + 31) / 32 * 4;
}

inline Bytes MakeBmp(BmpSpec s)
{
    if (s.rows.empty())
        for (std::uint32_t i = 0; i < BmpRowBytes(s) * static_cast<std::uint32_t>(std::abs(s.height)); ++i)
            s.rows.push_back(static_cast<std::uint8_t>(i * 7 + 3));
    std::size_t tableAt = 14 + s.headerSize + s.extra.size(), rowsAt = tableAt + 4 * s.colors.size() + s.gap;
    Bytes b(rowsAt + s.rows.size(), 0xEE);
    std::fill(b.begin(), b.begin() + 14 + s.headerSize, 0);
    b[0] = 'B', b[1] = 'M';
    PutLe(b, 2, static_cast<std::uint32_t>(b.size()));
    PutLe(b, 10, static_cast<std::uint32_t>(s.pixelOffset < 0 ? rowsAt : s.pixelOffset));
    const std::uint32_t fields[] = {s.headerSize, static_cast<std::uint32_t>(s.width),
                                    static_cast<std::uint32_t>(s.height), 1 | s.bits << 16, s.compression};
    for (std::size_t i = 0; i < 5; ++i)
        PutLe(b, 14 + 4 * i, fields[i]);
    PutLe(b, 46, s.colorsUsed);
    std::copy(s.extra.begin(), s.extra.end(), b.begin() + 14 + s.headerSize);
    for (std::size_t i = 0; i < s.colors.size(); ++i)
        PutLe(b, tableAt + 4 * i, s.colors[i]);
    std::copy(s.rows.begin(), s.rows.end(), b.begin() + rowsAt);
    return b;
}

// A PCX header; the data follows it in the file.
struct PcxSpec {
    std::uint8_t version = 5, encoding = 1, bits = 8, planes = 1;
    unsigned xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    unsigned bytesPerLine = 0;       // 0: the width's bytes, rounded to even
    std::uint8_t palette[48] = {};
};

inline Bytes MakePcx(const PcxSpec& s, const Bytes& data)
{
    Bytes b(128 + data.size(), 0);
    b[0] = 10, b[1] = s.version, b[2] = s.encoding, b[3] = s.bits, b[65] = s.planes;
    const unsigned words[] = {s.xmin, s.ymin, s.xmax, s.ymax};
    for (int i = 0; i < 4; ++i)
        PutLe(b, 4 + 2 * i, words[i], 2);
    std::copy(s.palette, s.palette + 48, b.begin() + 16);
    unsigned bpl = ((s.xmax - s.xmin + 1) * s.bits + 7) / 8;
    PutLe(b, 66, s.bytesPerLine ? s.bytesPerLine : bpl + (bpl & 1), 2);
    std::copy(data.begin(), data.end(), b.begin() + 128);
    return b;
}

// Codes bytes as PCX runs: repeats as runs of at most 63, single bytes
// below 0xC0 as themselves.
inline Bytes PcxEncode(const Bytes& raw)
{
    Bytes out;
    for (std::size_t i = 0, n; i < raw.size(); i += n) {
        for (n = 1; i + n < raw.size() && raw[i + n] == raw[i] && n < 63;)
            ++n;
        if (n > 1 || raw[i] >= 0xC0)
            out.push_back(static_cast<std::uint8_t>(0xC0 | n));
        out.push_back(raw[i]);
    }
    return out;
}
