#pragma once
// A client of the Program Manager's DDE service ("PROGMAN" service and
// topic): groups and items are made by execute commands, each sent as one
// synchronous transaction with a 1000 ms time-out. Nothing is reported to
// the user; without a server every send is a no-op.

#include <windows.h>

#include <ddeml.h>

#include <cstdint>
#include <string>

struct ProgmanLink {
    DWORD idInst = 0;
    HCONV hConv = nullptr;
};

// 1 when DDE could be set up (whether or not a server answered), else 0.
int ProgmanOpen(ProgmanLink& link);
// 1 when a conversation exists and the command was sent; 0 otherwise, or
// when the command is longer than a Program Manager command may be.
int ProgmanExecute(ProgmanLink& link, const std::string& command);
int ProgmanCreateGroup(ProgmanLink& link, const std::string& group);
int ProgmanDeleteGroup(ProgmanLink& link, const std::string& group);
int ProgmanShowGroup(ProgmanLink& link, const std::string& group, std::uint16_t show);
int ProgmanAddItem(ProgmanLink& link, const std::string& name, const std::string& commandLine,
                   const std::string& iconPath, std::uint16_t iconIndex);
// Removes the item of that name, then adds it anew; both commands are
// checked first, so an item is never removed without its replacement.
void ProgmanReplaceItem(ProgmanLink& link, const std::string& name, const std::string& commandLine,
                        const std::string& iconPath, std::uint16_t iconIndex);
int ProgmanClose(ProgmanLink& link);
HDDEDATA CALLBACK ProgmanCallback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                  ULONG_PTR data1, ULONG_PTR data2);
