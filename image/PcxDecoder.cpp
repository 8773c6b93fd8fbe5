// A PCX file is a 128-byte header followed by run-length coded scan lines,
// top line first. Each line holds its planes one after another, each
// "bytes per line" long. A byte with both top bits set (0xC0..0xFF) is a
// run: its low six bits count how often the next byte repeats; any other
// byte stands for itself. Runs may carry over from one line into the next.
// A 256-colour picture keeps its palette after the image data, behind a
// 0x0C marker; smaller ones use the header's 16-entry palette or, for the
// old versions 3 and 4, the built-in EGA colours.
//
// The source is read in 8192-byte pieces. When a line runs off the end of
// the piece, the source is moved back to the first unused byte and the
// piece read again, so a line is always decoded from one piece. A line that
// still does not fit (the data ended, or the line's code is longer than a
// piece) ends the picture with kPcxDataEnded.

#include "image/PcxDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "framework/LittleEndian.h"

namespace {

// The EGA colours as blue, green, red.
constexpr std::uint8_t kDefault16[16][3] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0x80, 0x80, 0x80},
    {0xC0, 0xC0, 0xC0}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};

void SetColor(std::uint8_t* table, std::uint32_t i, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    table[4 * i] = blue;
    table[4 * i + 1] = green;
    table[4 * i + 2] = red;
    table[4 * i + 3] = 0;
}

// Colours for a picture that brings none of its own: black and white, the
// EGA colours, or (no palette is defined for 256 colours) a grey ramp.
void DefaultColors(std::uint8_t* table, std::uint32_t colors)
{
    if (colors == 2) {
        SetColor(table, 0, 0, 0, 0);
        SetColor(table, 1, 0xFF, 0xFF, 0xFF);
    } else if (colors == 16) {
        for (std::uint32_t i = 0; i < 16; ++i)
            SetColor(table, i, kDefault16[i][2], kDefault16[i][1], kDefault16[i][0]);
    } else {
        for (std::uint32_t i = 0; i < colors; ++i)
            SetColor(table, i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i));
    }
}

// Red, green, blue triples into the table.
void TripleColors(std::uint8_t* table, const std::uint8_t* rgb, std::uint32_t colors)
{
    for (std::uint32_t i = 0; i < colors; ++i)
        SetColor(table, i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
}

// The plane layouts a row can be assembled from: bits per pixel by planes.
bool KnownLayout(unsigned bits, unsigned planes)
{
    return (planes == 1 && (bits == 1 || bits == 4 || bits == 8)) || (bits == 1 && planes == 4) ||
           (bits == 8 && planes == 3);
}

struct PcxHeader {
    std::uint8_t version;
    unsigned bits, planes, depth;
    std::int32_t width, height;
    std::uint32_t bytesPerLine, lineLength, rowLength, imageSize;
};

bool ParseHeader(const std::uint8_t* h, PcxHeader& p)
{
    if (h[0] != 10 || h[2] != 1)
        return false;
    std::uint16_t xmin = GetLe16(h + 4), ymin = GetLe16(h + 6), xmax = GetLe16(h + 8), ymax = GetLe16(h + 10);
    if (xmax < xmin || ymax < ymin)
        return false;
    p.version = h[1];
    p.bits = h[3];
    p.planes = h[65];
    p.depth = p.bits * p.planes;
    if (!KnownLayout(p.bits, p.planes))
        return false;
    p.width = xmax - xmin + 1;
    p.height = ymax - ymin + 1;
    if (p.width > kMaxPictureSide || p.height > kMaxPictureSide)
        return false;
    p.bytesPerLine = GetLe16(h + 66);
    // Each plane's line must hold the picture's width.
    if (p.bytesPerLine < (static_cast<std::uint32_t>(p.width) * p.bits + 7) / 8)
        return false;
    p.lineLength = p.bytesPerLine * p.planes;
    p.rowLength = ((p.depth * static_cast<std::uint32_t>(p.width) + 31) / 32) * 4;
    p.imageSize = p.rowLength * static_cast<std::uint32_t>(p.height);
    return true;
}

void StoreLine(const PcxHeader& p, const std::uint8_t* line, std::uint8_t* row)
{
    if (p.planes == 1) {
        std::memcpy(row, line, std::min(p.lineLength, p.rowLength));
    } else if (p.depth == 4) {
        // Four one-bit planes: each pixel takes bit n from plane n.
        const std::uint32_t columns = (static_cast<std::uint32_t>(p.width) + 7) / 8;
        const std::uint32_t bpl = p.bytesPerLine;
        for (std::uint32_t j = 0; j < columns; ++j) {
            const std::uint8_t b0 = line[j], b1 = line[bpl + j], b2 = line[2 * bpl + j], b3 = line[3 * bpl + j];
            for (int k = 0; k < 4; ++k) {
                auto pixel = [&](int bit) {
                    return ((b0 >> bit) & 1) | (((b1 >> bit) & 1) << 1) | (((b2 >> bit) & 1) << 2) | (((b3 >> bit) & 1) << 3);
                };
                row[4 * j + k] = static_cast<std::uint8_t>((pixel(7 - 2 * k) << 4) | pixel(6 - 2 * k));
            }
        }
    } else {
        // Red, green and blue planes into blue, green, red triples.
        const std::uint32_t bpl = p.bytesPerLine;
        for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(p.width); ++x) {
            row[3 * x] = line[2 * bpl + x];
            row[3 * x + 1] = line[bpl + x];
            row[3 * x + 2] = line[x];
        }
    }
}

} // namespace

