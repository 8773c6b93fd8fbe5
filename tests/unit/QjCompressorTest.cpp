#include "codec/QjCompressor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <vector>

#include "PackedTestUtil.h"

namespace {

// Records the errors, the progress calls with the mode seen in each, and
// the longest code of the model seen then.
class RecordingCompressor : public CQjCompressor {
public:
    struct Call { std::uint32_t done, total; int mode; };
    void OnError(int code) override { errors.push_back(code); }
    void OnProgress(const std::uint32_t* done, const std::uint32_t* total) override
    {
        calls.push_back({*done, *total, m_nMode});
        for (int s = 0; s < 314; ++s)
            deepest = std::max(deepest, CodeLength(s));
    }
    std::vector<int> errors;
    std::vector<Call> calls;
    int deepest = 0;
};

// One run from file to file: compress (1) or expand (0).
std::string Run(const std::string& in, int compress, CQjCompressor* with = nullptr)
{
    TempDir dir;
    RecordingCompressor own;
    EXPECT_EQ((with ? *with : own).ProcessFile(dir.Write("in", in), dir.File("out"), compress), 1);
    return TempDir::ReadAll(dir.File("out"));
}
std::string Compress(const std::string& data, CQjCompressor* with = nullptr) { return Run(data, 1, with); }
std::string Expand(const std::string& stream, CQjCompressor* with = nullptr) { return Run(stream, 0, with); }

std::string Header(std::uint32_t size) { return "QJ10" + packedtest::Le32(size); }

// A file that fails: writes (as on a full disk), reads after the first, or
// claims a length it does not have.
class FaultyFile : public CFile {
public:
    enum Fault { none, write, read };
    FaultyFile(const std::string& path, unsigned mode, Fault fault, std::int64_t lie = 0)
        : CFile(path, mode), m_fault(fault), m_lie(lie) {}
    std::uint32_t Read(void* buffer, std::uint32_t count) override
    {
        if (m_fault == read && calls++ > 0)
            throw CFileException(CFileException::hardIO, 5, "in");
        return CFile::Read(buffer, count);
    }
    void Write(const void* buffer, std::uint32_t count) override
    {
        if (m_fault != write)
            return CFile::Write(buffer, count);
        ++calls;
        throw CFileException(CFileException::diskFull, 28, "full");
    }
    std::uint32_t GetLength() const override { return static_cast<std::uint32_t>(CFile::GetLength() + m_lie); }
    int calls = 0;

private:
    Fault m_fault;
    std::int64_t m_lie;
};

} // namespace

using packedtest::Random;

TEST(QjCompressor, ExpandsAndWritesTheIndependentVectors)
{
    const std::string dir = SETUP_VECTORS_DIR "/";
    if (!std::filesystem::exists(dir + "gpl3.qj10"))
        GTEST_SKIP() << "codec vectors not found at " << dir;
    for (const char* name : {"gpl3", "zeros100k", "random64k"}) {
        SCOPED_TRACE(name);
        std::string plain = TempDir::ReadAll(dir + name + ".bin"), packed = TempDir::ReadAll(dir + name + ".qj10");
        ASSERT_FALSE(plain.empty());
        EXPECT_TRUE(Expand(packed) == plain);
        EXPECT_TRUE(Compress(plain) == packed);
    }
}

TEST(QjCompressor, RoundTrips)
{
    EXPECT_EQ(Compress(""), Header(0));
    // Around the 60-byte look-ahead and the 4096-byte ring, leading spaces
    // matching the ring's first contents, many rebuilds of the model.
    const std::string inputs[] = {
        "x", std::string(60, ' '), "   three spaces first, then the rest of the line", std::string(5000, ' ') + "end",
        Random(59, 1), Random(61, 2), Random(4096 + 77, 3, 4), Random(150000, 5, 44) + Random(150000, 6, 3),
    };
    for (const std::string& in : inputs) {
        SCOPED_TRACE(in.size());
        std::string packed = Compress(in);
        EXPECT_TRUE(Expand(packed) == in);
    }
    // 60 spaces match the ring's spaces: one symbol and a position, where a
    // literal alone would need one byte more.
    EXPECT_LE(Compress(std::string(60, ' ')).size(), 8u + 3u);
}

TEST(QjCompressor, RefusesWhatIsNoStreamOrCannotBeOpened)
{
    TempDir dir;
    const std::pair<std::string, CQjCompressor::Result> cases[] = {
        {"", CQjCompressor::resultBadSignature},     {"QJ1", CQjCompressor::resultBadSignature},
        {"QJ11\x05\0\0\0abc", CQjCompressor::resultBadSignature}, {"qj10\x05\0\0\0abc", CQjCompressor::resultBadSignature},
        {"QJ10", CQjCompressor::resultShortHeader}, {std::string("QJ10\x05\x00\x00", 7), CQjCompressor::resultShortHeader},
        {Header(0), CQjCompressor::resultDone},
    };
    for (const auto& [bytes, result] : cases) {
        SCOPED_TRACE(bytes.size());
        RecordingCompressor q;
        dir.Write("out", "old contents");
        EXPECT_EQ(q.ProcessFile(dir.Write("in", bytes), dir.File("out"), 0), 1);
        EXPECT_EQ(q.GetLastResult(), result);
        EXPECT_EQ(TempDir::ReadAll(dir.File("out")), "");
        EXPECT_TRUE(q.calls.empty());
        EXPECT_EQ(q.m_nMode, CQjCompressor::modeExpand);
    }
    // Files that cannot be opened give 0, and no output.
    RecordingCompressor q;
    for (int compress : {0, 1}) {
        EXPECT_EQ(q.ProcessFile(dir.File("missing"), dir.File("new"), compress), 0);
        EXPECT_EQ(q.GetLastResult(), CQjCompressor::resultNoInput);
        EXPECT_FALSE(std::filesystem::exists(dir.File("new")));
    }
    EXPECT_EQ(q.ProcessFile(dir.File("in"), dir.File("no-such-dir/out"), 1), 0);
    EXPECT_EQ(q.GetLastResult(), CQjCompressor::resultNoOutput);
    EXPECT_TRUE(q.errors.empty());
    // The input was closed again: it can be removed.
    EXPECT_TRUE(std::filesystem::remove(dir.File("in")));
}

