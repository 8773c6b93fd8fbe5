// BMP files into packed DIBs: colour counts, where the table and the rows
// are, and the files that must be refused.

#include <gtest/gtest.h>

#include <functional>

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

// Packs spec's file and checks that the packed DIB holds its header, the
// colours at tableAt and the file's rows, with no gap.
void ExpectPacked(const BmpSpec& spec, std::uint32_t tableAt, int colors)
{
    SCOPED_TRACE(spec.bits);
    Bytes file = MakeBmp(spec), dib;
    ASSERT_TRUE(PackDibFile(file.data(), file.size(), dib));
    EXPECT_EQ(CountDibColors(dib.data()), colors);
    EXPECT_EQ(DibPaletteBytes(dib.data()), 4 * colors);
    std::uint32_t rowBytes = BmpRowBytes(spec) * static_cast<std::uint32_t>(std::abs(spec.height));
    ASSERT_EQ(dib.size(), tableAt + spec.colors.size() * 4 + rowBytes);
    EXPECT_EQ(Get32(dib.data()), spec.headerSize);
    EXPECT_EQ(Get32(dib.data() + 20), rowBytes);   // image size filled in
    for (std::size_t i = 0; i < spec.colors.size(); ++i)
        EXPECT_EQ(Get32(dib.data() + tableAt + 4 * i), spec.colors[i]) << "colour " << i;
    ASSERT_EQ(LocateDibBits(dib.data()), dib.data() + tableAt + 4 * spec.colors.size());
    EXPECT_TRUE(std::equal(dib.end() - rowBytes, dib.end(), file.end() - rowBytes));
}

} // namespace

TEST(PackedDib, ColourCountsAndTablePlaces)
{
    // An 8-bit picture using 20 colours: 80 table bytes, rows right after.
    BmpSpec s;
    s.colorsUsed = 20;
    s.colors = Ramp(20);
    ExpectPacked(s, 40, 20);
    // Without a count the bit depth decides: 2, 16, 256, none.
    for (auto [bits, colors] : {std::pair{1u, 2}, {4u, 16}, {8u, 256}, {24u, 0}, {32u, 0}}) {
        BmpSpec d;
        d.bits = bits;
        d.width = 5;
        d.colors = Ramp(static_cast<std::size_t>(colors));
        ExpectPacked(d, 40, colors);
    }
    // A 124-byte header (today's editors), top-down, with a gap before the
    // rows: the table right after the header, the rows at the pixel offset.
    BmpSpec v5;
    v5.headerSize = 124;
    v5.bits = 4;
    v5.width = 3;
    v5.height = -3;
    v5.colors = Ramp(16);
    v5.gap = 10;
    ExpectPacked(v5, 124, 16);
    // Three masks follow a 40-byte BI_BITFIELDS header and stay there.
    BmpSpec bf;
    bf.bits = 16;
    bf.compression = 3;
    bf.extra = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    ExpectPacked(bf, 52, 0);
    // The pixel offset, when it points into the colour table or so far that
    // the rows would not fit, gives way to the rows right after the table.
    BmpSpec p;
    p.colors = Ramp(256);
    for (std::int64_t offset : {0, 14 + 40, 14 + 40 + 1023, 14 + 40 + 1024 + 1}) {
        p.pixelOffset = offset;
        Bytes file = MakeBmp(p), dib;
        ASSERT_TRUE(PackDibFile(file.data(), file.size(), dib)) << offset;
        EXPECT_EQ(Bytes(dib.begin() + 40 + 1024, dib.end()), (Bytes{3, 10, 17, 24, 31, 38, 45, 52})) << offset;
    }
}

TEST(PackedDib, RefusesWhatWouldReadPastTheBlock)
{
    BmpSpec good;
    good.colors = Ramp(256);
    const std::function<void(BmpSpec&)> faults[] = {
        [](BmpSpec& s) { s.width = 16385, s.rows.assign(1, 0); },   // claims far more than it has
        [](BmpSpec& s) { s.height = -16385; },
        [](BmpSpec& s) { s.height = 0; },
        [](BmpSpec& s) { s.colorsUsed = 257, s.colors = Ramp(257); },   // more than 8 bits allow
        [](BmpSpec& s) { s.bits = 4, s.colorsUsed = 17, s.colors = Ramp(17); },
        [](BmpSpec& s) { s.bits = 24, s.colorsUsed = 200, s.colors.clear(), s.rows.assign(16, 0); },   // table past the end
        [](BmpSpec& s) { s.compression = 1; },   // run-length coded
        [](BmpSpec& s) { s.compression = 3; },   // masks need 16 or 32 bits
        [](BmpSpec& s) { s.headerSize = 12; },
        [](BmpSpec& s) { s.bits = 7; },
    };
    Bytes dib;
    for (std::size_t i = 0; i < std::size(faults); ++i) {
        BmpSpec s = good;
        faults[i](s);
        Bytes file = MakeBmp(s);
        EXPECT_FALSE(PackDibFile(file.data(), file.size(), dib)) << "fault " << i;
        EXPECT_TRUE(dib.empty()) << "fault " << i;
    }
    Bytes file = MakeBmp(good);
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
}
