#include "tools/ScriptCheck.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "framework/File.h"
#include "install/ArchiveDirectory.h"
#include "install/DirectoryUtil.h"
#include "script/CutToken.h"
#include "script/LowerAnsi.h"
#include "script/ScriptSections.h"
#include "script/SetupScript.h"
#include "ui/ProgmanCommands.h"

namespace {

struct KnownSection {
    const char* name;
    std::vector<const char*> keys;
    int listStart;    // -1: no numbered list
    int listEnd;
    int separators;   // fields of a list entry less one
    char separator;
};

const KnownSection kSections[] = {
    {"General", {"Title", "Name", "License", "Destination", "CopyMode", "Run", "Uninstall"}, -1, 0, 0, 0},
    {"Copy", {"From"}, 0, 9999, 1, '#'},
    {"Del", {}, 0, 9999, 0, 0},
    {"Ini", {}, 1, 9999, 4, '\t'},
    {"Group", {"Group"}, 1, 999, 3, '\t'},
};

const KnownSection* FindSection(const std::string& name)
{
    for (const KnownSection& s : kSections)
        if (name == s.name)
            return &s;
    return nullptr;
}

// The known name that text means, ignoring case and blanks around it.
const char* NearName(const std::string& text, const std::vector<const char*>& names)
{
    std::string t = text;
    TrimBlanks(t);
    for (const char* n : names)
        if (LowerAnsi(t) == LowerAnsi(n))
            return n;
    return nullptr;
}

bool AllDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsNumber(const std::string& value)
{
    std::string v = value;
    v.erase(0, v.find_first_not_of(" \t"));
    if (!v.empty() && (v[0] == '-' || v[0] == '+'))
        v.erase(0, 1);
    return AllDigits(v);
}

class Checker {
public:
    explicit Checker(std::vector<ScriptWarning>& out) : m_out(out) {}

    void Warn(int line, const std::string& text) { m_out.push_back({line, text}); }

    void OnEvent(const CSetupScript::LineEvent& e)
    {
        using E = CSetupScript::LineEvent;
        switch (e.kind) {
        case E::skipped:
            OnSkipped(e);
            break;
        case E::header:
            OnHeader(e);
            break;
        case E::entry:
            OnEntry(e);
            break;
        }
    }

    void Finish(const CSetupScript& script, const std::string& medium);
    void CheckDestinationEntries(const CSetupScript& script, const CArchiveDirectory& setup);

private:
    void OnSkipped(const CSetupScript::LineEvent& e)
    {
        if (e.reason == "outside any section") {
            std::string text = e.text;
            if (m_bom && e.line == 1) {
                // The mark costs something only when it hides a header.
                text.erase(0, 3);
                text.erase(0, text.find_first_not_of(" \t"));
                if (!text.empty() && text[0] == '[') {
                    m_bomHidHeader = true;
                    Warn(1, "the file starts with a byte-order mark: the first section header is not read, and "
                            "the keys up to the next header are ignored (save it as ANSI)");
                    return;
                }
                if (text.empty() || text[0] == ';')
                    return;
            }
            if (m_bomHidHeader && !m_sawHeader)
                return;   // told once, with the mark
            Warn(e.line, "\"" + text + "\" comes before any section header and is ignored");
        } else if (e.reason == "shorter than 3 characters") {
            Warn(e.line, "\"" + e.text + "\" has fewer than 3 characters and is ignored");
        } else if (e.reason == "no \"=\"") {
            Warn(e.line, "\"" + e.text + "\" has no \"=\" and is ignored");
        } else {
            Warn(e.line, "the line is ignored: " + e.reason);
        }
    }

    void OnHeader(const CSetupScript::LineEvent& e)
    {
        m_sawHeader = true;
        if (FindSection(e.section))
            return;
        std::vector<const char*> names;
        for (const KnownSection& s : kSections)
            names.push_back(s.name);
        if (const char* near = NearName(e.section, names))
            Warn(e.line, "section [" + e.section + "] is not [" + near +
                             "]: names are case-sensitive and blanks count, so Setup.exe does not read it");
        else
            Warn(e.line, "section [" + e.section + "] is not read by Setup.exe");
    }

