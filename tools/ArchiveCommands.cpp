// setuptool's archive commands: pack, list, test and extract.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/ArchivePhase.h"
#include "install/ArchiveWriter.h"
#include "install/packed/PackedFile.h"
#include "tools/Command.h"
#include "tools/MemberCoderPool.h"
#include "tools/Progress.h"
#include "tools/StagedOutput.h"

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

// One file to pack: where it is read from, its size and the name it gets.
struct Input {
    Input(const std::string& path, const std::string& memberName) : name(memberName) { source.path = path; }
    MemberSource source;
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
// Links to files are packed as the files they name; links to directories
// are not followed (they could loop, or reach far outside the tree) and,
// like anything else that is no regular file, go to refused with a reason.
void WalkSorted(const fs::path& dir, const std::string& prefix, std::vector<Input>& out,
                std::vector<std::string>& refused)
{
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    if (ec) {
        refused.push_back(dir.string() + ": " + ec.message());
        return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) {
                  return a.path().filename().string() < b.path().filename().string();
              });
    for (const fs::directory_entry& e : entries) {
        const std::string name = prefix + e.path().filename().string();
        const bool link = e.is_symlink(ec);
        const fs::file_status status = e.status(ec);
        if (fs::is_directory(status) && link)
            refused.push_back(e.path().string() + ": is a link to a directory, not packed");
        else if (fs::is_directory(status))
            WalkSorted(e.path(), name + "\\", out, refused);
        else if (fs::is_regular_file(status))
            out.emplace_back(e.path().string(), name);
        else
            refused.push_back(e.path().string() + ": not a regular file, not packed");
    }
}

