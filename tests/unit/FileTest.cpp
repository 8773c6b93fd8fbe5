#include "framework/File.h"

#include <gtest/gtest.h>

#include "TempDir.h"

namespace {

template <class F>
CFileException Thrown(F&& f)
{
    try {
        f();
    } catch (const CFileException& e) {
        return e;
    }
    ADD_FAILURE() << "no CFileException";
    return CFileException();
}

std::string Message(const CFileException& e)
{
    std::string text;
    EXPECT_TRUE(e.GetErrorMessage(text));
    return text;
}

} // namespace

TEST(File, OpenModesReadWriteAndSeek)
{
    TempDir dir;
    std::string path = dir.File("data.bin");

    CFile out;
    ASSERT_TRUE(out.Open(path, CFile::modeCreate | CFile::modeWrite));
    out.Write("hello world", 11);
    EXPECT_EQ(out.GetPosition(), 11u);
    EXPECT_EQ(out.GetLength(), 11u);
    out.Close();
    EXPECT_FALSE(out.IsOpen());

    CFile in(path, CFile::modeRead | CFile::shareDenyNone);
    char buffer[32] = {};
    EXPECT_EQ(in.Read(buffer, 5), 5u);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(in.Seek(-3, CFile::end), 8u);
    // A read at the end comes back short, not as an error.
    EXPECT_EQ(in.Read(buffer, sizeof buffer), 3u);
    EXPECT_EQ(std::string(buffer, 3), "rld");
    EXPECT_EQ(in.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(Thrown([&] { in.Seek(-1, CFile::begin); }).m_cause, CFileException::badSeek);
    in.Close();

    // Write mode keeps the contents and writes over them from the start.
    CFile over(path, CFile::modeWrite);
    over.Write("J", 1);
    over.Close();
    EXPECT_EQ(TempDir::ReadAll(path), "Jello world");

    // modeNoTruncate opens an existing file as it is; modeCreate alone empties it.
    CFile keep(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
    EXPECT_EQ(keep.GetLength(), 11u);
    keep.SeekToEnd();
    keep.Write("!", 1);
    keep.Close();
    EXPECT_EQ(TempDir::ReadAll(path), "Jello world!");
    CFile empty(path, CFile::modeCreate | CFile::modeWrite);
    empty.Close();
    EXPECT_EQ(TempDir::ReadAll(path), "");
}

TEST(File, FailuresCarryCauseAndName)
{
    TempDir dir;
    std::string missing = dir.File("missing.txt");

    CFileException error;
    CFile file;
    EXPECT_FALSE(file.Open(missing, CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_strFileName, missing);
    EXPECT_EQ(Message(error), missing + " was not found.");

    EXPECT_EQ(Thrown([&] { CFile f(missing, CFile::modeRead); }).m_cause, CFileException::fileNotFound);

    std::string inMissingDir = dir.File("no-such-dir") + "/x.txt";
    EXPECT_FALSE(file.Open(inMissingDir, CFile::modeCreate | CFile::modeWrite, &error));
    // Windows says the path is bad, POSIX that the file is not there.
#ifdef _WIN32
    EXPECT_EQ(error.m_cause, CFileException::badPath);
#else
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
#endif

    // A directory cannot be opened as a file.
    std::string subdir = dir.File("sub");
    std::filesystem::create_directory(subdir);
    EXPECT_FALSE(file.Open(subdir, CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);

    // Writing to a file opened for reading fails with the file's name.
    std::string readOnly = dir.Write("r.txt", "abc");
    CFile reader(readOnly, CFile::modeRead);
    CFileException writeError = Thrown([&] { reader.Write("x", 1); });
    EXPECT_EQ(writeError.m_strFileName, readOnly);
    EXPECT_NE(writeError.m_cause, CFileException::none);

    EXPECT_EQ(Thrown([&] { CFile::Remove(missing); }).m_cause, CFileException::fileNotFound);
    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus(missing, status));
    EXPECT_TRUE(CFile::GetStatus(readOnly, status));
    EXPECT_EQ(status.m_size, 3u);
    // An open file cannot be removed on Windows; closed, it can.
    reader.Close();
    CFile::Remove(readOnly);
    EXPECT_FALSE(CFile::GetStatus(readOnly, status));
}

TEST(File, ShareFlags)
{
#ifndef _WIN32
    GTEST_SKIP() << "POSIX has no share modes; the Win32 back end is tested under Wine";
#else
    TempDir dir;
    std::string path = dir.Write("shared.txt", "abc");
    CFileException error;
    {
        CFile exclusive(path, CFile::modeRead);   // compatibility mode is exclusive
        CFile other;
        EXPECT_FALSE(other.Open(path, CFile::modeRead | CFile::shareDenyNone, &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
        EXPECT_EQ(Message(error), "A sharing violation occurred while accessing " + path + ".");
    }
    {
        CFile first(path, CFile::modeRead | CFile::shareDenyNone);
        CFile second;
        EXPECT_TRUE(second.Open(path, CFile::modeRead | CFile::shareDenyNone, &error));
        CFile writer;
        EXPECT_TRUE(writer.Open(path, CFile::modeWrite | CFile::shareDenyNone, &error));
    }
    {
        CFile denyWrite(path, CFile::modeRead | CFile::shareDenyWrite);
        CFile reader, writer;
        EXPECT_TRUE(reader.Open(path, CFile::modeRead | CFile::shareDenyNone, &error));
        EXPECT_FALSE(writer.Open(path, CFile::modeWrite | CFile::shareDenyNone, &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    }
#endif
}

TEST(FileException, TextsAndCauses)
{
    const struct {
        int cause;
        const char* text;
    } table[] = {
        {CFileException::generic, "An unknown error occurred while accessing C:\\a b.txt."},
        {CFileException::fileNotFound, "C:\\a b.txt was not found."},
        {CFileException::badSeek, "Seek failed on C:\\a b.txt"},
        {CFileException::diskFull, "Disk full while accessing C:\\a b.txt."},
        {CFileException::endOfFile, "An attempt was made to access C:\\a b.txt past its end."},
    };
    for (const auto& row : table)
        EXPECT_EQ(Message(CFileException(row.cause, -1, "C:\\a b.txt")), row.text);
    // A failed deletion carries no name; a name with "%1" in it stays as it is.
    EXPECT_EQ(Message(CFileException(CFileException::fileNotFound)), "an unnamed file was not found.");
    EXPECT_EQ(Message(CFileException(CFileException::diskFull, -1, "100%1.txt")), "Disk full while accessing 100%1.txt.");
    std::string none;
    EXPECT_FALSE(CFileException(CFileException::none).GetErrorMessage(none));

    const std::pair<int, int> systemErrors[] = {{2, CFileException::fileNotFound}, {3, CFileException::badPath},
                                                {5, CFileException::accessDenied}, {32, CFileException::sharingViolation},
                                                {112, CFileException::diskFull}, {9999, CFileException::generic}};
    for (auto [error, cause] : systemErrors)
        EXPECT_EQ(CFileException::OsErrorToException(error), cause) << error;
}

TEST(ExceptionReport, KindAndTextOfEscapedErrors)
{
    auto describe = [](auto error) { return DescribeException(std::make_exception_ptr(error)); };
    ExceptionReport file = describe(CFileException(CFileException::accessDenied, 5, "x.dat"));
    EXPECT_EQ(file.kind, ExceptionReport::stop);
    EXPECT_EQ(file.text, "Access to x.dat was denied.");
    ExceptionReport memory = describe(std::bad_alloc());
    EXPECT_EQ(memory.kind, ExceptionReport::outOfMemory);
    EXPECT_EQ(memory.text, "Out of memory.");
    EXPECT_EQ(describe(CMemoryException()).kind, ExceptionReport::outOfMemory);
    EXPECT_EQ(describe(CFileException()).text, "Internal application error.");
    EXPECT_EQ(describe(std::runtime_error("boom")).text, "Internal application error.");
    EXPECT_EQ(describe(42).kind, ExceptionReport::stop);

    EXPECT_EQ(AppNameFromModulePath("C:\\Setup\\Setup.exe"), "Setup");
    EXPECT_EQ(AppNameFromModulePath("C:\\My.Dir\\setup"), "setup");
    EXPECT_EQ(AppNameFromModulePath("/opt/a.b/tool.v2.exe"), "tool.v2");
}
