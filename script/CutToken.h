#pragma once

#include <string>

// Splits the head off text at the first separator: head receives the
// characters before it, text keeps what follows it, and the result is true.
// Without a separator head receives the whole text, text is unchanged and
// the result is false.
bool CutToken(std::string& text, std::string& head, char separator);

// Removes spaces and tabs from both ends.
void TrimBlanks(std::string& text);