int RunPack(const ToolArgs& args)
{
    const std::string& archive = args.operands[0];
    int kind = -2;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    fs::path base;
    std::vector<Input> inputs;
    std::vector<std::string> refused;
    std::size_t option = 0;
    for (std::size_t i = 0; i <= args.operands.size(); ++i) {
        // The options given before operand i, in order.
        for (; option < args.options.size() && args.options[option].before <= i; ++option) {
            const ToolOption& o = args.options[option];
            if (o.name == "-C") {
                base = base / o.value;
                if (!fs::is_directory(base))
                    return ToolError("pack: " + base.string() + ": no such directory");
            } else if (o.name == "-j") {
                char* end = nullptr;
                const unsigned long n = std::strtoul(o.value.c_str(), &end, 10);
                if (o.value.empty() || *end || n < 1 || n > 256)
                    return ToolUsageError("pack", "-j needs a number of jobs from 1 to 256");
                jobs = static_cast<unsigned>(n);
            } else {
                kind = -2;
                for (const Method& m : kMethods) {
                    if (o.value == m.name)
                        kind = m.kind;
                }
                if (kind == -2)
                    return ToolUsageError("pack", "unknown method \"" + o.value + "\" (huff, lzss, lzw or store)");
            }
        }
        if (i == 0 || i == args.operands.size())
            continue;
        const std::string& a = args.operands[i];
        const fs::path source = base / a;
        std::error_code ec;
        const fs::file_status status = fs::status(source, ec);
        if (fs::is_directory(status))
            WalkSorted(source, std::string(), inputs, refused);
        else if (fs::is_regular_file(status))
            inputs.emplace_back(source.string(), BackslashName(a));
        else if (fs::exists(status))
            refused.push_back(source.string() + ": not a regular file, not packed");
        else
            refused.push_back(source.string() + ": " + (ec ? ec.message() : "no such file or directory"));
    }
    if (kind == -2)
        return ToolUsageError("pack", "no method given: -m huff, lzss, lzw or store");
    for (const std::string& r : refused)
        ToolError("pack: " + r);
    if (!refused.empty())
        return toolFailed;

    std::error_code ec;
    if (fs::exists(archive, ec) && !fs::is_regular_file(archive, ec))
        return ToolError("pack: " + archive + ": not a regular file");
    // An archive being replaced must not pack itself.
    std::erase_if(inputs, [&](const Input& in) { return fs::equivalent(in.source.path, archive, ec); });
    std::uint64_t total = 0;
    // The archive's layout without coding: its size when stored.
    std::uint64_t stored = 8 + 4 + 4;
    std::vector<std::string> names;
    std::vector<MemberSource> sources;
    for (Input& in : inputs) {
        std::string reason;
        if (!CArchiveDirectory::CheckName(in.name, reason))
            return ToolError("pack: " + in.name + ": " + reason);
        names.push_back(in.name);
        in.source.size = fs::file_size(in.source.path, ec);
        if (ec)
            return ToolError("pack: " + in.source.path + ": " + ec.message());
        if (in.source.size > 0xFFFFFFFFu)
            return ToolError("pack: " + in.source.path + ": larger than 4 GB, which the format cannot hold");
        total += in.source.size;
        stored += 8 + in.source.size + 4 + in.name.size();
        sources.push_back(in.source);
    }
    std::string conflict;
    if (!CArchiveDirectory::CheckNameSet(names, conflict))
        return ToolError("pack: " + conflict);
    if (kind == CPackedFile::kindStored && stored > 0xFFFFFFFFu)
        return ToolError("pack: " + archive + " would be " + std::to_string(stored) +
                         " bytes, more than the 4294967295 an archive can hold");

    StagedOutput staged(archive);
    ToolProgress progress("packing", total);
    // Errors on our own temporary files are the archive's.
    auto fileName = [&](const std::string& path) { return path.rfind(staged.Path(), 0) == 0 ? archive : path; };
    try {
        CArchiveWriter writer(staged.Path(), kind);
        std::uint64_t done = 0;
        auto sizeCheck = [&] {
            // Offsets are 32-bit: the directory must start below 4 GB.
            if (writer.GetMembersSize() + 8 > 0xFFFFFFF0u)
                throw CFileException(CFileException::diskFull, -1, staged.Path());
        };
        if (jobs == 1 || inputs.size() < 2) {
            for (const Input& in : inputs) {
                writer.BeginMember(in.name);
                ReadMemberSource(in.source, [&](const void* data, std::uint32_t n) {
                    writer.Write(data, n);
                    progress.Update(done += n);
                });
                writer.EndMember();
                sizeCheck();
            }
        } else {
            MemberCoderPool pool(sources, kind, std::min<std::size_t>(jobs, inputs.size()), staged.Path());
            for (const Input& in : inputs) {
                writer.AddCodedMember(in.name, pool.Next());
                progress.Update(done += in.source.size);
                sizeCheck();
            }
        }
        writer.Finish();
    } catch (const CFileException& e) {
        progress.Finish();
        return ToolError("pack: " + fileName(e.m_strFileName) + ": " +
                         (e.m_cause == CFileException::diskFull && e.m_lOsError < 0 ? "the archive would pass 4 GB"
                                                                                     : FileErrorReason(e)));
    } catch (const std::runtime_error& e) {
        progress.Finish();
        return ToolError(std::string("pack: ") + e.what());
    }
    progress.Finish();
    std::string reason;
    if (!staged.Commit(reason))
        return ToolError("pack: " + archive + ": " + reason);
    return toolOk;
}

