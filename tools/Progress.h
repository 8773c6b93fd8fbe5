#pragma once
// A progress bar on stderr for long work; silent when stderr is no terminal.

#include <cstdint>
#include <string>

class ToolProgress {
public:
    ToolProgress(const std::string& label, std::uint64_t total);
    ~ToolProgress();
    void Update(std::uint64_t done);
    void Finish();

private:
    std::string m_label;
    std::uint64_t m_total;
    int m_shown = -1;
    bool m_enabled;
};
