#pragma once
// The packed file classes read real files: each input is written to one
// scratch file per fuzzing process first.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

inline std::string FuzzScratchFile(const std::uint8_t* data, std::size_t size, const std::string& prefix = {})
{
    static const std::string path = "/tmp/qjsetup-fuzz-" + std::to_string(::getpid()) + ".bin";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return path;
    std::fwrite(prefix.data(), 1, prefix.size(), f);
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}