    void OnEntry(const CSetupScript::LineEvent& e)
    {
        const KnownSection* section = FindSection(e.section);
        if (!section)
            return;
        const std::string& key = e.key;
        if (!key.empty() && (key.back() == ' ' || key.back() == '\t'))
            Warn(e.line, "blank before \"=\": the key is \"" + key + "\", not \"" + TrimmedKey(key) +
                             "\" (blanks around \"=\" are part of the key and the value)");
        else if (!e.value.empty() && (e.value[0] == ' ' || e.value[0] == '\t') && section->listStart < 0)
            Warn(e.line, "blank after \"=\": the value of " + key + " starts with it");

        bool numbered = section->listStart >= 0 && AllDigits(TrimmedKey(key));
        if (numbered) {
            if (key.size() > 5 || key != std::to_string(std::atol(key.c_str()))) {
                Warn(e.line, "key \"" + key + "\" is never read: list keys are numbers without leading zeros");
                return;
            }
            long n = std::atol(key.c_str());
            m_listLines[section->name][static_cast<int>(n)] = e.line;
            if (e.value.empty() || n < section->listStart)
                return;
            CheckFields(e, *section);
            CheckMacros(e);
            if (section->name == std::string("Group"))
                CheckItemLength(e);
            return;
        }
        bool known = std::find_if(section->keys.begin(), section->keys.end(),
                                  [&](const char* k) { return key == k; }) != section->keys.end();
        if (!known) {
            if (const char* near = NearName(key, section->keys)) {
                if (TrimmedKey(key) == near)
                    return;   // told above
                Warn(e.line, "key \"" + key + "\" is not \"" + near + "\": keys are case-sensitive");
            } else {
                Warn(e.line, "key \"" + key + "\" of [" + e.section + "] is not read by Setup.exe");
            }
            return;
        }
        if ((key == "License" || key == "CopyMode" || key == "Uninstall") && !e.value.empty() && !IsNumber(e.value))
            Warn(e.line, key + "=" + e.value + " is not a number and counts as " +
                             std::to_string(ScriptAtoi(e.value)));
        if (key == "Group" && section->name == std::string("Group")) {
            std::string command;
            if (!FormatCreateGroup(e.value, command))
                Warn(e.line, "the group name is too long for the Program Manager (its commands may have 255 "
                             "characters): no group and no items are made");
            else if (!FormatShowGroup(e.value, 1, command))
                Warn(e.line, "the group name is too long for the Program Manager's ShowGroup command (255 "
                             "characters): the group is not shown");
        }
        if (key == "Run")
            CheckMacros(e);
        else if (e.value.find("$(") != std::string::npos)
            Warn(e.line, "macros are not expanded in " + e.section + "/" + key);
    }

    static std::string TrimmedKey(const std::string& key)
    {
        std::string k = key;
        TrimBlanks(k);
        return k;
    }

    void CheckFields(const CSetupScript::LineEvent& e, const KnownSection& section)
    {
        int have = static_cast<int>(std::count(e.value.begin(), e.value.end(), section.separator));
        if (section.separators > 0 && have < section.separators) {
            std::string sep = section.separator == '\t' ? "tabs" : "\"#\"";
            Warn(e.line, "entry " + e.key + " of [" + e.section + "] has " + std::to_string(have) + " of the " +
                             std::to_string(section.separators) + " " + sep + " it needs and is skipped");
        }
    }

    // The item's commands as written; macros and the quotes around a
    // program only make them longer.
    void CheckItemLength(const CSetupScript::LineEvent& e)
    {
        std::string fields[4];
        std::string rest = e.value;
        for (int i = 0; i < 3; ++i)
            if (!SplitField(fields[i], rest, '\t'))
                return;
        std::string command;
        if (!FormatReplaceItem(fields[0], command) ||
            !FormatAddItem(fields[0], fields[1], fields[2], static_cast<std::uint16_t>(ScriptAtoi(rest)), command))
            Warn(e.line, "item " + e.key + " of [Group] is too long for the Program Manager (its commands may have "
                                           "255 characters): the item is not made");
    }

