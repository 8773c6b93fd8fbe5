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
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), error)) {
        if (entry.path().filename().string().rfind("~MS", 0) == 0)
            ++n;
    }
    return n;
}

std::string Compressed(const TempDir& dir, const std::string& name, const std::string& text)
{
    CQjCompressor c;
    std::string path = dir.File(name);
    EXPECT_EQ(c.ProcessFile(dir.Write(name + ".txt", text), path, 1), 1);
    return path;
}

} // namespace

TEST(CompressedScript, LoadExpandsReadsAndRemovesTheCopy)
{
    TempDir dir;
    std::string text = "[General]\r\nTitle=Compressed Setup\r\nLicense=1\r\n[Copy]\r\n0=a.txt#$(Windows)\\a.txt\r\n";
    for (int i = 1; i < 200; ++i)
        text += std::to_string(i) + "=file" + std::to_string(i) + ".dat#$(Destination)\\file.dat\r\n";
    std::string path = Compressed(dir, "setup.qj", text);

    int before = TemporaryCopies();
    CSetupScript s;
    ASSERT_TRUE(s.Load(path, true));
    EXPECT_EQ(TemporaryCopies(), before);
    EXPECT_EQ(s.GetPath(), path);
    std::string value;
    EXPECT_TRUE(s.GetString("General", "Title", value));
    EXPECT_EQ(value, "Compressed Setup");
    EXPECT_TRUE(s.GetEntry("Copy", 199, value));
    EXPECT_EQ(value, "file199.dat#$(Destination)\\file.dat");

    // Merges like a plain load; an empty compressed script adds nothing.
    ASSERT_TRUE(s.Load(Compressed(dir, "more.qj", "[General]\r\nName=Product\r\n"), true));
    EXPECT_TRUE(s.GetString("General", "Name", value));
    EXPECT_TRUE(s.GetString("General", "Title", value));
    ASSERT_TRUE(s.Load(Compressed(dir, "empty.qj", ""), true));
    EXPECT_TRUE(s.GetString("General", "Title", value));
    EXPECT_EQ(TemporaryCopies(), before);
}

TEST(CompressedScript, LoadRefusesWhatCannotBeExpanded)
{
    TempDir dir;
    std::string plain = dir.Write("plain.ini", "[General]\r\nTitle=Plain\r\n");
    std::string shortHeader = dir.Write("short.qj", "QJ10\x10\x00");
    int before = TemporaryCopies();
    for (const std::string& path : {dir.File("missing.qj"), plain, shortHeader}) {
        SCOPED_TRACE(path);
        CSetupScript s;
        EXPECT_FALSE(s.Load(path, true));
        EXPECT_TRUE(s.GetSections().empty());
    }
    EXPECT_EQ(TemporaryCopies(), before);
    // Read as plain text, the same file loads.
    CSetupScript s;
    EXPECT_TRUE(s.Load(plain, false));
}
