#pragma once
// Shows an exception that escaped a handler the way the framework does, and
// the guard that every procedure the framework installs runs its handler in:
// a C++ exception must never unwind through a Win32 frame.

#include <exception>
#include <string>

// The message box for an uncaught exception: a stop icon, or the
// exclamation icon and system-modal for memory exhaustion; captioned with
// the program's name.
void AfxReportException(std::exception_ptr error);

// Message box captioned with the program's name, owned by the active window.
int AfxMessageBox(const std::string& text, unsigned type = 0, unsigned helpId = 0);

// Runs handler(); if it throws, reports the exception and returns onError.
template <class Result, class Handler>
Result AfxGuard(Result onError, Handler&& handler) noexcept
{
    try {
        return handler();
    } catch (...) {
        try {
            AfxReportException(std::current_exception());
        } catch (...) {
        }
        return onError;
    }
}
