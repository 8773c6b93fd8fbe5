// BMP files into packed DIBs: colour counts, where the table and the rows
// are, and the files that must be refused.

#include <gtest/gtest.h>

#include "PictureBytes.h"
#include "image/PackedDib.h"

namespace {

bool Pack(const Bytes& file, Bytes& dib) { return PackDibFile(file.data(), file.size(), dib); }

std::vector<std::uint32_t> Ramp(std::size_t n)
{
    std::vector<std::uint32_t> c;
    for (std::size_t i = 0; i < n; ++i)
        c.push_back(static_cast<std::uint32_t>(0x010203 * i + 0x100000));
    return c;
}

// The packed DIB holds the file's header, table and rows with no gap.
void ExpectPacked(const BmpSpec& spec, const Bytes& dib, std::uint32_t tableAt)
{
    Bytes file = MakeBmp(spec);
    std::uint32_t rowBytes = BmpRowBytes(spec) * static_cast<std::uint32_t>(spec.height < 0 ? -spec.height : spec.height);
    ASSERT_EQ(dib.size(), tableAt + spec.colors.size() * 4 + rowBytes);
    EXPECT_EQ(Get32(dib.data()), spec.headerSize);
    EXPECT_EQ(Get32(dib.data() + 20), rowBytes);   // image size filled in
    for (std::size_t i = 0; i < spec.colors.size(); ++i)
        EXPECT_EQ(Get32(dib.data() + tableAt + 4 * i), spec.colors[i]) << "colour " << i;
    const std::uint8_t* bits = LocateDibBits(dib.data());
    ASSERT_EQ(bits, dib.data() + tableAt + 4 * spec.colors.size());
    std::size_t fileRows = file.size() - rowBytes;
    EXPECT_TRUE(std::equal(bits, bits + rowBytes, file.begin() + static_cast<std::ptrdiff_t>(fileRows)));
}

} // namespace

TEST(PackedDib, ColourCountsAndTablePlaces)
{
    // An 8-bit picture using 20 colours: 80 table bytes, rows right after.
    BmpSpec s;
    s.colorsUsed = 20;
    s.colors = Ramp(20);
    Bytes dib;
    ASSERT_TRUE(Pack(MakeBmp(s), dib));
    EXPECT_EQ(CountDibColors(dib.data()), 20);
    EXPECT_EQ(DibPaletteBytes(dib.data()), 80);
    ExpectPacked(s, dib, 40);

    // Without a count the bit depth decides: 2, 16, 256, none.
    for (auto [bits, colors] : {std::pair{1u, 2u}, {4u, 16u}, {8u, 256u}, {24u, 0u}, {32u, 0u}}) {
        BmpSpec d;
        d.bits = bits;
        d.width = 5;
        d.colors = Ramp(colors);
        ASSERT_TRUE(Pack(MakeBmp(d), dib)) << bits;
        EXPECT_EQ(CountDibColors(dib.data()), colors);
        ExpectPacked(d, dib, 40);
    }

    // A 124-byte header (today's editors) with a gap before the rows: the
    // table right after the header, the rows at the file's pixel offset.
    BmpSpec v5;
    v5.headerSize = 124;
    v5.bits = 4;
    v5.width = 3;
    v5.height = -3;   // top-down
    v5.colors = Ramp(16);
    v5.gap = 10;
    ASSERT_TRUE(Pack(MakeBmp(v5), dib));
    ExpectPacked(v5, dib, 124);

    // Three masks follow a 40-byte BI_BITFIELDS header and stay there.
    BmpSpec bf;
    bf.bits = 16;
    bf.compression = 3;
    bf.extra = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    ASSERT_TRUE(Pack(MakeBmp(bf), dib));
    ExpectPacked(bf, dib, 52);
    EXPECT_EQ(Get32(dib.data() + 40), 0xF800u);
    EXPECT_EQ(Get32(dib.data() + 48), 0x1Fu);
}

