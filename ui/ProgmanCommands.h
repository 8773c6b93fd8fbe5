#pragma once
// The Program Manager's execute commands, as text. Values go in as they
// are: nothing is quoted or escaped, so a comma or parenthesis in a name
// spoils the command's syntax. Numbers are 16-bit unsigned. A command
// longer than the 255 characters a Program Manager command may have is
// refused: the functions return false and nothing is to be sent.

#include <cstdint>
#include <string>

constexpr std::size_t kProgmanMaxCommand = 255;

bool FormatCreateGroup(const std::string& group, std::string& command);
bool FormatDeleteGroup(const std::string& group, std::string& command);
bool FormatShowGroup(const std::string& group, std::uint16_t show, std::string& command);
bool FormatReplaceItem(const std::string& name, std::string& command);
// The command line comes first, then the item's name.
bool FormatAddItem(const std::string& name, const std::string& commandLine, const std::string& iconPath,
                   std::uint16_t iconIndex, std::string& command);
