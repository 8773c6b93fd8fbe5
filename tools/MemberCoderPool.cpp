#include "tools/MemberCoderPool.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "framework/File.h"
#include "install/packed/PackedFile.h"

namespace {

constexpr std::uint32_t kChunk = 1 << 16;

} // namespace

void ReadMemberSource(const MemberSource& source, const std::function<void(const void*, std::uint32_t)>& take,
                      const std::atomic<bool>* stop)
{
    CFile file;
    CFileException error;
    if (!file.Open(source.path, CFile::modeRead | CFile::shareDenyNone, &error))
        throw error;
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    std::uint64_t left = source.size;
    while (left > 0) {
        if (stop && stop->load(std::memory_order_relaxed))
            throw std::runtime_error("stopped");
        const std::uint32_t want = left < kChunk ? static_cast<std::uint32_t>(left) : kChunk;
        const std::uint32_t got = file.Read(buffer.get(), want);
        if (got == 0)
            break;
        take(buffer.get(), got);
        left -= got;
    }
    // The member's size is written as found: a file that grew or shrank
    // since would leave a member that is not the file.
    char extra;
    if (left > 0 || file.Read(&extra, 1) != 0)
        throw std::runtime_error(source.path + ": changed while it was read");
}

MemberCoderPool::MemberCoderPool(const std::vector<MemberSource>& sources, int kind, unsigned jobs,
                                 const std::string& scratchBase)
    : m_sources(sources), m_nKind(kind), m_members(sources.size())
{
    if (jobs < 1)
        jobs = 1;
    // A worker that finishes a small member while a large one before it
    // is still being coded goes on with the next: coded members wait for
    // their turn in scratch files, a few per worker.
    const unsigned slots = 4 * jobs;
    for (unsigned i = 0; i < slots; ++i) {
        m_scratch.push_back(scratchBase + "." + std::to_string(i));
        m_freeSlots.push_back(slots - 1 - i);
    }
    for (unsigned i = 0; i < jobs && i < sources.size(); ++i)
        m_workers.emplace_back([this] { Work(); });
}

MemberCoderPool::~MemberCoderPool()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_bStop = true;
    }
    m_changed.notify_all();
    for (std::thread& t : m_workers)
        t.join();
    for (const std::string& path : m_scratch)
        std::remove(path.c_str());
}

const std::string& MemberCoderPool::Next()
{
    std::unique_lock<std::mutex> hold(m_lock);
    if (m_bHolding) {
        m_freeSlots.push_back(m_members[m_nNextToTake - 1].slot);
        m_bHolding = false;
        m_changed.notify_all();
    }
    if (m_nNextToTake >= m_members.size())
        throw std::logic_error("no more members");
    Member& member = m_members[m_nNextToTake];
    // Members start in order and a slot is freed as soon as its member is
    // taken, so this one always gets a slot and a worker.
    m_changed.wait(hold, [&] { return member.state == coded || member.state == failed; });
    ++m_nNextToTake;
    m_bHolding = true;
    if (member.state == failed)
        std::rethrow_exception(member.error);
    return m_scratch[member.slot];
}

void MemberCoderPool::Work()
{
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        m_changed.wait(hold, [&] { return m_bStop || m_nNextToCode >= m_members.size() || !m_freeSlots.empty(); });
        if (m_bStop || m_nNextToCode >= m_members.size())
            return;
        const std::size_t index = m_nNextToCode++;
        Member& member = m_members[index];
        member.slot = m_freeSlots.back();
        m_freeSlots.pop_back();
        member.state = coding;
        const std::string scratch = m_scratch[member.slot];
        hold.unlock();
        std::exception_ptr error;
        try {
            Code(m_sources[index], scratch);
        } catch (...) {
            error = std::current_exception();
        }
        hold.lock();
        member.error = error;
        member.state = error ? failed : coded;
        m_changed.notify_all();
    }
}

void MemberCoderPool::Code(const MemberSource& source, const std::string& scratch)
{
    std::unique_ptr<CPackedFile> packed = CreatePackedFile(std::string(), m_nKind);
    CFileException error(CFileException::generic, -1, scratch);
    if (!packed->Open(scratch, CFile::modeCreate | CFile::modeWrite, &error))
        throw error;
    ReadMemberSource(
        source, [&](const void* data, std::uint32_t count) { packed->WritePacked(data, count); }, &m_bStop);
    packed->Close();
}
