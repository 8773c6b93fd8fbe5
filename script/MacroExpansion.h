#pragma once
// "$(Windows)", "$(System)", "$(Destination)" and "$(Source)" in script
// values, replaced just before a value is used.

#include <string>

class CScriptPlatform;
class CSetupScript;

// Replaces the pattern in text, ignoring case; every occurrence when all is
// set, else the first. Text a replacement inserts is not searched again.
// Returns the number of replacements.
int ReplaceAllNoCase(std::string& text, const std::string& pattern, const std::string& replacement, bool all);

// The four passes in order, each over the whole string, so text inserted by
// one pass is searched by the passes after it. The values are taken afresh
// at every call.
std::string ExpandMacros(const std::string& text, CScriptPlatform& platform, const CSetupScript& script);
