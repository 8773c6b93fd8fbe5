// Throughput of the QJ10 compressor, both ways, on the fixed corpus: whole
// files compressed and expanded through ProcessFile, as setuptool and the
// script loader do.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/Corpus.h"
#include "codec/QjCompressor.h"

namespace {

constexpr std::size_t kSize = 200 * 1024;

const std::vector<std::uint8_t>& Input(int which)
{
    static const std::vector<std::uint8_t> inputs[] = {
        corpus::Text(kSize), corpus::Binary(kSize), corpus::Runs(kSize), corpus::Executable(kSize)};
    return inputs[which];
}

const char* const kInputNames[] = {"text", "binary", "runs", "executable"};

std::string Scratch(int which, const char* ext)
{
    return (std::filesystem::temp_directory_path() / ("qjsetup-bench-qj10-" + std::to_string(which) + ext)).string();
}

std::string WritePlain(int which)
{
    const auto& data = Input(which);
    std::string path = Scratch(which, ".bin");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                static_cast<std::streamsize>(data.size()));
    return path;
}

void Compress(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    if (Input(which).empty()) {
        state.SkipWithError("no executable found for the corpus");
        return;
    }
    const std::string plain = WritePlain(which), packed = Scratch(which, ".qj10");
    CQjCompressor codec;
    for (auto _ : state) {
        if (codec.ProcessFile(plain, packed, 1) != 1) {
            state.SkipWithError("compress failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Input(which).size()));
    state.counters["ratio%"] = 100.0 * static_cast<double>(std::filesystem::file_size(packed)) /
                               static_cast<double>(Input(which).size());
    state.SetLabel(std::string("qj10 ") + kInputNames[which]);
    std::filesystem::remove(plain);
    std::filesystem::remove(packed);
}

void Expand(benchmark::State& state)
{
    const int which = static_cast<int>(state.range(0));
    const auto& data = Input(which);
    if (data.empty()) {
        state.SkipWithError("no executable found for the corpus");
        return;
    }
    const std::string plain = WritePlain(which), packed = Scratch(which, ".qj10"), out = Scratch(which, ".out");
    CQjCompressor codec;
    codec.ProcessFile(plain, packed, 1);
    for (auto _ : state) {
        if (codec.ProcessFile(packed, out, 0) != 1) {
            state.SkipWithError("expand failed");
            break;
        }
    }
    std::ifstream check(out, std::ios::binary);
    std::vector<std::uint8_t> back((std::istreambuf_iterator<char>(check)), std::istreambuf_iterator<char>());
    if (back != data)
        state.SkipWithError("expanded data differs");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
    state.counters["ratio%"] = 100.0 * static_cast<double>(std::filesystem::file_size(packed)) /
                               static_cast<double>(data.size());
    state.SetLabel(std::string("qj10 ") + kInputNames[which]);
    std::filesystem::remove(plain);
    std::filesystem::remove(packed);
    std::filesystem::remove(out);
}

} // namespace

BENCHMARK(Compress)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(Expand)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
