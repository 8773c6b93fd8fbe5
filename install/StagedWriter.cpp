#include "install/StagedWriter.h"

#include "framework/File.h"
#include "install/DirectoryUtil.h"

CStagedWriter::CStagedWriter(std::uint32_t pieceSize, int pieces)
    : m_ring(static_cast<std::size_t>(pieceSize) * (pieces < 2 ? 2 : pieces), pieceSize)
{
    m_memory.reset(new std::uint8_t[m_ring.Capacity()]);
    m_thread = std::thread([this] { Run(); });
}

CStagedWriter::~CStagedWriter()
{
    Abandon();
    Push({Job::stop, {}, {}});
    m_thread.join();
}

void CStagedWriter::Push(Job job)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (job.kind == Job::write)
        job.span = m_ring.Take(job.size);
    m_jobs.push_back(std::move(job));
    ++m_pending;
    // A waiting writer is woken once half the ring is queued, a wake-up per
    // piece costing more than the piece; the decoder wakes it too before
    // it waits itself, and to stop.
    const Job::Kind kind = m_jobs.back().kind;
    if (m_writerWaits && (kind == Job::abort || kind == Job::stop || 2 * m_ring.InFlight() >= m_ring.Capacity()))
        m_work.notify_one();
}

void CStagedWriter::ThrowIfFailed()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_error)
        std::rethrow_exception(m_error);
}

void CStagedWriter::Open(const std::string& staged, const std::string& target)
{
    ThrowIfFailed();
    Push({Job::open, staged, target});
}

std::uint8_t* CStagedWriter::Acquire()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_ring.Fits() && m_writerWaits)
        m_work.notify_one();
    m_decoderWaits = true;
    m_done.wait(lock, [this] { return m_error || m_ring.Fits(); });
    m_decoderWaits = false;
    if (m_error)
        std::rethrow_exception(m_error);
    return m_memory.get() + m_ring.Place();
}

void CStagedWriter::Submit(const std::uint8_t* buffer, std::uint32_t size)
{
    // The piece Acquire handed out, given back once it is written.
    Push({Job::write, {}, {}, const_cast<std::uint8_t*>(buffer), size});
}

void CStagedWriter::Close()
{
    Push({Job::close, {}, {}});
}

void CStagedWriter::Finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_writerWaits)
        m_work.notify_one();
    m_decoderWaits = true;
    m_done.wait(lock, [this] { return m_pending == 0; });
    m_decoderWaits = false;
    if (m_error)
        std::rethrow_exception(m_error);
}

void CStagedWriter::Abandon() noexcept
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abandoned = true;
    }
    Push({Job::abort, {}, {}});
    std::unique_lock<std::mutex> lock(m_mutex);
    m_decoderWaits = true;
    m_done.wait(lock, [this] { return m_pending == 0; });
    m_decoderWaits = false;
}

void CStagedWriter::Run()
{
    CFile file;
    std::string staged, target;
    std::deque<Job> batch;
    for (;;) {
        bool skip;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_writerWaits = true;
            m_work.wait(lock, [this] { return !m_jobs.empty(); });
            m_writerWaits = false;
            batch.swap(m_jobs);
            skip = m_abandoned || m_error;
        }
        std::size_t freed = 0;
        bool stop = false;
        for (Job& job : batch) {
            freed += job.span;
            if (job.kind == Job::stop) {
                stop = true;
                continue;
            }
            try {
                if (job.kind == Job::abort || (skip && job.kind != Job::write)) {
                    file.Abort();
                } else if (!skip && job.kind == Job::open) {
                    staged = job.staged;
                    target = job.target;
                    CFileException error;
                    if (!file.Open(staged, CFile::modeCreate | CFile::modeWrite, &error))
                        throw error;
                } else if (!skip && job.kind == Job::write && job.size) {
                    file.Write(job.buffer, job.size);
                } else if (!skip && job.kind == Job::close) {
                    file.Close();
                }
            } catch (CFileException& e) {
                // The user knows the target, not its staged name.
                if (e.m_strFileName == staged)
                    e.m_strFileName = NativePath(target);
                file.Abort();
                skip = true;
                std::lock_guard<std::mutex> lock(m_mutex);
                m_error = std::make_exception_ptr(e);
            } catch (...) {
                file.Abort();
                skip = true;
                std::lock_guard<std::mutex> lock(m_mutex);
                m_error = std::current_exception();
            }
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ring.GiveBack(freed);
        m_pending -= batch.size();
        batch.clear();
        if (m_decoderWaits)
            m_done.notify_one();
        if (stop)
            return;
    }
}
