#include "script/MacroExpansion.h"

#include "script/LowerAnsi.h"
#include "script/Platform.h"
#include "script/SetupScript.h"

int ReplaceAllNoCase(std::string& text, const std::string& pattern, const std::string& replacement, bool all)
{
    if (pattern.empty())
        return 0;
    const std::string lowerText = LowerAnsi(text);
    const std::string lowerPattern = LowerAnsi(pattern);
    const std::ptrdiff_t shift = static_cast<std::ptrdiff_t>(replacement.size()) - static_cast<std::ptrdiff_t>(pattern.size());
    std::ptrdiff_t offset = 0;
    int count = 0;
    for (std::string::size_type at = lowerText.find(lowerPattern); at != std::string::npos;
         at = lowerText.find(lowerPattern, at + pattern.size())) {
        text.replace(static_cast<std::string::size_type>(static_cast<std::ptrdiff_t>(at) + offset), pattern.size(),
                     replacement);
        ++count;
        if (!all)
            break;
        offset += shift;
    }
    return count;
}

std::string ExpandMacros(const std::string& text, CScriptPlatform& platform, const CSetupScript& script)
{
    std::string source = platform.SourceDirectory();
    if (!source.empty())
        source.pop_back();
    std::string destination;
    script.GetString("General", "Destination", destination);

    std::string result = text;
    ReplaceAllNoCase(result, "$(Windows)", platform.WindowsDirectory(), true);
    ReplaceAllNoCase(result, "$(System)", platform.SystemDirectory(), true);
    ReplaceAllNoCase(result, "$(Destination)", destination, true);
    ReplaceAllNoCase(result, "$(Source)", source, true);
    return result;
}