TEST(QjCompressor, FileFaultsFailTheRun)
{
    TempDir dir;
    std::string data = Random(300000, 8, 16) + '\0';   // a byte beyond the length counts also when it is 0
    dir.Write("plain", data);
    dir.Write("packed", Compress(data));
    const struct {
        const char* file;
        int compress;
        FaultyFile::Fault in, out;
        std::int64_t lie;
        CQjCompressor::Result result;
    } cases[] = {
        {"plain", 1, FaultyFile::none, FaultyFile::write, 0, CQjCompressor::resultWriteFailed},
        {"packed", 0, FaultyFile::none, FaultyFile::write, 0, CQjCompressor::resultWriteFailed},
        {"plain", 1, FaultyFile::read, FaultyFile::none, 0, CQjCompressor::resultReadFailed},
        {"packed", 0, FaultyFile::read, FaultyFile::none, 0, CQjCompressor::resultReadFailed},
        {"plain", 1, FaultyFile::none, FaultyFile::none, 1, CQjCompressor::resultInputChanged},
        {"plain", 1, FaultyFile::none, FaultyFile::none, -1, CQjCompressor::resultInputChanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        RecordingCompressor q;
        FaultyFile in(dir.File(c.file), CFile::modeRead, c.in, c.lie);
        FaultyFile out(dir.File("out"), CFile::modeCreate | CFile::modeWrite, c.out);
        EXPECT_EQ(q.ProcessStreams(in, out, c.compress), 0);
        EXPECT_EQ(q.GetLastResult(), c.result);
        if (c.out == FaultyFile::write) {
            // Reported once, tried once, and no closing progress call.
            EXPECT_EQ(q.errors, std::vector<int>{1});
            EXPECT_EQ(out.calls, 1);
            for (const auto& call : q.calls)
                EXPECT_LT(call.done, call.total);
        }
    }
}

TEST(QjCompressor, ProgressFollowsTheStepRule)
{
    std::string data = Random(25000, 9, 8);
    RecordingCompressor c, e;
    ASSERT_TRUE(Expand(Compress(data, &c), &e) == data);
    // After the first symbol, on passing 10240 and 20480, at the end; each
    // symbol is at most 60 bytes, and compressing reads up to 60 ahead.
    for (RecordingCompressor* q : {&e, &c}) {
        ASSERT_EQ(q->calls.size(), 4u);
        for (std::uint32_t i = 0; i < 3; ++i) {
            EXPECT_GT(q->calls[i].done, 10240 * i);
            EXPECT_LE(q->calls[i].done, 10240 * i + 60 * (q == &c ? 2 : 1));
        }
        EXPECT_EQ(q->calls[3].done, 25000u);
        for (const auto& call : q->calls) {
            EXPECT_EQ(call.total, 25000u);
            EXPECT_EQ(call.mode, q == &c ? CQjCompressor::modeCompress : CQjCompressor::modeExpand);
        }
        EXPECT_EQ(q->m_nMode, CQjCompressor::modeIdle);
    }
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

TEST(QjCompressor, CodesDeeperThanSixteenBitsGoOutWhole)
{
    // Match lengths 4 to 11 with weights growing like Fibonacci numbers:
    // each block is the one before cut into pieces of those lengths and
    // shuffled, so every piece is one match of its own length.
    std::mt19937 gen(11);
    std::string block = Random(2000, 12), data = block;
    const unsigned weights[] = {400, 240, 140, 80, 46, 27, 16, 12};   // lengths 4..11, 961 in all
    auto length = [&] {
        std::size_t l = 4;
        for (unsigned x = gen() % 961, k = 0; x >= weights[k]; x -= weights[k++])
            ++l;
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
    RecordingCompressor c, e;
    EXPECT_TRUE(Expand(Compress(data, &c), &e) == data);
    EXPECT_GT(c.deepest, 16);
    EXPECT_GT(e.deepest, 16);
}

TEST(QjCompressor, ArraysKeptBetweenRunsCarryNothingOver)
{
    std::string a = Random(200000, 13, 32), b = Random(150000, 14, 200);
    // Arrays kept between runs must not carry anything into the next one.
    RecordingCompressor kept;
    kept.m_bPerRunArrays = 0;
    for (const std::string& in : {a, std::string("abcabcabc"), std::string(7, 'z'), b}) {
        std::string packed = Compress(in, &kept);
        EXPECT_TRUE(packed == Compress(in));
        EXPECT_TRUE(Expand(packed, &kept) == in);
    }
}
