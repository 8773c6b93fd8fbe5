// The file phase without a window: archives checked and extracted, the tree
// copied, and what the progress dialog is told along the way.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "install/ArchivePhase.h"
#include "install/ArchiveWriter.h"
#include "install/DirectoryUtil.h"
#include "install/InstallArchive.h"
#include "install/TreeCopy.h"
#include "install/packed/PackedFile.h"

using namespace std::string_literals;

namespace {

// Records each notification with what the progress dialog would read.
class RecordingSink : public CProgressSink {
public:
    std::vector<std::string> events;
    void Notify(unsigned id) override
    {
        if (id == kProgressFile)
            events.push_back("file " + CurrentInstallArchive()->m_strCurrentName);
        else if (id == kProgressStep)
            events.push_back("step " + std::to_string(CurrentInstallArchive()->m_nPercent));
        else if (id == kProgressCopyFile)
            events.push_back("copy " + GetTreeCopier().m_strCurrentName);
    }
};

void MakeArchive(const std::string& path, int kind, const std::vector<std::pair<std::string, std::string>>& members)
{
    CArchiveWriter writer(path, kind);
    for (const auto& [name, data] : members)
        writer.AddMember(name, data.data(), static_cast<std::uint32_t>(data.size()));
    writer.Finish();
}

// Destination in the Windows spelling the phase gets (ends in a separator).
std::string Dest(const TempDir& dir, const std::string& name)
{
    return dir.File(name) + "/";
}

} // namespace

TEST(ArchivePhase, ExtractsEveryMemberAndReportsEachStep)
{
    TempDir dir;
    std::string archive = dir.File("Setup.aqj");
    MakeArchive(archive, CPackedFile::kindHuffman,
                {{"a.txt", "alpha"}, {"sub\\b\\c.txt", std::string(70000, 'c')}, {"empty.bin", ""}});
    // An existing target is replaced.
    std::filesystem::create_directories(dir.File("dest"));
    dir.Write("dest/a.txt", "old contents, longer than the new");

    RecordingSink sink;
    CArchivePhase phase;
    std::vector<std::string> checked;
    phase.onChecking = [&](const std::string& name) { checked.push_back(name); };
    std::string message;
    ASSERT_TRUE(phase.Run({{"Setup.aqj", archive, Dest(dir, "dest")},
                           {"Windows.aqj", dir.File("Windows.aqj"), Dest(dir, "windows")}},
                          &sink, message))
        << message;
    EXPECT_EQ(checked, std::vector<std::string>{"Setup.aqj"});
    EXPECT_EQ(sink.events, (std::vector<std::string>{"file a.txt", "step 33", "file sub\\b\\c.txt", "step 66",
                                                     "file empty.bin", "step 100", "step 100"}));
    EXPECT_EQ(TempDir::ReadAll(dir.File("dest/a.txt")), "alpha");
    EXPECT_EQ(TempDir::ReadAll(dir.File("dest/sub/b/c.txt")), std::string(70000, 'c'));
    EXPECT_TRUE(std::filesystem::exists(dir.File("dest/empty.bin")));
    EXPECT_EQ(std::filesystem::file_size(dir.File("dest/empty.bin")), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.File("windows")));
    EXPECT_EQ(CurrentInstallArchive(), nullptr);
}

TEST(ArchivePhase, SmallestArchivesOfTheFormat)
{
    TempDir dir;
    // One LZSS member "abababab" named a.txt: 39 bytes in all.
    std::string lzss = dir.Write("Setup.aqj", "QJFFLZSS\x08\0\0\0\x06\0\0\0\xB0\xD8\x80\x02\x80\0"
                                              "\x01\0\0\0\x05\0\0\0a.txt\x16\0\0\0"s);
    ASSERT_EQ(TempDir::ReadAll(lzss).size(), 39u);
    // No names at all: nothing is written, one step of 100.
    std::string empty = dir.File("System.aqj");
    MakeArchive(empty, CPackedFile::kindLzw, {});

    RecordingSink sink;
    std::string message;
    ASSERT_TRUE(CArchivePhase().Run({{"Setup.aqj", lzss, Dest(dir, "d")}, {"System.aqj", empty, Dest(dir, "s")}},
                                    &sink, message))
        << message;
    EXPECT_EQ(TempDir::ReadAll(dir.File("d/a.txt")), "abababab");
    EXPECT_EQ(sink.events, (std::vector<std::string>{"file a.txt", "step 100", "step 100", "step 100"}));
}

