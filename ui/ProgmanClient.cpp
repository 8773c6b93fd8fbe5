#include "ui/ProgmanClient.h"

#include "ui/ProgmanCommands.h"

int ProgmanOpen(ProgmanLink& link)
{
    link.idInst = 0;
    if (::DdeInitializeA(&link.idInst, ProgmanCallback, CBF_FAIL_ALLSVRXACTIONS, 0) != DMLERR_NO_ERROR)
        return 0;
    HSZ service = ::DdeCreateStringHandleA(link.idInst, "PROGMAN", CP_WINANSI);
    link.hConv = ::DdeConnect(link.idInst, service, service, nullptr);
    ::DdeFreeStringHandle(link.idInst, service);
    return 1;
}

int ProgmanExecute(ProgmanLink& link, const std::string& command)
{
    if (!link.hConv || command.size() > kProgmanMaxCommand)
        return 0;
    // The terminating NUL is part of the data.
    char buffer[kProgmanMaxCommand + 1];
    command.copy(buffer, command.size());
    buffer[command.size()] = '\0';
    HDDEDATA data = ::DdeCreateDataHandle(link.idInst, reinterpret_cast<LPBYTE>(buffer),
                                          static_cast<DWORD>(command.size() + 1), 0, nullptr, 0, 0);
    ::DdeClientTransaction(reinterpret_cast<LPBYTE>(data), 0xFFFFFFFF, link.hConv, nullptr, 0, XTYP_EXECUTE, 1000,
                           nullptr);
    return 1;
}

int ProgmanCreateGroup(ProgmanLink& link, const std::string& group)
{
    std::string command;
    return FormatCreateGroup(group, command) ? ProgmanExecute(link, command) : 0;
}

int ProgmanDeleteGroup(ProgmanLink& link, const std::string& group)
{
    std::string command;
    return FormatDeleteGroup(group, command) ? ProgmanExecute(link, command) : 0;
}

int ProgmanShowGroup(ProgmanLink& link, const std::string& group, std::uint16_t show)
{
    std::string command;
    return FormatShowGroup(group, show, command) ? ProgmanExecute(link, command) : 0;
}

int ProgmanAddItem(ProgmanLink& link, const std::string& name, const std::string& commandLine,
                   const std::string& iconPath, std::uint16_t iconIndex)
{
    std::string command;
    return FormatAddItem(name, commandLine, iconPath, iconIndex, command) ? ProgmanExecute(link, command) : 0;
}

void ProgmanReplaceItem(ProgmanLink& link, const std::string& name, const std::string& commandLine,
                        const std::string& iconPath, std::uint16_t iconIndex)
{
    std::string replace, add;
    if (!FormatReplaceItem(name, replace) || !FormatAddItem(name, commandLine, iconPath, iconIndex, add))
        return;
    ProgmanExecute(link, replace);
    ProgmanExecute(link, add);
}

int ProgmanClose(ProgmanLink& link)
{
    if (link.hConv)
        ::DdeDisconnect(link.hConv);
    ::DdeUninitialize(link.idInst);
    return 0;
}

HDDEDATA CALLBACK ProgmanCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}
