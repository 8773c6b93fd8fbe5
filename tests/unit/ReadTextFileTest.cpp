#include "app/ReadTextFile.h"

#include <gtest/gtest.h>

#include "TempDir.h"

using namespace std::string_literals;

TEST(ReadTextFile, TakesTheBytesAsTheyAreUpToAZero)
{
    TempDir dir;
    std::string out = "old";
    EXPECT_FALSE(ReadTextFile(dir.File("missing.txt"), out));
    EXPECT_EQ(out, "");

    // No line-end translation: CR LF, a lone LF and Ctrl-Z all stay.
    std::string crlf = "Line one\r\nLine two\nthree\x1A four\r\n";
    EXPECT_TRUE(ReadTextFile(dir.Write("License.txt", crlf), out));
    EXPECT_EQ(out, crlf);

    EXPECT_TRUE(ReadTextFile(dir.Write("zero.txt", "before\0after"s), out));
    EXPECT_EQ(out, "before");

    EXPECT_TRUE(ReadTextFile(dir.Write("empty.txt", ""), out));
    EXPECT_EQ(out, "");

    std::string big(200000, 'x');
    EXPECT_TRUE(ReadTextFile(dir.Write("big.txt", big), out));
    EXPECT_EQ(out.size(), big.size());
}

#ifndef _WIN32
TEST(ReadTextFile, AFileLongerThanItsLengthStaysInsideTheBlock)
{
    // /proc reports a length of 0: the text is cut at the block's 15 bytes.
    std::string out;
    ASSERT_TRUE(ReadTextFile("/proc/self/status", out));
    EXPECT_EQ(out, "Name:\tunit_test");
}
#endif