bool DecodePcxLine(const std::uint8_t* source, std::uint32_t available, std::uint8_t* line,
                   std::uint32_t lineLength, PcxRun& pending, std::uint32_t& used)
{
    std::uint32_t k = 0, j = 0;
    PcxRun run = pending;
    for (;;) {
        std::uint32_t n = std::min(run.count, lineLength - k);
        std::memset(line + k, run.byte, n);
        k += n;
        run.count -= n;
        if (k == lineLength)
            break;
        if (j >= available)
            return false;
        std::uint8_t c = source[j++];
        if (c >= 0xC0) {
            if (j >= available)
                return false;
            run.count = c & 0x3Fu;
            run.byte = source[j++];
        } else {
            run.count = 1;
            run.byte = c;
        }
    }
    pending = run;
    used = j;
    return true;
}

int FreePcxDib(PcxDib& dib)
{
    if (!dib.hDib)
        return kPcxNoBlock;
    dib = PcxDib();
    return kPcxOk;
}

std::uint32_t PcxColorCount(const PcxDib& dib)
{
    if (!dib.lpDib)
        return 0;
    unsigned depth = GetLe16(dib.lpDib + 14);
    return depth <= 8 ? 1u << depth : 0;
}

int ReadPcx(CFile& source, PcxDib& dib)
{
    dib = PcxDib();
    std::uint8_t header[kPcxHeaderSize];
    if (source.Read(header, kPcxHeaderSize) < kPcxHeaderSize)
        return kPcxBadHeader;
    PcxHeader p;
    if (!ParseHeader(header, p))
        return kPcxBadHeader;

    // Every two source bytes make at most 63 picture bytes: a source too
    // short for the picture's size is refused before memory is taken for it.
    std::uint32_t length = source.GetLength(), position = source.GetPosition();
    std::uint64_t remaining = length > position ? length - position : 0;
    std::uint64_t lineBytes = static_cast<std::uint64_t>(p.lineLength) * static_cast<std::uint32_t>(p.height);
    if (remaining == 0 || remaining < 2 * (lineBytes / 63))
        return kPcxDataEnded;

    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[kPcxBitsOffset + p.imageSize]());
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kPcxReadBuffer]);
    std::unique_ptr<std::uint8_t[]> line(new (std::nothrow) std::uint8_t[p.lineLength]);
    if (!block || !buffer || !line)
        return kPcxNoMemory;

    std::uint32_t available = source.Read(buffer.get(), kPcxReadBuffer), offset = 0;
    if (available == 0)
        return kPcxDataEnded;
    std::uint8_t* rows = block.get() + kPcxBitsOffset;
    PcxRun pending;
    for (std::int32_t i = 0; i < p.height; ++i) {
        PcxRun run = pending;
        std::uint32_t used = 0;
        if (!DecodePcxLine(buffer.get() + offset, available, line.get(), p.lineLength, run, used)) {
            // Read on from the first unused byte and decode the line again.
            source.Seek(-static_cast<std::int32_t>(available), CFile::current);
            available = source.Read(buffer.get(), kPcxReadBuffer);
            offset = 0;
            run = pending;
            if (available == 0 || !DecodePcxLine(buffer.get(), available, line.get(), p.lineLength, run, used))
                return kPcxDataEnded;
        }
        pending = run;
        StoreLine(p, line.get(), rows + static_cast<std::size_t>(p.height - 1 - i) * p.rowLength);
        offset += used;
        available -= used;
    }

    std::uint8_t* h = block.get();
    PutLe32(h, 40);
    PutLe32(h + 4, static_cast<std::uint32_t>(p.width));
    PutLe32(h + 8, static_cast<std::uint32_t>(p.height));
    PutLe16(h + 12, 1);
    PutLe16(h + 14, static_cast<std::uint16_t>(p.depth));
    PutLe32(h + 20, p.imageSize);

    if (p.depth <= 8) {
        std::uint8_t* table = h + 40;
        const std::uint32_t colors = 1u << p.depth;
        const std::uint8_t* headerPalette = header + 16;
        if (p.version == 3 || p.version == 4) {
            DefaultColors(table, colors);
        } else if (colors == 2) {
            if (std::memcmp(headerPalette, headerPalette + 3, 3) == 0)
                DefaultColors(table, colors);
            else
                TripleColors(table, headerPalette, 2);
        } else if (colors == 16) {
            TripleColors(table, headerPalette, 16);
        } else {
            // The palette follows the image data behind a 0x0C marker.
            source.Seek(-static_cast<std::int32_t>(available), CFile::current);
            std::uint32_t n = source.Read(buffer.get(), kPcxReadBuffer);
            const std::uint8_t* marker = nullptr;
            if (n >= 1 + 768) {
                const std::uint8_t* last = buffer.get() + std::min<std::uint32_t>(kPcxReadBuffer - 768, n - 769);
                marker = static_cast<const std::uint8_t*>(std::memchr(buffer.get(), 0x0C, last - buffer.get() + 1));
            }
            if (marker)
                TripleColors(table, marker + 1, 256);
            else
                DefaultColors(table, 256);
        }
    }

    dib.hDib = std::move(block);
    dib.lpDib = dib.hDib.get();
    dib.lpBits = dib.lpDib + kPcxBitsOffset;
    dib.nSize = kPcxBitsOffset + p.imageSize;
    return kPcxOk;
}

int ReadPcxFile(const std::string& path, PcxDib& dib)
{
    dib = PcxDib();
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return kPcxCannotOpen;
    return ReadPcx(file, dib);
}
