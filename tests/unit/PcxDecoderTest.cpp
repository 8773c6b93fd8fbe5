// The PCX decoder on pictures made byte by byte: the plane layouts, the palette rules, the refill of the read buffer and the
// failure codes.

#include <gtest/gtest.h>

#include "PictureBytes.h"
#include "TempDir.h"
#include "framework/MemFile.h"
#include "image/PcxDecoder.h"

namespace {

int Decode(Bytes file, PcxDib& dib)
{
    CMemFile source(file.data(), static_cast<std::uint32_t>(file.size()));
    return ReadPcx(source, dib);
}

// Line y from the top of a picture of rows of rowLength bytes.
Bytes Row(const PcxDib& dib, std::uint32_t rowLength, int height, int y)
{
    const std::uint8_t* p = dib.lpBits + static_cast<std::size_t>(height - 1 - y) * rowLength;
    return Bytes(p, p + rowLength);
}

std::uint32_t Color(const PcxDib& dib, int i) { return Get32(dib.lpDib + 40 + 4 * i); }

PcxSpec Spec(unsigned bits, unsigned planes, unsigned width, unsigned height)
{
    PcxSpec s;
    s.bits = static_cast<std::uint8_t>(bits);
    s.planes = static_cast<std::uint8_t>(planes);
    s.xmax = width - 1;
    s.ymax = height - 1;
    return s;
}

} // namespace

TEST(PcxDecoder, LineStopsWhereItsSourceRunsOut)
{
    std::uint8_t line[4];
    std::uint32_t used = 0;
    // Out of source, also between a run's count and its byte: no line, and
    // the run pending from before stays.
    const std::uint8_t src[] = {0xC5, 0x07, 0x01};
    PcxRun pending{2, 4};
    for (std::uint32_t available : {0u, 1u}) {
        EXPECT_FALSE(DecodePcxLine(src, available, line, 4, pending, used)) << available;
        EXPECT_EQ(pending.count, 2u);
    }
    // A pending run long enough fills a line from no source at all.
    pending = {40, 9};
    EXPECT_TRUE(DecodePcxLine(nullptr, 0, line, 4, pending, used) && used == 0 && pending.count == 36);
}

