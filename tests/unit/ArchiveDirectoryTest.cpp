// Archives written by CArchiveWriter and checked by CArchiveDirectory.

#include <gtest/gtest.h>

#include <filesystem>

#include "PackedTestUtil.h"
#include "install/ArchiveDirectory.h"

using namespace packedtest;

namespace {

// An archive from its parts, for damage the writer would never make.
Bytes Archive(const Bytes& tag, const std::vector<Bytes>& members, const std::vector<Bytes>& names)
{
    Bytes out = tag;
    for (const Bytes& m : members)
        out += m;
    Bytes dir = Le32(static_cast<std::uint32_t>(names.size()));
    for (const Bytes& n : names)
        dir += Le32(static_cast<std::uint32_t>(n.size())) + n;
    return out + dir + Le32(static_cast<std::uint32_t>(out.size()));
}

Bytes StoredMember(const Bytes& data)
{
    return Le32(static_cast<std::uint32_t>(data.size())) + Le32(static_cast<std::uint32_t>(data.size())) + data;
}

std::string ReadError(const TempDir& dir, const Bytes& archive)
{
    CArchiveDirectory reader;
    if (reader.Read(dir.Write("bad.aqj", archive)))
        return "accepted";
    return reader.GetError();
}

std::string VerifyError(const std::string& path)
{
    CArchiveDirectory reader;
    if (!reader.Read(path))
        return "read: " + reader.GetError();
    if (reader.Verify())
        return "accepted";
    return reader.GetError();
}

} // namespace

TEST(ArchiveDirectory, TheSmallestLzssArchive)
{
    TempDir dir;
    std::string path = dir.File("one.aqj");
    MakeArchive(path, CPackedFile::kindLzss, {{"a.txt", "abababab"}});
    EXPECT_EQ(TempDir::ReadAll(path), Bytes("QJFFLZSS") + Le32(8) + Le32(6) +
                                               Bytes("\xB0\xD8\x80\x02\x80\x00", 6) + Le32(1) + Le32(5) +
                                               "a.txt" + Le32(22));
    CArchiveDirectory reader;
    ASSERT_TRUE(reader.Read(path)) << reader.GetError();
    ASSERT_EQ(reader.GetMembers().size(), 1u);
    EXPECT_EQ(reader.GetMembers()[0].strName, "a.txt");
    EXPECT_EQ(reader.GetMembers()[0].nUnpackedSize, 8u);
    EXPECT_EQ(reader.GetDirectoryOffset(), 22u);
    EXPECT_EQ(reader.GetKind(), CPackedFile::kindLzss);
    std::uint64_t seen = 0;
    EXPECT_TRUE(reader.Verify([&](std::uint64_t done) { seen = done; })) << reader.GetError();
    EXPECT_EQ(seen, 8u);
    EXPECT_EQ(reader.GetTotalSize(), 8u);
    // The file gone (a medium taken out) after its directory was read.
    std::filesystem::remove(path);
    EXPECT_FALSE(reader.Verify());
    EXPECT_NE(reader.GetError().find("one.aqj"), std::string::npos) << reader.GetError();

    // No members at all: the tag and an empty directory.
    std::string empty = dir.File("empty.aqj");
    MakeArchive(empty, CPackedFile::kindHuffman, {});
    EXPECT_EQ(TempDir::ReadAll(empty), Bytes("QJFFHUFF") + Le32(0) + Le32(8));
    ASSERT_TRUE(reader.Read(empty)) << reader.GetError();
    EXPECT_TRUE(reader.GetMembers().empty());
    EXPECT_TRUE(reader.Verify());
}

TEST(ArchiveDirectory, StructureIsCheckedBeforeUse)
{
    TempDir dir;
    const Bytes tag = "QJFFSTOR";
    const Bytes good = Archive(tag, {StoredMember("abc"), StoredMember("")}, {"a", "b\\c"});
    EXPECT_EQ(ReadError(dir, good), "accepted");

    struct Case {
        Bytes archive;
        const char* expect;
    } cases[] = {
        {"QJFFSTOR1234567", "too short"},
        {good.substr(0, good.size() - 4) + Le32(static_cast<std::uint32_t>(good.size())), "outside the file"},
        {good.substr(0, good.size() - 4) + Le32(4), "outside the file"},
        {tag + Le32(1000) + Le32(8), "more than it has room for"},
        {Archive(tag, {StoredMember("x")}, {Bytes(256, 'n')}), "256 bytes long"},
        {tag + Le32(1) + Le32(9) + "abc" + Le32(8), "runs past the end of the directory"},
        {Archive(tag, {}, {}).substr(0, 12) + "junk" + Le32(8), "stray bytes"},
        {Archive(tag, {StoredMember("x")}, {"a", "b"}), "member 1 \"b\": no member header"},
        {Archive(tag, {StoredMember("x"), StoredMember("y")}, {"a"}), "between the last member and the directory"},
        {Archive(tag, {Le32(3) + Le32(300) + "abc"}, {"a"}), "member 0 \"a\": its 300 packed bytes run past"},
        {Archive(tag, {Le32(5) + Le32(3) + "abc"}, {"a"}), "stored member whose packed size 3 differs"},
        {Archive(tag, {StoredMember("x")}, {"..\\evil"}), "member 0 \"..\\evil\": the name holds a \"..\" segment"},
    };
    for (const Case& c : cases) {
        std::string error = ReadError(dir, c.archive);
        EXPECT_NE(error.find(c.expect), std::string::npos) << "expected \"" << c.expect << "\", got \"" << error << "\"";
    }
}

