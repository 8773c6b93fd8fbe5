// Throughput of the packed file codecs, both ways, on the fixed corpus:
// whole members written to and read from a real file, as setuptool and the
// archive phase do.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/Corpus.h"
#include "install/packed/PackedFile.h"

namespace {

constexpr std::size_t kSize = 200 * 1024;

const std::vector<std::uint8_t>& Input(int which)
{
    static const std::vector<std::uint8_t> inputs[] = {
        corpus::Text(kSize), corpus::Binary(kSize), corpus::Runs(kSize), corpus::Executable(kSize)};
    return inputs[which];
}

const char* const kInputNames[] = {"text", "binary", "runs", "executable"};
const char* const kCodecNames[] = {"huff", "lzss", "lzw"};

std::string ScratchPath(int codec, int which)
{
    return (std::filesystem::temp_directory_path() /
            ("qjsetup-bench-" + std::to_string(codec) + "-" + std::to_string(which) + ".pak"))
        .string();
}

std::uint32_t WriteMember(int codec, const std::vector<std::uint8_t>& data, const std::string& path)
{
    std::unique_ptr<CPackedFile> file = CreatePackedFile(std::string(), codec);
    file->Open(path, CFile::modeCreate | CFile::modeWrite);
    file->WritePacked(data.data(), static_cast<std::uint32_t>(data.size()));
    file->Close();
    return file->GetPackedSize();
}

void Encode(benchmark::State& state)
{
    const int codec = static_cast<int>(state.range(0)), which = static_cast<int>(state.range(1));
    const auto& data = Input(which);
    if (data.empty()) {
        state.SkipWithError("no executable found for the corpus");
        return;
    }
    const std::string path = ScratchPath(codec, which);
    std::uint32_t packed = 0;
    for (auto _ : state)
        packed = WriteMember(codec, data, path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
    state.counters["ratio%"] = 100.0 * packed / static_cast<double>(data.size());
    state.SetLabel(std::string(kCodecNames[codec]) + " " + kInputNames[which]);
    std::filesystem::remove(path);
}

void Decode(benchmark::State& state)
{
    const int codec = static_cast<int>(state.range(0)), which = static_cast<int>(state.range(1));
    const auto& data = Input(which);
    if (data.empty()) {
        state.SkipWithError("no executable found for the corpus");
        return;
    }
    const std::string path = ScratchPath(codec, which);
    const std::uint32_t packed = WriteMember(codec, data, path);
    std::vector<std::uint8_t> out(data.size());
    for (auto _ : state) {
        std::unique_ptr<CPackedFile> file = CreatePackedFile(path, -1);
        file->Open(path, CFile::modeRead);
        if (file->Read(out.data(), static_cast<std::uint32_t>(out.size())) != out.size() || out != data) {
            state.SkipWithError("decoded data differs");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
    state.counters["ratio%"] = 100.0 * packed / static_cast<double>(data.size());
    state.SetLabel(std::string(kCodecNames[codec]) + " " + kInputNames[which]);
    std::filesystem::remove(path);
}

} // namespace

BENCHMARK(Encode)->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3}})->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3}})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
