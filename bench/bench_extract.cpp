// Extraction of whole archives through the same core Setup.exe and
// setuptool extract use (check, stage, commit), side by side with the
// check-then-extract approach it replaced (kept here only to compare),
// decoding alone, and cp -r of the same tree: many small files and a few
// large ones, each codec.
//
//   build/native/bench/bench_extract --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/Corpus.h"
#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/ArchivePhase.h"
#include "install/ArchiveWriter.h"
#include "install/DirectoryUtil.h"
#include "install/packed/PackedFile.h"

namespace fs = std::filesystem;

namespace {

struct Tree {
    std::string name;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    std::uint64_t bytes = 0;
};

Tree SmallFiles()
{
    Tree t;
    t.name = "2000 small files";
    std::vector<std::uint8_t> text = corpus::Text(2000 * 3000);
    std::vector<std::uint8_t> bin = corpus::Binary(2000 * 3000);
    for (int i = 0; i < 2000; ++i) {
        const auto& src = (i % 2) ? bin : text;
        std::size_t size = 500 + (i * 7919) % 5000;
        std::size_t at = (static_cast<std::size_t>(i) * 2999) % (src.size() - size);
        t.files.push_back({"dir" + std::to_string(i % 20) + "\\file" + std::to_string(i) + ".dat",
                           std::vector<std::uint8_t>(src.begin() + at, src.begin() + at + size)});
        t.bytes += size;
    }
    return t;
}

Tree LargeFiles()
{
    Tree t;
    t.name = "4 large files";
    t.files.push_back({"text.txt", corpus::Text(12 << 20)});
    t.files.push_back({"binary.bin", corpus::Binary(12 << 20)});
    t.files.push_back({"runs.dat", corpus::Runs(12 << 20)});
    std::vector<std::uint8_t> exe = corpus::Executable(4 << 20);
    t.files.push_back({"program.exe", exe.empty() ? corpus::Binary(4 << 20) : exe});
    for (const auto& f : t.files)
        t.bytes += f.second.size();
    return t;
}

void WriteTree(const Tree& t, const fs::path& root)
{
    for (const auto& [name, data] : t.files) {
        std::string native = name;
        for (char& c : native)
            if (c == '\\')
                c = '/';
        fs::path p = root / native;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                 static_cast<std::streamsize>(data.size()));
    }
}

const fs::path& Work()
{
    static const fs::path work = [] {
        fs::path p = fs::temp_directory_path() / ("qjsetup-bench-extract-" + std::to_string(::getpid()));
        fs::create_directories(p);
        std::atexit([] { std::error_code ignored; fs::remove_all(Work(), ignored); });
        return p;
    }();
    return work;
}

const Tree& TreeOf(int which)
{
    static const Tree trees[] = {SmallFiles(), LargeFiles()};
    return trees[which];
}

const int kKinds[] = {CPackedFile::kindHuffman, CPackedFile::kindLzss, CPackedFile::kindLzw};
const char* const kKindNames[] = {"huff", "lzss", "lzw"};

// The archive of a tree in a codec, written once.
const std::string& ArchiveOf(int which, int codec)
{
    static std::map<std::pair<int, int>, std::string> made;
    auto found = made.find({which, codec});
    if (found != made.end())
        return found->second;
    std::string path = (Work() / ("Setup." + std::to_string(which) + kKindNames[codec])).string();
    CArchiveWriter writer(path, kKinds[codec]);
    for (const auto& [name, data] : TreeOf(which).files)
        writer.AddMember(name, data.data(), static_cast<std::uint32_t>(data.size()));
    writer.Finish();
    return made[{which, codec}] = path;
}

