#pragma once
// The framework's exceptions and the texts its reporter shows for them.
// Portable: the message box itself lives in ExceptionReport (Windows only).

#include <exception>
#include <string>

#include "framework/Object.h"

class CException : public CObject {
public:
    // Sets text and returns true when the exception has a text of its own.
    virtual bool GetErrorMessage(std::string& text) const;
};

class CMemoryException : public CException {
public:
    bool GetErrorMessage(std::string& text) const override;
};

// How an uncaught exception is shown: its text and which kind of box.
struct ExceptionReport {
    enum Kind { stop, outOfMemory };
    Kind kind = stop;
    std::string text;
};

// Decides what the framework shows for an exception that escaped a handler.
// Memory exhaustion (ours or the runtime's) gets "Out of memory."; any
// exception without a text of its own gets "Internal application error."
ExceptionReport DescribeException(std::exception_ptr error);

// The program's name as the framework captions its message boxes with it:
// the file name of the module path without directory and extension.
std::string AppNameFromModulePath(const std::string& modulePath);
