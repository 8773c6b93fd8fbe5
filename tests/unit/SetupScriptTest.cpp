#include "script/SetupScript.h"

#include <gtest/gtest.h>

#include "script/CutToken.h"
#include "TempDir.h"

using namespace std::string_literals;

namespace {

CSetupScript Parsed(const std::string& text)
{
    CSetupScript script;
    script.Parse(text.data(), text.size());
    return script;
}

// Each row: section, key and its value, or nullptr for a key that must be
// missing (and leave the output empty).
struct Entry {
    std::string section, key;
    const char* value;
};

void ExpectEntries(const CSetupScript& s, const std::vector<Entry>& rows)
{
    for (const Entry& e : rows) {
        std::string out = "x";
        bool found = s.GetString(e.section, e.key, out);
        if (e.value) {
            EXPECT_TRUE(found && out == e.value) << "[" << e.section << "] " << e.key << " = \"" << out << "\"";
        } else {
            EXPECT_TRUE(!found && out.empty()) << "[" << e.section << "] " << e.key << " should be missing";
        }
    }
}

} // namespace

TEST(SetupScript, NamesAndValuesAreTakenExactly)
{
    CSetupScript s = Parsed(
        "[General]\r\n"
        "Title = Setup\r\n"
        "Name=My App\r\n"
        "Run=app.exe ; start it\r\n"
        "  Tabbed=\tvalue with = and # \t \r\n"
        "[general]\r\n"
        "Name=lower\r\n"
        "[ Spaced ]\r\n"
        "k=v\r\n");
    // Blanks go from the ends of the line, not around the "=".
    ExpectEntries(s, {{"General", "Title", nullptr}, {"General", "Title ", " Setup"}, {"General", "Name", "My App"},
                      {"General", "Run", "app.exe ; start it"}, {"General", "Tabbed", "\tvalue with = and #"},
                      {"general", "Name", "lower"}, {"GENERAL", "Name", nullptr}, {" Spaced ", "k", "v"},
                      {"Spaced", "k", nullptr}});
}

TEST(SetupScript, LinesThatAreSkipped)
{
    CSetupScript s = Parsed(
        "early=before any header\n"
        "\xEF\xBB\xBF[Bom]\n"
        "bom=ignored too\n"
        "[A\n"
        "a=\n"            // two characters: ignored
        "ab=\n"           // three: read, with an empty value
        "xy\n"
        " \t \t\n"
        "; comment=yes\n"
        "  ;indented=comment\n"
        "no equals sign here\n"
        "[]\n"
        "lost=after empty header\n"
        "[A] trailing text\n"
        "b=2\n");
    EXPECT_TRUE(s.GetSections().count("\xEF\xBB\xBF" "Bom") == 0);
    ExpectEntries(s, {{"A", "early", nullptr}, {"Bom", "bom", nullptr}, {"A", "a", nullptr}, {"A", "ab", nullptr},
                      {"A", "; comment", nullptr}, {"A", "  ;indented", nullptr}, {"", "lost", nullptr},
                      {"A", "b", "2"}});
    // "ab=" made sure that its section exists; no key came of it.
    ASSERT_EQ(s.GetSections().count("A"), 1u);
    EXPECT_EQ(s.GetSections().at("A").size(), 1u);
}

TEST(SetupScript, LaterLinesReplaceAndRemove)
{
    CSetupScript s = Parsed(
        "[General]\nRun=notepad.exe\nName=one\n[Other]\nx=1\n[General]\nName=two\nRun=\n");
    ExpectEntries(s, {{"General", "Run", nullptr}, {"General", "Name", "two"}, {"Other", "x", "1"}});
}

TEST(SetupScript, TextModeLineEnds)
{
    // CR LF and LF end lines; a lone CR stays; NUL ends its line's text;
    // Ctrl-Z ends the file; the last line needs no line end.
    std::string text = "[S]\r\na=1\nb=2\rc=3\r\nd=4\0tail=5\r\ne=5\r\n"s;
    text += std::string("\x1A") + "f=6\r\n";
    CSetupScript s = Parsed(text);
    ExpectEntries(s, {{"S", "a", "1"}, {"S", "b", "2\rc=3"}, {"S", "d", "4"}, {"S", "tail", nullptr},
                      {"S", "e", "5"}, {"S", "f", nullptr}});
    ExpectEntries(Parsed("[S]\r\nlast=no line end"), {{"S", "last", "no line end"}});
    // A CR at the very end is not part of a CR LF pair.
    ExpectEntries(Parsed("[S]\nk=v\r"), {{"S", "k", "v\r"}});
}

