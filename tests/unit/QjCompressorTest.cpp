#include "codec/QjCompressor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"

namespace {

// Records the progress calls and the mode seen in each.
class RecordingCompressor : public CQjCompressor {
public:
    struct Call {
        std::uint32_t done, total;
        int mode;
    };
    void OnError(int code) override { errors.push_back(code); }
    void OnProgress(const std::uint32_t* done, const std::uint32_t* total) override
    {
        calls.push_back({*done, *total, m_nMode});
    }
    std::vector<int> errors;
    std::vector<Call> calls;
};

std::string Compress(const std::string& data, CQjCompressor* with = nullptr)
{
    TempDir dir;
    RecordingCompressor own;
    CQjCompressor& c = with ? *with : own;
    EXPECT_EQ(c.ProcessFile(dir.Write("in", data), dir.File("out"), 1), 1);
    return TempDir::ReadAll(dir.File("out"));
}

std::string Expand(const std::string& stream, CQjCompressor* with = nullptr)
{
    TempDir dir;
    RecordingCompressor own;
    CQjCompressor& c = with ? *with : own;
    EXPECT_EQ(c.ProcessFile(dir.Write("in", stream), dir.File("out"), 0), 1);
    return TempDir::ReadAll(dir.File("out"));
}

std::string Random(std::size_t size, std::uint32_t seed, int alphabet = 256)
{
    std::mt19937 gen(seed);
    std::string s(size, '\0');
    for (char& c : s)
        c = static_cast<char>(gen() % static_cast<unsigned>(alphabet));
    return s;
}

std::string Header(std::uint32_t size)
{
    std::string h = "QJ10";
    for (int i = 0; i < 4; ++i)
        h += static_cast<char>(size >> (8 * i));
    return h;
}

// A file whose writes fail, as on a full disk.
class FullFile : public CFile {
public:
    void Write(const void*, std::uint32_t) override
    {
        ++writes;
        throw CFileException(CFileException::diskFull, 28, "full");
    }
    int writes = 0;
};

} // namespace

TEST(QjCompressor, ExpandsAndWritesTheIndependentVectors)
{
    const std::filesystem::path dir = SETUP_VECTORS_DIR;
    if (!std::filesystem::exists(dir / "gpl3.qj10"))
        GTEST_SKIP() << "codec vectors not found at " << dir.string();
    for (const char* name : {"gpl3", "zeros100k", "random64k"}) {
        SCOPED_TRACE(name);
        std::string plain = TempDir::ReadAll((dir / (std::string(name) + ".bin")).string());
        std::string packed = TempDir::ReadAll((dir / (std::string(name) + ".qj10")).string());
        ASSERT_FALSE(plain.empty());
        EXPECT_TRUE(Expand(packed) == plain);
        EXPECT_TRUE(Compress(plain) == packed);
    }
}

TEST(QjCompressor, RoundTripsAssortedInputs)
{
    std::vector<std::string> inputs = {
        std::string(1, 'x'),
        std::string(100, 'A'),
        "short text, under sixty bytes",
        std::string(60, ' '),
        "   three spaces first, then the rest of the line",
        std::string(5000, ' ') + "end",
        Random(59, 1),
        Random(61, 2),
        Random(4096 + 77, 3, 4),
        Random(20000, 4),
    };
    // Long enough for several rebuilds, and text-like with many matches.
    std::string text;
    for (int i = 0; text.size() < 300000; ++i)
        text += "line " + std::to_string(i * 7919 % 1000) + " of the setup script\r\n";
    inputs.push_back(text);
    inputs.push_back(Random(150000, 5, 300 % 256) + Random(150000, 6, 3));
    std::string all;
    for (int i = 0; i < 256 * 3; ++i)
        all += static_cast<char>(i * 37);
    inputs.push_back(all);

    for (const std::string& in : inputs) {
        SCOPED_TRACE(in.size());
        std::string packed = Compress(in);
        ASSERT_GE(packed.size(), 8u);
        EXPECT_EQ(packed.substr(0, 8), Header(static_cast<std::uint32_t>(in.size())));
        EXPECT_TRUE(Expand(packed) == in);
    }

    // One byte is one literal: one or two coded bytes.
    std::string one = Compress("x");
    EXPECT_GE(one.size(), 9u);
    EXPECT_LE(one.size(), 10u);
    // Leading spaces match the ring's initial spaces: one symbol and a
    // position, at most 3 bytes, where a literal alone would need one more.
    EXPECT_LE(Compress(std::string(60, ' ')).size(), 8u + 3u);
    // 100 equal bytes: a literal and two matches.
    EXPECT_LE(Compress(std::string(100, 'A')).size(), 8u + 8u);
}

