#pragma once
// The PCX decoder: a run-length coded PCX picture, read from any framework
// file object, into a device-independent bitmap in memory. Portable; the
// screen bitmap and palette are made from the result on Windows.
//
// Contract: whatever the source holds, the decoder never reads outside its
// buffers nor writes outside the picture block, and it never loops on a
// source that does not advance.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/File.h"

// The decoded picture. The block holds a 40-byte BITMAPINFOHEADER, room
// for a colour table of 256 RGBQUAD entries (the first 2^depth filled for
// depths up to 8) and the pixel rows, bottom row first, from offset 1064.
struct PcxDib {
    std::unique_ptr<std::uint8_t[]> hDib;   // owns the block
    std::uint8_t* lpDib = nullptr;          // start of the block: the header
    std::uint8_t* lpBits = nullptr;         // the pixel rows
    std::uint32_t nSize = 0;                // bytes in the block
};

enum PcxCode : int {
    kPcxOk = 0,
    kPcxCannotOpen = -1,
    kPcxDataEnded = -3,       // also: a line that does not fit one read buffer
    kPcxNoMemory = -26,
    kPcxNoBitmap = -999,
    kPcxNoBlock = -100,
    kPcxBadHeader = -3000,    // also: a header shorter than 128 bytes
};

constexpr std::uint32_t kPcxHeaderSize = 128;
constexpr std::uint32_t kPcxBitsOffset = 40 + 256 * 4;
constexpr std::uint32_t kPcxReadBuffer = 8192;
constexpr std::int32_t kMaxPictureSide = 16384;

// A run that did not fit the previous line and carries over into the next.
struct PcxRun {
    std::uint32_t count = 0;
    std::uint8_t byte = 0;
};

// Decodes one line of lineLength bytes from the available source bytes,
// starting with the pending run. On success returns true, sets used to the
// source bytes taken and pending to the run left over. When the source runs
// out first, returns false and leaves pending as it was.
bool DecodePcxLine(const std::uint8_t* source, std::uint32_t available, std::uint8_t* line,
                   std::uint32_t lineLength, PcxRun& pending, std::uint32_t& used);

// Reads a PCX picture from the source's current position. Returns kPcxOk
// with dib filled, or a negative PcxCode with dib empty.
int ReadPcx(CFile& source, PcxDib& dib);

// Opens the file for reading and runs ReadPcx on it: kPcxCannotOpen when
// it cannot be opened.
int ReadPcxFile(const std::string& path, PcxDib& dib);

// Releases the picture block: kPcxOk, or kPcxNoBlock when there was none.
int FreePcxDib(PcxDib& dib);

// The colours in the block's colour table: 2^depth up to depth 8, else 0.
std::uint32_t PcxColorCount(const PcxDib& dib);
