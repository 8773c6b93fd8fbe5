// The Program Manager client against a recording DDE server of our own,
// registered as "PROGMAN" on its own thread: every execute it receives is
// kept, so the exact texts and their order can be checked. (The group
// section's texts: the unit tests; through Wine's own Program Manager: the
// e2e scenario full_install.)

#include <windows.h>

#include <ddeml.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ui/ProgmanClient.h"

namespace {

HSZ g_service = nullptr;
// Each execute's text; a data block not ending in exactly one NUL is kept
// as "bad". Read once the server's thread has ended.
std::vector<std::string> g_commands;

HDDEDATA CALLBACK ServerCallback(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    if (type == XTYP_CONNECT)
        return reinterpret_cast<HDDEDATA>(::DdeCmpStringHandles(topic, g_service) == 0);
    if (type != XTYP_EXECUTE)
        return nullptr;
    std::string bytes(::DdeGetData(data, nullptr, 0, 0), '\0');
    ::DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), static_cast<DWORD>(bytes.size()), 0);
    bool terminated = !bytes.empty() && bytes.find('\0') == bytes.size() - 1;
    g_commands.push_back(terminated ? bytes.c_str() : "bad");
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

} // namespace

TEST(Progman, ClientSendsTheExactCommands)
{
    std::atomic<DWORD> serverThread{0};
    std::atomic<bool> registered{false};
    std::thread server([&] {
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);   // make the queue
        DWORD inst = 0;
        ::DdeInitializeA(&inst, ServerCallback, APPCLASS_STANDARD, 0);
        g_service = ::DdeCreateStringHandleA(inst, "PROGMAN", CP_WINANSI);
        registered = ::DdeNameService(inst, g_service, nullptr, DNS_REGISTER) != nullptr;
        serverThread = ::GetCurrentThreadId();
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&msg);
        ::DdeNameService(inst, g_service, nullptr, DNS_UNREGISTER);
        ::DdeFreeStringHandle(inst, g_service);
        ::DdeUninitialize(inst);
    });
    while (!serverThread)
        ::Sleep(10);
    EXPECT_TRUE(registered);
    ProgmanLink none;   // without a conversation nothing is sent and nothing fails
    EXPECT_EQ(ProgmanCreateGroup(none, "Tools"), 0);
    ProgmanReplaceItem(none, "Readme", "C:\\Prog\\view.exe", "", 0);

    ProgmanLink link;
    EXPECT_EQ(ProgmanOpen(link), 1);
    EXPECT_EQ(ProgmanCreateGroup(link, "Tools"), 1);
    EXPECT_EQ(ProgmanShowGroup(link, "Tools", 1), 1);
    ProgmanReplaceItem(link, "Readme", "C:\\Prog\\view.exe", "", 0);
    ProgmanReplaceItem(link, "Wide", "x.exe", "icon.ico", static_cast<std::uint16_t>(-1));
    // Too long: refused whole, so the item is not removed either.
    ProgmanReplaceItem(link, "Long", std::string(300, 'p'), "", 0);
    EXPECT_EQ(ProgmanExecute(link, std::string(256, 'c')), 0);
    EXPECT_EQ(ProgmanClose(link), 0);
    ::PostThreadMessageA(serverThread, WM_QUIT, 0, 0);
    server.join();
    EXPECT_EQ(g_commands, (std::vector<std::string>{"[CreateGroup(Tools)]", "[ShowGroup(Tools,1)]",
                                                    "[ReplaceItem(Readme)]", "[AddItem(C:\\Prog\\view.exe,Readme,,0)]",
                                                    "[ReplaceItem(Wide)]", "[AddItem(x.exe,Wide,icon.ico,65535)]"}));
}
