// Every encoder's stream decodes back to its input, read whole or in pieces.
// Input: the codec (1 byte), the size of each write and read (1 byte), data.

#include <memory>
#include <string>

#include "PackedFuzz.h"
#include "install/packed/PackedFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int kind = data[0] % 4 - 1;
    const std::size_t piece = data[1] ? data[1] : size;
    data += 2;
    size -= 2;
    const std::string path = FuzzScratchFile(nullptr, 0);
    {
        std::unique_ptr<CPackedFile> out = CreatePackedFile(std::string(), kind);
        if (!out->Open(path, CFile::modeCreate | CFile::modeWrite))
            return 0;
        for (std::size_t at = 0; at < size; at += piece)
            out->WritePacked(data + at, static_cast<std::uint32_t>(piece < size - at ? piece : size - at));
        out->Close();
    }
    std::unique_ptr<CPackedFile> in = CreatePackedFile(path, -1);
    if (in->GetKind() != kind || !in->Open(path, CFile::modeRead) || !in->SelectMember(0, 0))
        __builtin_trap();
    std::string back(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        const auto n = static_cast<std::uint32_t>(piece < size - got ? piece : size - got);
        const std::uint32_t k = in->Read(back.data() + got, n);
        got += k;
        if (k < n)
            break;
    }
    if (got != size || back.compare(0, size, reinterpret_cast<const char*>(data), size) != 0 || !in->FinishMember())
        __builtin_trap();
    return 0;
}
