// setuptool: the vendor's tool for what goes on a distribution medium.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/Command.h"

namespace {

std::vector<ToolCommand>& Registry()
{
    static std::vector<ToolCommand> commands;
    return commands;
}

void PrintCommands(std::FILE* out)
{
    std::fprintf(out, "usage: setuptool COMMAND [ARGS...]\n       setuptool COMMAND --help\n\ncommands:\n");
    for (const ToolCommand& c : Registry())
        std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
}

} // namespace

bool RegisterToolCommand(const ToolCommand& command)
{
    Registry().push_back(command);
    return true;
}

const std::vector<ToolCommand>& ToolCommands()
{
    return Registry();
}

int ToolError(const std::string& message)
{
    std::fprintf(stderr, "setuptool: %s\n", message.c_str());
    return 1;
}

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintCommands(stderr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintCommands(stdout);
        return 0;
    }
    for (const ToolCommand& c : Registry()) {
        if (args[0] != c.name)
            continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
        for (const std::string& a : rest) {
            if (a == "--help" || a == "-h") {
                std::fputs(c.usage, stdout);
                return 0;
            }
        }
        try {
            return c.run(rest);
        } catch (const std::exception& e) {
            return ToolError(e.what());
        } catch (...) {
            return ToolError("unexpected error");
        }
    }
    return ToolError("unknown command \"" + args[0] + "\" (setuptool --help lists them)");
}
