#include "app/CommandLine.h"

#include <cctype>
#include <cstdlib>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Whether text starts with the switch name, ignoring case.
bool Starts(const std::string& text, const char* name)
{
    std::size_t i = 0;
    for (; name[i]; ++i)
        if (i >= text.size() || std::toupper(static_cast<unsigned char>(text[i])) != name[i])
            return false;
    return true;
}

std::string TrimEnd(std::string text)
{
    while (!text.empty() && IsBlank(text.back()))
        text.pop_back();
    return text;
}

// /D="C:\My Dir" as the last argument.
std::string Unquote(std::string value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

void Fail(SetupOptions& options, const std::string& error)
{
    if (options.error.empty())
        options.error = error;
}

void Take(const std::string& argument, SetupOptions& options)
{
    const std::string upper = [&] {
        std::string u = argument;
        for (char& c : u)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return u;
    }();
    if (upper == "/S") {
        options.silent = true;
    } else if (upper == "/U") {
        options.uninstall = true;
    } else if (upper == "/?") {
        options.usage = true;
    } else if (Starts(upper, "/LOG=")) {
        options.log = argument.substr(5);
        if (options.log.empty())
            Fail(options, "/LOG= needs a file name.");
    } else if (Starts(upper, "/D=")) {
        options.destination = argument.substr(3);
        if (options.destination.empty())
            Fail(options, "/D= needs a folder.");
    } else if (Starts(upper, "/CLEANUP=")) {
        char* end = nullptr;
        const std::string id = argument.substr(9);
        options.cleanupOf = std::strtoul(id.c_str(), &end, 10);
        if (id.empty() || *end || options.cleanupOf == 0)
            Fail(options, "Unknown switch: " + argument);
    } else {
        Fail(options, "Unknown switch: " + argument);
    }
}

} // namespace

std::string CommandArguments(const std::string& commandLine)
{
    std::size_t at = 0;
    while (at < commandLine.size() && IsBlank(commandLine[at]))
        ++at;
    if (at < commandLine.size() && commandLine[at] == '"') {
        const std::size_t close = commandLine.find('"', at + 1);
        at = close == std::string::npos ? commandLine.size() : close + 1;
    }
    while (at < commandLine.size() && !IsBlank(commandLine[at]))
        ++at;
    return commandLine.substr(at);
}

bool ParseCommandLine(const std::string& arguments, SetupOptions& options)
{
    std::size_t at = 0;
    for (;;) {
        while (at < arguments.size() && IsBlank(arguments[at]))
            ++at;
        if (at == arguments.size())
            return options.error.empty();
        std::string argument;
        if (Starts(arguments.substr(at, 3), "/D=")) {
            // The rest of the line, spaces and all.
            argument = "/D=" + Unquote(TrimEnd(arguments.substr(at + 3)));
            at = arguments.size();
        } else {
            // Quotes group blanks into the argument wherever they stand:
            // "/D=C:\My Dir" and /LOG="C:\a b.log" alike.
            bool quoted = false;
            for (; at < arguments.size() && (quoted || !IsBlank(arguments[at])); ++at) {
                if (arguments[at] == '"')
                    quoted = !quoted;
                else
                    argument += arguments[at];
            }
            if (quoted) {
                Fail(options, "A quote is not closed: " + argument);
                return false;
            }
        }
        // The rest of the line is still read after a fault, so that a /S
        // after it keeps the usage box away; the first fault is reported.
        Take(argument, options);
    }
}

std::string UsageText(const std::string& error)
{
    std::string text = error.empty() ? std::string() : error + "\n\n";
    return text + "Usage: Setup [/S] [/LOG=file] [/D=folder]\n"
                  "       Uninstall /U [/S] [/LOG=file]\n\n"
                  "/S\tinstall or remove without windows or questions\n"
                  "/LOG=file\tappend a line for every action to the file\n"
                  "/D=folder\tinstall into the folder; the last argument, spaces allowed\n"
                  "/U\tremove the product that Uninstall.exe belongs to\n\n"
                  "Exit status: 0 done, 1 cancelled, 2 damaged medium or not enough space,\n"
                  "3 file error, 4 bad command line.";
}
