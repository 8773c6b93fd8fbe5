#include "tools/StagedOutput.h"

#include <atomic>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

StagedOutput::StagedOutput(const std::string& target) : m_target(target)
{
    // A short name of our own, whatever the length of the target's: the
    // process and a counter keep runs side by side apart.
    static std::atomic<unsigned> counter{0};
    const fs::path folder = fs::path(target).parent_path();
    const std::string name = ".setuptool-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".part";
    m_temp = (folder / name).string();
}

StagedOutput::~StagedOutput()
{
    Discard();
}

bool StagedOutput::Commit(std::string& reason)
{
    std::error_code error;
    fs::rename(m_temp, m_target, error);
    if (error) {
        reason = error.message();
        return false;
    }
    m_bDone = true;
    return true;
}

void StagedOutput::Discard()
{
    if (m_bDone)
        return;
    std::error_code ignored;
    fs::remove_all(m_temp, ignored);
    m_bDone = true;
}
