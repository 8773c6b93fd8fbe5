// setuptool check: what Setup.exe will make of a script, line by line.

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <fstream>
#include <iterator>

#include "tools/ScriptCheck.h"
#include "tools/Command.h"

namespace {

int Run(const ToolArgs& parsed)
{
    const std::vector<std::string>& args = parsed.operands;
    const std::string& path = args[0];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ToolError("check: " + path + ": cannot open: " + std::generic_category().message(errno));
        return toolUsage;
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<ScriptWarning> warnings = CheckScript(data.data(), data.size(), args.size() > 1 ? args[1] : "");
    for (const ScriptWarning& w : warnings) {
        if (w.line > 0)
            std::printf("%s:%d: %s\n", EscapeName(path).c_str(), w.line, EscapeName(w.text).c_str());
        else
            std::printf("%s: %s\n", EscapeName(args.size() > 1 ? args[1] : path).c_str(), EscapeName(w.text).c_str());
    }
    if (warnings.empty()) {
        std::printf("%s: no warnings\n", EscapeName(path).c_str());
        return toolOk;
    }
    std::printf("%s\n", CountOf(warnings.size(), "warning").c_str());
    return toolFailed;
}

const bool registered = RegisterToolCommand({
    "check",
    "read a Setup.ini as Setup.exe does and tell what its rules will do",
    "usage: setuptool check SETUP.INI [MEDIUM-DIR]\n"
    "\n"
    "Reads the script with Setup.exe's own reader and reports, each with its\n"
    "line, what its rules will silently do: blanks around \"=\", names in the\n"
    "wrong case, a byte-order mark, lines too short, keys before any section,\n"
    "gaps and leading zeros in the numbered lists, entries with too few\n"
    "fields, numbers that are not numbers, macros that do not exist. Given\n"
    "the medium's folder, it also looks for the files the script needs,\n"
    "checks the archives whole and matches the Copy and Del entries below\n"
    "$(Destination) against what Setup.aqj installs. docs/setuptool.md lists\n"
    "every warning.\n"
    "\n"
    "Exit status: 0 clean, 1 with warnings, 2 when the script cannot be read\n"
    "or the command line is wrong.\n",
    Run, "", 1, 2,
});

} // namespace
