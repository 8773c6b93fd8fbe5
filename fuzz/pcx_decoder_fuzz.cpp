// The PCX decoder over a memory file: whatever the bytes, it stays inside
// its buffers, ends, and a picture it accepts fills its whole block.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/MemFile.h"
#include "image/PcxDecoder.h"

// Keeps the reads of every byte from being optimised away.
static volatile unsigned g_sink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    CMemFile source(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    PcxDib dib;
    int code = ReadPcx(source, dib);
    if (code != kPcxOk) {
        if (dib.hDib || code > 0)
            std::abort();
        return 0;
    }
    if (dib.lpBits != dib.lpDib + kPcxBitsOffset)
        std::abort();
    unsigned sum = 0;
    for (std::uint32_t i = 0; i < dib.nSize; ++i)
        sum += dib.lpDib[i];
    g_sink = g_sink + sum;
    if (FreePcxDib(dib) != kPcxOk)
        std::abort();
    return 0;
}
