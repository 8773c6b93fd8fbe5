// The archive directory reader takes any file: reading and checking it, and
// decoding its members, must never touch memory outside our buffers.

#include "PackedFuzz.h"
#include "install/ArchiveDirectory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CArchiveDirectory reader;
    if (!reader.Read(FuzzScratchFile(data, size)))
        return 0;
    // Small members only: a huge claimed size would just take time.
    if (reader.GetTotalSize() <= (1u << 22))
        reader.Verify();
    return 0;
}
