#pragma once
// setuptool's commands register themselves here; main dispatches by name.

#include <string>
#include <vector>

struct ToolCommand {
    const char* name;
    const char* summary;       // one line for the command list
    const char* usage;         // the text of "setuptool NAME --help"
    int (*run)(const std::vector<std::string>& args);   // args after the name
};

// Adds a command; returns true so that a file can register from a static.
bool RegisterToolCommand(const ToolCommand& command);
const std::vector<ToolCommand>& ToolCommands();

// One line on stderr, prefixed with "setuptool: ", and the exit status 1.
int ToolError(const std::string& message);