TEST(PcxDecoder, HeaderRowsAndPalettes)
{
    // 1 x 1 at 8 bits: a 4-byte row at offset 1064, the header filled in.
    PcxSpec s = Spec(8, 1, 1, 1);
    PcxDib dib;
    ASSERT_EQ(Decode(MakePcx(s, {0xC1, 0x2A, 0x00}), dib), kPcxOk);
    ASSERT_TRUE(dib.hDib);
    EXPECT_EQ(dib.nSize, 1064u + 4);
    EXPECT_EQ(dib.lpBits, dib.lpDib + 1064);
    const std::uint32_t header[] = {40, 1, 1, 1 | 8 << 16, 0, 4};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Get32(dib.lpDib + 4 * i), header[i]) << "field " << i;
    EXPECT_EQ(dib.lpBits[0], 0x2A);
    EXPECT_EQ(PcxColorCount(dib), 256u);
    // Rows are bottom-up and only the row length is taken from a padded line.
    ASSERT_EQ(Decode(MakePcx({.xmax = 2, .ymax = 1, .bytesPerLine = 6}, {1, 2, 3, 0xAE, 5, 6, 7, 8, 9, 10, 11, 12}), dib), kPcxOk);
    EXPECT_EQ(Row(dib, 4, 2, 0), (Bytes{1, 2, 3, 0xAE}));
    EXPECT_EQ(Row(dib, 4, 2, 1), (Bytes{7, 8, 9, 10}));
    // A run carries over into the next line.
    ASSERT_EQ(Decode(MakePcx(Spec(8, 1, 2, 2), {0xC3, 0x07, 0x01}), dib), kPcxOk);
    EXPECT_EQ(Row(dib, 4, 2, 1).at(0), 7);
    EXPECT_EQ(Row(dib, 4, 2, 1).at(1), 1);

    // 8 bits: 0x0C and 768 bytes after the image data give the palette,
    // from version 5 on; without them a grey ramp. 1 bit: the header's
    // first two colours, or black and white when they are equal. 4 bits:
    // the header's 16 colours, built-in ones before version 5.
    Bytes marked = {0xC2, 0x05, 0x0C};
    for (int i = 0; i < 256; ++i)
        marked.insert(marked.end(), {static_cast<std::uint8_t>(i), 0x11, static_cast<std::uint8_t>(255 - i)});
    const Bytes cut(marked.begin(), marked.end() - 1), line = {0x9F, 0x00};
    PcxSpec v3 = s, one = Spec(1, 1, 8, 1), four = Spec(4, 1, 2, 1);
    v3.version = 3;
    for (int i = 0; i < 48; ++i)
        one.palette[i] = four.palette[i] = static_cast<std::uint8_t>(0x10 + i);
    PcxSpec bw = one, four3 = four;
    std::copy(bw.palette, bw.palette + 3, bw.palette + 3);
    four3.version = 3;
    const struct { const PcxSpec& spec; const Bytes& data; int index; std::uint32_t rgb; } colours[] = {
        {s, line, 0, 0},           {s, line, 200, 0xC8C8C8},    {s, marked, 0, 0x0011FF}, {s, marked, 255, 0xFF1100},
        {s, cut, 7, 0x070707},     {v3, marked, 1, 0x010101},   {one, line, 0, 0x101112}, {one, line, 1, 0x131415},
        {bw, line, 0, 0},          {bw, line, 1, 0xFFFFFF},     {four, line, 15, 0x3D3E3F}, {four3, line, 1, 0x000080},
        {four3, line, 7, 0x808080}, {four3, line, 8, 0xC0C0C0}, {four3, line, 9, 0x0000FF}, {four3, line, 14, 0xFFFF00},
    };
    for (const auto& c : colours) {
        ASSERT_EQ(Decode(MakePcx(c.spec, c.data), dib), kPcxOk);
        EXPECT_EQ(Color(dib, c.index), c.rgb) << int(c.spec.bits) << " bits, version " << int(c.spec.version)
                                              << ", colour " << c.index;
    }
    EXPECT_EQ(dib.lpBits[0], 0x9F);
}

TEST(PcxDecoder, AssemblesPlanes)
{
    // Four one-bit planes, 10 pixels of the values 0 1 2 3 8 15 9 6 12 5:
    // pixel x takes bit p of its value from plane p (0xC0 escaped).
    PcxDib dib;
    ASSERT_EQ(Decode(MakePcx({.bits = 1, .planes = 4, .xmax = 9, .bytesPerLine = 2}, {0x56, 0x40, 0x35, 0x00, 0x05, 0xC1, 0xC0, 0x0E, 0x80}), dib), kPcxOk);
    EXPECT_EQ(dib.lpDib[14], 4);
    EXPECT_EQ(Bytes(dib.lpBits, dib.lpBits + 5), (Bytes{0x01, 0x23, 0x8F, 0x96, 0xC5}));

    // 24 bits: red, green and blue planes into blue, green, red triples.
    ASSERT_EQ(Decode(MakePcx(Spec(8, 3, 2, 1), {0x10, 0x11, 0x20, 0x21, 0x30, 0x31}), dib), kPcxOk);
    EXPECT_EQ(Bytes(dib.lpBits, dib.lpBits + 8), (Bytes{0x30, 0x20, 0x10, 0x31, 0x21, 0x11, 0, 0}));
    EXPECT_EQ(PcxColorCount(dib), 0u);
    EXPECT_EQ(Get32(dib.lpDib + 40), 0u);
}

