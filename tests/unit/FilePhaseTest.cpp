// The file phase without a window: archives checked and extracted, the tree
// copied, and what the progress dialog is told along the way.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <fstream>
#include <string>
#include <vector>

#include "PackedTestUtil.h"
#include "install/ArchivePhase.h"
#include "install/DirectoryUtil.h"
#include "install/InstallArchive.h"
#include "install/PieceRing.h"
#include "install/TreeCopy.h"
#include "install/UninstallRecord.h"

using namespace std::string_literals;
using packedtest::MakeArchive;

namespace {

// Records each notification with what the progress dialog would read.
class RecordingSink : public CProgressSink {
public:
    std::vector<std::string> events;
    std::function<void()> onLastFile;   // run at the last member's notice
    void Notify(unsigned id) override
    {
        CInstallArchive* archive = CurrentInstallArchive();
        if (id == kProgressFile && onLastFile && archive->m_strCurrentName == archive->m_names.back())
            onLastFile();
        if (id == kProgressFile)
            events.push_back("file " + CurrentInstallArchive()->m_strCurrentName);
        else if (id == kProgressStep)
            events.push_back("step " + std::to_string(CurrentInstallArchive()->m_nPercent));
        else if (id == kProgressCopyFile)
            events.push_back("copy " + GetTreeCopier().m_strCurrentName);
    }
};

// Every file and folder below root with its contents.
std::map<std::string, std::string> Snapshot(const std::string& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        files[entry.path().string()] = entry.is_directory() ? "<dir>" : TempDir::ReadAll(entry.path().string());
    return files;
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

    // An archive without names writes nothing and counts one step of 100.
    MakeArchive(dir.File("System.aqj"), CPackedFile::kindLzw, {});

    RecordingSink sink;
    std::string message;
    ASSERT_TRUE(CArchivePhase().Run({{"Setup.aqj", archive, Dest(dir, "dest")},
                                     {"Windows.aqj", dir.File("Windows.aqj"), Dest(dir, "windows")},
                                     {"System.aqj", dir.File("System.aqj"), Dest(dir, "system")}},
                                    &sink, message))
        << message;
    EXPECT_EQ(sink.events, (std::vector<std::string>{"file a.txt", "step 33", "file sub\\b\\c.txt", "step 66",
                                                     "file empty.bin", "step 100", "step 100", "step 100"}));
    EXPECT_EQ(TempDir::ReadAll(dir.File("dest/a.txt")), "alpha");
    EXPECT_EQ(TempDir::ReadAll(dir.File("dest/sub/b/c.txt")), std::string(70000, 'c'));
    EXPECT_EQ(std::filesystem::file_size(dir.File("dest/empty.bin")), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.File("windows")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("system")));
    EXPECT_EQ(CurrentInstallArchive(), nullptr);
    // Nothing staged or moved aside is left behind.
    EXPECT_EQ(Snapshot(dir.File("dest")).size(), 5u);   // three files, two folders
}

// Pieces of every size taken and given back in a random rhythm: a piece
// placed must lie inside the ring and clear of every piece in flight, and
// the ring must fill up rather than wait while it has room.
TEST(PieceRing, PlacesPiecesClearOfThoseInFlight)
{
    const std::size_t piece = 16, capacity = 3 * piece + 5;
    CPieceRing ring(capacity, piece);
    struct Taken { std::size_t at, size, span; };
    std::deque<Taken> inFlight;
    std::size_t fullest = 0;
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) { seed = seed * 1103515245 + 12345; return (seed >> 16) % n; };
    for (int step = 0; step < 20000; ++step) {
        if (!inFlight.empty() && (next(3) == 0 || !ring.Fits())) {
            ring.GiveBack(inFlight.front().span);
            inFlight.pop_front();
            continue;
        }
        ASSERT_TRUE(ring.Fits());   // an empty ring has room
        const std::size_t at = ring.Place();
        ASSERT_LE(at + piece, capacity);
        for (const Taken& t : inFlight)
            ASSERT_TRUE(t.size == 0 || at + piece <= t.at || t.at + t.size <= at) << "step " << step;
        const std::size_t size = next(piece + 1);
        inFlight.push_back({at, size, ring.Take(size)});
        fullest = std::max(fullest, ring.InFlight());
    }
    EXPECT_GT(fullest, capacity - piece);
}

