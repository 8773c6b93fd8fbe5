#pragma once
// Writes the staged files on a thread of its own, so that decoding the next
// piece, or the next member, goes on while the system creates and fills
// files. Memory stays bounded: the pieces are cut from one ring of a fixed
// size, each right after the one before, so that hundreds of small files
// can be in flight where a few large pieces would fill it; the decoder waits
// when the ring has no room for a whole piece.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "install/PieceRing.h"

class CStagedWriter {
public:
    // Pieces of up to pieceSize bytes in a ring of pieces times that.
    explicit CStagedWriter(std::uint32_t pieceSize, int pieces = 8);
    CStagedWriter(const CStagedWriter&) = delete;
    CStagedWriter& operator=(const CStagedWriter&) = delete;
    // Abandons what is left and ends the thread.
    ~CStagedWriter();

    // A new file; the pieces that follow go into it. File errors name the
    // target, not the staged file.
    void Open(const std::string& staged, const std::string& target);
    // Room for a piece to fill, waiting while the ring has none; then Submit
    // hands it over with the bytes filled (0: none, it is only given back).
    // Both throw the writer's first error.
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
        std::size_t span = 0;   // ring bytes given back when done
    };
    void Push(Job job);
    void Run();
    void ThrowIfFailed();

    CPieceRing m_ring;   // under the mutex
    std::unique_ptr<std::uint8_t[]> m_memory;
    std::deque<Job> m_jobs;
    std::size_t m_pending = 0;   // queued or being done
    std::exception_ptr m_error;
    bool m_abandoned = false;
    // Each side is woken only when the other waits for it (the writer once
    // half the ring is queued): a wake-up per piece would cost more than
    // writing a small file.
    bool m_writerWaits = false, m_decoderWaits = false;
    std::mutex m_mutex;
    std::condition_variable m_work, m_done;
    std::thread m_thread;
};
