#pragma once
// Packed device-independent bitmaps: a BITMAPINFOHEADER (or one of its
// larger successors), its colour masks when it has them, its colour table
// and its pixel rows, with no gap, as one block. Made from a BMP file by
// dropping the 14-byte file header. Portable: no Windows types here.
//
// Contract: PackDibFile and CheckPackedDib read only the bytes they are
// given; a block they accept holds every byte that its header promises, so
// LocateDibBits and a full image of rows lie inside it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t kDibFileHeaderSize = 14;

// Colours of the DIB's table: the colours-used field, or 2, 16 or 256 for
// 1, 4 or 8 bits, else 0. Only for headers that PackDibFile or
// CheckPackedDib accepted (their count is at most 256).
std::uint16_t CountDibColors(const void* header);
// Bytes of the colour table: four per colour.
std::uint16_t DibPaletteBytes(const void* header);
// Offset of the colour table from the header's start: after the header,
// and after the three colour masks that follow a 40-byte header with
// BI_BITFIELDS compression.
std::uint32_t DibColorTableOffset(const void* header);
// The pixel rows, right after the colour table.
const std::uint8_t* LocateDibBits(const void* header);
// Bytes of the pixel rows (each padded to four bytes); for run-length
// coded rows the header's image size.
std::uint32_t DibImageBytes(const void* header);

// Checks a packed DIB of the given size (a bitmap resource, say): true when
// its header is one we can draw (sides up to 16384, 1 to 32 bits, RLE8
// and RLE4 only bottom-up and with their coded size given, a colour table of
// at most 256 entries) and its colour table and rows lie inside the block.
bool CheckPackedDib(const std::uint8_t* dib, std::size_t size);

// Turns a BMP file's bytes into a packed DIB: checks it as above, copies
// the header, masks and colour table, and then the pixel rows from the
// file header's pixel offset when that is valid, else from right after the
// colour table. False for anything that is not such a BMP file.
bool PackDibFile(const std::uint8_t* file, std::size_t size, std::vector<std::uint8_t>& dib);

// Reads the BMP file at path into a packed DIB; false on any failure.
bool ReadDibFile(const std::string& path, std::vector<std::uint8_t>& dib);
