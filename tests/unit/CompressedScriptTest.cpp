#include "script/SetupScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "codec/QjCompressor.h"
#include "TempDir.h"

namespace {

// The expanded copies the loader leaves in the temporary directory.
int TemporaryCopies()
{
    int n = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), error))
        n += entry.path().filename().string().rfind("~MS", 0) == 0;
    return n;
}

std::string Compressed(const TempDir& dir, const std::string& name, const std::string& text)
{
    CQjCompressor c;
    EXPECT_EQ(c.ProcessFile(dir.Write(name + ".txt", text), dir.File(name), 1), 1);
    return dir.File(name);
}

} // namespace

TEST(CompressedScript, LoadExpandsReadsAndRemovesTheCopy)
{
    TempDir dir;
    std::string text = "[General]\r\nTitle=Compressed Setup\r\n[Copy]\r\n0=a.txt#$(Windows)\\a.txt\r\n";
    for (int i = 1; i < 200; ++i)
        text += std::to_string(i) + "=file" + std::to_string(i) + ".dat#$(Destination)\\file.dat\r\n";
    std::string path = Compressed(dir, "setup.qj", text), value;
    const int before = TemporaryCopies();
    CSetupScript s;
    ASSERT_TRUE(s.Load(path, true));
    EXPECT_EQ(s.GetPath(), path);
    EXPECT_TRUE(s.GetString("General", "Title", value) && value == "Compressed Setup");
    EXPECT_TRUE(s.GetEntry("Copy", 199, value));
    EXPECT_EQ(value, "file199.dat#$(Destination)\\file.dat");
    // Merges like a plain load; an empty compressed script adds nothing.
    ASSERT_TRUE(s.Load(Compressed(dir, "more.qj", "[General]\r\nName=Product\r\n"), true));
    ASSERT_TRUE(s.Load(Compressed(dir, "empty.qj", ""), true));
    EXPECT_TRUE(s.GetString("General", "Name", value) && s.GetString("General", "Title", value));
    EXPECT_EQ(TemporaryCopies(), before);

    // What cannot be expanded is refused, leaving nothing behind.
    std::string plain = dir.Write("plain.ini", "[General]\r\nTitle=Plain\r\n");
    for (const std::string& bad : {dir.File("missing.qj"), plain, dir.Write("short.qj", "QJ10\x10\x00")}) {
        CSetupScript r;
        EXPECT_FALSE(r.Load(bad, true)) << bad;
        EXPECT_TRUE(r.GetSections().empty()) << bad;
    }
    EXPECT_EQ(TemporaryCopies(), before);
    // Read as plain text, the same file loads and merges; a missing one
    // fails and leaves what was loaded.
    ASSERT_TRUE(s.Load(plain, false));
    EXPECT_EQ(s.GetPath(), plain);
    EXPECT_FALSE(s.Load(dir.File("missing.ini"), false));
    EXPECT_TRUE(s.Load(dir.Write("empty.ini", ""), false));
    EXPECT_TRUE(s.GetString("General", "Title", value) && value == "Plain");
    EXPECT_TRUE(s.GetString("General", "Name", value) && value == "Product");
}
