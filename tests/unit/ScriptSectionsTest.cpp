// Macro expansion and the script's lists, on a platform that records what
// would be done.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "framework/FileException.h"
#include "script/MacroExpansion.h"
#include "script/Platform.h"
#include "script/ScriptSections.h"
#include "script/SetupScript.h"
#include "ui/ProgmanCommands.h"

namespace {

class RecordingPlatform : public CScriptPlatform {
public:
    std::vector<std::string> log;
    std::map<std::string, std::string> associations;   // document -> program
    std::vector<std::string> missing;                  // files that cannot be deleted
    std::vector<std::string> files;                    // files that exist
    bool progman = true;

    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
    std::string SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
    std::string SourceDirectory() override { return "D:\\Medium\\"; }
    bool CopyWholeFile(const std::string& s, const std::string& t) override { return Log("copy " + s + " -> " + t); }
    void DeleteOneFile(const std::string& path) override
    {
        if (std::count(missing.begin(), missing.end(), path))
            throw CFileException(CFileException::fileNotFound, 2);
        Log("del " + path);
    }
    void WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& file) override
    {
        Log("ini " + file + " [" + section + "] " + key + "=" + value);
    }
    bool FileExists(const std::string& path) override { return std::count(files.begin(), files.end(), path); }
    std::string FindAssociatedProgram(const std::string& document) override { return associations[document]; }
    void StartProgram(const std::string& commandLine) override { Log("run " + commandLine); }
    bool OpenProgman() override { return Log("open") && progman; }
    bool ProgmanCreateGroup(const std::string& group) override
    {
        std::string command;
        return Log("group " + group) && FormatCreateGroup(group, command);
    }
    void ProgmanShowGroup(const std::string& group, std::uint16_t show) override
    {
        Log("show " + group + " " + std::to_string(show));
    }
    void ProgmanReplaceItem(const std::string& name, const std::string& command, const std::string& icon,
                            std::uint16_t index) override
    {
        Log("item " + name + "|" + command + "|" + icon + "|" + std::to_string(index));
    }
    void CloseProgman() override { Log("close"); }
    void RaiseMainWindow() override { Log("raise"); }

private:
    bool Log(const std::string& line) { return log.push_back(line), true; }
};

CSetupScript Script(const std::string& text)
{
    CSetupScript script;
    script.Parse(text.data(), text.size());
    return script;
}

} // namespace

TEST(Macros, FourPassesInOrderIgnoringCase)
{
    RecordingPlatform p;
    CSetupScript s = Script("[General]\nDestination=C:\\App\n");
    EXPECT_EQ(ExpandMacros("no macros here", p, s), "no macros here");
    EXPECT_EQ(ExpandMacros("$(Windows)\\$(windows)", p, s), "C:\\WINDOWS\\C:\\WINDOWS");
    EXPECT_EQ(ExpandMacros("$(SYSTEM)\\x.dll", p, s), "C:\\WINDOWS\\system32\\x.dll");
    EXPECT_EQ(ExpandMacros("$(Source)x$(Source)", p, s), "D:\\MediumxD:\\Medium");
    EXPECT_EQ(ExpandMacros("$(Temp)\\$(Windows", p, s), "$(Temp)\\$(Windows");
    EXPECT_EQ(ExpandMacros("$(Destination)\\a.dll", p, s), "C:\\App\\a.dll");

    // A destination typed with a macro is expanded by the later pass; a
    // trailing backslash stays doubled.
    s.SetString("General", "Destination", "$(Source)\\App\\");
    EXPECT_EQ(ExpandMacros("$(Destination)\\a.dll", p, s), "D:\\Medium\\App\\\\a.dll");
    s.SetString("General", "Destination", "");
    EXPECT_EQ(ExpandMacros("$(Destination)\\a.txt", p, s), "\\a.txt");

    std::string text = "aXbxc";
    EXPECT_EQ(ReplaceAllNoCase(text, "x", "<x>", true), 2);
    EXPECT_EQ(text, "a<x>b<x>c");
    text = "xxx";
    EXPECT_EQ(ReplaceAllNoCase(text, "X", "", false), 1);
    EXPECT_EQ(text, "xx");
    // Beyond ASCII, Windows lower-cases by the system's code page (here
    // Latin-1: \xC4 and \xE4 are one letter); the native core by ASCII only.
    text = "\xC4-\xE4";
#ifdef _WIN32
    EXPECT_EQ(ReplaceAllNoCase(text, "\xE4", "a", true), 2);
    EXPECT_EQ(text, "a-a");
#else
    EXPECT_EQ(ReplaceAllNoCase(text, "\xE4", "a", true), 1);
    EXPECT_EQ(text, "\xC4-a");
#endif
}

