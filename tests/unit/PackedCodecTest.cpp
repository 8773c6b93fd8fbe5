// The three codecs against worked streams, the independent vectors, round
// trips and streams cut short.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "PackedTestUtil.h"

using namespace packedtest;

namespace {

// Codes of the given widths, most significant bit first, zero-padded.
Bytes Pack(const std::vector<std::pair<unsigned, int>>& codes)
{
    Bytes out;
    unsigned acc = 0;
    int held = 0;
    for (auto [value, width] : codes)
        for (int i = width - 1; i >= 0; --i)
            if (acc = acc << 1 | ((value >> i) & 1); ++held % 8 == 0)
                out.push_back(static_cast<char>(acc)), acc = 0;
    if (held % 8)
        out.push_back(static_cast<char>(acc << (8 - held % 8)));
    return out;
}

} // namespace

TEST(PackedCodec, WorkedStreams)
{
    const int lzss = CPackedFile::kindLzss, huff = CPackedFile::kindHuffman, lzw = CPackedFile::kindLzw;
    // Both ways: our encoder writes coded, our decoder reads it to its end.
    const struct { int kind; Bytes plain, coded; } both[] = {
        {lzss, "abababab", Bytes("\xB0\xD8\x80\x02\x80\x00", 6)}, {lzss, "", Bytes("\x00\x00", 2)},
        {huff, "A", Bytes("\xA0\xC0", 2)}, {huff, "AA", Pack({{1, 1}, {0x41, 8}, {1, 2}, {1, 2}})}, {huff, "", Bytes(1, 0)},
        {lzw, "ABABABA", Pack({{65, 9}, {66, 9}, {259, 9}, {261, 9}, {256, 9}})},
        {lzw, "AAAA", Pack({{65, 9}, {259, 9}, {65, 9}, {256, 9}})}, {lzw, "", Pack({{256, 9}})},
    };
    for (const auto& c : both) {
        SCOPED_TRACE(CPackedFile::TagOf(c.kind) + (": \"" + c.plain + "\""));
        EXPECT_EQ(Encode(c.kind, c.plain), c.coded);
        bool finished = false;
        const auto size = static_cast<std::uint32_t>(c.plain.size());
        EXPECT_EQ(Decode(c.kind, c.coded, size, SIZE_MAX, &finished), c.plain);
        EXPECT_TRUE(finished);
        if (size > 0) {   // one byte short, also inside a match or string: no end code there
            Decode(c.kind, c.coded, size - 1, SIZE_MAX, &finished);
            EXPECT_FALSE(finished);
        }
    }
    // Widening the LZW codes past 15 bits ends the stream.
    std::vector<std::pair<unsigned, int>> wide = {{65, 9}};
    for (int w = 9; w < 15; ++w)
        wide.push_back({257, w});
    wide.insert(wide.end(), {{66, 15}, {257, 15}, {67, 16}});
    const Bytes xs = Pack({{1, 1}, {'x', 8}, {0, 1}, {1, 12}, {8, 4}, {0, 13}});
    // Read only: what a decoder makes of 10 bytes asked for (or more).
    const struct { int kind; Bytes coded, plain; std::uint32_t want = 10; } read[] = {
        // 'x', a match one position behind of length 10 repeating it, the
        // end mark, which stops short of a larger count (also with bytes after it).
        {lzss, xs, Bytes(11, 'x'), 11}, {lzss, xs, Bytes(11, 'x'), 40}, {lzss, xs + "\xFF\xFF\xFF", Bytes(11, 'x'), 40},
        // LZW codes it cannot follow: one beyond the next (259), a first
        // code that is no byte, also right after a flush.
        {lzw, Pack({{65, 9}, {260, 9}, {256, 9}}), "A"}, {lzw, Pack({{300, 9}, {256, 9}}), ""},
        {lzw, Pack({{65, 9}, {258, 9}, {259, 9}}), "A"}, {lzw, Pack({{65, 9}, {258, 9}, {66, 9}, {256, 9}}), "AB"},
        {lzw, Pack(wide), "AB"},
    };
    for (const auto& c : read)
        EXPECT_EQ(Decode(c.kind, c.coded, c.want), c.plain) << testing::PrintToString(c.coded);
    // A stream that never flushes: at most codes 259..32767 get made.
    std::vector<std::pair<unsigned, int>> many = {{0, 9}};
    for (int next = 259, width = 9; next <= 32800; ++next) {
        if (next > (1 << width) - 1 && width < 15)
            many.push_back({257, width++});
        many.push_back({0, width});
    }
    EXPECT_EQ(Decode(lzw, Pack(many), 100000).size(), std::size_t(32767 - 259 + 2));
}

TEST(PackedCodec, IndependentVectorsBothWays)
{
    const std::string dir = SETUP_VECTORS_DIR "/";
    if (!std::filesystem::exists(dir + "README.txt"))
        GTEST_SKIP() << "codec vectors not found at " << dir;
    for (const char* input : {"gpl3", "random64k", "zeros100k"}) {
        Bytes plain = TempDir::ReadAll(dir + input + ".bin");
        ASSERT_FALSE(plain.empty());
        for (auto [ext, kind] : {std::pair{".lzss", CPackedFile::kindLzss}, {".ahuff", CPackedFile::kindHuffman},
                                 {".lzw", CPackedFile::kindLzw}}) {
            SCOPED_TRACE(input + std::string(ext));
            Bytes coded = TempDir::ReadAll(dir + input + ext);
            ASSERT_FALSE(coded.empty());
            bool finished = false;
            EXPECT_TRUE(Decode(kind, coded, static_cast<std::uint32_t>(plain.size()), SIZE_MAX, &finished) == plain);
            EXPECT_TRUE(finished);
            EXPECT_TRUE(Encode(kind, plain) == coded);
        }
    }
}

TEST(PackedCodec, RoundTripsPiecewiseAndCut)
{
    // Whole round trips: the members of PackedFile.AppendedMembersAreFoundInAnyOrder.
    for (int kind : {CPackedFile::kindLzss, CPackedFile::kindHuffman, CPackedFile::kindLzw}) {
        SCOPED_TRACE(CPackedFile::TagOf(kind));
        // Writes and reads in pieces, across the 17-byte LZSS look-ahead.
        Bytes plain = Text(20000) + Random(3000, 9) + Bytes(3000, 'r') + Text(9000, 3);
        const auto size = static_cast<std::uint32_t>(plain.size());
        Bytes whole = Encode(kind, plain);
        for (std::size_t piece : {1u, 3u, 16u, 17u, 18u, 1000u}) {
            EXPECT_TRUE(Encode(kind, plain, piece) == whole) << "writes of " << piece;
            EXPECT_TRUE(Decode(kind, whole, size, piece) == plain) << "reads of " << piece;
        }
        // Cut: the end code is never found, and a cut well inside the data
        // gives a short count; asking for less than coded finds no end code.
        for (std::size_t keep : {std::size_t(0), std::size_t(1), whole.size() / 2, whole.size() - 1}) {
            bool finished = true;
            Bytes got = Decode(kind, whole.substr(0, keep), size, SIZE_MAX, &finished);
            EXPECT_TRUE(keep == whole.size() - 1 || got.size() < plain.size()) << "kept " << keep;
            EXPECT_FALSE(finished) << "kept " << keep;
            EXPECT_TRUE(plain.compare(0, got.size(), got) == 0 || kind == CPackedFile::kindLzss);
        }
    }
}
