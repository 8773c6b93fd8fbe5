#pragma once

#include <string>

// Lower case in the system's ANSI code page. On Windows this is the
// system's own rule, aware of double-byte characters; elsewhere (the tool
// and the native tests) only the ASCII letters change. The length never
// changes, so positions in the copy match the original.
std::string LowerAnsi(const std::string& text);