TEST(ArchivePhase, AFailureAtAnyStepLeavesTheDiskAsItWas)
{
    TempDir dir;
    std::string good = dir.File("Setup.aqj");
    MakeArchive(good, CPackedFile::kindLzss, {{"one.txt", "first archive"}, {"new\\deep\\two.txt", "made folders"}});
    std::string bad = dir.File("Windows.aqj");
    MakeArchive(bad, CPackedFile::kindLzw,
                {{"w1.dll", std::string(5000, 'w')}, {"sys\\w3.dll", "new folder"}, {"w2.dll", "the last member"}});
    std::string bytes = TempDir::ReadAll(bad);
    std::filesystem::create_directories(dir.File("dest"));
    dir.Write("dest/one.txt", "the old bytes");
    std::filesystem::create_directories(dir.File("win"));
    dir.Write("win/w1.dll", "old library");

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
    std::string blocked = dir.File("blocked.aqj");
    MakeArchive(blocked, CPackedFile::kindHuffman, {{"w2.dll", "new"}, {"w1.dll\\x", "under a file"}});
    const auto before = Snapshot(dir.File(""));
    // What each failure is: damage found before anything is written, damage
    // of the last member found while staging, a file error while staging,
    // and two while committing (a staged file gone; a file where the
    // second staged folder goes, after the first was renamed in).
    enum { none, removeStaged, blockFolder };
    const struct {
        const char* what;
        std::string archive;
        bool fileError;
        int hook;
    } failures[] = {
        {"truncated", bytes.substr(0, bytes.size() - 7), false, none},
        {"flipped header", flippedHeader, false, none},
        {"flipped data of the last member", flippedData, false, none},
        {"name out of its destination", TempDir::ReadAll(unsafe), false, none},
        {"a folder where a file is", TempDir::ReadAll(blocked), true, none},
        {"a staged file gone before the commit", bytes, true, removeStaged},
        {"a file where a staged folder goes", bytes, true, blockFolder},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.what);
        dir.Write("Windows.aqj", failure.archive);
        RecordingSink sink;
        if (failure.hook == removeStaged)
            sink.onLastFile = [&] {
                for (const auto& entry : std::filesystem::directory_iterator(dir.File("dest")))
                    if (entry.is_regular_file() && entry.path().extension() == ".TMP")
                        std::filesystem::remove(entry.path());
            };
        if (failure.hook == blockFolder)
            sink.onLastFile = [&] {
                if (CurrentInstallArchive()->m_strCurrentName == "w2.dll")
                    dir.Write("win/sys", "in the way");
            };
        std::string message;
        bool thrown = false;
        try {
            EXPECT_FALSE(CArchivePhase().Run({{"Setup.aqj", good, Dest(dir, "dest")}, {"Windows.aqj", bad, Dest(dir, "win")}},
                                             &sink, message));
            EXPECT_EQ(message.rfind("The file Windows.aqj is damaged (", 0), 0u) << message;
            EXPECT_NE(message.find("). Nothing has been installed."), std::string::npos) << message;
        } catch (const CFileException& e) {
            thrown = true;
        }
        EXPECT_EQ(thrown, failure.fileError);
        dir.Write("Windows.aqj", bytes);
        std::filesystem::remove(dir.File("win/sys"));
        EXPECT_EQ(Snapshot(dir.File("")), before);
        EXPECT_EQ(CurrentInstallArchive(), nullptr);
    }
}

TEST(ArchivePhase, TargetsThatCannotBeReplacedAndTooLittleSpaceStopBeforeAnyWrite)
{
    TempDir dir;
    std::string archive = dir.File("Setup.aqj");
    MakeArchive(archive, CPackedFile::kindHuffman, {{"a.txt", "a"}, {"taken", ""}});
    // A directory stands where the (empty) member would go.
    std::filesystem::create_directories(dir.File("dest/taken"));
    RecordingSink sink;
    std::string message;
    try {
        CArchivePhase().Run({{"Setup.aqj", archive, Dest(dir, "dest")}}, &sink, message);
        ADD_FAILURE() << "no file error";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::accessDenied);
        EXPECT_EQ(e.m_strFileName, NativePath(Dest(dir, "dest") + "taken"));
    }
    std::filesystem::remove(dir.File("dest/taken"));
    const auto before = Snapshot(dir.File(""));
    CArchivePhase phase;
    phase.maxPath = Dest(dir, "dest").size() + 10;   // room for "a.txt", not for a staged name
    EXPECT_THROW(phase.Run({{"Setup.aqj", archive, Dest(dir, "dest")}}, &sink, message), CFileException);
    phase.maxPath = 0;
    phase.title = "Tool";
    phase.freeSpace = [](const std::string&, std::string& volume, std::uint64_t& free) {
        volume = "Q:";
        free = (3u << 20) - 1;
        return true;
    };
    std::string big = dir.File("System.aqj");
    MakeArchive(big, CPackedFile::kindLzss, {{"big.bin", std::string(3u << 20, 'b')}});
    EXPECT_FALSE(phase.Run({{"Setup.aqj", archive, Dest(dir, "dest")}, {"System.aqj", big, Dest(dir, "sys")}}, &sink,
                           message));
    EXPECT_EQ(message, "There is not enough space on Q: to install Tool: 4 MB are needed and 2 MB are free. "
                       "Nothing has been installed.");
    std::filesystem::remove(big);
    EXPECT_EQ(Snapshot(dir.File("")), before);
    EXPECT_EQ(CurrentInstallArchive(), nullptr);
    EXPECT_TRUE(sink.events.empty());
}

