// setuptool's archive commands: pack, list, test and extract.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/ArchiveWriter.h"
#include "install/packed/PackedFile.h"
#include "tools/Command.h"
#include "tools/Progress.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kChunk = 1 << 16;
// Archives up to this size are decoded once, by the check before extraction.
constexpr std::uint64_t kKeepLimit = 256u << 20;

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
    for (const Input& in : inputs) {
        std::string reason;
        if (in.name.size() > CArchiveDirectory::maxNameLength)
            return ToolError("pack: " + in.name + ": the name is longer than 255 bytes");
        if (!CArchiveDirectory::CheckName(in.name, reason))
            return ToolError("pack: " + in.name + ": " + reason);
        std::uint64_t size = fs::file_size(in.source);
        if (size > 0xFFFFFFFFu)
            return ToolError("pack: " + in.source + ": larger than 4 GB, which the format cannot hold");
        total += size;
    }

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
            // Offsets are 32-bit: the directory must start below 4 GB.
            if (writer.GetMembersSize() + 8 > 0xFFFFFFF0u)
                throw CFileException(CFileException::diskFull, -1, archive);
        }
        writer.Finish();
    } catch (const CFileException& e) {
        progress.Finish();
        std::error_code ignored;
        fs::remove(archive, ignored);
        return ToolError("pack: " + FileErrorText(e));
    }
    return 0;
}

// Reads the directory; with full, decodes every member too, handing the
// bytes to sink when given.
bool Check(const std::string& command, const std::string& path, CArchiveDirectory& reader, bool full,
           const CArchiveDirectory::Sink& sink = {})
{
    if (!reader.Read(path)) {
        ToolError(command + ": " + path + ": " + reader.GetError());
        return false;
    }
    if (!full)
        return true;
    ToolProgress progress("checking", reader.GetTotalSize());
    if (!reader.Verify([&](std::uint64_t done) { progress.Update(done); }, sink)) {
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

void MakeDirectory(const std::string& path)
{
#ifdef _WIN32
    _mkdir(path.c_str());
#else
    ::mkdir(path.c_str(), 0777);
#endif
}

int RunExtract(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return ToolError("extract: give an archive and a directory (setuptool extract --help)");
    CArchiveDirectory reader;
    // A bad archive writes nothing. What the check decodes is kept when it
    // fits in memory comfortably, so that members are decoded only once.
    if (!reader.Read(args[0]))
        return ToolError("extract: " + args[0] + ": " + reader.GetError());
    const bool keep = reader.GetTotalSize() <= kKeepLimit;
    std::vector<std::vector<std::uint8_t>> kept(keep ? reader.GetMembers().size() : 0);
    auto sink = [&](std::size_t member, const std::uint8_t* data, std::uint32_t count) {
        kept[member].insert(kept[member].end(), data, data + count);
    };
    if (!Check("extract", args[0], reader, true, keep ? CArchiveDirectory::Sink(sink) : CArchiveDirectory::Sink()))
        return 1;
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    std::string dest = args[1];
    if (!dest.empty() && dest.back() != '/' && dest.back() != separator)
        dest += separator;
    // Every level of the destination, then of each member's name.
    for (std::size_t at = dest.find_first_of("/\\", 1); at != std::string::npos; at = dest.find_first_of("/\\", at + 1))
        MakeDirectory(dest.substr(0, at));

    ToolProgress progress("extracting", reader.GetTotalSize());
    std::string target;
    try {
        std::unique_ptr<CPackedFile> packed = CreatePackedFile(std::string(), reader.GetKind());
        CFileException error;
        if (!packed->Open(args[0], CFile::modeRead | CFile::shareDenyNone, &error))
            throw error;
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[kChunk]);
        std::uint64_t done = 0;
        const auto& members = reader.GetMembers();
        for (std::size_t i = 0; i < members.size(); ++i) {
            std::string name = members[i].strName;
            std::replace(name.begin(), name.end(), '\\', separator);
            std::replace(name.begin(), name.end(), '/', separator);
            target = dest + name;
            for (std::size_t at = name.find(separator); at != std::string::npos; at = name.find(separator, at + 1))
                MakeDirectory(dest + name.substr(0, at));
            CFile out;
            if (!out.Open(target, CFile::modeCreate | CFile::modeWrite, &error))
                throw error;
            if (keep) {
                const std::vector<std::uint8_t>& data = kept[i];
                if (!data.empty())
                    out.Write(data.data(), static_cast<std::uint32_t>(data.size()));
                out.Close();
                done += data.size();
                progress.Update(done);
                std::vector<std::uint8_t>().swap(kept[i]);
                continue;
            }
            if (!packed->SelectMember(static_cast<std::uint32_t>(i), 0))
                return ToolError("extract: " + args[0] + ": member " + std::to_string(i) + " cannot be found");
            std::uint32_t left = members[i].nUnpackedSize;
            while (left) {
                const std::uint32_t want = std::min(left, kChunk);
                const std::uint32_t got = packed->Read(buffer.get(), want);
                if (got != want)
                    return ToolError("extract: " + args[0] + ": member " + std::to_string(i) + " changed while reading");
                out.Write(buffer.get(), got);
                left -= got;
                done += got;
                progress.Update(done);
            }
            out.Close();
        }
    } catch (const CFileException& e) {
        progress.Finish();
        return ToolError("extract: " + FileErrorText(e));
    }
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