TEST(ScriptSections, CopyDelAndIniLists)
{
    RecordingPlatform p;
    CSetupScript s = Script(
        "[General]\nDestination=C:\\App\n"
        "[Copy]\nFrom=files\n0=$(Source)\\a.txt#$(Destination)\\a.txt\n1=b#c#d\n2=no separator\n3=x#y\n5=after gap#z\n"
        "[Del]\n1=never: the list starts at 0\n"
        "[Ini]\n0=never\n1=$(Windows)\t\\app.ini\tSettings\tPath\t$(Destination)\n"
        "2=C:\\Dir\\\tx.ini\tS\tK\tvalue\twith\ttabs\n3=too\tfew\tfields\n4=\t\tS\tNoDir\tv\n");
    CScriptSections sections(p, s);
    sections.ProcessCopySection();
    sections.ProcessDelSection();
    EXPECT_EQ(p.log, (std::vector<std::string>{"copy D:\\Medium\\a.txt -> C:\\App\\a.txt", "copy b -> c#d",
                                               "copy x -> y"}));
    p.log.clear();
    EXPECT_FALSE(sections.ProcessIniAndGroupSections());   // no group
    EXPECT_EQ(p.log, (std::vector<std::string>{"ini C:\\WINDOWS\\app.ini [Settings] Path=C:\\App",
                                               "ini C:\\Dir\\x.ini [S] K=value\twith\ttabs",
                                               "ini  [S] NoDir=v"}));

    // A deletion that fails stops the list with the file error.
    RecordingPlatform d;
    d.missing = {"C:\\App\\gone.txt"};
    s = Script("[General]\nDestination=C:\\App\n[Del]\n0=$(Destination)\\old.txt\n1=$(Destination)\\gone.txt\n"
               "2=$(Destination)\\later.txt\n");
    EXPECT_THROW(CScriptSections(d, s).ProcessDelSection(), CFileException);
    EXPECT_EQ(d.log, std::vector<std::string>{"del C:\\App\\old.txt"});
}

TEST(ScriptSections, GroupItemsAndTheirCommands)
{
    RecordingPlatform p;
    p.associations["C:\\App\\Readme.txt"] = "C:\\WINDOWS\\notepad.exe";   // as written: not lower-cased
    CSetupScript s = Script(
        "[General]\nDestination=C:\\App\n"
        "[Group]\nGroup=Tools $(Windows)\n"
        "1=App\t$(Destination)\\app.EXE /s\t$(Destination)\\app.ico\t2\n"
        "2=Quoted\t\"C:\\Program Files\\x.exe\" -a\t\t-1\n"
        "3=Readme\t$(Destination)\\Readme.txt\t\t65536\n"
        "4=Unknown\tnotes.xyz\t\tabc\n"
        "5=Spaces\tC:\\Program Files\\Tool\\tool.exe\t\t0\n"
        "6=Short\tonly\ttwo\n"
        "7=Last\tC:\\last.exe\t\t7\n");
    CScriptSections sections(p, s);
    EXPECT_TRUE(sections.ProcessIniAndGroupSections());
    EXPECT_EQ(p.log, (std::vector<std::string>{
                         "open", "group Tools $(Windows)", "show Tools $(Windows) 1",
                         "item App|\"C:\\App\\app.EXE\" /s|C:\\App\\app.ico|2",
                         "item Quoted|\"C:\\Program Files\\x.exe\" -a||65535",
                         "item Readme|\"C:\\WINDOWS\\notepad.exe\" \"C:\\App\\Readme.txt\"||0",
                         "item Unknown|notes.xyz||0",
                         "item Spaces|\"C:\\Program Files\\Tool\\tool.exe\"||0",
                         "item Last|\"C:\\last.exe\"||7", "close", "raise"}));

    RecordingPlatform none;
    none.progman = false;
    CScriptSections noServer(none, s);
    EXPECT_FALSE(noServer.ProcessIniAndGroupSections());
    EXPECT_EQ(none.log, std::vector<std::string>{"open"});

    // Items are numbered up to 999.
    std::string many = "[Group]\nGroup=Many\n";
    for (int n = 1; n <= 1000; ++n)
        many += std::to_string(n) + "=Item\tx.exe\t\t0\n";
    RecordingPlatform counted;
    CScriptSections(counted, Script(many)).ProcessIniAndGroupSections();
    EXPECT_EQ(counted.log.size(), 3u + 999 + 2);   // open, group, show, the items, close, raise

    // A group whose commands cannot be sent gets no items either.
    const std::string longName(250, 'g');
    CSetupScript tooLong = Script("[Group]\nGroup=" + longName + "\n1=App\tC:\\app.exe\t\t0\n");
    RecordingPlatform refused;
    CScriptSections(refused, tooLong).ProcessIniAndGroupSections();
    EXPECT_EQ(refused.log, (std::vector<std::string>{"open", "group " + longName, "show " + longName + " 1", "close",
                                                      "raise"}));
}