// The approach before staging: every member decoded once to check the
// archive, then decoded again whole into a buffer of its size and written.
bool CheckThenExtract(const std::string& archive, const std::string& destination)
{
    CArchiveDirectory directory;
    if (!directory.Read(archive) || !directory.Verify())
        return false;
    std::unique_ptr<CPackedFile> packed = CreatePackedFile(archive, CPackedFile::kindLzw);
    packed->Open(archive, CFile::modeRead | CFile::shareDenyNone);
    std::vector<std::uint8_t> buffer;
    std::string made;
    for (std::size_t i = 0; i < directory.GetMembers().size(); ++i) {
        packed->SelectMember(static_cast<std::uint32_t>(i), 0);
        const std::string target = destination + directory.GetMembers()[i].strName;
        const std::string folder = target.substr(0, target.find_last_of("\\/"));
        if (folder != made) {
            if (!DirectoryExists(folder))
                CreateDirectoryPath(folder);
            made = folder;
        }
        buffer.resize(packed->GetUnpackedSize());
        packed->Read(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
        CFile out(NativePath(target), CFile::modeCreate | CFile::modeWrite);
        out.Write(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
        out.Close();
    }
    return true;
}

enum Way { kStaged, kCheckThenExtract, kDecodeOnly, kCopy };

// One extraction of the archive (or copy of the source tree) into out.
bool Extract(Way way, const std::string& archive, const fs::path& source, const fs::path& out)
{
    std::string message;
    CArchiveDirectory directory;
    switch (way) {
    case kStaged:
        return CArchivePhase().Run({{"Setup.aqj", archive, out.string() + "/"}}, nullptr, message);
    case kCheckThenExtract:
        return CheckThenExtract(archive, out.string() + "/");
    case kDecodeOnly:
        return directory.Read(archive) && directory.Verify();
    case kCopy:
        return std::system(("cp -r '" + source.string() + "' '" + out.string() + "'").c_str()) == 0;
    }
    return false;
}

void BM_Extract(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    const int codec = static_cast<int>(state.range(1));
    const auto way = static_cast<Way>(state.range(2));
    const Tree& tree = TreeOf(which);
    const std::string archive = way == kCopy ? std::string() : ArchiveOf(which, codec);
    const fs::path source = Work() / ("source" + std::to_string(which));
    if (way == kCopy && !fs::exists(source))
        WriteTree(tree, source);
    const fs::path out = Work() / "out";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(out);
        state.ResumeTiming();
        if (!Extract(way, archive, source, out))
            state.SkipWithError("extraction failed");
    }
    fs::remove_all(out);
    static const char* const ways[] = {"staged", "check-then-extract", "decode only", "cp -r"};
    state.SetLabel(tree.name + ", " + (way == kCopy ? "" : std::string(kKindNames[codec]) + " ") + ways[way]);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * tree.bytes));
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(tree.files.size()),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

// Staged extraction, check-then-extract and decoding alone taken in turns,
// so that all meet the same load on the machine: the ratios are what the
// side-by-side figures above only give when it stays quiet through the run.
void BM_StagedSpeedup(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    const std::string& archive = ArchiveOf(which, 1);
    const fs::path out = Work() / "out";
    double ms[3] = {};
    for (auto _ : state) {
        for (Way way : {kStaged, kCheckThenExtract, kDecodeOnly}) {
            fs::remove_all(out);
            const auto start = std::chrono::steady_clock::now();
            const bool ok = Extract(way, archive, fs::path(), out);
            ms[way] += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (!ok)
                state.SkipWithError("extraction failed");
        }
    }
    fs::remove_all(out);
    const auto n = static_cast<double>(state.iterations());
    state.SetLabel(TreeOf(which).name + ", lzss");
    state.counters["staged ms"] = ms[kStaged] / n;
    state.counters["check-then ms"] = ms[kCheckThenExtract] / n;
    state.counters["decode ms"] = ms[kDecodeOnly] / n;
    state.counters["check-then/staged"] = ms[kCheckThenExtract] / ms[kStaged];
    state.counters["staged/decode"] = ms[kStaged] / ms[kDecodeOnly];
}

void Arguments(benchmark::internal::Benchmark* b)
{
    for (int which : {0, 1}) {
        for (int codec : {0, 1, 2})
            for (int way : {kStaged, kCheckThenExtract, kDecodeOnly})
                b->Args({which, codec, way});
        b->Args({which, 0, kCopy});
    }
}

} // namespace

BENCHMARK(BM_Extract)->Apply(Arguments)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_StagedSpeedup)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_MAIN();
