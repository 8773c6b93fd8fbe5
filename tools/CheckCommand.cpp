// setuptool check: what Setup.exe will make of a script, line by line.

#include <cstdio>
#include <fstream>
#include <iterator>

#include "script/ScriptCheck.h"
#include "tools/Command.h"

namespace {

int Run(const std::vector<std::string>& args)
{
    if (args.empty() || args.size() > 2)
        return ToolError("check needs a script and, optionally, the medium's folder (setuptool check --help)");
    const std::string& path = args[0];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "setuptool: cannot read %s\n", path.c_str());
        return 2;
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<ScriptWarning> warnings = CheckScript(data.data(), data.size(), args.size() > 1 ? args[1] : "");
    for (const ScriptWarning& w : warnings) {
        if (w.line > 0)
            std::printf("%s:%d: %s\n", path.c_str(), w.line, w.text.c_str());
        else
            std::printf("%s: %s\n", args.size() > 1 ? args[1].c_str() : path.c_str(), w.text.c_str());
    }
    if (warnings.empty()) {
        std::printf("%s: no warnings\n", path.c_str());
        return 0;
    }
    std::printf("%zu warning%s\n", warnings.size(), warnings.size() == 1 ? "" : "s");
    return 1;
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
    "Exit status: 0 clean, 1 with warnings, 2 when the script cannot be read.\n",
    Run,
});

} // namespace