TEST(TreeCopy, CopiesFilesBeforeSubdirectoriesAndOnlyWhereFilesGo)
{
    TempDir dir;
    std::string cwd = GetCurrentDir();
    for (const char* f : {"src/one.txt", "src/two.txt", "src/three.txt", "src/sub/four.txt", "src/sub/deeper/five.txt",
                          "src/v1.2/six.txt", "src/README", "src/sub/.h"})
        std::filesystem::create_directories(std::filesystem::path(dir.File(f)).parent_path()), dir.Write(f, f);
    std::filesystem::create_directories(dir.File("src/empty/also-empty"));
    std::string source = dir.File("src");
    std::string destination = dir.File("out\\nested");   // made level by level

    EXPECT_EQ(CountFiles(source), 8);
    RecordingSink sink;
    GetTreeCopier().m_pOwner = &sink;
    EXPECT_TRUE(CopyTree(source, destination));
    GetTreeCopier().m_pOwner = nullptr;
    ChangeDir(cwd);

    ASSERT_EQ(sink.events.size(), 8u);
    // Files of a directory come before those of its subdirectories.
    auto at = [&](const std::string& event) {
        return std::find(sink.events.begin(), sink.events.end(), event) - sink.events.begin();
    };
    for (const char* top : {"copy one.txt", "copy two.txt", "copy three.txt", "copy README"})
        EXPECT_LT(at(top), 4) << top;
    EXPECT_LT(at("copy four.txt"), at("copy five.txt"));
    for (const char* f : {"one.txt", "README", "sub/.h", "sub/four.txt", "sub/deeper/five.txt", "v1.2/six.txt"})
        EXPECT_EQ(TempDir::ReadAll(dir.File("out/nested/") + f), "src/"s + f) << f;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/nested/empty")));

    // With a record, as an installation copies: each file copied is noted,
    // new or replacing one, and each folder made.
    std::filesystem::create_directories(dir.File("rec/two.txt"));   // in the way: not copied
    dir.Write("rec/README", "older");
    CUninstallRecord record;
    GetTreeCopier().m_pRecord = &record;
    EXPECT_TRUE(CopyTree(source, dir.File("rec")));
    GetTreeCopier().m_pRecord = nullptr;
    ChangeDir(cwd);
    ASSERT_EQ(record.files.size(), 7u);
    for (const RecordedFile& file : record.files)
        EXPECT_EQ(file.replaced, file.path.find("README") != std::string::npos) << file.path;
    EXPECT_EQ(record.folders.size(), 3u);   // sub, sub\deeper, v1.2

    // A relative destination (a separator third, as after a drive) means the
    // current directory at the start, and a destination inside the tree is
    // not copied into itself.
    ASSERT_TRUE(ChangeDir(dir.File("")));
    EXPECT_TRUE(CopyTree(source, "re\\out"));
    ChangeDir(cwd);
    EXPECT_EQ(TempDir::ReadAll(dir.File("re/out/sub/deeper/five.txt")), "src/sub/deeper/five.txt");
    EXPECT_TRUE(CopyTree(source, dir.File("src/inner/copy")));
    ChangeDir(cwd);
    EXPECT_EQ(TempDir::ReadAll(dir.File("src/inner/copy/sub/four.txt")), "src/sub/four.txt");
    EXPECT_FALSE(std::filesystem::exists(dir.File("src/inner/copy/inner")));

    EXPECT_EQ(AbsolutePath("C:\\Program Files\\App"), "C:\\Program Files\\App");   // typed with its drive
    EXPECT_EQ(AbsolutePath(""), cwd);
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
