// BMP files come with headers of 40 bytes (the classic one), 108 or 124
// bytes (what today's editors write), and with gaps between the colour table
// and the pixels that the file header's pixel offset skips. The packed DIB
// we make always has its rows right after its colour table, so the rows are
// found from the header alone, and every size in the header is checked
// against the bytes there are before anything reads them.

#include "image/PackedDib.h"

#include <cstring>
#include <new>

#include "framework/File.h"
#include "framework/LittleEndian.h"

namespace {

constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;
constexpr std::int32_t kMaxSide = 16384;

const std::uint8_t* Bytes(const void* header) { return static_cast<const std::uint8_t*>(header); }

// Offset and size of the parts of a DIB whose header has been checked.
struct DibParts {
    std::uint32_t tableEnd;    // header, masks and colour table
    std::uint32_t imageBytes;  // pixel rows
};

// Checks the header at h, of which `available` bytes are present.
bool CheckHeader(const std::uint8_t* h, std::size_t available, DibParts& parts)
{
    if (available < 40)
        return false;
    std::uint32_t size = GetLe32(h);
    if (size != 40 && size != 108 && size != 124)
        return false;
    if (available < size)
        return false;
    std::int32_t width = static_cast<std::int32_t>(GetLe32(h + 4));
    std::int32_t height = static_cast<std::int32_t>(GetLe32(h + 8));
    std::uint16_t planes = GetLe16(h + 12), bits = GetLe16(h + 14);
    std::uint32_t compression = GetLe32(h + 16), used = GetLe32(h + 32);
    if (width < 1 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide || planes != 1)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    // Run-length coded rows are decoded by the system; all we vouch for is
    // that the coded bytes the header claims are there (bottom-up only).
    const bool rle = (compression == kBiRle8 && bits == 8) || (compression == kBiRle4 && bits == 4);
    if (!(compression == kBiRgb || rle || (compression == kBiBitfields && (bits == 16 || bits == 32))))
        return false;
    if (rle && (height < 0 || GetLe32(h + 20) == 0))
        return false;
    if (used > (bits <= 8 ? 1u << bits : 256u))
        return false;
    std::uint64_t tableEnd = DibColorTableOffset(h) + static_cast<std::uint64_t>(DibPaletteBytes(h));
    if (tableEnd > available)
        return false;
    parts.tableEnd = static_cast<std::uint32_t>(tableEnd);
    parts.imageBytes = DibImageBytes(h);
    return true;
}

// A colour profile outside the header is not carried into the packed DIB;
// claim plain sRGB so that nothing looks for it.
void DropProfile(std::uint8_t* h)
{
    if (GetLe32(h) < 124)
        return;
    std::uint32_t type = GetLe32(h + 56);
    if (type == 0x4C494E4B /* 'LINK' */ || type == 0x4D424544 /* 'MBED' */) {
        PutLe32(h + 56, 0x73524742 /* 'sRGB' */);
        PutLe32(h + 112, 0);
        PutLe32(h + 116, 0);
    }
}

} // namespace

std::uint16_t CountDibColors(const void* header)
{
    const std::uint8_t* h = Bytes(header);
    std::uint32_t used = GetLe32(h + 32);
    if (used != 0)
        return static_cast<std::uint16_t>(used);
    switch (GetLe16(h + 14)) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

std::uint16_t DibPaletteBytes(const void* header)
{
    return static_cast<std::uint16_t>(CountDibColors(header) * 4);
}

std::uint32_t DibColorTableOffset(const void* header)
{
    const std::uint8_t* h = Bytes(header);
    std::uint32_t size = GetLe32(h);
    return size == 40 && GetLe32(h + 16) == kBiBitfields ? size + 12 : size;
}

const std::uint8_t* LocateDibBits(const void* header)
{
    return Bytes(header) + DibColorTableOffset(header) + DibPaletteBytes(header);
}

std::uint32_t DibImageBytes(const void* header)
{
    const std::uint8_t* h = Bytes(header);
    const std::uint32_t compression = GetLe32(h + 16);
    if (compression == kBiRle8 || compression == kBiRle4)
        return GetLe32(h + 20);
    std::uint64_t width = GetLe32(h + 4);
    std::int32_t height = static_cast<std::int32_t>(GetLe32(h + 8));
    std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    std::uint64_t rowBytes = (width * GetLe16(h + 14) + 31) / 32 * 4;
    return static_cast<std::uint32_t>(rowBytes * rows);
}

bool CheckPackedDib(const std::uint8_t* dib, std::size_t size)
{
    DibParts parts;
    return CheckHeader(dib, size, parts) && parts.imageBytes <= size - parts.tableEnd;
}

bool PackDibFile(const std::uint8_t* file, std::size_t size, std::vector<std::uint8_t>& dib)
{
    dib.clear();
    if (size < kDibFileHeaderSize || file[0] != 'B' || file[1] != 'M')
        return false;
    const std::uint8_t* header = file + kDibFileHeaderSize;
    const std::size_t rest = size - kDibFileHeaderSize;
    DibParts parts;
    if (!CheckHeader(header, rest, parts))
        return false;
    // The rows at the file's pixel offset when they lie past the colour
    // table and fit the file; else right after the table.
    std::uint64_t offset = GetLe32(file + 10);
    std::uint64_t rows = offset >= kDibFileHeaderSize + parts.tableEnd && offset + parts.imageBytes <= size
                             ? offset - kDibFileHeaderSize
                             : parts.tableEnd;
    if (rows + parts.imageBytes > rest)
        return false;
    try {
        dib.resize(static_cast<std::size_t>(parts.tableEnd) + parts.imageBytes);
    } catch (const std::bad_alloc&) {
        dib.clear();
        return false;
    }
    std::memcpy(dib.data(), header, parts.tableEnd);
    std::memcpy(dib.data() + parts.tableEnd, header + rows, parts.imageBytes);
    // The image size of the rows as they are now (files often leave it 0).
    PutLe32(dib.data() + 20, parts.imageBytes);
    DropProfile(dib.data());
    return true;
}

bool ReadDibFile(const std::string& path, std::vector<std::uint8_t>& dib)
{
    dib.clear();
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return false;
    try {
        std::vector<std::uint8_t> bytes(file.GetLength());
        if (file.Read(bytes.data(), static_cast<std::uint32_t>(bytes.size())) != bytes.size())
            return false;
        return PackDibFile(bytes.data(), bytes.size(), dib);
    } catch (const CFileException&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
