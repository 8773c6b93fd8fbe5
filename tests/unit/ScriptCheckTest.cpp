// The vendor's script check: each rule that Setup.exe applies silently is
// told, with its line, and a clean script gets no warning.

#include "tools/ScriptCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "PackedTestUtil.h"

using packedtest::MakeArchive;

namespace {

std::vector<ScriptWarning> Check(const std::string& text, const std::string& medium = std::string())
{
    return CheckScript(text.data(), text.size(), medium);
}

// The warning of a line that mentions every given word.
bool Has(const std::vector<ScriptWarning>& warnings, int line, const std::vector<const char*>& words)
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
    MakeArchive(dir.File("Setup.aqj"), CPackedFile::kindLzss, {{"app.exe", "MZ program"}});
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
    MakeArchive(dir.File("Setup.aqj"), CPackedFile::kindLzss, {{"bin\\app.exe", "MZ"}});
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
    // Each line of a script, and words of the warning it must get (none: no warning).
    const std::pair<const char*, std::vector<const char*>> lines[] = {
        {"key=before any section", {"before any section"}},
        {"[General]", {}},
        {"Title = Setup", {"\"Title \"", "\"Title\""}},
        {"title=lower", {"\"title\"", "\"Title\"", "case"}},
        {"License=yes", {"License=yes", "counts as 0"}},
        {"ab", {"fewer than 3"}},
        {"Destination=$(Source)\\x", {"not expanded", "Destination"}},
        {"Run=$(Temp)\\go.exe", {"$(Temp)", "not a macro"}},
        {"[general]", {"[general]", "[General]"}},
        {"[Copy]", {}},
        {"1=a#b", {"[Copy] entry 1", "no entry 0"}},
        {"[Del]", {}},
        {"0=x", {}},
        {"2=after the gap", {"[Del] entry 2", "after entry 0"}},
        {"01=leading zero", {"\"01\"", "leading zeros"}},
        {"[Ini]", {}},
        {"0=never", {"[Ini] entry 0", "starts at 1"}},
        {"1=too\tfew", {"1 of the 4 tabs"}},
        {"[Group]", {}},
        {"Group=Tools", {}},
        {"1=Item\tC:\\x.exe", {"1 of the 3 tabs"}},
        {"no equals sign", {"no \"=\""}},
    };
    std::string text;
    for (const auto& line : lines)
        text += line.first + std::string("\r\n");
    std::vector<ScriptWarning> w = Check(text);
    for (std::size_t i = 0; i < std::size(lines); ++i)
        EXPECT_EQ(Has(w, static_cast<int>(i) + 1, lines[i].second), !lines[i].second.empty()) << i + 1 << Dump(w);
    EXPECT_FALSE(Has(w, 17, {"tabs"})) << Dump(w);   // an entry never read has no fields to check
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
