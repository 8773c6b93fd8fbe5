// The vendor's script check: each rule that Setup.exe applies silently is
// told, with its line, and a clean script gets no warning.

#include "tools/ScriptCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "install/ArchiveWriter.h"
#include "install/packed/PackedFile.h"

namespace {

std::vector<ScriptWarning> Check(const std::string& text, const std::string& medium = std::string())
{
    return CheckScript(text.data(), text.size(), medium);
}

// The warning of a line that mentions every given word.
bool Has(const std::vector<ScriptWarning>& warnings, int line, std::initializer_list<const char*> words)
{
    for (const ScriptWarning& w : warnings) {
        if (w.line != line)
            continue;
        bool all = true;
        for (const char* word : words)
            all = all && w.text.find(word) != std::string::npos;
        if (all)
            return true;
    }
    return false;
}

std::string Dump(const std::vector<ScriptWarning>& warnings)
{
    std::string out;
    for (const ScriptWarning& w : warnings)
        out += std::to_string(w.line) + ": " + w.text + "\n";
    return out;
}

const char* const kClean =
    "; a clean script\r\n"
    "[General]\r\nTitle=Sample Setup\r\nName=Sample\r\nLicense=1\r\nDestination=C:\\Sample\r\n"
    "Run=$(Destination)\\app.exe\r\n"
    "[Copy]\r\n0=$(Source)\\extra.txt#$(Destination)\\extra.txt\r\n"
    "[Del]\r\n0=$(Windows)\\old.ini\r\n"
    "[Ini]\r\n1=$(Windows)\t\\app.ini\tS\tK\tV\r\n"
    "[Group]\r\nGroup=Sample\r\n1=App\t$(Destination)\\app.exe\t\t0\r\n";

} // namespace

TEST(ScriptCheck, CleanScriptAndMedium)
{
    EXPECT_TRUE(Check(kClean).empty()) << Dump(Check(kClean));

    TempDir dir;
    dir.Write("Setup.exe", "MZ");
    dir.Write("License.txt", "terms");
    dir.Write("extra.txt", "extra");
    CArchiveWriter writer(dir.File("Setup.aqj"), CPackedFile::kindLzss);
    writer.AddMember("app.exe", "MZ program", 10);
    writer.Finish();
    std::vector<ScriptWarning> w = Check(kClean, dir.File(""));
    EXPECT_TRUE(w.empty()) << Dump(w);

    // Missing and damaged files on the medium.
    std::filesystem::remove(dir.File("License.txt"));
    std::filesystem::remove(dir.File("extra.txt"));
    dir.Write("Setup.aqj", "QJFFLZSS\x0a\0\0\0");
    w = Check(kClean, dir.File(""));
    EXPECT_TRUE(Has(w, 0, {"License.txt"})) << Dump(w);
    EXPECT_TRUE(Has(w, 0, {"Setup.aqj", "damaged"})) << Dump(w);
    EXPECT_TRUE(Has(w, 9, {"extra.txt", "not on the medium"})) << Dump(w);

    // Entries below $(Destination) against what Setup.aqj installs there.
    CArchiveWriter other(dir.File("Setup.aqj"), CPackedFile::kindLzss);
    other.AddMember("bin\\app.exe", "MZ", 2);
    other.Finish();
    w = Check("[General]\r\nDestination=C:\\A\r\n[Copy]\r\n0=$(Destination)\\BIN\\app.exe#$(Destination)\\bin\\b.exe\r\n"
              "1=$(Destination)\\app.exe#$(Destination)\\none\\a.exe\r\n[Del]\r\n0=$(Destination)\\bin\\gone.txt\r\n",
              dir.File(""));
    EXPECT_FALSE(Has(w, 4, {"Copy entry 0"})) << Dump(w);
    EXPECT_TRUE(Has(w, 5, {"no archive installs app.exe"})) << Dump(w);
    EXPECT_TRUE(Has(w, 5, {"folder none"})) << Dump(w);
    EXPECT_TRUE(Has(w, 7, {"Del entry 0", "bin\\gone.txt", "stops"})) << Dump(w);
}

