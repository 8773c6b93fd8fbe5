// A BMP file's bytes into a packed DIB: whatever they hold, the reader
// stays inside them, and a DIB it accepts holds every row its header
// promises (touched here, so that the sanitizer sees any overrun).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/PackedDib.h"

// Keeps the reads of every byte from being optimised away.
static volatile unsigned g_sink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> dib;
    if (!PackDibFile(data, size, dib))
        return 0;
    if (!CheckPackedDib(dib.data(), dib.size()))
        std::abort();
    const std::uint8_t* bits = LocateDibBits(dib.data());
    const std::uint8_t* end = bits + DibImageBytes(dib.data());
    if (end != dib.data() + dib.size())
        std::abort();
    unsigned sum = 0;
    for (const std::uint8_t* p = dib.data() + DibColorTableOffset(dib.data()); p < end; ++p)
        sum += *p;
    g_sink = g_sink + sum;
    return 0;
}
