#pragma once
// setuptool's commands register themselves here; main dispatches by name,
// reads the options each command declares and checks the operand count, so
// that every command answers usage errors the same way (status 2).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CFileException;

// Exit statuses, as tar and 7z use them.
enum ToolStatus { toolOk = 0, toolFailed = 1, toolUsage = 2 };

// An option and its value, in command-line order; before counts the
// operands that came ahead of it (pack's -C applies to those after it).
struct ToolOption {
    std::string name;   // "-m", "--setup"
    std::string value;
    std::size_t before = 0;
};

struct ToolArgs {
    std::vector<std::string> operands;
    std::vector<ToolOption> options;
};

struct ToolCommand {
    const char* name;
    const char* summary;       // one line for the command list
    const char* usage;         // the text of "setuptool NAME --help"
    int (*run)(const ToolArgs& args);
    const char* options;       // the options taking a value, blank-separated ("-m -C -j")
    int minOperands;
    int maxOperands;           // -1: any number
};

// Adds a command; returns true so that a file can register from a static.
bool RegisterToolCommand(const ToolCommand& command);
const ToolCommand* FindToolCommand(const std::string& name);

// Control characters (and DEL) as \n, \t, \r or \xHH, so that a name cannot
// break or cut a line of output.
std::string EscapeName(const std::string& name);

// One line on stderr, "setuptool: " and the message with control
// characters escaped; returns toolFailed.
int ToolError(const std::string& message);
// The same for a usage error, pointing at the command's help; returns
// toolUsage.
int ToolUsageError(const std::string& command, const std::string& message);

// The system's own text for a failed file operation ("No space left on
// device"), without the file's name.
std::string FileErrorReason(const CFileException& error);

// "1 member", "2 members".
std::string CountOf(std::uint64_t n, const char* noun);
