#pragma once
// Writes the staged files on threads of their own, so that decoding the next
// piece, or the next member, goes on while the system creates and fills
// files. With more than one processor two files are written at once: making
// many small files costs the system more than decoding them. A file's pieces
// all go to one thread, in order. Memory stays bounded: a few buffers of one
// size travel between the threads, and the decoder waits when all of them
// are in flight.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CStagedWriter {
public:
    // writers 0: two when the machine has more than one processor.
    explicit CStagedWriter(std::uint32_t bufferSize, int buffers = 8, int writers = 0);
    CStagedWriter(const CStagedWriter&) = delete;
    CStagedWriter& operator=(const CStagedWriter&) = delete;
    // Abandons what is left and ends the thread.
    ~CStagedWriter();

    // A new file; the pieces that follow go into it. File errors name the
    // target, not the staged file.
    void Open(const std::string& staged, const std::string& target);
    // A free buffer of the writer's size to fill, waiting while all are in
    // flight; then Submit hands it over with the bytes filled (0: none, it
    // is only given back). Both throw the writer's first error.
    std::uint8_t* Acquire();
    void Submit(const std::uint8_t* buffer, std::uint32_t size);
    // The current file is complete.
    void Close();
    // Waits until everything queued is on the disk; throws the first error.
    void Finish();
    // Stops writing at once: what is queued is dropped and the open file
    // closed without a word, so that a rollback finds nothing open.
    void Abandon() noexcept;

private:
    struct Job {
        enum Kind { open, write, close, abort, stop } kind;
        std::string staged, target;
        std::uint8_t* buffer = nullptr;
        std::uint32_t size = 0;
        std::size_t member = 0;   // open: the file's place in the order
    };
    struct Lane {
        std::deque<Job> jobs;
        bool waits = false;   // its thread sleeps until a job comes
        std::condition_variable work;
        std::thread thread;
    };
    void Push(Lane& lane, Job job);
    void PushAll(Job::Kind kind);
    void Run(Lane& lane);
    [[noreturn]] void RethrowWhenDrained(std::unique_lock<std::mutex>& lock);

    std::vector<std::unique_ptr<std::uint8_t[]>> m_buffers;
    std::vector<std::uint8_t*> m_free;
    std::vector<std::unique_ptr<Lane>> m_lanes;
    std::size_t m_opened = 0;      // files begun; the next one's lane
    Lane* m_current = nullptr;     // the lane of the file being filled
    std::size_t m_pending = 0;     // queued or being done, in all lanes
    std::exception_ptr m_error;    // the failure of the earliest file
    std::size_t m_failedMember = SIZE_MAX;
    bool m_abandoned = false;
    // Each side is woken only when the other waits for it: a wake-up per
    // piece would cost more than writing a small file.
    bool m_decoderWaits = false;
    std::mutex m_mutex;
    std::condition_variable m_done;
};
