#pragma once
// An output written under a temporary name beside its final one and renamed
// into place only when complete, so that a failed run never leaves a
// partial file (or folder) where the finished one belongs, nor replaces a
// good one.

#include <string>

class StagedOutput {
public:
    // Picks the temporary name in target's folder; nothing is made yet.
    explicit StagedOutput(const std::string& target);
    // Removes what was written under the temporary name unless committed.
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    const std::string& Path() const { return m_temp; }
    const std::string& Target() const { return m_target; }
    // Renames the temporary file into place, replacing what is there; false
    // with the system's reason when it cannot.
    bool Commit(std::string& reason);
    // Removes what was written so far.
    void Discard();

private:
    std::string m_target;
    std::string m_temp;
    bool m_bDone = false;
};