TEST(ArchivePhase, DamagedArchiveInstallsNothingAtAll)
{
    TempDir dir;
    std::string good = dir.File("Setup.aqj");
    MakeArchive(good, CPackedFile::kindLzss, {{"one.txt", "first archive"}});
    std::string bad = dir.File("Windows.aqj");
    MakeArchive(bad, CPackedFile::kindLzw, {{"w1.dll", std::string(5000, 'w')}, {"w2.dll", "the last member"}});
    std::string bytes = TempDir::ReadAll(bad);

    struct Damage {
        const char* what;
        std::string bytes;
    };
    std::string flippedHeader = bytes;
    flippedHeader[8 + 4] ^= 0x40;   // the first member's packed size
    // The last member's coded bytes overwritten (its header kept).
    std::string flippedData = bytes;
    std::uint32_t directory = 0;
    std::memcpy(&directory, bytes.data() + bytes.size() - 4, 4);
    for (std::uint32_t i = directory - 6; i < directory; ++i)
        flippedData[i] = '\xFF';
    std::string unsafe = dir.File("unsafe.aqj");
    MakeArchive(unsafe, CPackedFile::kindHuffman, {{"..\\outside.txt", "escape"}});
    const std::vector<Damage> damages = {
        {"truncated", bytes.substr(0, bytes.size() - 7)},
        {"flipped header", flippedHeader},
        {"flipped data", flippedData},
        {"name out of its destination", TempDir::ReadAll(unsafe)},
    };
    for (const Damage& damage : damages) {
        dir.Write("Windows.aqj", damage.bytes);
        RecordingSink sink;
        std::string message;
        EXPECT_FALSE(CArchivePhase().Run({{"Setup.aqj", good, Dest(dir, "dest")}, {"Windows.aqj", bad, Dest(dir, "win")}},
                                         &sink, message))
            << damage.what;
        EXPECT_EQ(message.rfind("The file Windows.aqj is damaged (", 0), 0u) << damage.what << ": " << message;
        EXPECT_NE(message.find("). Nothing has been installed."), std::string::npos) << message;
        EXPECT_TRUE(sink.events.empty()) << damage.what;
        EXPECT_FALSE(std::filesystem::exists(dir.File("dest"))) << damage.what;
        EXPECT_FALSE(std::filesystem::exists(dir.File("outside.txt"))) << damage.what;
    }
}

TEST(ArchivePhase, TargetThatCannotBeMadeIsAFileErrorNamingIt)
{
    TempDir dir;
    std::string archive = dir.File("Setup.aqj");
    MakeArchive(archive, CPackedFile::kindHuffman, {{"taken", ""}});
    // A directory stands where the (empty) member would go.
    std::filesystem::create_directories(dir.File("dest/taken"));
    RecordingSink sink;
    std::string message;
    try {
        CArchivePhase().Run({{"Setup.aqj", archive, Dest(dir, "dest")}}, &sink, message);
        FAIL() << "no file error";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::accessDenied);
        EXPECT_EQ(e.m_strFileName, NativePath(Dest(dir, "dest") + "taken"));
    }
    EXPECT_EQ(CurrentInstallArchive(), nullptr);
}

TEST(TreeCopy, CopiesFilesBeforeSubdirectoriesAndOnlyWhereFilesGo)
{
    TempDir dir;
    std::string cwd = GetCurrentDir();
    for (const char* f : {"src/one.txt", "src/two.txt", "src/three.txt", "src/sub/four.txt", "src/sub/deeper/five.txt",
                          "src/v1.2/six.txt"})
        std::filesystem::create_directories(std::filesystem::path(dir.File(f)).parent_path()), dir.Write(f, f);
    std::filesystem::create_directories(dir.File("src/empty/also-empty"));
    std::string source = dir.File("src");
    std::string destination = dir.File("out\\nested");   // made level by level

    EXPECT_EQ(CountFiles(source), 6);
    RecordingSink sink;
    GetTreeCopier().m_pOwner = &sink;
    EXPECT_TRUE(CopyTree(source, destination));
    GetTreeCopier().m_pOwner = nullptr;
    ChangeDir(cwd);

    ASSERT_EQ(sink.events.size(), 6u);
    // Files of a directory come before those of its subdirectories.
    auto at = [&](const std::string& event) {
        return std::find(sink.events.begin(), sink.events.end(), event) - sink.events.begin();
    };
    for (const char* top : {"copy one.txt", "copy two.txt", "copy three.txt"})
        EXPECT_LT(at(top), 3) << top;
    EXPECT_LT(at("copy four.txt"), at("copy five.txt"));
    for (const char* f : {"one.txt", "sub/four.txt", "sub/deeper/five.txt", "v1.2/six.txt"})
        EXPECT_EQ(TempDir::ReadAll(dir.File("out/nested/") + f), "src/"s + f) << f;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/nested/empty")));

    EXPECT_EQ(CountFiles(dir.File("missing")), 0);
    EXPECT_FALSE(CopyTree(dir.File("missing"), dir.File("out2")));
    ChangeDir(cwd);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out2")));
}

TEST(TreeCopy, CopyOneFile)
{
    TempDir dir;
    std::string source = dir.Write("s.bin", "payload\0with zero"s);
    std::string target = dir.Write("t.bin", "existing");
    EXPECT_FALSE(CopyOneFile(source, target, true));
    EXPECT_EQ(TempDir::ReadAll(target), "existing");
    EXPECT_TRUE(CopyOneFile(source, target, false));
    EXPECT_EQ(TempDir::ReadAll(target), "payload\0with zero"s);
    EXPECT_FALSE(CopyOneFile(dir.File("missing"), dir.File("t2.bin"), false));
    EXPECT_FALSE(std::filesystem::exists(dir.File("t2.bin")));
    // The target's directory is not made.
    EXPECT_FALSE(CopyOneFile(source, dir.File("no-dir/t.bin"), false));
    std::string empty = dir.Write("empty", "");
    EXPECT_TRUE(CopyOneFile(empty, dir.File("empty-copy"), false));
    EXPECT_EQ(std::filesystem::file_size(dir.File("empty-copy")), 0u);
}
