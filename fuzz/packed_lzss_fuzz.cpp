// The lzss decoder takes any coded bytes: it must never read or write
// outside the member or the caller's buffer, whatever they hold. Input: the
// count to ask for (2 bytes), the size of each read (1 byte), the coded data.

#include <memory>
#include <vector>

#include "PackedFuzz.h"
#include "install/packed/PackedFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::uint32_t want = (data[0] | data[1] << 8) * 4u;
    const std::uint32_t piece = data[2] ? data[2] * 97u : want;
    data += 3;
    size -= 3;
    std::string header(CPackedFile::TagOf(CPackedFile::kindLzss), 8);
    for (std::uint32_t v : {want, static_cast<std::uint32_t>(size)})
        for (int i = 0; i < 4; ++i)
            header.push_back(static_cast<char>(v >> (8 * i)));
    const std::string path = FuzzScratchFile(data, size, header);
    std::unique_ptr<CPackedFile> file = CreatePackedFile(path, -1);
    if (!file->Open(path, CFile::modeRead))
        return 0;
    std::uint32_t got = 0;
    while (got < want) {
        const std::uint32_t n = piece < want - got ? piece : want - got;
        // Exactly the size asked for, so the sanitizer sees any overrun.
        std::vector<std::uint8_t> out(n);
        const std::uint32_t k = file->Read(out.data(), n);
        if (k > n)
            __builtin_trap();
        got += k;
        if (k < n)
            break;
    }
    file->FinishMember();
    return 0;
}
