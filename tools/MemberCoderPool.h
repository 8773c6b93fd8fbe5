#pragma once
// Codes an archive's members on several threads. Members are independent
// (each codec starts afresh at a member), so each is coded by a packed file
// of the archive's kind into a scratch file of its own beside the archive
// and handed back in the members' order: the archive comes out byte for byte
// as if they had been coded one after another. At most `jobs` members are
// being coded, each streamed from its file through a fixed buffer, and at
// most 4 * jobs coded ones wait on disk for their turn, so memory stays
// small whatever the members' sizes.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct MemberSource {
    std::string path;
    std::uint64_t size = 0;   // found before packing; the file must keep it
};

// Reads source whole in chunks, handing each to take. Throws CFileException
// for a failed read and std::runtime_error when the file is not of its
// recorded size any more; stops (throwing) when stop becomes true.
void ReadMemberSource(const MemberSource& source, const std::function<void(const void*, std::uint32_t)>& take,
                      const std::atomic<bool>* stop = nullptr);

class MemberCoderPool {
public:
    // Scratch files are named scratchBase + ".0", ".1" ...
    MemberCoderPool(const std::vector<MemberSource>& sources, int kind, unsigned jobs, const std::string& scratchBase);
    // Stops the workers and removes the scratch files.
    ~MemberCoderPool();
    MemberCoderPool(const MemberCoderPool&) = delete;
    MemberCoderPool& operator=(const MemberCoderPool&) = delete;

    // The next member in order, once coded: the path of a packed file that
    // holds it alone (valid until the next call). Rethrows what coding it
    // threw.
    const std::string& Next();

private:
    enum State { waiting, coding, coded, failed };
    struct Member {
        State state = waiting;
        unsigned slot = 0;
        std::exception_ptr error;
    };

    void Work();
    void Code(const MemberSource& source, const std::string& scratch);

    const std::vector<MemberSource>& m_sources;
    int m_nKind;
    std::vector<std::string> m_scratch;
    std::vector<Member> m_members;
    std::vector<unsigned> m_freeSlots;
    std::size_t m_nNextToCode = 0;
    std::size_t m_nNextToTake = 0;
    bool m_bHolding = false;   // the caller holds member m_nNextToTake - 1's slot
    std::atomic<bool> m_bStop{false};
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::thread> m_workers;
};
