#include "script/SetupScript.h"

#include <gtest/gtest.h>

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
        "Comment=app.exe ; kept\r\n"
        "  Tabbed=\tvalue with = and # \t \r\n"
        "[general]\r\n"
        "Name=lower\r\n"
        "[ Spaced ]\r\n"
        "k=v\r\n"
        "[General]\r\n"                  // later lines replace, an empty value removes
        "Name=two\r\nRun=\r\n");
    // Blanks go from the ends of the line, not around the "=".
    ExpectEntries(s, {{"General", "Title", nullptr}, {"General", "Title ", " Setup"}, {"General", "Name", "two"},
                      {"General", "Run", nullptr}, {"General", "Comment", "app.exe ; kept"},
                      {"General", "Tabbed", "\tvalue with = and #"},
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
    CSetupScript s = Parsed("[L]\n0=zero\n1=one\n3=three\n01=padded\n[N]\na=12abc\nb=abc\nc=70000\nd=\t\r -7\ne=+5x\nf=99999999999\n");
    std::string out;
    const char* const entries[] = {"-", "zero", "one", "-", "three"};   // from -1 on
    for (int i = -1; i < 4; ++i)
        EXPECT_EQ(s.GetEntry("L", i, out) ? out : "-", entries[i + 1]) << i;
    // Like the C runtime's atoi (wrapping at 32 bits), then 16 bits.
    const std::pair<const char*, int> ints[] = {{"a", 12}, {"b", 0}, {"c", 4464}, {"d", -7}, {"e", 5},
                                                {"f", static_cast<std::int16_t>(1215752191 & 0xFFFF)}};
    for (auto [key, value] : ints) {
        std::int16_t n = 1;
        EXPECT_TRUE(s.GetInt("N", key, n) && n == value) << key;
    }
    std::int16_t n = 42;
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
