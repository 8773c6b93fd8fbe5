// The Program Manager client against a recording DDE server of our own,
// registered as "PROGMAN" on its own thread: every execute it receives is
// kept, so the exact texts and their order can be checked. (The group
// section's texts: the unit tests; through Wine's own Program Manager and a
// real document association: the e2e scenarios.)

#include <windows.h>

#include <ddeml.h>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/ProgmanClient.h"

namespace {

class RecordingServer {
public:
    RecordingServer()
    {
        s_self = this;
        m_thread = std::thread([this] { Run(); });
        while (!m_ready)
            ::Sleep(10);
    }
    ~RecordingServer()
    {
        ::PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
    // Each execute's text; a data block not ending in exactly one NUL is
    // kept as "bad".
    std::vector<std::string> Commands()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_commands;
    }
    std::atomic<bool> registered{false};

private:
    void Run()
    {
        m_threadId = ::GetCurrentThreadId();
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);   // make the queue
        ::DdeInitializeA(&m_inst, Callback, APPCLASS_STANDARD, 0);
        m_service = ::DdeCreateStringHandleA(m_inst, "PROGMAN", CP_WINANSI);
        registered = ::DdeNameService(m_inst, m_service, nullptr, DNS_REGISTER) != nullptr;
        m_ready = true;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&msg);
        ::DdeNameService(m_inst, m_service, nullptr, DNS_UNREGISTER);
        ::DdeFreeStringHandle(m_inst, m_service);
        ::DdeUninitialize(m_inst);
    }
    static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR)
    {
        if (type == XTYP_CONNECT)
            return reinterpret_cast<HDDEDATA>(::DdeCmpStringHandles(topic, s_self->m_service) == 0);
        if (type != XTYP_EXECUTE)
            return nullptr;
        std::string bytes(::DdeGetData(data, nullptr, 0, 0), '\0');
        ::DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), static_cast<DWORD>(bytes.size()), 0);
        bool terminated = !bytes.empty() && bytes.find('\0') == bytes.size() - 1;
        std::lock_guard<std::mutex> lock(s_self->m_mutex);
        s_self->m_commands.push_back(terminated ? bytes.c_str() : "bad");
        return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }

    static inline RecordingServer* s_self = nullptr;
    std::thread m_thread;
    DWORD m_threadId = 0, m_inst = 0;
    HSZ m_service = nullptr;
    std::atomic<bool> m_ready{false};
    std::mutex m_mutex;
    std::vector<std::string> m_commands;
};

} // namespace

TEST(Progman, ClientSendsTheExactCommands)
{
    RecordingServer server;
    ASSERT_TRUE(server.registered);
    ProgmanLink none;   // without a conversation nothing is sent and nothing fails
    EXPECT_EQ(ProgmanCreateGroup(none, "Tools"), 0);
    ProgmanReplaceItem(none, "Readme", "C:\\Prog\\view.exe", "", 0);

    ProgmanLink link;
    ASSERT_EQ(ProgmanOpen(link), 1);
    EXPECT_EQ(ProgmanCreateGroup(link, "Tools"), 1);
    EXPECT_EQ(ProgmanShowGroup(link, "Tools", 1), 1);
    ProgmanReplaceItem(link, "Readme", "C:\\Prog\\view.exe", "", 0);
    ProgmanReplaceItem(link, "Wide", "x.exe", "icon.ico", static_cast<std::uint16_t>(-1));
    // Too long: refused whole, so the item is not removed either.
    ProgmanReplaceItem(link, "Long", std::string(300, 'p'), "", 0);
    EXPECT_EQ(ProgmanExecute(link, std::string(256, 'c')), 0);
    EXPECT_EQ(ProgmanClose(link), 0);
    EXPECT_EQ(server.Commands(), (std::vector<std::string>{
                                     "[CreateGroup(Tools)]", "[ShowGroup(Tools,1)]", "[ReplaceItem(Readme)]",
                                     "[AddItem(C:\\Prog\\view.exe,Readme,,0)]", "[ReplaceItem(Wide)]",
                                     "[AddItem(x.exe,Wide,icon.ico,65535)]"}));
}
