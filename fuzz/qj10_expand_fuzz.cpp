// The QJ10 expand direction takes any bytes: it must never read or write
// outside its buffers, must write exactly the header's size (nothing for a
// refused header, at most the size for a stream it reports short) and must
// end.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codec/QjCompressor.h"

namespace {

// A file in memory: reads from the input, collects what is written.
class MemoryFile : public CFile {
public:
    MemoryFile(const std::uint8_t* data, std::size_t size) : m_data(data, data + size) {}

    std::uint32_t Read(void* buffer, std::uint32_t count) override
    {
        std::size_t n = std::min<std::size_t>(count, m_data.size() - m_pos);
        if (n > 0)
            std::memcpy(buffer, m_data.data() + m_pos, n);
        m_pos += n;
        return static_cast<std::uint32_t>(n);
    }
    void Write(const void* buffer, std::uint32_t count) override
    {
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        m_data.insert(m_data.end(), bytes, bytes + count);
    }
    std::uint32_t GetLength() const override { return static_cast<std::uint32_t>(m_data.size()); }
    std::uint64_t Seek(std::int64_t offset, unsigned from) override
    {
        std::size_t base = from == begin ? 0 : from == current ? m_pos : m_data.size();
        m_pos = std::min(m_data.size(), base + static_cast<std::size_t>(offset));
        return m_pos;
    }
    std::size_t Size() const { return m_data.size(); }

private:
    std::vector<std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> input(data, data + size);
    // Keep each run short: at most 64 KB of output.
    if (input.size() >= 8)
        input[6] = input[7] = 0;
    std::uint32_t expected = 0;
    if (input.size() >= 8)
        expected = static_cast<std::uint32_t>(input[4] | input[5] << 8);
    MemoryFile in(input.data(), input.size()), out(nullptr, 0);
    CQjCompressor expander;
    if (expander.ProcessStreams(in, out, 0) != 1)
        __builtin_trap();
    bool accepted = expander.GetLastResult() == CQjCompressor::resultDone;
    if (accepted != (input.size() >= 8 && std::memcmp(input.data(), "QJ10", 4) == 0))
        __builtin_trap();
    // A stream cut short stops early, and only then.
    if (accepted && expander.StreamWasShort() ? out.Size() > expected : out.Size() != (accepted ? expected : 0))
        __builtin_trap();
    return 0;
}
