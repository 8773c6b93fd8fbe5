#include "install/StagedWriter.h"

#include "framework/File.h"
#include "install/DirectoryUtil.h"

CStagedWriter::CStagedWriter(std::uint32_t bufferSize, int buffers)
{
    for (int i = 0; i < buffers; ++i) {
        m_buffers.emplace_back(new std::uint8_t[bufferSize]);
        m_free.push_back(m_buffers.back().get());
    }
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
    m_jobs.push_back(std::move(job));
    ++m_pending;
    if (m_writerWaits)
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
    m_decoderWaits = true;
    m_done.wait(lock, [this] { return !m_free.empty() || m_error; });
    m_decoderWaits = false;
    if (m_error)
        std::rethrow_exception(m_error);
    std::uint8_t* buffer = m_free.back();
    m_free.pop_back();
    return buffer;
}

void CStagedWriter::Submit(const std::uint8_t* buffer, std::uint32_t size)
{
    // One of ours, handed out by Acquire.
    Push({Job::write, {}, {}, const_cast<std::uint8_t*>(buffer), size});
}

void CStagedWriter::Close()
{
    Push({Job::close, {}, {}});
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
        std::vector<std::uint8_t*> freed;
        bool stop = false;
        for (Job& job : batch) {
            if (job.buffer)
                freed.push_back(job.buffer);
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
        m_free.insert(m_free.end(), freed.begin(), freed.end());
        m_pending -= batch.size();
        batch.clear();
        if (m_decoderWaits)
            m_done.notify_one();
        if (stop)
            return;
    }
}
