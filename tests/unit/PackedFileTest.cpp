// The packed file layout, tags, members and the shared bit services.

#include <gtest/gtest.h>

#include "PackedTestUtil.h"
#include "install/packed/LzssFile.h"
#include "install/packed/StoredFile.h"

using namespace packedtest;

TEST(PackedFile, TagsDecideTheKind)
{
    TempDir dir;
    const std::pair<const char*, int> tags[] = {
        {"QJFFHUFF rest", CPackedFile::kindHuffman}, {"QJFFLZSS", CPackedFile::kindLzss},
        {"QJFFLZW xyz", CPackedFile::kindLzw},       {"QJFFLZWX", CPackedFile::kindStored},
        {"QJFFLZ", CPackedFile::kindStored},         {"QJFFSTOR", CPackedFile::kindStored}};
    for (auto [bytes, kind] : tags)
        EXPECT_EQ(DetectPackedKind(dir.Write("t", bytes)), kind) << bytes;
    EXPECT_EQ(DetectPackedKind(dir.File("missing")), CPackedFile::kindStored);
    dir.Write("w", "QJFFLZW ");
    EXPECT_EQ(CreatePackedFile(dir.File("w"), CPackedFile::kindHuffman)->GetKind(), CPackedFile::kindLzw);
    EXPECT_EQ(CreatePackedFile(std::string(), CPackedFile::kindHuffman)->GetKind(), CPackedFile::kindHuffman);
    EXPECT_EQ(CreatePackedFile(std::string(), 7)->GetKind(), CPackedFile::kindStored);

    // A file that matches no tag reads whole, from its first byte.
    std::string path = dir.Write("plain", "QJFFLZ");
    auto file = CreatePackedFile(path, -1);
    ASSERT_TRUE(file->Open(path, CFile::modeRead));
    EXPECT_EQ(file->GetUnpackedSize(), 6u);
    EXPECT_EQ(file->GetPackedSize(), 6u);
    char buf[10] = {};
    EXPECT_EQ(file->Read(buf, 10), 6u);
    EXPECT_EQ(std::string(buf, 6), "QJFFLZ");
    EXPECT_FALSE(file->Open(path, 0x3)) << "an unknown mode";
}

TEST(PackedFile, BitServices)
{
    TempDir dir;
    std::string path = dir.Write("bits", "\xAB\xCD");
    CStoredFile in;
    ASSERT_TRUE(in.Open(path, CFile::modeRead));
    EXPECT_EQ(in.GetBits(12), 0xABCu);
    EXPECT_EQ(in.GetBit(), 1u);   // the rest of 0xCD: 1101
    EXPECT_EQ(in.GetBits(3), 5u);
    EXPECT_EQ(in.ReadRawByte(), -1) << "past the end";

    // 1, 0, 1 padded by the coded close: the coded byte 0xA0.
    std::string out = dir.File("out");
    CLzssFile writer;
    ASSERT_TRUE(writer.Open(out, CFile::modeCreate | CFile::modeWrite));
    writer.PutBits(5, 3);
    writer.Close();
    // The close adds the (empty) member's end mark after our three bits.
    EXPECT_EQ(TempDir::ReadAll(out).substr(8), Le32(0) + Le32(2) + Bytes("\xA0\x00", 2));
}

TEST(PackedFile, AppendedMembersAreFoundInAnyOrder)
{
    TempDir dir;
    for (int kind : {CPackedFile::kindLzss, CPackedFile::kindHuffman, CPackedFile::kindLzw, CPackedFile::kindStored}) {
        SCOPED_TRACE(CPackedFile::TagOf(kind));
        std::string path = dir.File(std::string("multi") + std::to_string(kind));
        const Bytes members[] = {Text(3000), "", Random(500, 3), Bytes(1, 'x'), Text(40000, 9)};
        for (std::size_t i = 0; i < 5; ++i) {
            auto file = CreatePackedFile(std::string(), kind);
            ASSERT_TRUE(file->Open(path, i == 0 ? CFile::modeCreate | CFile::modeWrite : CFile::modeWrite));
            file->WritePacked(members[i].data(), static_cast<std::uint32_t>(members[i].size()));
            file->Close();
        }
        Bytes all = TempDir::ReadAll(path);
        EXPECT_EQ(all.substr(0, 8), CPackedFile::TagOf(kind));
        // Member 0's header holds its sizes.
        auto file = CreatePackedFile(path, -1);
        EXPECT_EQ(file->GetKind(), kind);
        ASSERT_TRUE(file->Open(path, CFile::modeRead));
        if (kind != CPackedFile::kindStored) {
            EXPECT_EQ(file->GetUnpackedSize(), 3000u);
            EXPECT_EQ(all.substr(8, 4), Le32(3000));
        }
        for (std::uint32_t i : {4u, 0u, 2u, 2u, 1u, 3u, 0u}) {
            ASSERT_TRUE(file->SelectMember(i, 0));
            EXPECT_EQ(file->GetUnpackedSize(), members[i].size());
            Bytes got(members[i].size(), '\0');
            EXPECT_EQ(file->Read(got.data(), static_cast<std::uint32_t>(got.size())), got.size());
            EXPECT_TRUE(got == members[i]) << "member " << i;
            EXPECT_TRUE(file->FinishMember()) << "member " << i;
        }
        EXPECT_FALSE(file->SelectMember(5, 0));
        // The position is kept after a failed selection... and the reader
        // never runs into the next member.
        ASSERT_TRUE(file->SelectMember(3, 0));
        char more[4];
        EXPECT_EQ(file->Read(more, 4), 1u);
    }
}

TEST(PackedFile, WritingRules)
{
    TempDir dir;
    std::string path = dir.File("a.pak");
    CLzssFile lzss;
    ASSERT_TRUE(lzss.Open(path, CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(lzss.SelectMember(0, 0)) << "open for writing";
    lzss.WritePacked("abababab", 8);
    lzss.Close();
    // Appending with another codec would corrupt the file: refused.
    CStoredFile stored;
    EXPECT_FALSE(stored.Open(path, CFile::modeWrite));
    EXPECT_EQ(TempDir::ReadAll(path).size(), 22u);

    // Stored files get the stored tag and a header filled in at Close.
    std::string spath = dir.File("s.pak");
    for (auto [mode, data] :
         {std::pair<unsigned, Bytes>{CFile::modeCreate | CFile::modeWrite, "hello"}, {CFile::modeWrite, "xy"}}) {
        ASSERT_TRUE(stored.Open(spath, mode));
        stored.WritePacked(data.data(), static_cast<std::uint32_t>(data.size()));
        stored.Close();
    }
    EXPECT_EQ(TempDir::ReadAll(spath), Bytes("QJFFSTOR") + Le32(5) + Le32(5) + "hello" + Le32(2) + Le32(2) + "xy");
    // Read whole it is one member, the file as it is; members by selection.
    ASSERT_TRUE(stored.Open(spath, CFile::modeRead));
    EXPECT_EQ(stored.GetUnpackedSize(), 31u);
    ASSERT_TRUE(stored.SelectMember(1, 0));
    char buf[4] = {};
    EXPECT_EQ(stored.Read(buf, 4), 2u);
    EXPECT_EQ(std::string(buf, 2), "xy");
}
