// Setup.exe's command line as deployment scripts and shells write it.

#include <gtest/gtest.h>

#include <tuple>

#include "app/CommandLine.h"

TEST(CommandLine, SwitchesDestinationAndLog)
{
    struct Case {
        const char* line;
        bool ok, silent, uninstall, usage;
        const char* destination;
        const char* log;
        const char* error;
    } cases[] = {
        {"", true, false, false, false, "", "", ""},
        {" /s /d=C:\\My Dir  ", true, true, false, false, "C:\\My Dir", "", ""},
        // /D= takes the rest of the line, switches and all.
        {"/S /D=C:\\A /LOG=x", true, true, false, false, "C:\\A /LOG=x", "", ""},
        {"/D=\"C:\\My Dir\"", true, false, false, false, "C:\\My Dir", "", ""},
        // Quoted, as a shell passes an argument with spaces, it may stand anywhere.
        {"\"/D=C:\\My Dir\" /S \"/LOG=C:\\a b.log\"", true, true, false, false, "C:\\My Dir", "C:\\a b.log", ""},
        {"/Log=\"C:\\a b.log\" /S", true, true, false, false, "", "C:\\a b.log", ""},
        {"/U /S /?", true, true, true, true, "", "", ""},
        // A fault is reported, and the /S after it still read.
        {"/X /S /Y", false, true, false, false, "", "", "Unknown switch: /X"},
        {"/SILENT", false, false, false, false, "", "", "Unknown switch: /SILENT"},
        {"/LOG= /S", false, true, false, false, "", "", "/LOG= needs a file name."},
        {"/S /D=  ", false, true, false, false, "", "", "/D= needs a folder."},
        {"/S \"/LOG=C:\\x", false, true, false, false, "", "", "A quote is not closed: /LOG=C:\\x"},
        {"/CLEANUP=0", false, false, false, false, "", "", "Unknown switch: /CLEANUP=0"},
    };
    for (const Case& c : cases) {
        SetupOptions o;
        EXPECT_EQ(ParseCommandLine(c.line, o), c.ok) << c.line;
        EXPECT_EQ(std::tie(o.silent, o.uninstall, o.usage, o.destination, o.log, o.error),
                  std::tie(c.silent, c.uninstall, c.usage, c.destination, c.log, c.error)) << c.line;
    }
    SetupOptions cleanup;
    EXPECT_TRUE(ParseCommandLine("/CLEANUP=412 /D=C:\\P Q", cleanup));
    EXPECT_EQ(cleanup.cleanupOf, 412u);
    EXPECT_EQ(cleanup.destination, "C:\\P Q");

    EXPECT_EQ(CommandArguments("\"C:\\My Setup\\Setup.exe\" /S /D=C:\\x"), " /S /D=C:\\x");
    EXPECT_EQ(CommandArguments("  Setup.exe"), "");
    EXPECT_EQ(CommandArguments("C:\\Setup.exe\t/S"), "\t/S");
}
