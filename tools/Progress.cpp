#include "tools/Progress.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

ToolProgress::ToolProgress(const std::string& label, std::uint64_t total)
    : m_label(label), m_total(total), m_enabled(isatty(fileno(stderr)) != 0)
{
}

ToolProgress::~ToolProgress()
{
    Finish();
}

void ToolProgress::Update(std::uint64_t done)
{
    if (!m_enabled || m_total == 0)
        return;
    int percent = static_cast<int>(done >= m_total ? 100 : done * 100 / m_total);
    if (percent == m_shown)
        return;
    m_shown = percent;
    const int width = 30;
    int filled = percent * width / 100;
    std::fprintf(stderr, "\r%-24.24s [%.*s%*s] %3d%%", m_label.c_str(), filled,
                 "==============================", width - filled, "", percent);
    std::fflush(stderr);
}

void ToolProgress::Finish()
{
    if (m_enabled && m_shown >= 0) {
        std::fprintf(stderr, "\r%*s\r", 24 + 30 + 8, "");
        std::fflush(stderr);
    }
    m_shown = -1;
}
