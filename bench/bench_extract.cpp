// Extraction of whole archives through the same core Setup.exe uses, next
// to cp -r of the same tree: many small files and a few large ones, each
// codec. Prints files per second and MB/s for the check (decoding only),
// the extraction alone, the whole phase (check then extraction), and cp.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "Corpus.h"
#include "install/ArchiveDirectory.h"
#include "install/ArchivePhase.h"
#include "install/ArchiveWriter.h"
#include "install/InstallArchive.h"
#include "install/packed/PackedFile.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Tree {
    std::string name;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    std::uint64_t bytes = 0;
};

Tree SmallFiles()
{
    Tree t;
    t.name = "2000 small files";
    std::vector<std::uint8_t> text = corpus::Text(2000 * 3000);
    std::vector<std::uint8_t> bin = corpus::Binary(2000 * 3000);
    for (int i = 0; i < 2000; ++i) {
        const auto& src = (i % 2) ? bin : text;
        std::size_t size = 500 + (i * 7919) % 5000;
        std::size_t at = (static_cast<std::size_t>(i) * 2999) % (src.size() - size);
        t.files.push_back({"dir" + std::to_string(i % 20) + "\\file" + std::to_string(i) + ".dat",
                           std::vector<std::uint8_t>(src.begin() + at, src.begin() + at + size)});
        t.bytes += size;
    }
    return t;
}

Tree LargeFiles()
{
    Tree t;
    t.name = "4 large files";
    t.files.push_back({"text.txt", corpus::Text(12 << 20)});
    t.files.push_back({"binary.bin", corpus::Binary(12 << 20)});
    t.files.push_back({"runs.dat", corpus::Runs(12 << 20)});
    std::vector<std::uint8_t> exe = corpus::Executable(4 << 20);
    t.files.push_back({"program.exe", exe.empty() ? corpus::Binary(4 << 20) : exe});
    for (const auto& f : t.files)
        t.bytes += f.second.size();
    return t;
}

void WriteTree(const Tree& t, const fs::path& root)
{
    for (const auto& [name, data] : t.files) {
        std::string native = name;
        for (char& c : native)
            if (c == '\\')
                c = '/';
        fs::path p = root / native;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                 static_cast<std::streamsize>(data.size()));
    }
}

void Row(const std::string& what, const Tree& t, double seconds)
{
    std::printf("  %-34s %9.0f files/s %9.1f MB/s\n", what.c_str(), t.files.size() / seconds,
                t.bytes / seconds / 1e6);
}

} // namespace

int main()
{
    fs::path work = fs::temp_directory_path() / ("qjsetup-bench-extract-" + std::to_string(::getpid()));
    fs::create_directories(work);
    const struct {
        const char* name;
        int kind;
    } codecs[] = {{"huff", CPackedFile::kindHuffman}, {"lzss", CPackedFile::kindLzss}, {"lzw", CPackedFile::kindLzw}};

    for (const Tree& tree : {SmallFiles(), LargeFiles()}) {
        std::printf("%s, %.1f MB\n", tree.name.c_str(), tree.bytes / 1e6);
        fs::path source = work / "source";
        fs::remove_all(source);
        WriteTree(tree, source);
        fs::path copy = work / "copy";
        fs::remove_all(copy);
        std::string command = "cp -r '" + source.string() + "' '" + copy.string() + "'";
        auto start = Clock::now();
        if (std::system(command.c_str()) != 0)
            std::printf("  cp -r failed\n");
        Row("cp -r", tree, Seconds(start));

        for (const auto& codec : codecs) {
            std::string archive = (work / (std::string("Setup.") + codec.name)).string();
            {
                CArchiveWriter writer(archive, codec.kind);
                for (const auto& [name, data] : tree.files)
                    writer.AddMember(name, data.data(), static_cast<std::uint32_t>(data.size()));
                writer.Finish();
            }
            CArchiveDirectory directory;
            start = Clock::now();
            bool ok = directory.Read(archive) && directory.Verify();
            Row(std::string(codec.name) + ": check (decode only)", tree, Seconds(start));
            if (!ok)
                std::printf("  check failed: %s\n", directory.GetError().c_str());

            fs::path out = work / "out";
            fs::remove_all(out);
            CInstallArchive extract;
            extract.SetDestination(out.string() + "/");
            std::string error;
            start = Clock::now();
            extract.ExtractAll(archive, 0, error);
            Row(std::string(codec.name) + ": extraction", tree, Seconds(start));

            fs::remove_all(out);
            std::string message;
            start = Clock::now();
            CArchivePhase().Run({{"Setup.aqj", archive, out.string() + "/"}}, nullptr, message);
            Row(std::string(codec.name) + ": check and extraction", tree, Seconds(start));
            fs::remove(archive);
        }
    }
    fs::remove_all(work);
    return 0;
}
