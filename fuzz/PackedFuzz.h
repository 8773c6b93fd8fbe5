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

#include <memory>
#include <vector>

#include "install/packed/PackedFile.h"

// One decoder on any coded bytes. Input: the count to ask for (2 bytes),
// the size of each read (1 byte), then the member's coded data.
inline int FuzzDecoder(int kind, const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::uint32_t want = (data[0] | data[1] << 8) * 4u;
    const std::uint32_t piece = data[2] ? data[2] * 97u : want;
    data += 3;
    size -= 3;
    std::string header(CPackedFile::TagOf(kind), 8);
    for (std::uint32_t v : {want, static_cast<std::uint32_t>(size)})
        for (int i = 0; i < 4; ++i)
            header.push_back(static_cast<char>(v >> (8 * i)));
    const std::string path = FuzzScratchFile(data, size, header);
    std::unique_ptr<CPackedFile> file = CreatePackedFile(path, -1);
    if (!file->Open(path, CFile::modeRead))
        return 0;
    std::uint32_t got = 0;
    while (got < want) {
        const std::uint32_t n = piece < want - got ? piece : want - got;
        // Exactly the size asked for, so the sanitizer sees any overrun.
        std::vector<std::uint8_t> out(n);
        const std::uint32_t k = file->Read(out.data(), n);
        if (k > n)
            __builtin_trap();
        got += k;
        if (k < n)
            break;
    }
    file->FinishMember();
    return 0;
}
