// BMP files into packed DIBs: colour counts, where the table and the rows
// are, and the files that must be refused.

#include <gtest/gtest.h>

#include "PictureBytes.h"
#include "image/PackedDib.h"

namespace {

std::vector<std::uint32_t> Ramp(std::size_t n)
{
    std::vector<std::uint32_t> c;
    for (std::size_t i = 0; i < n; ++i)
        c.push_back(static_cast<std::uint32_t>(0x010203 * i + 0x100000));
    return c;
}

// Packs spec's file: its header, its colour table (found at tableAt) and
// its rows, with no gap.
void ExpectPacked(const BmpSpec& spec, std::uint32_t tableAt)
{
    SCOPED_TRACE(spec.bits);
    Bytes file = MakeBmp(spec), dib;
    ASSERT_TRUE(PackDibFile(file.data(), file.size(), dib));
    const auto colors = static_cast<std::uint32_t>(spec.colors.size());
    EXPECT_EQ(CountDibColors(dib.data()), colors);
    EXPECT_EQ(DibPaletteBytes(dib.data()), 4 * colors);
    const std::uint32_t rowBytes = BmpRowBytes(spec) * static_cast<std::uint32_t>(std::abs(spec.height));
    Bytes want(file.begin() + 14, file.begin() + 14 + tableAt + 4 * colors);
    want.insert(want.end(), file.end() - rowBytes, file.end());
    PutLe(want, 20, rowBytes);   // the image size filled in
    EXPECT_EQ(dib, want);
    EXPECT_EQ(LocateDibBits(dib.data()), dib.data() + tableAt + 4 * colors);
}

} // namespace

TEST(PackedDib, ColourCountsAndTablePlaces)
{
    // An 8-bit picture using 20 colours: 80 table bytes, rows right after.
    ExpectPacked({.colorsUsed = 20, .colors = Ramp(20)}, 40);
    // Without a count the bit depth decides: 2, 16, 256, none.
    for (auto [bits, colors] : {std::pair{1u, 2u}, {4u, 16u}, {8u, 256u}, {24u, 0u}, {32u, 0u}})
        ExpectPacked({.width = 5, .bits = bits, .colors = Ramp(colors)}, 40);
    // A 124-byte header (today's editors), top-down, with a gap before the
    // rows: the table right after the header, the rows at the pixel offset.
    ExpectPacked({.headerSize = 124, .width = 3, .height = -3, .bits = 4, .colors = Ramp(16), .gap = 10}, 124);
    // Three masks follow a 40-byte BI_BITFIELDS header and stay there.
    ExpectPacked({.bits = 16, .compression = 3, .extra = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}}, 52);
    // The pixel offset, when it points into the colour table or so far that
    // the rows would not fit, gives way to the rows right after the table.
    for (std::int64_t offset : {0, 14 + 40, 14 + 40 + 1023, 14 + 40 + 1024 + 1}) {
        Bytes file = MakeBmp({.colors = Ramp(256), .pixelOffset = offset}), dib;
        ASSERT_TRUE(PackDibFile(file.data(), file.size(), dib)) << offset;
        EXPECT_EQ(Bytes(dib.begin() + 40 + 1024, dib.end()), (Bytes{3, 10, 17, 24, 31, 38, 45, 52})) << offset;
    }
}

TEST(PackedDib, RefusesWhatWouldReadPastTheBlock)
{
    const BmpSpec faults[] = {
        {.width = 16385, .colors = Ramp(256), .rows = {0}},   // claims far more than it has
        {.height = -16385, .colors = Ramp(256)},
        {.height = 0, .colors = Ramp(256)},
        {.colorsUsed = 257, .colors = Ramp(257)},   // more than 8 bits allow
        {.bits = 4, .colorsUsed = 17, .colors = Ramp(17)},
        {.bits = 24, .colorsUsed = 200, .rows = Bytes(16, 0)},   // the table runs past the end
        {.compression = 1, .colors = Ramp(256)},   // RLE8 without its coded size
        {.compression = 2, .colors = Ramp(256)},   // RLE4 needs 4 bits
        {.compression = 3, .extra = Bytes(12, 0), .colors = Ramp(256)},   // masks need 16 or 32 bits
        {.headerSize = 12, .colors = Ramp(256)},
        {.bits = 7, .colors = Ramp(256)},
    };
    Bytes dib;
    for (const BmpSpec& s : faults) {
        Bytes file = MakeBmp(s);
        EXPECT_FALSE(PackDibFile(file.data(), file.size(), dib)) << &s - faults;
        EXPECT_TRUE(dib.empty()) << &s - faults;
    }
    Bytes file = MakeBmp({.colors = Ramp(256)});
    EXPECT_TRUE(PackDibFile(file.data(), file.size(), dib));
    EXPECT_FALSE(PackDibFile(file.data(), file.size() - 1, dib));   // cut short inside the rows
    EXPECT_TRUE(dib.empty());
    EXPECT_FALSE(PackDibFile(file.data(), 13, dib));
    // A bitmap resource is a packed DIB already: checked the same way.
    Bytes packed(file.begin() + 14, file.end());
    EXPECT_TRUE(CheckPackedDib(packed.data(), packed.size()));
    EXPECT_FALSE(CheckPackedDib(packed.data(), packed.size() - 1));
    EXPECT_FALSE(CheckPackedDib(packed.data(), 39));
    file[1] = 'A';
    EXPECT_FALSE(PackDibFile(file.data(), file.size(), dib));
    // RLE8: the system decodes it; its coded size must be given and inside.
    Bytes rle = MakeBmp({.compression = 1, .colors = Ramp(256)});
    PutLe(rle, 34, 8);
    ASSERT_TRUE(PackDibFile(rle.data(), rle.size(), dib));
    EXPECT_EQ(dib.size(), 40u + 1024 + 8);
    PutLe(rle, 34, 9);
    EXPECT_FALSE(PackDibFile(rle.data(), rle.size(), dib));
}
