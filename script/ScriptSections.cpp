#include "script/ScriptSections.h"

#include "script/LowerAnsi.h"
#include "script/MacroExpansion.h"
#include "script/Platform.h"
#include "script/SetupScript.h"

namespace {

constexpr int kMaxListEntry = 9999;
constexpr int kMaxGroupItem = 999;

// Splits an entry into count fields, the last one the whole rest; false
// when the entry has fewer separators than that needs.
bool SplitEntry(std::string entry, char separator, std::string* fields, int count)
{
    for (int i = 0; i < count - 1; ++i)
        if (!SplitField(fields[i], entry, separator))
            return false;
    fields[count - 1] = entry;
    return true;
}

} // namespace

bool SplitField(std::string& head, std::string& rest, char separator)
{
    std::string::size_type at = rest.find(separator);
    if (at == std::string::npos)
        return false;
    head = rest.substr(0, at);
    rest.erase(0, at + 1);
    return true;
}

std::string QuoteCommand(const std::string& command, CScriptPlatform& platform)
{
    std::string::size_type exe = LowerAnsi(command).find(".exe");
    if (exe != std::string::npos) {
        if (!command.empty() && command[0] == '"')
            return command;
        return "\"" + command.substr(0, exe + 4) + "\"" + command.substr(exe + 4);
    }
    std::string program = platform.FindAssociatedProgram(command);
    if (program.find('.') != std::string::npos)
        return "\"" + program + "\" \"" + command + "\"";
    return command;
}

std::string CScriptSections::Expand(const std::string& text)
{
    return ExpandMacros(text, m_platform, m_script);
}

void CScriptSections::ProcessCopySection()
{
    std::string entry;
    for (int n = 0; n <= kMaxListEntry && m_script.GetEntry("Copy", static_cast<std::int16_t>(n), entry); ++n) {
        std::string fields[2];
        if (!SplitEntry(entry, '#', fields, 2))
            continue;
        const std::string source = Expand(fields[0]), target = Expand(fields[1]);
        const bool existed = m_observer && m_platform.FileExists(target);
        const bool copied = m_platform.CopyWholeFile(source, target);
        if (m_observer)
            m_observer->Copied(source, target, existed, copied);
    }
}

void CScriptSections::ProcessDelSection()
{
    std::string entry;
    for (int n = 0; n <= kMaxListEntry && m_script.GetEntry("Del", static_cast<std::int16_t>(n), entry); ++n) {
        const std::string path = Expand(entry);
        if (m_observer)
            m_observer->Deleting(path);
        m_platform.DeleteOneFile(path);
    }
}

bool CScriptSections::ProcessIniAndGroupSections()
{
    std::string entry;
    for (int n = 1; n <= kMaxListEntry && m_script.GetEntry("Ini", static_cast<std::int16_t>(n), entry); ++n) {
        // directory, file name, section, key, value (the rest, tabs and all)
        std::string fields[5];
        if (!SplitEntry(Expand(entry), '\t', fields, 5))
            continue;
        if (m_observer)
            m_observer->WritingIni(fields[0] + fields[1], fields[2], fields[3], fields[4]);
        m_platform.WriteIniString(fields[2], fields[3], fields[4], fields[0] + fields[1]);
    }

    std::string group;
    if (!m_script.GetString("Group", "Group", group))
        return false;
    if (!m_platform.OpenProgman()) {
        if (m_observer)
            m_observer->GroupMade(group, false);
        return false;
    }
    // Items act on the active group: without our group made active they
    // would land in (and replace same-named items of) another one.
    const bool created = m_platform.ProgmanCreateGroup(group);
    if (m_observer)
        m_observer->GroupMade(group, created);
    m_platform.ProgmanShowGroup(group, 1);
    for (int n = 1; created && n <= kMaxGroupItem && m_script.GetEntry("Group", static_cast<std::int16_t>(n), entry);
         ++n) {
        // item name, command line, icon path, icon index
        std::string fields[4];
        if (!SplitEntry(Expand(entry), '\t', fields, 4))
            continue;
        const auto index = static_cast<std::uint16_t>(static_cast<std::uint32_t>(ScriptAtoi(fields[3])) & 0xFFFFu);
        const std::string command = QuoteCommand(fields[1], m_platform);
        if (m_observer)
            m_observer->ItemMade(fields[0], command);
        m_platform.ProgmanReplaceItem(fields[0], command, fields[2], index);
    }
    m_platform.CloseProgman();
    m_platform.RaiseMainWindow();
    return true;
}

void CScriptSections::RunProgram()
{
    std::string run;
    if (!m_script.GetString("General", "Run", run))
        return;
    // Lower-cased as always. A program path with spaces is quoted, so that
    // it cannot start another program; but only when the text up to ".exe"
    // is a file: in "command.com /c setup.exe" the ".exe" is an argument.
    const std::string command = LowerAnsi(Expand(run));
    const std::string::size_type exe = command.find(".exe");
    if (exe != std::string::npos) {
        if (m_platform.FileExists(command.substr(0, exe + 4)))
            Start(QuoteCommand(command, m_platform));
        else
            Start(command);
        return;
    }
    std::string program = m_platform.FindAssociatedProgram(command);
    if (program.find('.') != std::string::npos)
        Start("\"" + program + "\" \"" + command + "\"");
}

void CScriptSections::Start(const std::string& command)
{
    if (m_observer)
        m_observer->Starting(command);
    m_platform.StartProgram(command);
}
