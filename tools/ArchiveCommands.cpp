// setuptool's archive commands: pack, list, test and extract.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/ArchivePhase.h"
#include "install/ArchiveWriter.h"
#include "install/packed/PackedFile.h"
#include "tools/Command.h"
#include "tools/Progress.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kChunk = 1 << 16;

struct Method {
    const char* name;
    int kind;
};
const Method kMethods[] = {{"huff", CPackedFile::kindHuffman},
                           {"lzss", CPackedFile::kindLzss},
                           {"lzw", CPackedFile::kindLzw},
                           {"store", CPackedFile::kindStored}};

const char* MethodName(int kind)
{
    for (const Method& m : kMethods) {
        if (m.kind == kind)
            return m.name;
    }
    return "store";
}

std::string FileErrorText(const CFileException& e)
{
    std::string text;
    e.GetErrorMessage(text);
    return text;
}

struct TooLarge {};

// One file to pack: where it is read from and the name it gets.
struct Input {
    std::string source;
    std::string name;
};

std::string BackslashName(std::string name)
{
    std::replace(name.begin(), name.end(), '/', '\\');
    while (name.size() > 2 && name.compare(0, 2, ".\\") == 0)
        name.erase(0, 2);
    return name;
}

// Every regular file below dir, each directory's entries in sorted order.
void WalkSorted(const fs::path& dir, const std::string& prefix, std::vector<Input>& out)
{
    std::vector<fs::directory_entry> entries;
    for (const fs::directory_entry& e : fs::directory_iterator(dir))
        entries.push_back(e);
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) {
                  return a.path().filename().string() < b.path().filename().string();
              });
    for (const fs::directory_entry& e : entries) {
        std::string name = prefix + e.path().filename().string();
        if (e.is_directory())
            WalkSorted(e.path(), name + "\\", out);
        else if (e.is_regular_file())
            out.push_back({e.path().string(), name});
    }
}

int RunPack(const std::vector<std::string>& args)
{
    std::string archive;
    int kind = -2;
    fs::path base;
    std::vector<Input> inputs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-m" || a == "-C") {
            if (i + 1 >= args.size())
                return ToolError("pack: " + a + " needs a value");
            const std::string& value = args[++i];
            if (a == "-C") {
                base = base / value;
                if (!fs::is_directory(base))
                    return ToolError("pack: -C " + base.string() + ": no such directory");
                continue;
            }
            kind = -2;
            for (const Method& m : kMethods) {
                if (value == m.name)
                    kind = m.kind;
            }
            if (kind == -2)
                return ToolError("pack: unknown method \"" + value + "\" (huff, lzss, lzw or store)");
            continue;
        }
        if (archive.empty()) {
            archive = a;
            continue;
        }
        const fs::path source = base / a;
        std::error_code ec;
        if (fs::is_directory(source, ec)) {
            WalkSorted(source, std::string(), inputs);
        } else if (fs::is_regular_file(source, ec)) {
            inputs.push_back({source.string(), BackslashName(a)});
        } else {
            return ToolError("pack: " + source.string() + ": no such file or directory");
        }
    }
    if (archive.empty())
        return ToolError("pack: no archive named (setuptool pack --help)");
    if (kind == -2)
        return ToolError("pack: no method given: -m huff, lzss, lzw or store");

    // An archive being replaced must not pack itself.
    std::error_code ec;
    std::erase_if(inputs, [&](const Input& in) { return fs::equivalent(in.source, archive, ec); });
    std::uint64_t total = 0;
    // The archive's layout without coding: its size when stored.
    std::uint64_t stored = 8 + 4 + 4;
    std::vector<std::string> names;
    for (const Input& in : inputs) {
        std::string reason;
        if (!CArchiveDirectory::CheckName(in.name, reason))
            return ToolError("pack: " + in.name + ": " + reason);
        names.push_back(in.name);
        std::uint64_t size = fs::file_size(in.source);
        total += size;
        stored += 8 + size + 4 + in.name.size();
    }
    std::string conflict;
    if (!CArchiveDirectory::CheckNameSet(names, conflict))
        return ToolError("pack: " + conflict);
    if (kind == CPackedFile::kindStored && stored > 0xFFFFFFFFu)
        return ToolError("pack: " + archive + " would be " + std::to_string(stored) +
                         " bytes, more than the 4294967295 an archive can hold");

    ToolProgress progress("packing", total);
    try {
        CArchiveWriter writer(archive, kind);
        std::unique_ptr<char[]> buffer(new char[kChunk]);
        std::uint64_t done = 0;
        for (const Input& in : inputs) {
            CFile file;
            CFileException error;
            if (!file.Open(in.source, CFile::modeRead | CFile::shareDenyNone, &error))
                throw error;
            writer.BeginMember(in.name);
            for (;;) {
                std::uint32_t n = file.Read(buffer.get(), kChunk);
                if (n == 0)
                    break;
                writer.Write(buffer.get(), n);
                done += n;
                progress.Update(done);
            }
            writer.EndMember();
            // Offsets are 32-bit: coded members that grew past the limit
            // end the archive here.
            if (writer.GetMembersSize() + 8 + 4 > 0xFFFFFFFFu)
                throw TooLarge();
        }
        writer.Finish();
    } catch (const CFileException& e) {
        progress.Finish();
        std::error_code ignored;
        fs::remove(archive, ignored);
        return ToolError("pack: " + FileErrorText(e));
    } catch (const TooLarge&) {
        progress.Finish();
        std::error_code ignored;
        fs::remove(archive, ignored);
        return ToolError("pack: " + archive + ": the coded members pass 4294967295 bytes, the most an archive can hold");
    }
    return 0;
}

