#pragma once
// Helpers for the packed file tests: coding through real files, as the
// archive tools do.

#include <cstdint>
#include <string>
#include <vector>

#include "TempDir.h"
#include "install/packed/PackedFile.h"

namespace packedtest {

using Bytes = std::string;

inline Bytes Le32(std::uint32_t v)
{
    Bytes out;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(v >> (8 * i)));
    return out;
}

// A one-member file of kind holding body as its coded data.
inline std::string WriteMemberFile(const TempDir& dir, const std::string& name, int kind, const Bytes& body,
                                   std::uint32_t unpacked)
{
    return dir.Write(name, Bytes(CPackedFile::TagOf(kind), 8) + Le32(unpacked) +
                               Le32(static_cast<std::uint32_t>(body.size())) + body);
}

// The coded data our encoder writes for data, given in pieces of at most
// piece bytes.
inline Bytes Encode(int kind, const Bytes& data, std::size_t piece = SIZE_MAX)
{
    TempDir dir;
    std::string path = dir.File("member.pak");
    auto file = CreatePackedFile(std::string(), kind);
    if (!file->Open(path, CFile::modeCreate | CFile::modeWrite))
        return "open failed";
    for (std::size_t at = 0; at < data.size(); at += piece) {
        std::size_t n = std::min(piece, data.size() - at);
        file->WritePacked(data.data() + at, static_cast<std::uint32_t>(n));
    }
    file->Close();
    Bytes all = TempDir::ReadAll(path);
    return all.size() >= 16 ? all.substr(16) : "short file";
}

// What our decoder makes of body when asked for want bytes, in reads of at
// most piece bytes; stops at the first short read.
inline Bytes Decode(int kind, const Bytes& body, std::uint32_t want, std::size_t piece = SIZE_MAX,
                    bool* finished = nullptr)
{
    TempDir dir;
    std::string path = WriteMemberFile(dir, "member.pak", kind, body, want);
    auto file = CreatePackedFile(path, -1);
    if (file->GetKind() != kind || !file->Open(path, CFile::modeRead))
        return "open failed";
    Bytes out(want, '\0');
    std::uint32_t got = 0;
    while (got < want) {
        auto n = static_cast<std::uint32_t>(std::min<std::size_t>(piece, want - got));
        std::uint32_t k = file->Read(out.data() + got, n);
        got += k;
        if (k < n)
            break;
    }
    out.resize(got);
    if (finished)
        *finished = got == want && file->FinishMember();
    return out;
}

inline Bytes Hex(const Bytes& b)
{
    static const char digits[] = "0123456789ABCDEF";
    Bytes out;
    for (unsigned char c : b) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Deterministic test data.
inline Bytes Random(std::size_t size, std::uint32_t seed)
{
    Bytes out(size, '\0');
    for (auto& c : out) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return out;
}

inline Bytes Text(std::size_t size, std::uint32_t seed = 7)
{
    static const char* const words[] = {"setup", "the", "archive", "member", "window", "tree",
                                        "of", "and", "a", "destination", "\r\n", "files"};
    Bytes out;
    while (out.size() < size) {
        seed = seed * 1103515245u + 12345u;
        out += words[(seed >> 16) % 12];
        out += ' ';
    }
    out.resize(size);
    return out;
}

} // namespace packedtest