TEST(ArchiveDirectory, NamesAreOnesWindowsCanCreateSideBySide)
{
    std::string reason;
    for (const char* good : {"a.txt", "sub\\readme.txt", "a\\b\\c.txt", "..a", "x\\.y\\z", ".hidden", "CONSOLE.txt",
                             "com10", "lpt0.log", "NULL", "a b.txt"})
        EXPECT_TRUE(CArchiveDirectory::CheckName(good, reason)) << good << ": " << reason;
    const Bytes bad[] = {"", "\\root.txt", "/root.txt", "dir\\", "dir/", "C:evil", "c:\\x", "file.txt:stream",
                         "..", "a\\..\\..\\b", "a/../b", "..\\x", "x\\..", Bytes("a\0b", 3), "CON", "nul.txt",
                         "sub\\Aux.tar.gz", "com1", "LPT9.doc", "CON .txt", "a?b", "a|b<c>", "a\"b", "a*", "x.", "x ",
                         "sub. \\y", ".", "sub\\.", "a\\\\b", "tab\there", Bytes("bell\x07", 5), Bytes(256, 'n')};
    for (const Bytes& name : bad)
        EXPECT_FALSE(CArchiveDirectory::CheckName(name, reason)) << testing::PrintToString(name);

    const struct {
        std::vector<std::string> names;
        const char* conflict;   // null: the names can live together
    } sets[] = {
        {{"a", "b\\a", "B\\c", "ab"}, nullptr},
        {{"Readme.txt", "README.TXT"}, "\"Readme.txt\" and \"README.TXT\" name the same file"},
        {{"sub\\x", "SUB/X"}, "name the same file"},
        {{"a", "a\\b"}, "\"a\" is a file and also a folder of \"a\\b\""},
        {{"A\\b\\c", "a\\B"}, "\"a\\B\" is a file and also a folder of \"A\\b\\c\""},
    };
    for (const auto& set : sets) {
        reason.clear();
        EXPECT_EQ(CArchiveDirectory::CheckNameSet(set.names, reason), set.conflict == nullptr) << reason;
        if (set.conflict) {
            EXPECT_NE(reason.find(set.conflict), std::string::npos) << reason;
        }
    }
}

TEST(ArchiveDirectory, ContentIsDecodedToItsEnd)
{
    TempDir dir;
    Bytes data = Text(20000) + Random(3000, 5);
    for (int kind : {CPackedFile::kindHuffman, CPackedFile::kindLzss, CPackedFile::kindLzw}) {
        SCOPED_TRACE(CPackedFile::TagOf(kind));
        const Bytes tag = CPackedFile::TagOf(kind);
        Bytes coded = Encode(kind, data);
        auto member = [&](std::uint32_t unpacked, const Bytes& body) {
            return Le32(unpacked) + Le32(static_cast<std::uint32_t>(body.size())) + body;
        };
        const auto size = static_cast<std::uint32_t>(data.size());
        const Bytes fine = member(3, Encode(kind, "abc"));
        const std::pair<Bytes, const char*> cases[] = {
            {Archive(tag, {fine, member(size, coded)}, {"a", "b"}), "accepted"},
            // Cut short, the unpacked size unreachable.
            {Archive(tag, {fine, member(size, coded.substr(0, 900))}, {"a", "b"}), "member 1 \"b\": its coded data gives only"},
            // A size claiming more than the stream holds.
            {Archive(tag, {member(size + 1, coded), fine}, {"a", "b"}), "member 0 \"a\""},
            // A size claiming less: the end code is not where it should be.
            {Archive(tag, {fine, member(size - 10, coded)}, {"a", "b"}), "member 1 \"b\": no end-of-stream code"},
            // The end code missing: the last coded byte gone.
            {Archive(tag, {member(size, coded.substr(0, coded.size() - 1))}, {"a"}), "member 0 \"a\""},
        };
        for (const auto& [archive, expect] : cases) {
            std::string e = VerifyError(dir.Write("a.aqj", archive));
            EXPECT_NE(e.find(expect), std::string::npos) << e;
        }
    }
}
