#include "install/StagedWriter.h"

#include "framework/File.h"
#include "install/DirectoryUtil.h"

CStagedWriter::CStagedWriter(std::uint32_t bufferSize, int buffers, int writers)
{
    for (int i = 0; i < buffers; ++i) {
        m_buffers.emplace_back(new std::uint8_t[bufferSize]);
        m_free.push_back(m_buffers.back().get());
    }
    if (writers <= 0)
        writers = std::thread::hardware_concurrency() > 1 ? 2 : 1;
    for (int i = 0; i < writers; ++i)
        m_lanes.push_back(std::make_unique<Lane>());
    for (auto& lane : m_lanes)
        lane->thread = std::thread([this, &mine = *lane] { Run(mine); });
}

CStagedWriter::~CStagedWriter()
{
    Abandon();
    PushAll(Job::stop);
    for (auto& lane : m_lanes)
        lane->thread.join();
}

void CStagedWriter::Push(Lane& lane, Job job)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    lane.jobs.push_back(std::move(job));
    ++m_pending;
    if (lane.waits)
        lane.work.notify_one();
}

void CStagedWriter::PushAll(Job::Kind kind)
{
    for (auto& lane : m_lanes)
        Push(*lane, {kind, {}, {}});
}

void CStagedWriter::RethrowWhenDrained(std::unique_lock<std::mutex>& lock)
{
    // Files before the failed one are still being written and may fail too;
    // the user is told of the first failure in the archive's order, as a
    // single writer would.
    m_decoderWaits = true;
    m_done.wait(lock, [this] { return m_pending == 0; });
    m_decoderWaits = false;
    std::rethrow_exception(m_error);
}

void CStagedWriter::Open(const std::string& staged, const std::string& target)
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_error)
            RethrowWhenDrained(lock);
    }
    m_current = m_lanes[m_opened % m_lanes.size()].get();
    Push(*m_current, {Job::open, staged, target, nullptr, 0, m_opened++});
}

std::uint8_t* CStagedWriter::Acquire()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_decoderWaits = true;
    m_done.wait(lock, [this] { return !m_free.empty() || m_error; });
    m_decoderWaits = false;
    if (m_error)
        RethrowWhenDrained(lock);
    std::uint8_t* buffer = m_free.back();
    m_free.pop_back();
    return buffer;
}

void CStagedWriter::Submit(const std::uint8_t* buffer, std::uint32_t size)
{
    // One of ours, handed out by Acquire.
    Push(*m_current, {Job::write, {}, {}, const_cast<std::uint8_t*>(buffer), size});
}

void CStagedWriter::Close()
{
    Push(*m_current, {Job::close, {}, {}});
}

void CStagedWriter::Finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
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
    PushAll(Job::abort);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_decoderWaits = true;
    m_done.wait(lock, [this] { return m_pending == 0; });
    m_decoderWaits = false;
}

void CStagedWriter::Run(Lane& lane)
{
    CFile file;
    std::string staged, target;
    std::size_t member = 0;
    bool skip = false;   // the current file is not written
    std::deque<Job> batch;
    for (;;) {
        bool abandoned;
        std::size_t failed;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            lane.waits = true;
            lane.work.wait(lock, [&lane] { return !lane.jobs.empty(); });
            lane.waits = false;
            batch.swap(lane.jobs);
            abandoned = m_abandoned;
            failed = m_failedMember;
        }
        std::vector<std::uint8_t*> freed;
        bool stop = false;
        for (Job& job : batch) {
            if (job.buffer)
                freed.push_back(job.buffer);
            if (job.kind == Job::stop) {
                stop = true;
                continue;
            }
            if (job.kind == Job::open) {
                member = job.member;
                staged = job.staged;
                target = job.target;
                // Files after a failed one are not begun; earlier ones go on.
                skip = abandoned || member > failed;
            }
            auto fail = [&](std::exception_ptr error) {
                file.Abort();
                skip = true;
                std::lock_guard<std::mutex> lock(m_mutex);
                if (member < m_failedMember) {
                    m_failedMember = failed = member;
                    m_error = error;
                }
            };
            try {
                if (job.kind == Job::abort || (skip && job.kind != Job::write)) {
                    file.Abort();
                } else if (!skip && job.kind == Job::open) {
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
                fail(std::make_exception_ptr(e));
            } catch (...) {
                fail(std::current_exception());
            }
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_free.insert(m_free.end(), freed.begin(), freed.end());
        m_pending -= batch.size();
        batch.clear();
        if (m_decoderWaits)
            m_done.notify_one();
        if (stop)
            return;
    }
}
