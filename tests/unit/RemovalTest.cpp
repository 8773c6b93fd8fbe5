// What an installation records of itself, and a removal that takes away
// exactly that: real files in a temporary folder.

#include <gtest/gtest.h>

#include <filesystem>

#include "PackedTestUtil.h"
#include "install/ArchivePhase.h"
#include "install/InstallLog.h"
#include "install/Removal.h"

namespace {

class RecordingRemoval : public CRemovalPlatform {
public:
    std::vector<std::string> calls;
    void RemoveIniValue(const RecordedIni& ini) override { calls.push_back("ini " + ini.key); }
    bool RemoveGroup(const std::string& group) override
    {
        calls.push_back("group " + group);
        return true;
    }
    bool RemoveRegistryKey(const std::string& key) override
    {
        calls.push_back("key " + key);
        return true;
    }
};

} // namespace

TEST(Removal, TakesAwayWhatTheInstallationMadeAndKeepsChangedFiles)
{
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.File("dest"));
    dir.Write("dest/a.txt", "older");
    dir.Write("dest/user.txt", "the user's");
    const std::string archive = dir.File("Setup.aqj");
    packedtest::MakeArchive(archive, CPackedFile::kindLzss,
                            {{"a.txt", "data"}, {"sub\\b\\c.txt", "data"}, {"new\\n.txt", "data"}});
    CArchivePhase phase;
    CUninstallRecord record;
    phase.record = &record;
    std::string message;
    ASSERT_TRUE(phase.Run({{"Setup.aqj", archive, dir.File("dest") + "/"}}, nullptr, message)) << message;

    ASSERT_EQ(record.files.size(), 3u);
    EXPECT_TRUE(record.files[0].replaced);
    EXPECT_FALSE(record.files[1].replaced || record.files[2].replaced);
    EXPECT_TRUE(fs::equivalent(record.files[1].path, dir.File("dest/sub/b/c.txt")));
    // Under their final names, parents first.
    ASSERT_EQ(record.folders.size(), 3u);
    EXPECT_TRUE(fs::equivalent(record.folders[0], dir.File("dest/sub")));
    EXPECT_TRUE(fs::equivalent(record.folders[1], dir.File("dest/sub/b")));
    EXPECT_TRUE(fs::equivalent(record.folders[2], dir.File("dest/new")));
    EXPECT_EQ(record.StampFiles(), 12u);

    // The last one lies in a file that the installation wrote: it goes with that file.
    record.iniValues = {{RecordedIni::madeFile, "w.ini", "S", "first"},
                        {RecordedIni::madeValue, "w.ini", "S", "second"},
                        {RecordedIni::madeValue, record.files[0].path, "S", "in a.txt"}};
    record.group = "G";
    record.registryKey = "Software\\X";
    const std::string path = dir.File("dest/Uninstall.dat");
    record.Save(path);
    EXPECT_FALSE(fs::exists(path + ".new"));
    CUninstallRecord loaded;
    std::string error;
    ASSERT_TRUE(loaded.Load(path, error)) << error;
    EXPECT_EQ(loaded.Format(), record.Format());

    dir.Write("dest/new/n.txt", "changed by the user");
    RecordingRemoval platform;
    CInstallLog log;
    EXPECT_FALSE(log.Open(dir.File("no-dir/remove.log")));
    ASSERT_TRUE(log.Open(dir.File("remove.log")));
    const RemovalResult result = RemoveInstalled(loaded, platform, log);
    EXPECT_EQ(result.kept, std::vector<std::string>{record.files[2].path});
    EXPECT_EQ(result.replaced, std::vector<std::string>{record.files[0].path});
    EXPECT_TRUE(result.failed.empty());
    // The value that made the file goes last.
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"ini second", "ini first", "group G", "key Software\\X"}));
    EXPECT_FALSE(fs::exists(dir.File("dest/a.txt")) || fs::exists(dir.File("dest/sub")));
    EXPECT_TRUE(fs::exists(dir.File("dest/new/n.txt")) && fs::exists(dir.File("dest/user.txt")));
    // The administrator's log: a line for each file.
    const std::string logged = TempDir::ReadAll(dir.File("remove.log"));
    for (const std::string& line : {" File removed: " + record.files[0].path + " (it had replaced an earlier file)\r\n",
                                    " File kept, changed since the installation: " + record.files[2].path + "\r\n"})
        EXPECT_NE(logged.find(line), std::string::npos) << logged;
}

TEST(Removal, ARecordThatIsNotWholeIsRefused)
{
    const std::string head = "QJ Setup removal record\t1\r\nTitle\tT\r\n";
    const std::string texts[] = {
        "",
        "Title\tT\r\nEnd\t1\r\n",
        head + "End\t2",                                   // last line cut
        head,                                              // no End
        head + "End\t3\r\n",                               // a line lost
        head + "File\tx\t0\tnew\tC:\\a\r\nEnd\t3\r\n",     // size not a number
        head + "File\t\t0\tnew\tC:\\a\r\nEnd\t3\r\n",      // no size
        head + "File\t1\t0\tmaybe\tC:\\a\r\nEnd\t3\r\n",   // neither new nor replaced
        head + "Ini\tsome\tS\tK\tC:\\a.ini\r\nEnd\t3\r\n",
        head + "Folder\t\r\nEnd\t3\r\n",
        head + "Other\tx\r\nEnd\t3\r\n",
    };
    for (const std::string& text : texts) {
        CUninstallRecord record;
        std::string error;
        EXPECT_FALSE(record.Parse(text, error)) << text;
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(record.title.empty() && record.files.empty()) << text;
    }
    CUninstallRecord record;
    std::string error;
    EXPECT_TRUE(record.Parse(head + "Folder\tC:\\A\r\nEnd\t3\r\n", error)) << error;
    EXPECT_FALSE(record.Load("/nonexistent/Uninstall.dat", error));
}