TEST(ScriptCheck, RulesThatActSilently)
{
    std::vector<ScriptWarning> w = Check(
        "key=before any section\r\n"   // 1
        "[General]\r\n"                // 2
        "Title = Setup\r\n"            // 3
        "title=lower\r\n"              // 4
        "License=yes\r\n"              // 5
        "ab\r\n"                       // 6
        "Destination=$(Source)\\x\r\n" // 7
        "Run=$(Temp)\\go.exe\r\n"      // 8
        "[general]\r\n"                // 9
        "[Copy]\r\n"                   // 10
        "1=a#b\r\n"                    // 11
        "[Del]\r\n"                    // 12
        "0=x\r\n"                      // 13
        "2=after the gap\r\n"          // 14
        "01=leading zero\r\n"          // 15
        "[Ini]\r\n"                    // 16
        "0=never\r\n"                  // 17
        "1=too\tfew\r\n"               // 18
        "[Group]\r\n"                  // 19
        "Group=Tools\r\n"              // 20
        "1=Item\tC:\\x.exe\r\n"        // 21
        "no equals sign\r\n");         // 22
    EXPECT_TRUE(Has(w, 1, {"before any section"})) << Dump(w);
    EXPECT_TRUE(Has(w, 3, {"\"Title \"", "\"Title\""})) << Dump(w);
    EXPECT_TRUE(Has(w, 4, {"\"title\"", "\"Title\"", "case"})) << Dump(w);
    EXPECT_TRUE(Has(w, 5, {"License=yes", "counts as 0"})) << Dump(w);
    EXPECT_TRUE(Has(w, 6, {"fewer than 3"})) << Dump(w);
    EXPECT_TRUE(Has(w, 7, {"not expanded", "Destination"})) << Dump(w);
    EXPECT_TRUE(Has(w, 8, {"$(Temp)", "not a macro"})) << Dump(w);
    EXPECT_TRUE(Has(w, 9, {"[general]", "[General]"})) << Dump(w);
    EXPECT_TRUE(Has(w, 11, {"[Copy] entry 1", "no entry 0"})) << Dump(w);
    EXPECT_TRUE(Has(w, 14, {"[Del] entry 2", "after entry 0"})) << Dump(w);
    EXPECT_TRUE(Has(w, 15, {"\"01\"", "leading zeros"})) << Dump(w);
    EXPECT_TRUE(Has(w, 17, {"[Ini] entry 0", "starts at 1"})) << Dump(w);
    EXPECT_FALSE(Has(w, 17, {"tabs"})) << Dump(w);   // an entry never read has no fields to check
    EXPECT_TRUE(Has(w, 18, {"1 of the 4 tabs"})) << Dump(w);
    EXPECT_TRUE(Has(w, 21, {"1 of the 3 tabs"})) << Dump(w);
    EXPECT_TRUE(Has(w, 22, {"no \"=\""})) << Dump(w);
    EXPECT_TRUE(Check("[General]\r\nDestination=C:\\A\r\nLicense=+1\r\nCopyMode=-1\r\n").empty());   // signed numbers
    // In line order.
    for (std::size_t i = 1; i < w.size(); ++i)
        EXPECT_LE(w[i - 1].line, w[i].line);

    w = Check("[General]\r\nDestination=C:\\A\r\nUninstall=1\r\n");
    EXPECT_TRUE(Has(w, 0, {"Uninstall is set", "Title is empty"})) << Dump(w);

    w = Check("[Group]\r\nGroup=" + std::string(242, 'g') + "\r\n1=" + std::string(240, 'i') + "\tx.exe\t\t0\r\n");
    EXPECT_TRUE(Has(w, 2, {"group name is too long", "no group"})) << Dump(w);
    EXPECT_TRUE(Has(w, 3, {"item 1", "too long"})) << Dump(w);
}

TEST(ScriptCheck, ByteOrderMarkHidesTheFirstSection)
{
    std::vector<ScriptWarning> w = Check("\xEF\xBB\xBF[General]\r\nDestination=C:\\A\r\n[Copy]\r\n0=a#b\r\n");
    ASSERT_EQ(w.size(), 2u) << Dump(w);
    EXPECT_TRUE(Has(w, 1, {"byte-order mark"}));
    EXPECT_TRUE(Has(w, 0, {"Destination is empty", "starts empty"}));
    // Before a comment the mark hides nothing.
    w = Check("\xEF\xBB\xBF; comment\r\n[General]\r\nDestination=C:\\A\r\n");
    EXPECT_TRUE(w.empty()) << Dump(w);
}