TEST(PcxDecoder, RefillsTheReadBufferAcrossLines)
{
    // 120 lines of 203 bytes: literals, runs and escaped bytes, so that
    // lines and runs straddle every 8192-byte piece at varying places.
    const unsigned width = 203, height = 120;
    PcxSpec s = Spec(8, 1, width, height);
    Bytes raw;
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < 204; ++x)
            raw.push_back(static_cast<std::uint8_t>((x / (1 + y % 5)) * 37 + y));
    Bytes code = PcxEncode(raw);
    ASSERT_GT(code.size(), 2u * 8192);
    PcxDib dib;
    ASSERT_EQ(Decode(MakePcx(s, code), dib), kPcxOk);
    for (unsigned y = 0; y < height; ++y)
        ASSERT_TRUE(std::equal(raw.begin() + y * 204, raw.begin() + y * 204 + width, Row(dib, 204, height, y).begin()))
            << "line " << y;
    // Cut inside the data: the data ended, with nothing left behind (and
    // no endless re-reading of the last piece).
    code.resize(code.size() - 300);
    EXPECT_EQ(Decode(MakePcx(s, code), dib), kPcxDataEnded);
    EXPECT_FALSE(dib.hDib);
    EXPECT_EQ(dib.lpDib, nullptr);
}

TEST(PcxDecoder, FailureCodes)
{
    auto code = [](PcxSpec s, Bytes d = {1, 2, 3, 4}) {
        PcxDib out;
        int result = Decode(MakePcx(s, d), out);
        EXPECT_FALSE(out.hDib);
        return result;
    };
    // Header faults: x or y range reversed, encoding, plane layouts that
    // cannot be assembled, sides over 16384, lines narrower than the width.
    const PcxSpec good = Spec(8, 1, 2, 2);
    for (const PcxSpec& s : {PcxSpec{.xmin = 5, .xmax = 4, .ymax = 1}, PcxSpec{.ymin = 1, .xmax = 1}, PcxSpec{.encoding = 0},
                             PcxSpec{.xmax = 1, .ymax = 1, .bytesPerLine = 1}, Spec(1, 2, 2, 2), Spec(2, 2, 2, 2),
                             Spec(1, 8, 2, 2), Spec(24, 1, 2, 2), Spec(8, 1, 16385, 1), Spec(8, 1, 1, 16385)})
        EXPECT_EQ(code(s), kPcxBadHeader) << int(s.bits) << "x" << int(s.planes) << " " << s.xmax << " " << s.ymax;
    PcxDib dib;
    Bytes header = MakePcx(good, {});
    header[0] = 11;
    EXPECT_EQ(Decode(header, dib), kPcxBadHeader);
    header[0] = 10;
    header.resize(127);
    EXPECT_EQ(Decode(header, dib), kPcxBadHeader);     // shorter than a header

    EXPECT_EQ(code(good, {}), kPcxDataEnded);             // nothing after the header
    EXPECT_EQ(code(good, {1, 2, 3}), kPcxDataEnded);
    // A 16384 x 16384 picture from a few bytes is refused before memory is
    // taken for it.
    EXPECT_EQ(code(Spec(8, 3, 16384, 16384), {0xFF, 1}), kPcxDataEnded);
    // A line whose code is longer than one read buffer can never decode.
    Bytes literals(16384 + 100, 0x41);
    for (std::size_t i = 0; i < literals.size(); i += 2)
        literals[i] = 0x42;
    EXPECT_EQ(code(Spec(8, 1, 16384, 1), literals), kPcxDataEnded);

    // From a file: opened, else refused; read by the same decoder.
    TempDir dir;
    EXPECT_EQ(ReadPcxFile(dir.File("missing.pcx"), dib), kPcxCannotOpen);
    const Bytes cut = MakePcx(good, {1, 2, 3}), whole = MakePcx(good, {1, 2, 3, 4});
    EXPECT_EQ(ReadPcxFile(dir.Write("cut.pcx", std::string(cut.begin(), cut.end())), dib), kPcxDataEnded);
    ASSERT_EQ(ReadPcxFile(dir.Write("a.pcx", std::string(whole.begin(), whole.end())), dib), kPcxOk);
    EXPECT_TRUE(dib.lpBits && dib.lpBits[1] == 4);   // the bottom line first
    EXPECT_EQ(FreePcxDib(dib), kPcxOk);
    EXPECT_EQ(dib.lpBits, nullptr);
    EXPECT_EQ(FreePcxDib(dib), kPcxNoBlock);
}
