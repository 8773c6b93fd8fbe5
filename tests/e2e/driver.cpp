// The end-to-end driver: a Win32 console program that acts on the windows
// of a running program as a user would. Steps run in order; the first
// failure prints "FAIL: ..." and exits 1. [MS] is an optional time limit
// (15 s); the steps and their arguments are the table in main().

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

DWORD g_pid = 0;
HWND g_current = nullptr;

// A window's text by WM_GETTEXT, which the system carries across processes
// (GetWindowText would not ask another process's edit control).
std::string Text(HWND hWnd)
{
    static char text[65536];
    DWORD_PTR n = 0;
    LPARAM buffer = reinterpret_cast<LPARAM>(text);
    if (!::SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof text, buffer, SMTO_ABORTIFHUNG, 5000, &n))
        n = 0;
    return std::string(text, static_cast<size_t>(n));
}

std::string ClassOf(HWND hWnd)
{
    char cls[128] = {};
    ::GetClassNameA(hWnd, cls, sizeof cls);
    return cls;
}

[[noreturn]] void Fail(const std::string& why)
{
    std::printf("FAIL: %s\n", why.c_str());
    std::fflush(stdout);
    std::exit(1);
}

HWND Current()
{
    if (!g_current)
        Fail("no current window");
    return g_current;
}

// A control of the current window by its id; "0": the window itself.
HWND Control(const std::string& id)
{
    if (id == "0")
        return Current();
    HWND control = ::GetDlgItem(Current(), std::atoi(id.c_str()));
    if (!control)
        Fail("no control " + id + " in \"" + Text(g_current) + "\"");
    return control;
}

// Polls until ready() holds, for ms at most.
void Until(DWORD ms, const std::string& what, const std::function<bool()>& ready)
{
    for (DWORD waited = 0; !ready(); waited += 50) {
        if (waited >= ms)
            Fail(what + " within " + std::to_string(ms) + " ms");
        ::Sleep(50);
    }
}

// Waits for a visible top-level window of the program ("*": any class or
// title; control: one it must hold; sizable: with a sizing frame).
void WaitWindow(DWORD ms, const std::string& cls, const std::string& title, int control = 0, bool sizable = false)
{
    Until(ms, "no window " + cls + " \"" + title + "\" with control " + std::to_string(control), [&] {
        g_current = nullptr;
        for (HWND w = ::GetTopWindow(nullptr); w && !g_current; w = ::GetWindow(w, GW_HWNDNEXT)) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(w, &pid);
            if (pid == g_pid && ::IsWindowVisible(w) && (cls == "*" || ClassOf(w) == cls) &&
                (title == "*" || Text(w) == title) && (!control || ::GetDlgItem(w, control)) &&
                (!sizable || (::GetWindowLongA(w, GWL_STYLE) & WS_THICKFRAME)))
                g_current = w;
        }
        return g_current != nullptr;
    });
    // The caption without a message: the program may be busy.
    char caption[256] = {};
    ::GetWindowTextA(g_current, caption, sizeof caption);
    std::printf("window \"%s\"\n", caption);
}

DWORD FindProcess(const std::string& name)
{
    DWORD pid = 0;
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snap, &entry); more; more = ::Process32Next(snap, &entry))
        if (lstrcmpiA(entry.szExeFile, name.c_str()) == 0)
            pid = entry.th32ProcessID;
    ::CloseHandle(snap);
    return pid;
}

// Stops or goes on with every thread of the program (scripts/demo: a
// screenshot of work under way).
void SuspendOrResume(bool suspend)
{
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snap, &entry); more; more = ::Thread32Next(snap, &entry))
        if (entry.th32OwnerProcessID == g_pid)
            if (HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
                suspend ? ::SuspendThread(thread) : ::ResumeThread(thread);
                ::CloseHandle(thread);
            }
    ::CloseHandle(snap);
}

void Expect(bool ok, const std::string& what)
{
    if (!ok)
        Fail(what);
}

int Int(const std::string& s) { return std::atoi(s.c_str()); }

using Args = std::vector<std::string>;
struct Step {
    const char* name;
    size_t args;     // arguments it needs
    bool optionalMs; // then one more if it is a number
    std::function<void(const Args&, DWORD)> run;
};

} // namespace

