// setuptool: the vendor's tool for what goes on a distribution medium.

#include <cstdio>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "framework/FileException.h"
#include "tools/Command.h"

namespace {

std::vector<ToolCommand>& Registry()
{
    static std::vector<ToolCommand> commands;
    return commands;
}

void PrintCommands(std::FILE* out)
{
    std::fprintf(out, "usage: setuptool COMMAND [ARGS...]\n       setuptool help COMMAND\n\ncommands:\n");
    for (const ToolCommand& c : Registry())
        std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
    std::fprintf(out, "\nExit status: 0 done, 1 failed (check, medium: warnings), 2 usage error.\n");
}

bool TakesValue(const ToolCommand& c, const std::string& option)
{
    std::istringstream names(c.options);
    for (std::string name; names >> name;) {
        if (name == option)
            return true;
    }
    return false;
}

// Options until "--"; "-h" and "--help" there ask for the usage. A value
// may follow its option or be attached ("-j4", "--setup=X").
int Parse(const ToolCommand& c, const std::vector<std::string>& args, ToolArgs& out, bool& help)
{
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!options || a.size() < 2 || a[0] != '-') {
            out.operands.push_back(a);
            continue;
        }
        if (a == "--") {
            options = false;
            continue;
        }
        if (a == "-h" || a == "--help") {
            help = true;
            return toolOk;
        }
        ToolOption option{a, std::string(), out.operands.size()};
        const std::size_t equals = a.find('=');
        if (a[1] == '-' && equals != std::string::npos) {
            option.name = a.substr(0, equals);
            option.value = a.substr(equals + 1);
        } else if (a[1] != '-' && a.size() > 2) {
            option.name = a.substr(0, 2);
            option.value = a.substr(2);
        } else if (TakesValue(c, a)) {
            if (i + 1 >= args.size())
                return ToolUsageError(c.name, a + " needs a value");
            option.value = args[++i];
        }
        if (!TakesValue(c, option.name))
            return ToolUsageError(c.name, "unknown option " + a);
        out.options.push_back(option);
    }
    const int n = static_cast<int>(out.operands.size());
    if (n < c.minOperands)
        return ToolUsageError(c.name, "missing arguments");
    if (c.maxOperands >= 0 && n > c.maxOperands)
        return ToolUsageError(c.name, "too many arguments");
    return toolOk;
}

} // namespace

bool RegisterToolCommand(const ToolCommand& command)
{
    Registry().push_back(command);
    return true;
}

const ToolCommand* FindToolCommand(const std::string& name)
{
    for (const ToolCommand& c : Registry()) {
        if (name == c.name)
            return &c;
    }
    return nullptr;
}

std::string EscapeName(const std::string& name)
{
    std::string out;
    for (unsigned char c : name) {
        if (c >= 0x20 && c != 0x7F) {
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

int ToolError(const std::string& message)
{
    const std::string line = "setuptool: " + EscapeName(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    return toolFailed;
}

int ToolUsageError(const std::string& command, const std::string& message)
{
    ToolError(command + ": " + message + " (setuptool help " + command + ")");
    return toolUsage;
}

std::string FileErrorReason(const CFileException& error)
{
    if (error.m_lOsError > 0) {
#ifdef _WIN32
        std::string text = std::system_category().message(static_cast<int>(error.m_lOsError));
#else
        std::string text = std::generic_category().message(static_cast<int>(error.m_lOsError));
#endif
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.' || text.back() == ' '))
            text.pop_back();
        if (!text.empty())
            return text;
    }
    std::string text;
    CFileException(error.m_cause).GetErrorMessage(text);
    return text.empty() ? "unknown error" : text;
}

std::string CountOf(std::uint64_t n, const char* noun)
{
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintCommands(stderr);
        return toolUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || (args[0] == "help" && args.size() == 1)) {
        PrintCommands(stdout);
        return toolOk;
    }
    if (args[0] == "help") {
        const ToolCommand* c = args.size() == 2 ? FindToolCommand(args[1]) : nullptr;
        if (!c) {
            ToolError("help: " + (args.size() == 2 ? "unknown command \"" + args[1] + "\"" : std::string("give one command")) +
                      " (setuptool --help lists them)");
            return toolUsage;
        }
        std::fputs(c->usage, stdout);
        return toolOk;
    }
    const ToolCommand* c = FindToolCommand(args[0]);
    if (!c) {
        ToolError("unknown command \"" + args[0] + "\" (setuptool --help lists them)");
        return toolUsage;
    }
    ToolArgs parsed;
    bool help = false;
    if (int status = Parse(*c, std::vector<std::string>(args.begin() + 1, args.end()), parsed, help))
        return status;
    if (help) {
        std::fputs(c->usage, stdout);
        return toolOk;
    }
    try {
        return c->run(parsed);
    } catch (const std::exception& e) {
        return ToolError(std::string(c->name) + ": " + e.what());
    } catch (...) {
        return ToolError(std::string(c->name) + ": unexpected error");
    }
}