TEST(SetupScript, OverlongNamesSkipTheirLine)
{
    const std::string longName(256, 'n');
    const std::string maxName(255, 'm');
    CSetupScript s;
    std::vector<int> skipped;
    s.SetLineObserver([&](const CSetupScript::LineEvent& e) {
        if (e.kind == CSetupScript::LineEvent::skipped)
            skipped.push_back(e.line);
    });
    std::string text = "[Before]\n"
                       "[" + longName + "]\n"
                       "under=the long header\n"
                       "[" + maxName + "]\n" +
                       longName + "=value\n" +
                       maxName + "=kept\n";
    s.Parse(text.data(), text.size());
    EXPECT_EQ(s.GetSections().count(longName), 0u);
    ExpectEntries(s, {{"Before", "under", nullptr}, {longName, "under", nullptr}, {maxName, longName, nullptr},
                      {maxName, maxName, "kept"}});
    EXPECT_EQ(skipped, (std::vector<int>{2, 3, 5}));
    // Values have no such limit.
    std::string big(100000, 'v');
    ExpectEntries(Parsed("[S]\nk=" + big + "\n"), {{"S", "k", big.c_str()}});
}

TEST(SetupScript, AccessorsFollowTheirRules)
{
    CSetupScript s = Parsed("[L]\n0=zero\n1=one\n3=three\n01=padded\n[N]\na=12abc\nb=abc\nc=70000\nd=  -7\ne=+5x\nf=99999999999\n");
    std::string out;
    EXPECT_TRUE(s.GetEntry("L", 0, out) && out == "zero");
    EXPECT_TRUE(s.GetEntry("L", 1, out) && out == "one");
    EXPECT_FALSE(s.GetEntry("L", 2, out));
    EXPECT_TRUE(s.GetEntry("L", 3, out) && out == "three");
    EXPECT_TRUE(s.GetEntry("L", -1, out) == false);

    std::int16_t n = 0;
    EXPECT_TRUE(s.GetInt("N", "a", n) && n == 12);
    EXPECT_TRUE(s.GetInt("N", "b", n) && n == 0);
    EXPECT_TRUE(s.GetInt("N", "c", n) && n == 4464);
    EXPECT_TRUE(s.GetInt("N", "d", n) && n == -7);
    EXPECT_TRUE(s.GetInt("N", "e", n) && n == 5);
    // The C runtime's wrap-around, then 16 bits: 99999999999 mod 2^32 = 1215752191.
    EXPECT_TRUE(s.GetInt("N", "f", n) && n == static_cast<std::int16_t>(1215752191 & 0xFFFF));
    n = 42;
    EXPECT_FALSE(s.GetInt("N", "missing", n));
    EXPECT_EQ(n, 42);

    // An empty value removes the key but keeps (or makes) the section.
    EXPECT_TRUE(s.SetString("New", "k", ""));
    EXPECT_EQ(s.GetSections().count("New"), 1u);
    s.SetString("L", "0", "");
    EXPECT_FALSE(s.GetString("L", "0", out));
    s.SetString("L", "1", "uno");
    EXPECT_TRUE(s.GetString("L", "1", out) && out == "uno");
}

TEST(SetupScript, LoadMergesFilesAndReportsOpenFailure)
{
    TempDir dir;
    std::string first = dir.Write("Setup.ini", "[General]\r\nTitle=First\r\nName=Kept\r\n");
    std::string second = dir.Write("More.ini", "[General]\r\nTitle=Second\r\n");
    CSetupScript s;
    ASSERT_TRUE(s.Load(first, false));
    ASSERT_TRUE(s.Load(second, false));
    EXPECT_EQ(s.GetPath(), second);
    ExpectEntries(s, {{"General", "Title", "Second"}, {"General", "Name", "Kept"}});

    std::string missing = dir.File("Missing.ini");
    EXPECT_FALSE(s.Load(missing, false));
    ExpectEntries(s, {{"General", "Title", "Second"}});

    std::string empty = dir.Write("Empty.ini", "");
    EXPECT_TRUE(s.Load(empty, false));
}

TEST(CutToken, SplitsAtTheFirstSeparator)
{
    std::string text = "src#dst#more";
    std::string head;
    EXPECT_TRUE(CutToken(text, head, '#'));
    EXPECT_EQ(head, "src");
    EXPECT_EQ(text, "dst#more");
    text = "alone";
    EXPECT_FALSE(CutToken(text, head, '#'));
    EXPECT_EQ(head, "alone");
    EXPECT_EQ(text, "alone");
    text = "=value";
    EXPECT_TRUE(CutToken(text, head, '='));
    EXPECT_EQ(head, "");
    EXPECT_EQ(text, "value");

    std::string blanks = " \t a b \t ";
    TrimBlanks(blanks);
    EXPECT_EQ(blanks, "a b");
    blanks = "\t \t";
    TrimBlanks(blanks);
    EXPECT_EQ(blanks, "");
}
