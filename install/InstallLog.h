#pragma once
// The log an administrator reads after an unattended run: one plain-text
// line per action, appended, each with its local time. Without a file
// every line is dropped.

#include <string>

#include "framework/File.h"

class CInstallLog {
public:
    // Opens the file for appending, made when missing; false when it
    // cannot be written.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_file.IsOpen(); }
    // Writes the line at once, so that a run that dies leaves its log. A
    // log that cannot be written any more is closed, not reported.
    void Write(const std::string& line);

private:
    CFile m_file;
};

// The program-wide log.
CInstallLog& GetInstallLog();