int main(int argc, char** argv)
{
    const Step steps[] = {
        // A running program found by its file name (e.g. Setup.exe).
        {"attach", 1, true, [](const Args& a, DWORD ms) {
             Until(ms, "no running " + a[0], [&] { return (g_pid = FindProcess(a[0])) != 0; });
         }},
        {"wait-window", 2, true, [](const Args& a, DWORD ms) { WaitWindow(ms, a[0], a[1]); }},
        {"wait-control", 1, true, [](const Args& a, DWORD ms) { WaitWindow(ms, "*", "*", Int(a[0])); }},
        {"wait-background", 0, true, [](const Args&, DWORD ms) { WaitWindow(ms, "*", "*", 0, true); }},
        {"wait-gone", 0, true, [](const Args&, DWORD ms) {
             Until(ms, "\"" + Text(Current()) + "\" still there", [] {
                 return !::IsWindow(g_current) || !::IsWindowVisible(g_current);
             });
         }},
        {"expect-text", 2, false, [](const Args& a, DWORD) {
             std::string got = Text(Control(a[0]));
             Expect(got == a[1], "control " + a[0] + " shows \"" + got + "\", not \"" + a[1] + "\"");
         }},
        {"expect-hidden", 1, false, [](const Args& a, DWORD) {
             Expect(!::IsWindowVisible(Control(a[0])), "control " + a[0] + " is visible");
         }},
        // 1: the current window takes input; 0: it does not (a modal child is open).
        {"expect-enabled", 1, false, [](const Args& a, DWORD) {
             bool enabled = ::IsWindowEnabled(Current());
             Expect(enabled == (a[0] == "1"), "\"" + Text(g_current) + "\" is " + (enabled ? "enabled" : "disabled"));
         }},
        // Prints "rect X Y W H client X Y W H", the client's origin on the screen.
        {"rect", 0, false, [](const Args&, DWORD) {
             RECT r, c;
             ::GetWindowRect(Current(), &r);
             ::GetClientRect(g_current, &c);
             POINT origin = {0, 0};
             ::ClientToScreen(g_current, &origin);
             std::printf("rect %ld %ld %ld %ld client %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left,
                         r.bottom - r.top, origin.x, origin.y, c.right, c.bottom);
         }},
        // Prints "control-rect L T R B" on the screen.
        {"control-rect", 1, false, [](const Args& a, DWORD) {
             RECT r;
             ::GetWindowRect(Control(a[0]), &r);
             std::printf("control-rect %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
         }},
        // Prints "message-text TEXT", the current window's longest static text.
        {"message-text", 0, false, [](const Args&, DWORD) {
             std::string best;
             for (HWND c = ::GetWindow(Current(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
                 if (lstrcmpiA(ClassOf(c).c_str(), "Static") == 0 && Text(c).size() > best.size())
                     best = Text(c);
             std::printf("message-text %s\n", best.c_str());
         }},
        {"click", 1, false, [](const Args& a, DWORD) { ::PostMessageA(Control(a[0]), BM_CLICK, 0, 0); }},
        {"type", 2, false, [](const Args& a, DWORD) {
             ::SendMessageA(Control(a[0]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1].c_str()));
         }},
        // A key press (virtual-key code) posted to the current window.
        {"key", 1, false, [](const Args& a, DWORD) {
             WPARAM vk = std::strtoul(a[0].c_str(), nullptr, 0);
             ::PostMessageA(Current(), WM_KEYDOWN, vk, 1);
             ::PostMessageA(g_current, WM_KEYUP, vk, 0xC0000001);
         }},
        // The close box.
        {"close", 0, false, [](const Args&, DWORD) { ::PostMessageA(Current(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"resize", 2, false, [](const Args& a, DWORD) {
             const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
             Expect(::SetWindowPos(Current(), nullptr, 0, 0, Int(a[0]), Int(a[1]), flags), "cannot resize the window");
         }},
        // Erases and repaints the whole window.
        {"redraw", 0, false, [](const Args&, DWORD) {
             ::RedrawWindow(Current(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
         }},
        // Opens a file with no sharing and keeps it open until the driver
        // ends: a file in use by another program.
        {"hold-open", 1, false, [](const Args& a, DWORD) {
             HANDLE h = ::CreateFileA(a[0].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
             Expect(h != INVALID_HANDLE_VALUE, "cannot open " + a[0] + ", error " + std::to_string(::GetLastError()));
             std::printf("holding %s\n", a[0].c_str());
         }},
        {"suspend", 0, false, [](const Args&, DWORD) { SuspendOrResume(true); }},
        {"resume", 0, false, [](const Args&, DWORD) { SuspendOrResume(false); }},
        {"sleep", 1, false, [](const Args& a, DWORD) { ::Sleep(static_cast<DWORD>(Int(a[0]))); }},
    };
    Args a(argv + 1, argv + argc);
    for (size_t i = 0; i < a.size();) {
        const Step* step = nullptr;
        for (const Step& s : steps)
            if (a[i] == s.name)
                step = &s;
        if (!step)
            Fail("unknown step \"" + a[i] + "\"");
        if (i + step->args >= a.size())
            Fail("step \"" + a[i] + "\" needs " + std::to_string(step->args) + " argument(s)");
        Args args(a.data() + i + 1, a.data() + i + 1 + step->args);
        i += 1 + step->args;
        DWORD ms = 15000;
        if (step->optionalMs && i < a.size() && !a[i].empty() && std::isdigit(static_cast<unsigned char>(a[i][0])))
            ms = static_cast<DWORD>(Int(a[i++]));
        step->run(args, ms);
        std::fflush(stdout);
    }
    std::printf("OK\n");
    return 0;
}