// Reads the directory; with full, decodes every member too.
bool Check(const std::string& command, const std::string& path, CArchiveDirectory& reader, bool full)
{
    CFile probe;
    CFileException error;
    if (!probe.Open(path, CFile::modeRead | CFile::shareDenyNone, &error)) {
        ToolError(command + ": " + path + ": cannot open: " + FileErrorReason(error));
        return false;
    }
    probe.Abort();
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

int RunList(const ToolArgs& parsed)
{
    const std::vector<std::string>& args = parsed.operands;
    CArchiveDirectory reader;
    if (!Check("list", args[0], reader, false))
        return 1;
    std::printf("%s: %s, %s\n", EscapeName(args[0]).c_str(), MethodName(reader.GetKind()),
                CountOf(reader.GetMembers().size(), "member").c_str());
    std::printf("%12s %12s %7s  %s\n", "size", "packed", "ratio", "name");
    std::uint64_t size = 0, packed = 0;
    auto ratio = [](std::uint64_t p, std::uint64_t s) { return s ? 100.0 * static_cast<double>(p) / static_cast<double>(s) : 0.0; };
    for (const CArchiveMember& m : reader.GetMembers()) {
        std::printf("%12u %12u %6.1f%%  %s\n", m.nUnpackedSize, m.nPackedSize, ratio(m.nPackedSize, m.nUnpackedSize),
                    EscapeName(m.strName).c_str());
        size += m.nUnpackedSize;
        packed += m.nPackedSize;
    }
    std::printf("%12llu %12llu %6.1f%%  (total)\n", static_cast<unsigned long long>(size),
                static_cast<unsigned long long>(packed), ratio(packed, size));
    return 0;
}

int RunTest(const ToolArgs& parsed)
{
    const std::vector<std::string>& args = parsed.operands;
    CArchiveDirectory reader;
    if (!Check("test", args[0], reader, true))
        return 1;
    std::printf("%s: OK, %s, %s\n", EscapeName(args[0]).c_str(), CountOf(reader.GetMembers().size(), "member").c_str(),
                CountOf(reader.GetTotalSize(), "byte").c_str());
    return 0;
}

int RunExtract(const ToolArgs& parsed)
{
    const std::vector<std::string>& args = parsed.operands;
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
                                             "usage: setuptool pack ARCHIVE -m huff|lzss|lzw|store [-j N] [-C DIR] FILES-or-DIRS...\n"
                                             "\n"
                                             "Makes ARCHIVE with one member per file, every member coded with the\n"
                                             "method given by -m. -C DIR changes into DIR (relative to any earlier -C)\n"
                                             "for the arguments after it. A file is stored under its path as given,\n"
                                             "with backslashes; a directory adds every file below it, in sorted\n"
                                             "order, named by its path relative to that directory.\n"
                                             "\n"
                                             "Links to files are packed as the files they name. Links to\n"
                                             "directories met below a directory are not followed: each is named on\n"
                                             "one line and pack fails, as it does for anything else that is no\n"
                                             "regular file (a FIFO, a broken link).\n"
                                             "\n"
                                             "-j N codes N members at a time (default: one per processor); the\n"
                                             "archive is the same for every N. ARCHIVE appears only when complete.\n",
                                             RunPack, "-m -C -j", 1, -1}) &&
                        RegisterToolCommand({"list", "show an archive's members, sizes and ratios",
                                             "usage: setuptool list ARCHIVE\n"
                                             "\n"
                                             "Checks the archive's structure and names, then prints each member's\n"
                                             "size, packed size, packed size as a share of its size, and name.\n",
                                             RunList, "", 1, 1}) &&
                        RegisterToolCommand({"test", "check an archive and decode every member",
                                             "usage: setuptool test ARCHIVE\n"
                                             "\n"
                                             "Checks the structure and names, then decodes every member: each must\n"
                                             "give exactly its size and then its end-of-stream code within its\n"
                                             "packed size. Exits with 1 and one line naming the member if not.\n",
                                             RunTest, "", 1, 1}) &&
                        RegisterToolCommand({"extract", "check an archive, then write its members below a directory",
                                             "usage: setuptool extract ARCHIVE DIR\n"
                                             "\n"
                                             "Tests the archive first (see setuptool test --help), so a bad archive\n"
                                             "writes nothing, then writes every member to DIR, making the\n"
                                             "directories its name holds. Existing files are replaced.\n",
                                             RunExtract, "", 2, 2});

} // namespace
