// The three codecs against the worked streams, the independent vectors and
// round trips.

#include <gtest/gtest.h>

#include <filesystem>

#include "PackedTestUtil.h"

using namespace packedtest;

namespace {

const int kCodecs[] = {CPackedFile::kindLzss, CPackedFile::kindHuffman, CPackedFile::kindLzw};

// Codes of the given widths, most significant bit first, zero-padded.
Bytes Pack(const std::vector<std::pair<unsigned, int>>& codes)
{
    Bytes out;
    unsigned acc = 0;
    int held = 0;
    for (auto [value, width] : codes) {
        for (int i = width - 1; i >= 0; --i) {
            acc = acc << 1 | ((value >> i) & 1);
            if (++held == 8) {
                out.push_back(static_cast<char>(acc));
                acc = 0;
                held = 0;
            }
        }
    }
    if (held)
        out.push_back(static_cast<char>(acc << (8 - held)));
    return out;
}

std::string VectorPath(const std::string& name)
{
    return std::string(SETUP_VECTORS_DIR) + "/" + name;
}

} // namespace

TEST(PackedCodec, WorkedStreamsBothWays)
{
    struct Case {
        int kind;
        Bytes plain;
        Bytes coded;
    } cases[] = {
        {CPackedFile::kindLzss, "abababab", Bytes("\xB0\xD8\x80\x02\x80\x00", 6)},
        {CPackedFile::kindLzss, "", Bytes("\x00\x00", 2)},
        {CPackedFile::kindHuffman, "A", Bytes("\xA0\xC0", 2)},
        {CPackedFile::kindHuffman, "AA", Pack({{1, 1}, {0x41, 8}, {1, 2}, {1, 2}})},
        {CPackedFile::kindHuffman, "", Bytes("\x00", 1)},
        {CPackedFile::kindLzw, "ABABABA", Pack({{65, 9}, {66, 9}, {259, 9}, {261, 9}, {256, 9}})},
        {CPackedFile::kindLzw, "AAAA", Pack({{65, 9}, {259, 9}, {65, 9}, {256, 9}})},
        {CPackedFile::kindLzw, "", Pack({{256, 9}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CPackedFile::TagOf(c.kind) + (": \"" + c.plain + "\""));
        EXPECT_EQ(Hex(Encode(c.kind, c.plain)), Hex(c.coded));
        bool finished = false;
        EXPECT_EQ(Decode(c.kind, c.coded, static_cast<std::uint32_t>(c.plain.size()), SIZE_MAX, &finished), c.plain);
        EXPECT_TRUE(finished);
    }
}

TEST(PackedCodec, LzssOverlappingMatchRepeatsAByte)
{
    // 'x', then a match one position behind of length 10 (L = 8), then the end.
    Bytes coded = Pack({{1, 1}, {'x', 8}, {0, 1}, {1, 12}, {8, 4}, {0, 13}});
    EXPECT_EQ(Decode(CPackedFile::kindLzss, coded, 11), Bytes(11, 'x'));
    // The end mark stops decoding short of the count asked for.
    EXPECT_EQ(Decode(CPackedFile::kindLzss, coded, 40), Bytes(11, 'x'));
}

TEST(PackedCodec, IndependentVectorsBothWays)
{
    if (!std::filesystem::exists(VectorPath("README.txt")))
        GTEST_SKIP() << "codec vectors not found at " << SETUP_VECTORS_DIR;
    const std::pair<const char*, int> codecs[] = {
        {"lzss", CPackedFile::kindLzss}, {"ahuff", CPackedFile::kindHuffman}, {"lzw", CPackedFile::kindLzw}};
    for (const char* input : {"gpl3", "random64k", "zeros100k"}) {
        Bytes plain = TempDir::ReadAll(VectorPath(std::string(input) + ".bin"));
        ASSERT_FALSE(plain.empty());
        for (auto [ext, kind] : codecs) {
            SCOPED_TRACE(std::string(input) + "." + ext);
            Bytes coded = TempDir::ReadAll(VectorPath(std::string(input) + "." + ext));
            ASSERT_FALSE(coded.empty());
            bool finished = false;
            EXPECT_TRUE(Decode(kind, coded, static_cast<std::uint32_t>(plain.size()), SIZE_MAX, &finished) == plain);
            EXPECT_TRUE(finished);
            Bytes ours = Encode(kind, plain);
            EXPECT_EQ(ours.size(), coded.size());
            EXPECT_TRUE(ours == coded);
        }
    }
}

TEST(PackedCodec, RoundTripsOverManyInputs)
{
    std::vector<Bytes> inputs = {
        "", "a", Bytes(1, '\0'), Bytes(2, '\xff'), "abababab", Bytes(17, 'z'), Bytes(18, 'z'),
        Bytes(5000, '\0'), Text(1000), Text(70000), Random(100, 1), Random(4200, 2),
        Random(40000, 3),   // past the Huffman rebuild at 32767 bytes
        Bytes(200000, 'q'), // LZW strings of hundreds of bytes
    };
    // Every byte value, in runs, then a long mix: fills all 258 symbols.
    Bytes all;
    for (int v = 0; v < 256; ++v)
        all += Bytes(static_cast<std::size_t>(v % 7 + 1), static_cast<char>(v));
    inputs.push_back(all + Text(3000) + Random(3000, 4));
    // Around the Huffman rebuild: sizes just across 32767.
    for (std::size_t size : {32766u, 32767u, 32768u, 32769u})
        inputs.push_back(Text(size, static_cast<std::uint32_t>(size)));
    // Past the LZW flush: more than 32509 new strings.
    inputs.push_back(Random(120000, 5) + Text(50000));
    for (int kind : kCodecs) {
        for (const Bytes& plain : inputs) {
            SCOPED_TRACE(std::string(CPackedFile::TagOf(kind)) + " size " + std::to_string(plain.size()));
            Bytes coded = Encode(kind, plain);
            bool finished = false;
            EXPECT_TRUE(Decode(kind, coded, static_cast<std::uint32_t>(plain.size()), SIZE_MAX, &finished) == plain);
            EXPECT_TRUE(finished);
        }
    }
}

TEST(PackedCodec, PiecewiseWritesAndReadsMatchWholeOnes)
{
    Bytes plain = Text(20000) + Random(3000, 9) + Bytes(3000, 'r') + Text(9000, 3);
    for (int kind : kCodecs) {
        SCOPED_TRACE(CPackedFile::TagOf(kind));
        Bytes whole = Encode(kind, plain);
        for (std::size_t piece : {1u, 3u, 16u, 17u, 18u, 1000u}) {
            EXPECT_TRUE(Encode(kind, plain, piece) == whole) << "writes of " << piece;
            EXPECT_TRUE(Decode(kind, whole, static_cast<std::uint32_t>(plain.size()), piece) == plain)
                << "reads of " << piece;
        }
    }
}

TEST(PackedCodec, DamagedStreamsStopShort)
{
    Bytes plain = Text(30000) + Random(2000, 11);
    const auto size = static_cast<std::uint32_t>(plain.size());
    for (int kind : kCodecs) {
        SCOPED_TRACE(CPackedFile::TagOf(kind));
        Bytes coded = Encode(kind, plain);
        // Cut: the end code is never found, and a cut well inside the data
        // gives a short count.
        for (std::size_t keep : {std::size_t(0), std::size_t(1), coded.size() / 2, coded.size() - 1}) {
            bool finished = true;
            Bytes got = Decode(kind, coded.substr(0, keep), size, SIZE_MAX, &finished);
            if (keep <= coded.size() / 2) {
                EXPECT_LT(got.size(), plain.size()) << "kept " << keep;
            }
            EXPECT_FALSE(finished) << "kept " << keep;
            EXPECT_TRUE(plain.compare(0, got.size(), got) == 0 || kind == CPackedFile::kindLzss);
        }
        // Asking for fewer bytes than coded: no end code there.
        bool finished = true;
        Decode(kind, coded, size - 1, SIZE_MAX, &finished);
        EXPECT_FALSE(finished);
        // Flipped bytes: any outcome but a crash; usually caught.
        int caught = 0;
        for (std::size_t at = 5; at < coded.size(); at += coded.size() / 13) {
            Bytes bad = coded;
            bad[at] = static_cast<char>(bad[at] ^ 0x5A);
            bool ok = false;
            Bytes got = Decode(kind, bad, size, SIZE_MAX, &ok);
            caught += !(ok && got == plain);
        }
        EXPECT_GE(caught, 10);
    }
}

TEST(PackedCodec, LzwRefusesCodesItCannotFollow)
{
    auto decode = [](const Bytes& coded, std::uint32_t want) { return Decode(CPackedFile::kindLzw, coded, want); };
    // A code beyond the next one (259 is next after the first code).
    EXPECT_EQ(decode(Pack({{65, 9}, {260, 9}, {256, 9}}), 10), "A");
    // A first code that is no byte, also right after a flush.
    EXPECT_EQ(decode(Pack({{300, 9}, {256, 9}}), 10), "");
    EXPECT_EQ(decode(Pack({{65, 9}, {258, 9}, {259, 9}}), 10), "A");
    EXPECT_EQ(decode(Pack({{65, 9}, {258, 9}, {66, 9}, {256, 9}}), 10), "AB");
    // Widening past 15 bits.
    std::vector<std::pair<unsigned, int>> codes = {{65, 9}};
    for (int w = 9; w < 15; ++w)
        codes.push_back({257, w});
    codes.push_back({66, 15});
    codes.push_back({257, 15});
    codes.push_back({67, 16});
    EXPECT_EQ(decode(Pack(codes), 10), "AB");
    // A stream that never flushes: at most codes 259..32767 get made.
    std::vector<std::pair<unsigned, int>> many = {{0, 9}};
    int width = 9;
    for (int next = 259; next <= 32800; ++next) {
        if (next > (1 << width) - 1 && width < 15) {
            many.push_back({257, width});
            ++width;
        }
        many.push_back({0, width});
    }
    Bytes got = decode(Pack(many), 100000);
    EXPECT_EQ(got.size(), std::size_t(32767 - 259 + 2));
}

namespace {

// The LZSS encoder as plainly as the format defines it: byte by byte
// comparisons, the best match tracked at every node. The fast encoder must
// write exactly what this writes.
Bytes PlainLzss(const Bytes& data)
{
    const int N = 4096, F = 17, ROOT = N;
    std::vector<unsigned char> win(N, 0);
    std::vector<int> parent(N + 1, 0), small(N + 1, 0), large(N + 1, 0);
    std::vector<std::pair<unsigned, int>> codes;
    int matchPos = 0;
    auto insert = [&](int pos) {
        if (pos == 0)
            return 0;
        int t = large[ROOT], best = 0;
        for (;;) {
            int i = 0;
            while (i < F && win[(pos + i) % N] == win[(t + i) % N])
                ++i;
            if (i >= best) {
                best = i;
                matchPos = t;
            }
            if (i == F) {
                int up = parent[t];
                parent[pos] = up, small[pos] = small[t], large[pos] = large[t];
                parent[small[t]] = parent[large[t]] = pos;
                (large[up] == t ? large[up] : small[up]) = pos;
                parent[t] = 0;
                return best;
            }
            int& next = win[(pos + i) % N] >= win[(t + i) % N] ? large[t] : small[t];
            if (next == 0) {
                next = pos, parent[pos] = t, small[pos] = large[pos] = 0;
                return best;
            }
            t = next;
        }
    };
    auto remove = [&](int p) {
        if (parent[p] == 0)
            return;
        int q = large[p] == 0 ? small[p] : small[p] == 0 ? large[p] : small[p];
        if (large[p] && small[p]) {
            if (large[q]) {
                while (large[q])
                    q = large[q];
                large[parent[q]] = small[q], parent[small[q]] = parent[q];
                small[q] = small[p], parent[small[p]] = q;
            }
            large[q] = large[p], parent[large[p]] = q;
        }
        parent[q] = parent[p];
        (large[parent[p]] == p ? large[parent[p]] : small[parent[p]]) = q;
        parent[p] = 0;
    };
    std::size_t next = 0;
    int look = 0;
    while (look < F && next < data.size())
        win[1 + look++] = static_cast<unsigned char>(data[next++]);
    large[ROOT] = 1, parent[1] = ROOT;
    int cur = 1, mlen = 0;
    while (look > 0) {
        mlen = std::min(mlen, look);
        int replace = mlen <= 1 ? 1 : mlen;
        if (mlen <= 1)
            codes.push_back({0x100u | win[cur], 9});
        else
            codes.push_back({static_cast<unsigned>(matchPos << 4 | (mlen - 2)), 17});
        for (int k = 0; k < replace; ++k) {
            remove((cur + F) % N);
            if (next < data.size())
                win[(cur + F) % N] = static_cast<unsigned char>(data[next++]);
            else
                --look;
            cur = (cur + 1) % N;
            if (look > 0)
                mlen = insert(cur);
        }
    }
    codes.push_back({0, 13});
    return Pack(codes);
}

} // namespace

TEST(PackedCodec, LzssWritesWhatThePlainSearchWrites)
{
    std::uint32_t seed = 3;
    auto next = [&] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (int round = 0; round < 150; ++round) {
        // Few symbols and copied stretches: many ties and full-length matches.
        Bytes data;
        const std::size_t size = next() % (round < 100 ? 2000 : 20000);
        const unsigned alphabet = 1 + next() % (round % 3 ? 256 : 3);
        while (data.size() < size) {
            if (data.size() > 20 && next() % 3 == 0) {
                std::size_t back = 1 + next() % std::min<std::size_t>(data.size(), 5000), len = next() % 40;
                for (std::size_t k = 0; k < len; ++k)
                    data.push_back(data[data.size() - back]);
            } else {
                data.push_back(static_cast<char>(next() % alphabet));
            }
        }
        data.resize(size);
        ASSERT_TRUE(Encode(CPackedFile::kindLzss, data) == PlainLzss(data)) << "round " << round << ", size " << size;
    }
}
