#include "ui/ProgmanCommands.h"

namespace {

bool Fits(std::string text, std::string& command)
{
    if (text.size() > kProgmanMaxCommand)
        return false;
    command = std::move(text);
    return true;
}

} // namespace

bool FormatCreateGroup(const std::string& group, std::string& command)
{
    return Fits("[CreateGroup(" + group + ")]", command);
}

bool FormatDeleteGroup(const std::string& group, std::string& command)
{
    return Fits("[DeleteGroup(" + group + ")]", command);
}

bool FormatShowGroup(const std::string& group, std::uint16_t show, std::string& command)
{
    return Fits("[ShowGroup(" + group + "," + std::to_string(show) + ")]", command);
}

bool FormatReplaceItem(const std::string& name, std::string& command)
{
    return Fits("[ReplaceItem(" + name + ")]", command);
}

bool FormatAddItem(const std::string& name, const std::string& commandLine, const std::string& iconPath,
                   std::uint16_t iconIndex, std::string& command)
{
    return Fits("[AddItem(" + commandLine + "," + name + "," + iconPath + "," + std::to_string(iconIndex) + ")]",
                command);
}