    void CheckMacros(const CSetupScript::LineEvent& e)
    {
        static const char* const macros[] = {"windows", "system", "destination", "source"};
        for (std::string::size_type at = e.value.find("$("); at != std::string::npos; at = e.value.find("$(", at + 2)) {
            std::string::size_type close = e.value.find(')', at);
            std::string name = close == std::string::npos ? e.value.substr(at) : e.value.substr(at + 2, close - at - 2);
            bool known = close != std::string::npos &&
                         std::find(std::begin(macros), std::end(macros), LowerAnsi(name)) != std::end(macros);
            if (!known)
                Warn(e.line, (close == std::string::npos ? "\"" + name + "\"" : "$(" + name + ")") +
                                 " is not a macro (there are $(Windows), $(System), $(Destination) and $(Source)); "
                                 "it stays in the text");
        }
    }

public:
    bool m_bom = false;
    bool m_bomHidHeader = false;
    bool m_sawHeader = false;
    std::map<std::string, std::map<int, int>> m_listLines;   // section -> number -> line

private:
    std::vector<ScriptWarning>& m_out;
};

void Checker::Finish(const CSetupScript& script, const std::string& medium)
{
    for (const KnownSection& s : kSections) {
        if (s.listStart < 0)
            continue;
        const auto& lines = m_listLines[s.name];
        std::string value;
        int n = s.listStart;
        while (n <= s.listEnd && script.GetEntry(s.name, static_cast<std::int16_t>(n), value))
            ++n;
        for (const auto& [number, line] : lines) {
            if (number < s.listStart) {
                Warn(line, "[" + std::string(s.name) + "] entry " + std::to_string(number) +
                               " is never used: the list starts at " + std::to_string(s.listStart));
            } else if (number >= n && script.GetEntry(s.name, static_cast<std::int16_t>(number), value)) {
                Warn(line, "[" + std::string(s.name) + "] entry " + std::to_string(number) +
                               " is never used: the list ends " +
                               (n == s.listStart ? "before it starts (no entry " + std::to_string(s.listStart) + ")"
                                                 : "after entry " + std::to_string(n - 1)));
            }
        }
    }
    std::string destination;
    if (!script.GetString("General", "Destination", destination) ||
        destination.find_first_not_of(" \t") == std::string::npos)
        Warn(0, "General/Destination is empty (the key is missing, or its section is not read): the Destination "
                "dialog starts empty and the user has to type the folder");
    std::int16_t uninstall = 0;
    std::string title;
    script.GetInt("General", "Uninstall", uninstall);
    if (uninstall != 0 && (!script.GetString("General", "Title", title) || title.empty()))
        Warn(0, "Uninstall is set but General/Title is empty: Add/Remove Programs lists the product as "
                "\"Setup\" and a second such product replaces its entry");
    if (medium.empty())
        return;

    auto exists = [&](const std::string& name) {
        CFileStatus status;
        return CFile::GetStatus(NativePath(medium + "\\" + name), status);
    };
    if (!exists("Setup.exe"))
        Warn(0, "the medium has no Setup.exe");
    std::int16_t license = 0, copyMode = 0;
    script.GetInt("General", "License", license);
    script.GetInt("General", "CopyMode", copyMode);
    if (license != 0 && !exists("License.txt"))
        Warn(0, "License is set but the medium has no License.txt: the licence step is left out");
    if (copyMode != 0) {
        std::string from;
        script.GetString("Copy", "From", from);
        if (!DirectoryExists(NativePath(medium + "\\" + from)))
            Warn(0, "copy mode: the source tree \"" + from + "\" is missing on the medium, so the installation stops "
                    "after the progress dialog");
    } else {
        int archives = 0;
        for (const char* name : {"Setup.aqj", "Windows.aqj", "System.aqj"}) {
            if (!exists(name))
                continue;
            ++archives;
            CArchiveDirectory archive;
            if (!archive.Read(NativePath(medium + "\\" + name)) || !archive.Verify())
                Warn(0, std::string(name) + " is damaged (" + archive.GetError() + "): Setup.exe will install nothing");
            else if (name == std::string("Setup.aqj"))
                CheckDestinationEntries(script, archive);
        }
        if (archives == 0)
            Warn(0, "no archive (Setup.aqj, Windows.aqj, System.aqj) on the medium: no files will be installed");
    }
    // Files the Copy list takes from the medium.
    std::string entry;
    for (int n = 0; n <= 9999 && script.GetEntry("Copy", static_cast<std::int16_t>(n), entry); ++n) {
        std::string source = entry.substr(0, entry.find('#'));
        if (LowerAnsi(source).rfind("$(source)\\", 0) != 0)
            continue;
        std::string name = source.substr(10);
        if (!exists(name))
            Warn(m_listLines["Copy"][n], "Copy entry " + std::to_string(n) + ": " + name +
                                             " is not on the medium; the entry will be skipped");
    }
}

// Copy and Del entries that name a file below $(Destination)\ against what
// Setup.aqj installs there.
void Checker::CheckDestinationEntries(const CSetupScript& script, const CArchiveDirectory& setup)
{
    std::set<std::string> members, folders;
    for (const CArchiveMember& m : setup.GetMembers()) {
        std::string name = LowerAnsi(m.strName);
        members.insert(name);
        for (auto slash = name.find('\\'); slash != std::string::npos; slash = name.find('\\', slash + 1))
            folders.insert(name.substr(0, slash));
    }
    const std::string prefix = "$(destination)\\";
    auto below = [&](const std::string& path, std::string& name) {
        if (LowerAnsi(path).compare(0, prefix.size(), prefix) != 0)
            return false;
        name = path.substr(prefix.size());
        return true;
    };
    std::string entry, name;
    for (int n = 0; n <= 9999 && script.GetEntry("Del", static_cast<std::int16_t>(n), entry); ++n)
        if (below(entry, name) && !members.count(LowerAnsi(name)))
            Warn(m_listLines["Del"][n], "Del entry " + std::to_string(n) + ": no archive installs " + name +
                                            ", so unless it is there already Setup.exe stops with \"an unnamed file "
                                            "was not found.\"");
    for (int n = 0; n <= 9999 && script.GetEntry("Copy", static_cast<std::int16_t>(n), entry); ++n) {
        std::string::size_type hash = entry.find('#');
        if (hash == std::string::npos)
            continue;
        const int line = m_listLines["Copy"][n];
        if (below(entry.substr(0, hash), name) && !members.count(LowerAnsi(name)))
            Warn(line, "Copy entry " + std::to_string(n) + ": no archive installs " + name +
                           "; the entry will be skipped");
        if (below(entry.substr(hash + 1), name) && name.rfind('\\') != std::string::npos &&
            !folders.count(LowerAnsi(name.substr(0, name.rfind('\\')))))
            Warn(line, "Copy entry " + std::to_string(n) + ": no archive makes the folder " +
                           name.substr(0, name.rfind('\\')) + ", and the copy does not create it; the entry will be "
                           "skipped");
    }
}

} // namespace

std::vector<ScriptWarning> CheckScript(const char* data, std::size_t size, const std::string& mediumDir)
{
    std::vector<ScriptWarning> warnings;
    Checker checker(warnings);
    checker.m_bom = size >= 3 && static_cast<unsigned char>(data[0]) == 0xEF &&
                    static_cast<unsigned char>(data[1]) == 0xBB && static_cast<unsigned char>(data[2]) == 0xBF;
    CSetupScript script;
    script.SetLineObserver([&](const CSetupScript::LineEvent& e) { checker.OnEvent(e); });
    script.Parse(data, size);
    checker.Finish(script, mediumDir);
    // By line; what concerns the whole script or the medium last.
    auto order = [](const ScriptWarning& w) { return w.line == 0 ? INT_MAX : w.line; };
    std::stable_sort(warnings.begin(), warnings.end(),
                     [&](const ScriptWarning& a, const ScriptWarning& b) { return order(a) < order(b); });
    return warnings;
}