TEST(PackedDib, PixelOffsetIsUsedOnlyWhenValid)
{
    BmpSpec s;
    s.colors = Ramp(256);
    Bytes file = MakeBmp(s);
    Bytes dib;
    // Pointing into the colour table, or so far that the rows would not
    // fit: the rows are taken right after the table.
    for (std::int64_t offset : {0, 14 + 40, 14 + 40 + 1023, 14 + 40 + 1024 + 1}) {
        s.pixelOffset = offset;
        ASSERT_TRUE(Pack(MakeBmp(s), dib)) << offset;
        EXPECT_TRUE(std::equal(dib.end() - 8, dib.end(), file.end() - 8)) << offset;
    }
    // A valid offset with a gap is followed, even past an inner 0xEE gap.
    s.pixelOffset = -1;
    s.gap = 6;
    ASSERT_TRUE(Pack(MakeBmp(s), dib));
    EXPECT_EQ(dib.size(), 40u + 1024 + 8);
    EXPECT_EQ(dib[40 + 1024], 3);
}

TEST(PackedDib, RefusesWhatWouldReadPastTheBlock)
{
    auto refused = [](BmpSpec s, std::size_t cut = 0) {
        Bytes file = MakeBmp(s);
        file.resize(file.size() - cut);
        Bytes dib;
        bool ok = Pack(file, dib);
        return !ok && dib.empty();
    };
    BmpSpec good;
    good.colors = Ramp(256);
    ASSERT_FALSE(refused(good));

    EXPECT_TRUE(refused(good, 1));                   // cut short inside the rows
    BmpSpec s = good;
    s.width = 16385;
    s.rows.assign(1, 0);                             // claims far more than it has
    EXPECT_TRUE(refused(s));
    s = good;
    s.height = -16385;
    EXPECT_TRUE(refused(s));
    s = good;
    s.height = 0;
    EXPECT_TRUE(refused(s));
    s = good;
    s.colorsUsed = 257;                              // more than 8 bits allow
    s.colors = Ramp(257);
    EXPECT_TRUE(refused(s));
    s = good;
    s.bits = 4;
    s.colorsUsed = 17;
    s.colors = Ramp(17);
    EXPECT_TRUE(refused(s));
    s = good;
    s.bits = 24;
    s.colorsUsed = 200;                              // the table runs past the end
    s.colors.clear();
    s.rows.assign(16, 0);
    EXPECT_TRUE(refused(s));
    s = good;
    s.compression = 2;                               // RLE4 needs 4 bits
    EXPECT_TRUE(refused(s));
    s = good;
    s.compression = 3;                               // masks need 16 or 32 bits
    EXPECT_TRUE(refused(s));
    s = good;
    s.headerSize = 12;
    EXPECT_TRUE(refused(s));
    s = good;
    s.bits = 7;
    EXPECT_TRUE(refused(s));

    Bytes file = MakeBmp(good);
    file[1] = 'A';
    Bytes dib;
    EXPECT_FALSE(Pack(file, dib));
    EXPECT_FALSE(PackDibFile(file.data(), 13, dib));

    // A bitmap resource is a packed DIB already: checked the same way.
    Bytes packed(file.begin() + 14, file.end());
    packed[0] = 40;
    EXPECT_TRUE(CheckPackedDib(packed.data(), packed.size()));
    EXPECT_FALSE(CheckPackedDib(packed.data(), packed.size() - 1));
    EXPECT_FALSE(CheckPackedDib(packed.data(), 39));

    // RLE8: the system decodes it; its coded size must be given and inside.
    Bytes rle = MakeBmp(good);
    Put32(rle, 30, 1);
    EXPECT_FALSE(Pack(rle, dib));
    Put32(rle, 34, 8);
    ASSERT_TRUE(Pack(rle, dib));
    EXPECT_EQ(dib.size(), 40u + 1024 + 8);
    Put32(rle, 34, 9);
    EXPECT_FALSE(Pack(rle, dib));
}
