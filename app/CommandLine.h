#pragma once
// Setup.exe's command line. With no arguments the program runs as it always
// has; /S installs (or removes) without a window, /D= names the destination,
// /LOG= appends a log of every action, /U removes an installed product.

#include <string>

// The program's own version, written to the log.
constexpr const char* kSetupVersion = "1.1";

// What the process returns: why a run ended.
enum SetupStatus {
    statusInstalled = 0,
    statusCancelled = 1,     // the user left, or said No
    statusMedium = 2,        // damaged medium or record, or not enough space
    statusFileError = 3,     // a file error while installing or removing
    statusCommandLine = 4,   // a bad command line, or /?
};

struct SetupOptions {
    bool silent = false;       // /S
    bool uninstall = false;    // /U
    bool usage = false;        // /?
    std::string destination;   // /D=, empty for the script's
    std::string log;           // /LOG=
    // /CLEANUP=<process id>: the copy that removes Uninstall.exe once the
    // removal that started it has ended. Not for users.
    unsigned long cleanupOf = 0;
    std::string error;         // why the line was refused
};

// The arguments after the program's name in a whole command line
// (GetCommandLine's text: the name may be quoted).
std::string CommandArguments(const std::string& commandLine);

// Switches are case-insensitive. By the usual convention /D= is the last
// argument and takes the rest of the line, spaces and all; a quoted
// argument ("/D=C:\My Dir", "/LOG=C:\a b.log") is taken whole. False, with
// options.error saying why, for an unknown switch or an empty value.
bool ParseCommandLine(const std::string& arguments, SetupOptions& options);

// The text of the usage box, with the reason for it first when there is one.
std::string UsageText(const std::string& error);
