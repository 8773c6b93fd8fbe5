// The huff decoder takes any coded bytes: it must never read or write
// outside the member or the caller's buffer, whatever they hold.

#include "PackedFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzDecoder(CPackedFile::kindHuffman, data, size);
}
