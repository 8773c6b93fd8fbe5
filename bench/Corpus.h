#pragma once
// The fixed corpus the codec benchmarks run on: made here, the same bytes on
// every run, plus the start of a real executable when the machine has one.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace corpus {

// English-like text from a fixed word list and a fixed generator.
inline std::vector<std::uint8_t> Text(std::size_t size)
{
    static const char* const words[] = {
        "the", "setup", "program", "installs", "files", "into", "a", "directory", "of", "your", "choice",
        "and", "creates", "program", "group", "with", "its", "items", "license", "agreement", "windows",
        "system", "destination", "archive", "member", "copy", "delete", "entry", "section", "key", "value"};
    std::vector<std::uint8_t> out;
    std::uint32_t state = 12345;
    while (out.size() < size) {
        state = state * 1103515245u + 12345u;
        const char* w = words[(state >> 16) % (sizeof words / sizeof words[0])];
        for (const char* p = w; *p && out.size() < size; ++p)
            out.push_back(static_cast<std::uint8_t>(*p));
        if (out.size() < size)
            out.push_back((state >> 8) % 11 == 0 ? '\n' : ' ');
    }
    return out;
}

// Machine-code-like bytes: structured, partly repetitive, partly random.
inline std::vector<std::uint8_t> Binary(std::size_t size)
{
    std::vector<std::uint8_t> out;
    std::uint32_t state = 987654321;
    while (out.size() < size) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        switch (state % 4) {
        case 0: out.push_back(0); break;
        case 1: out.push_back(static_cast<std::uint8_t>(state >> 24)); break;
        case 2: out.push_back(static_cast<std::uint8_t>(0x80 | (state >> 28))); break;
        default:
            // A repeat of something recent.
            if (out.size() > 64) {
                std::size_t back = 1 + (state >> 8) % 64, len = 3 + (state >> 16) % 12;
                for (std::size_t i = 0; i < len && out.size() < size; ++i)
                    out.push_back(out[out.size() - back]);
            }
            break;
        }
    }
    return out;
}

// Long runs of a few byte values.
inline std::vector<std::uint8_t> Runs(std::size_t size)
{
    std::vector<std::uint8_t> out;
    std::uint32_t state = 42;
    while (out.size() < size) {
        state = state * 1664525u + 1013904223u;
        std::size_t len = 1 + (state >> 20) % 300;
        std::uint8_t value = static_cast<std::uint8_t>("\0\xff AZ"[(state >> 8) % 5]);
        for (std::size_t i = 0; i < len && out.size() < size; ++i)
            out.push_back(value);
    }
    return out;
}

// The first bytes of a real executable, or empty when none is found.
inline std::vector<std::uint8_t> Executable(std::size_t size)
{
    for (const char* path : {"/usr/bin/bash", "/bin/bash", "/usr/bin/ls"}) {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            continue;
        std::vector<std::uint8_t> out(size);
        in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size));
        out.resize(static_cast<std::size_t>(in.gcount()));
        return out;
    }
    return {};
}

} // namespace corpus
