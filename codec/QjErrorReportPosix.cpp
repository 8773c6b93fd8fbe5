#include "codec/QjErrorReport.h"

#include <cstdio>

void ReportCompressorError(const char* text)
{
    std::fprintf(stderr, "%s\n", text);
}
