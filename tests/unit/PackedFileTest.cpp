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
    // Every byte value in runs, then a mix: all 258 Huffman symbols; around
    // the 17-byte LZSS look-ahead.
    Bytes all;
    for (int v = 0; v < 256; ++v)
        all += Bytes(static_cast<std::size_t>(v % 7 + 1), static_cast<char>(v));
    const Bytes members[] = {Text(3000), "", all + Random(500, 3), Bytes(1, 'x'), Text(40000, 9), Bytes(17, 'z'),
                             Bytes(18, 'z')};
    for (int kind : {CPackedFile::kindLzss, CPackedFile::kindHuffman, CPackedFile::kindLzw, CPackedFile::kindStored}) {
        SCOPED_TRACE(CPackedFile::TagOf(kind));
        std::string path = dir.File(std::string("multi") + std::to_string(kind));
        for (std::size_t i = 0; i < std::size(members); ++i) {
            auto file = CreatePackedFile(std::string(), kind);
            ASSERT_TRUE(file->Open(path, i == 0 ? CFile::modeCreate | CFile::modeWrite : CFile::modeWrite));
            file->WritePacked(members[i].data(), static_cast<std::uint32_t>(members[i].size()));
            file->Close();
        }
        // Member 0's header holds its sizes, filled in at Close.
        const Bytes written = TempDir::ReadAll(path);
        EXPECT_EQ(written.substr(0, 12), CPackedFile::TagOf(kind) + Le32(3000));
        auto file = CreatePackedFile(path, -1);
        EXPECT_EQ(file->GetKind(), kind);
        ASSERT_TRUE(file->Open(path, CFile::modeRead));
        // Read whole, a stored file is one member: the file as it is.
        EXPECT_EQ(file->GetUnpackedSize(), kind == CPackedFile::kindStored ? written.size() : 3000u);
        for (std::uint32_t i : {4u, 0u, 2u, 6u, 2u, 1u, 5u, 3u, 0u}) {
            ASSERT_TRUE(file->SelectMember(i, 0));
            EXPECT_EQ(file->GetUnpackedSize(), members[i].size());
            Bytes got(members[i].size(), '\0');
            EXPECT_EQ(file->Read(got.data(), static_cast<std::uint32_t>(got.size())), got.size());
            EXPECT_TRUE(got == members[i]) << "member " << i;
            EXPECT_TRUE(file->FinishMember()) << "member " << i;
        }
        EXPECT_FALSE(file->SelectMember(7, 0));
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
    stored.Close();   // a refused file is not open: nothing is written at its close
    EXPECT_EQ(TempDir::ReadAll(path).size(), 22u);
}
