#pragma once
// Helpers for the packed file tests: coding through real files, as the
// archive tools do.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "install/ArchiveWriter.h"
#include "install/packed/PackedFile.h"

namespace packedtest {

using Bytes = std::string;

inline Bytes Le32(std::uint32_t v)
{
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
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
    for (std::size_t at = 0; at < data.size(); at += piece)
        file->WritePacked(data.data() + at, static_cast<std::uint32_t>(std::min(piece, data.size() - at)));
    file->Close();
    Bytes all = TempDir::ReadAll(path);
    return all.size() >= 16 ? all.substr(16) : "short file";
}

// What our decoder makes of body as a one-member file when asked for want
// bytes, in reads of at most piece bytes; stops at the first short read.
// finished: all came and the end code followed.
inline Bytes Decode(int kind, const Bytes& body, std::uint32_t want, std::size_t piece = SIZE_MAX,
                    bool* finished = nullptr)
{
    TempDir dir;
    std::string path = dir.Write("member.pak", Bytes(CPackedFile::TagOf(kind), 8) + Le32(want) +
                                                   Le32(static_cast<std::uint32_t>(body.size())) + body);
    auto file = CreatePackedFile(path, -1);
    if (file->GetKind() != kind || !file->Open(path, CFile::modeRead))
        return "open failed";
    Bytes out(want, '\0');
    for (std::uint32_t got = 0, n = 0; got < want; got += n) {
        n = static_cast<std::uint32_t>(std::min<std::size_t>(piece, want - got));
        if (std::uint32_t k = file->Read(out.data() + got, n); k < n) {
            out.resize(got + k);
            break;
        }
    }
    if (finished)
        *finished = out.size() == want && file->FinishMember();
    return out;
}

// An archive of (name, data) members, as our writer makes it.
inline void MakeArchive(const std::string& path, int kind, const std::vector<std::pair<std::string, Bytes>>& members)
{
    CArchiveWriter writer(path, kind);
    for (const auto& [name, data] : members)
        writer.AddMember(name, data.data(), static_cast<std::uint32_t>(data.size()));
    writer.Finish();
}

// Deterministic test data: bytes below alphabet, or words.
inline Bytes Random(std::size_t size, std::uint32_t seed, unsigned alphabet = 256)
{
    Bytes out(size, '\0');
    for (auto& c : out)
        c = static_cast<char>(((seed = seed * 1664525u + 1013904223u) >> 24) % alphabet);
    return out;
}

inline Bytes Text(std::size_t size, std::uint32_t seed = 7)
{
    static const char* const words[] = {"setup", "the", "archive", "member", "window", "tree",
                                        "of", "and", "a", "destination", "\r\n", "files"};
    Bytes out;
    while (out.size() < size)
        out += words[((seed = seed * 1103515245u + 12345u) >> 16) % 12] + Bytes(" ");
    out.resize(size);
    return out;
}

} // namespace packedtest