TEST(QjCompressor, HeaderLayoutAndEmptyFile)
{
    std::string empty = Compress("");
    EXPECT_EQ(empty, std::string("QJ10\0\0\0\0", 8));
    EXPECT_EQ(Expand(empty), "");

    std::string packed = Compress(Random(300, 7));
    ASSERT_GE(packed.size(), 8u);
    EXPECT_EQ(packed.substr(0, 8), std::string("QJ10\x2C\x01\x00\x00", 8));
}

TEST(QjCompressor, RefusesWhatIsNoStreamWithAnEmptyOutput)
{
    TempDir dir;
    struct Case {
        std::string bytes;
        CQjCompressor::Result result;
    } cases[] = {
        {"", CQjCompressor::resultBadSignature},
        {"QJ1", CQjCompressor::resultBadSignature},
        {"QJ11\x05\0\0\0abc", CQjCompressor::resultBadSignature},
        {"qj10\x05\0\0\0abc", CQjCompressor::resultBadSignature},
        {"QJ10", CQjCompressor::resultShortHeader},
        {"QJ10\x05\x00", CQjCompressor::resultShortHeader},
        {std::string("QJ10\x05\x00\x00", 7), CQjCompressor::resultShortHeader},
        {std::string("QJ10\0\0\0\0", 8), CQjCompressor::resultDone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        RecordingCompressor q;
        std::string out = dir.File("out");
        dir.Write("out", "old contents");
        EXPECT_EQ(q.ProcessFile(dir.Write("in", c.bytes), out, 0), 1);
        EXPECT_EQ(q.GetLastResult(), c.result);
        EXPECT_EQ(TempDir::ReadAll(out), "");
        EXPECT_TRUE(q.calls.empty());
        EXPECT_EQ(q.m_nMode, CQjCompressor::modeExpand);
    }
}

TEST(QjCompressor, FilesThatCannotBeOpenedGiveZero)
{
    TempDir dir;
    RecordingCompressor q;
    EXPECT_EQ(q.ProcessFile(dir.File("missing"), dir.File("out"), 0), 0);
    EXPECT_EQ(q.GetLastResult(), CQjCompressor::resultNoInput);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out")));
    EXPECT_EQ(q.ProcessFile(dir.File("missing"), dir.File("out"), 1), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out")));

    std::string in = dir.Write("in", "data");
    EXPECT_EQ(q.ProcessFile(in, dir.File("no-such-dir/out"), 1), 0);
    EXPECT_EQ(q.GetLastResult(), CQjCompressor::resultNoOutput);
    // The input was closed again: it can be removed and rewritten.
    std::filesystem::remove(in);
    EXPECT_FALSE(std::filesystem::exists(in));
    EXPECT_TRUE(q.errors.empty());
}

TEST(QjCompressor, FailedWriteIsReportedOnceAndStopsTheRun)
{
    TempDir dir;
    std::string data = Random(300000, 8, 16);
    std::string packed = Compress(data);
    for (int compress : {1, 0}) {
        SCOPED_TRACE(compress);
        RecordingCompressor q;
        CFile in(dir.Write("in", compress ? data : packed), CFile::modeRead);
        FullFile out;
        EXPECT_EQ(q.ProcessStreams(in, out, compress), 0);
        EXPECT_EQ(q.GetLastResult(), CQjCompressor::resultWriteFailed);
        EXPECT_EQ(q.errors, std::vector<int>{1});
        EXPECT_EQ(out.writes, 1);
        // No closing progress call: the run did not finish.
        for (const auto& call : q.calls)
            EXPECT_LT(call.done, call.total);
    }
#ifndef _WIN32
    if (std::filesystem::exists("/dev/full")) {
        RecordingCompressor q;
        EXPECT_EQ(q.ProcessFile(dir.Write("in", data), "/dev/full", 1), 0);
        EXPECT_EQ(q.errors, std::vector<int>{1});
    }
#endif
}

TEST(QjCompressor, ProgressFollowsTheStepRule)
{
    std::string data = Random(25000, 9, 8);
    RecordingCompressor c;
    std::string packed = Compress(data, &c);
    RecordingCompressor e;
    ASSERT_TRUE(Expand(packed, &e) == data);

    // Expand: after the first symbol, on passing 10240 and 20480, at the end.
    ASSERT_EQ(e.calls.size(), 4u);
    EXPECT_GE(e.calls[0].done, 1u);
    EXPECT_LE(e.calls[0].done, 60u);
    EXPECT_GT(e.calls[1].done, 10240u);
    EXPECT_LE(e.calls[1].done, 10240u + 60u);
    EXPECT_GT(e.calls[2].done, 20480u);
    EXPECT_LE(e.calls[2].done, 20480u + 60u);
    EXPECT_EQ(e.calls[3].done, 25000u);
    for (const auto& call : e.calls) {
        EXPECT_EQ(call.total, 25000u);
        EXPECT_EQ(call.mode, CQjCompressor::modeExpand);
    }
    EXPECT_EQ(e.m_nMode, CQjCompressor::modeIdle);

    // Compress counts bytes read, which run up to 60 ahead.
    ASSERT_EQ(c.calls.size(), 4u);
    EXPECT_GT(c.calls[1].done, 10240u);
    EXPECT_GT(c.calls[2].done, 20480u);
    EXPECT_EQ(c.calls[3].done, 25000u);
    EXPECT_EQ(c.calls[3].total, 25000u);
    EXPECT_EQ(c.m_nMode, CQjCompressor::modeIdle);
}

TEST(QjCompressor, ShortStreamsStopWhereTheyCannotBeValid)
{
    std::string data = Random(50000, 10, 64);
    std::string packed = Compress(data);
    RecordingCompressor full;
    EXPECT_TRUE(Expand(packed, &full) == data);
    EXPECT_FALSE(full.StreamWasShort());

    // Cut short: the run stops soon after the end, not at the header's size.
    RecordingCompressor cut;
    std::string out = Expand(packed.substr(0, packed.size() / 2), &cut);
    EXPECT_TRUE(cut.StreamWasShort());
    EXPECT_GT(out.size(), 1000u);
    EXPECT_LT(out.size(), data.size() * 3 / 4);
    EXPECT_EQ(out.substr(0, 1000), data.substr(0, 1000));

    // Garbage of every kind, with sizes that end inside a match: never more
    // than the size, and less only when reported short.
    for (std::uint32_t seed = 0; seed < 40; ++seed) {
        std::uint32_t size = 1 + seed * 977 % 5000;
        RecordingCompressor q;
        std::size_t got = Expand(Header(size) + Random(seed * 13, seed), &q).size();
        EXPECT_LE(got, size);
        EXPECT_TRUE(got == size || q.StreamWasShort());
    }
    // A header alone, claiming 1 GiB: a few hundred bytes at most.
    RecordingCompressor bare;
    EXPECT_LE(Expand(Header(1u << 30), &bare).size(), 60u * 36u / 4u);
    EXPECT_TRUE(bare.StreamWasShort());
}

TEST(QjCompressor, ReadErrorsAndAnInputOfAnotherLengthFailTheRun)
{
    // Reads once, then fails; or claims a length it does not have.
    class Input : public CFile {
    public:
        Input(const std::string& path, int fail, std::int64_t lie) : CFile(path, modeRead), m_fail(fail), m_lie(lie) {}
        std::uint32_t Read(void* buffer, std::uint32_t count) override
        {
            if (m_fail && m_reads++ > 0)
                throw CFileException(CFileException::hardIO, 5, "in");
            return CFile::Read(buffer, count);
        }
        std::uint32_t GetLength() const override { return static_cast<std::uint32_t>(CFile::GetLength() + m_lie); }

    private:
        int m_fail, m_reads = 0;
        std::int64_t m_lie;
    };
    TempDir dir;
    std::string data = Random(300000, 8, 16);
    dir.Write("plain", data);
    dir.Write("packed", Compress(data));
    struct Case {
        const char* file;
        int compress, fail;
        std::int64_t lie;
        CQjCompressor::Result result;
    } cases[] = {
        {"plain", 1, 1, 0, CQjCompressor::resultReadFailed},
        {"packed", 0, 1, 0, CQjCompressor::resultReadFailed},
        {"plain", 1, 0, 1, CQjCompressor::resultInputChanged},
        {"plain", 1, 0, -1, CQjCompressor::resultInputChanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lie);
        RecordingCompressor q;
        Input in(dir.File(c.file), c.fail, c.lie);
        CFile out(dir.File("out"), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(q.ProcessStreams(in, out, c.compress), 0);
        EXPECT_EQ(q.GetLastResult(), c.result);
    }
}

TEST(QjCompressor, CodesDeeperThanSixteenBitsGoOutWhole)
{
    // Watches the model from the progress calls.
    class DepthWatcher : public RecordingCompressor {
    public:
        void OnProgress(const std::uint32_t* done, const std::uint32_t* total) override
        {
            RecordingCompressor::OnProgress(done, total);
            for (int s = 0; s < 314; ++s)
                deepest = std::max(deepest, CodeLength(s));
        }
        int deepest = 0;
    };
    // Match lengths 4 to 11 drawn with weights growing like Fibonacci
    // numbers make a tree whose rare symbols sit 17 and more levels down.
    // Literals come only from a random first block; each later block is the
    // one before cut into pieces of those lengths and shuffled, so every
    // piece is one match of its own length.
    std::mt19937 gen(11);
    std::string block = Random(2000, 12), data = block;
    const int weights[] = {400, 240, 140, 80, 46, 27, 16, 12};   // lengths 4..11
    const unsigned total = 961;
    auto length = [&] {
        unsigned x = gen() % total;
        std::size_t l = 4;
        for (int w : weights) {
            if (x < static_cast<unsigned>(w))
                break;
            x -= static_cast<unsigned>(w);
            ++l;
        }
        return l;
    };
    while (data.size() < 600000) {
        std::vector<std::string> pieces;
        for (std::size_t at = 0, l; at < block.size(); at += l) {
            l = length();
            if (block.size() - at < l + 4)
                l = block.size() - at;
            pieces.push_back(block.substr(at, l));
        }
        for (std::size_t i = pieces.size() - 1; i > 0; --i)
            std::swap(pieces[i], pieces[gen() % (i + 1)]);
        block.clear();
        for (const std::string& p : pieces)
            block += p;
        data += block;
        // Once the tree is deep, send rare match lengths with long codes.
        if (data.size() > 400000)
            data += data.substr(data.size() - 1500, 20 + data.size() % 40);
    }
    DepthWatcher c;
    std::string packed = Compress(data, &c);
    EXPECT_GT(c.deepest, 16);
    DepthWatcher e;
    EXPECT_TRUE(Expand(packed, &e) == data);
    EXPECT_GT(e.deepest, 16);
}

TEST(QjCompressor, RunsInSeparateObjectsDoNotShareState)
{
    std::string a = Random(400000, 13, 32), b = Random(300000, 14, 200);
    std::string packedA = Compress(a), packedB = Compress(b);
    std::string outA, outB, reA, reB;
    std::thread t1([&] { reA = Compress(a); outA = Expand(packedA); });
    std::thread t2([&] { reB = Compress(b); outB = Expand(packedB); });
    t1.join();
    t2.join();
    EXPECT_TRUE(reA == packedA);
    EXPECT_TRUE(reB == packedB);
    EXPECT_TRUE(outA == a);
    EXPECT_TRUE(outB == b);

    // Arrays kept between runs must not carry anything into the next one.
    RecordingCompressor kept;
    kept.m_bPerRunArrays = 0;
    for (const std::string& in : {a, std::string("abcabcabc"), std::string(7, 'z'), b}) {
        std::string packed = Compress(in, &kept);
        EXPECT_TRUE(packed == Compress(in));
        EXPECT_TRUE(Expand(packed, &kept) == in);
    }
}
