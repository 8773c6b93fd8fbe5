#pragma once
// Where the compressor's default error notification goes: a message box on
// Windows, stderr elsewhere (the portable core needs no window).

void ReportCompressorError(const char* text);