TEST(ScriptSections, RunStartsTheProgramQuotedAndLowerCased)
{
    struct Case {
        const char* run;
        const char* started;   // nullptr: nothing started
    } cases[] = {
        {"Notepad.exe", "run notepad.exe"},
        {"$(Windows)\\command.com /c Setup.exe", "run c:\\windows\\command.com /c setup.exe"},
        {"$(Destination)\\README.TXT", "run \"C:\\WINDOWS\\notepad.exe\" \"c:\\app\\readme.txt\""},
        {"C:\\Program Files\\App\\App.exe /Go", "run \"c:\\program files\\app\\app.exe\" /go"},
        {"\"C:\\Quoted\\a.exe\" x", "run \"c:\\quoted\\a.exe\" x"},
        {"unknown.doc", nullptr},
        {"", nullptr},   // an empty Run is no Run at all
    };
    for (const Case& c : cases) {
        RecordingPlatform p;
        p.associations["c:\\app\\readme.txt"] = "C:\\WINDOWS\\notepad.exe";
        p.files = {"c:\\program files\\app\\app.exe"};
        CSetupScript s = Script(std::string("[General]\nDestination=C:\\App\nRun=") + c.run + "\n");
        CScriptSections(p, s).RunProgram();
        EXPECT_EQ(p.log, c.started ? std::vector<std::string>{c.started} : std::vector<std::string>{}) << c.run;
    }
}

TEST(ProgmanCommands, TextsAndTheirLimit)
{
    std::string c;
    auto made = [](bool ok, const std::string& text) { return ok ? text : "refused"; };
    EXPECT_EQ(made(FormatCreateGroup("Tools", c), c), "[CreateGroup(Tools)]");
    EXPECT_EQ(made(FormatShowGroup("Tools", 1, c), c), "[ShowGroup(Tools,1)]");
    EXPECT_EQ(made(FormatReplaceItem("Readme", c), c), "[ReplaceItem(Readme)]");
    EXPECT_EQ(made(FormatAddItem("Readme", "C:\\Prog\\view.exe", "", 0, c), c), "[AddItem(C:\\Prog\\view.exe,Readme,,0)]");
    EXPECT_EQ(made(FormatAddItem("A,B", "x(1)", "i", 65535, c), c), "[AddItem(x(1),A,B,i,65535)]");
    // 255 characters fit; one more is refused and leaves the text alone.
    std::string name(255 - std::string("[CreateGroup()]").size(), 'n');
    EXPECT_EQ(made(FormatCreateGroup(name, c), c), "[CreateGroup(" + name + ")]");
    EXPECT_FALSE(FormatCreateGroup(name + "n", c));
    EXPECT_EQ(c, "[CreateGroup(" + name + ")]");
}

TEST(ScriptSections, TheObserverSeesEachActionWithItsResult)
{
    // What the removal record is made of: whether a copy replaced a file,
    // and whether the group was made.
    struct Seen : CSectionObserver {
        std::vector<std::string> log;
        void Copied(const std::string& s, const std::string& t, bool existed, bool copied) override
        {
            log.push_back("copy " + s + " " + t + (existed ? " over" : " new") + (copied ? "" : " failed"));
        }
        void Deleting(const std::string& path) override { log.push_back("del " + path); }
        void WritingIni(const std::string& f, const std::string&, const std::string& k, const std::string&) override
        {
            log.push_back("ini " + f + " " + k);
        }
        void GroupMade(const std::string& g, bool made) override { log.push_back("group " + g + (made ? " made" : "")); }
        void ItemMade(const std::string& name, const std::string&) override { log.push_back("item " + name); }
        void Starting(const std::string& command) override { log.push_back("run " + command); }
    } seen;
    RecordingPlatform p;
    p.files = {"C:\\a.txt"};
    p.progman = false;
    CSetupScript s = Script("[Copy]\n0=x#C:\\a.txt\n1=y#C:\\b.txt\n[Del]\n0=C:\\c\n[Ini]\n1=C:\\\tw.ini\tS\tK\tv\n"
                            "[Group]\nGroup=G\n[General]\nRun=go.exe\n");
    CScriptSections sections(p, s, &seen);
    sections.ProcessCopySection();
    sections.ProcessDelSection();
    EXPECT_FALSE(sections.ProcessIniAndGroupSections());
    sections.RunProgram();
    EXPECT_EQ(seen.log, (std::vector<std::string>{"copy x C:\\a.txt over", "copy y C:\\b.txt new", "del C:\\c",
                                                  "ini C:\\w.ini K", "group G", "run go.exe"}));
}
