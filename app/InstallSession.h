#pragma once
// One run of the program as the command line asked for it: the options,
// the log, and what the installation made (for Uninstall.dat). The steps
// here are shared by the wizard and the unattended install, and each
// returns the status the process ends with.

#include <windows.h>

#include <exception>
#include <string>

#include "app/CommandLine.h"
#include "install/UninstallRecord.h"
#include "script/ScriptSections.h"

class CProgressSink;

struct CInstallSession {
    SetupOptions options;
    CUninstallRecord record;
    int status = statusInstalled;
};

CInstallSession& GetInstallSession();

// Tells the user, or under /S only the log.
void ReportToUser(const std::string& text, unsigned type);
// An exception's text for the log and the user: the framework's.
std::string ExceptionText(std::exception_ptr error);

// The file phase into the destination: the archives, or the source tree in
// copy mode. A damaged medium or too little space is shown (not under /S)
// and gives statusMedium; file errors are thrown.
int RunFilePhase(const std::string& destination, CProgressSink* sink);

// The lists after the file phase, logged and recorded; mainWindow may be
// null. File errors are thrown.
void RunSectionLists(HWND mainWindow);
void RunScriptProgram(HWND mainWindow);

// With General/Uninstall=1: Uninstall.exe, Uninstall.dat and the entry of
// Add/Remove Programs. File errors are thrown.
void RegisterRemoval(const std::string& destination);

// /S: the whole installation without a window.
int RunSilentInstall();