// Reads the directory; with full, decodes every member too.
bool Check(const std::string& command, const std::string& path, CArchiveDirectory& reader, bool full)
{
    if (!reader.Read(path)) {
        ToolError(command + ": " + path + ": " + reader.GetError());
        return false;
    }
    if (!full)
        return true;
    ToolProgress progress("checking", reader.GetTotalSize());
    if (!reader.Verify([&](std::uint64_t done) { progress.Update(done); })) {
        progress.Finish();
        ToolError(command + ": " + path + ": " + reader.GetError());
        return false;
    }
    return true;
}

int RunList(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return ToolError("list: give one archive (setuptool list --help)");
    CArchiveDirectory reader;
    if (!Check("list", args[0], reader, false))
        return 1;
    std::printf("%s: %s, %zu member%s\n", args[0].c_str(), MethodName(reader.GetKind()), reader.GetMembers().size(),
                reader.GetMembers().size() == 1 ? "" : "s");
    std::printf("%12s %12s %7s  %s\n", "size", "packed", "ratio", "name");
    std::uint64_t size = 0, packed = 0;
    auto ratio = [](std::uint64_t p, std::uint64_t s) { return s ? 100.0 * static_cast<double>(p) / static_cast<double>(s) : 0.0; };
    for (const CArchiveMember& m : reader.GetMembers()) {
        std::printf("%12u %12u %6.1f%%  %s\n", m.nUnpackedSize, m.nPackedSize, ratio(m.nPackedSize, m.nUnpackedSize),
                    m.strName.c_str());
        size += m.nUnpackedSize;
        packed += m.nPackedSize;
    }
    std::printf("%12llu %12llu %6.1f%%  (total)\n", static_cast<unsigned long long>(size),
                static_cast<unsigned long long>(packed), ratio(packed, size));
    return 0;
}

int RunTest(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return ToolError("test: give one archive (setuptool test --help)");
    CArchiveDirectory reader;
    if (!Check("test", args[0], reader, true))
        return 1;
    std::printf("%s: OK, %zu members, %llu bytes\n", args[0].c_str(), reader.GetMembers().size(),
                static_cast<unsigned long long>(reader.GetTotalSize()));
    return 0;
}

int RunExtract(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return ToolError("extract: give an archive and a directory (setuptool extract --help)");
    // The same transaction Setup.exe runs: a bad archive or a failed write
    // leaves the directory as it was.
    std::string dest = args[1];
    if (!dest.empty() && dest.back() != '/' && dest.back() != '\\')
        dest += '/';
    CArchivePhase phase;
    ToolProgress progress("extracting", 1000);
    phase.onBytes = [&](std::uint64_t done, std::uint64_t total) { progress.Update(total ? done * 1000 / total : 0); };
    std::string message;
    try {
        if (!phase.Run({{args[0], args[0], dest}}, nullptr, message)) {
            progress.Finish();
            return ToolError("extract: " + message);
        }
    } catch (const CFileException& e) {
        progress.Finish();
        return ToolError("extract: " + FileErrorText(e));
    }
    progress.Finish();
    return 0;
}

const bool registered = RegisterToolCommand({"pack", "make an archive from files and directories",
                                             "usage: setuptool pack ARCHIVE -m huff|lzss|lzw|store [-C DIR] FILES-or-DIRS...\n"
                                             "\n"
                                             "Makes ARCHIVE with one member per file, every member coded with the\n"
                                             "method given by -m. -C DIR changes into DIR (relative to any earlier -C)\n"
                                             "for the arguments after it. A file is stored under its path as given,\n"
                                             "with backslashes; a directory adds every file below it, in sorted\n"
                                             "order, named by its path relative to that directory.\n",
                                             RunPack}) &&
                        RegisterToolCommand({"list", "show an archive's members, sizes and ratios",
                                             "usage: setuptool list ARCHIVE\n"
                                             "\n"
                                             "Checks the archive's structure and names, then prints each member's\n"
                                             "size, packed size, packed size as a share of its size, and name.\n",
                                             RunList}) &&
                        RegisterToolCommand({"test", "check an archive and decode every member",
                                             "usage: setuptool test ARCHIVE\n"
                                             "\n"
                                             "Checks the structure and names, then decodes every member: each must\n"
                                             "give exactly its size and then its end-of-stream code within its\n"
                                             "packed size. Exits with 1 and one line naming the member if not.\n",
                                             RunTest}) &&
                        RegisterToolCommand({"extract", "check an archive, then write its members below a directory",
                                             "usage: setuptool extract ARCHIVE DIR\n"
                                             "\n"
                                             "Tests the archive first (see setuptool test --help), so a bad archive\n"
                                             "writes nothing, then writes every member to DIR, making the\n"
                                             "directories its name holds. Existing files are replaced.\n",
                                             RunExtract});

} // namespace
