// The end-to-end driver: a Win32 console program that acts on the windows
// of a running program as a user would, step by step.
//
//   e2e_driver STEP [STEP...]       steps run in order; the first failure
//                                   prints "FAIL: ..." and exits 1
//
//   attach NAME [MS]                act on a running program, found by its
//                                   file name (e.g. Setup.exe)
//   wait-window CLASS TITLE [MS]    wait for a visible top-level window of
//                                   the program ("*" matches anything);
//                                   it becomes the current window
//   wait-control ID [MS]            wait for a visible top-level window of
//                                   the program holding control ID
//   wait-background [MS]            wait for its sizable (background) window
//   wait-gone [MS]                  wait until the current window is gone
//   expect-title TEXT               current window's caption
//   expect-text ID TEXT             text of control ID of the current window
//   click ID                        press button ID (BM_CLICK)
//   type ID TEXT                    set the text of edit ID
//   key VK                          post a key press to the current window
//   close                           the close box (WM_SYSCOMMAND SC_CLOSE)
//   move X Y                        move the current window (keeps its size)
//   control-rect ID                 print control ID's rectangle on the
//                                   screen: "control-rect L T R B"
//   expect-hidden ID                control ID exists and is not visible
//   expect-enabled, expect-disabled the current window takes input or not
//   rect                            print the current window's rectangle,
//                                   its client origin on the screen and
//                                   its client size
//   expect-rect X Y W H             the current window's rectangle
//   dump                            list the program's windows and controls
//   resize W H                      give the current window that outer size
//   redraw                          erase and repaint the whole window
//   hold-open PATH                  open a file with no sharing and keep it
//                                   open until the driver ends (a file in
//                                   use by another program)
//   suspend, resume                 stop or go on with every thread of the
//                                   program (a screenshot of work under way)
//   sleep MS

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

DWORD g_pid = 0;
HWND g_current = nullptr;

// A window's text by WM_GETTEXT, which the system carries across processes
// (GetWindowText would not ask another process's edit control).
std::string Text(HWND hWnd)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    std::string s(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR n = 0;
    ::SendMessageTimeoutA(hWnd, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG, 5000, &n);
    s.resize(static_cast<size_t>(n));
    return s;
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

struct Search {
    std::string cls, title;
    int control = 0;          // a control the window must hold, or 0
    bool sizable = false;     // only windows with a sizing frame
    HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND hWnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != g_pid || !::IsWindowVisible(hWnd))
        return TRUE;
    if (s->cls != "*" && ClassOf(hWnd) != s->cls)
        return TRUE;
    if (s->title != "*" && Text(hWnd) != s->title)
        return TRUE;
    if (s->control && !::GetDlgItem(hWnd, s->control))
        return TRUE;
    if (s->sizable && !(::GetWindowLongA(hWnd, GWL_STYLE) & WS_THICKFRAME))
        return TRUE;
    s->found = hWnd;
    return FALSE;
}

BOOL CALLBACK DumpChild(HWND hWnd, LPARAM)
{
    std::printf("    control %d class=%s text=\"%s\"%s\n", ::GetDlgCtrlID(hWnd), ClassOf(hWnd).c_str(),
                Text(hWnd).c_str(), ::IsWindowVisible(hWnd) ? "" : " (hidden)");
    return TRUE;
}

BOOL CALLBACK DumpTop(HWND hWnd, LPARAM)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != g_pid)
        return TRUE;
    RECT r;
    ::GetWindowRect(hWnd, &r);
    std::printf("window class=%s title=\"%s\" rect=%ld,%ld,%ld,%ld%s\n", ClassOf(hWnd).c_str(), Text(hWnd).c_str(),
                r.left, r.top, r.right, r.bottom, ::IsWindowVisible(hWnd) ? "" : " (hidden)");
    ::EnumChildWindows(hWnd, DumpChild, 0);
    return TRUE;
}

HWND Control(int id)
{
    if (!g_current)
        Fail("no current window");
    HWND control = ::GetDlgItem(g_current, id);
    if (!control)
        Fail("no control " + std::to_string(id) + " in \"" + Text(g_current) + "\"");
    return control;
}

HWND WaitFor(Search s, DWORD ms, const std::string& what)
{
    for (DWORD waited = 0;; waited += 50) {
        s.found = nullptr;
        ::EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
        if (s.found)
            return s.found;
        if (waited >= ms)
            Fail("no " + what + " within " + std::to_string(ms) + " ms");
        ::Sleep(50);
    }
}

DWORD OptionalMs(const std::vector<std::string>& a, size_t& i, DWORD fallback)
{
    if (i + 1 < a.size() && !a[i + 1].empty() && std::isdigit(static_cast<unsigned char>(a[i + 1][0])))
        return static_cast<DWORD>(std::atoi(a[++i].c_str()));
    return fallback;
}

void SuspendOrResume(bool suspend)
{
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snap, &entry); more; more = ::Thread32Next(snap, &entry)) {
        if (entry.th32OwnerProcessID != g_pid)
            continue;
        if (HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
            suspend ? ::SuspendThread(thread) : ::ResumeThread(thread);
            ::CloseHandle(thread);
        }
    }
    ::CloseHandle(snap);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> a(argv + 1, argv + argc);
    auto need = [&](size_t i, size_t n) {
        if (i + n >= a.size())
            Fail("step \"" + a[i] + "\" needs " + std::to_string(n) + " argument(s)");
    };
    for (size_t i = 0; i < a.size(); ++i) {
        const std::string& step = a[i];
        if (step == "attach") {
            need(i, 1);
            std::string name = a[++i];
            DWORD ms = OptionalMs(a, i, 15000);
            DWORD pid = 0;
            for (DWORD waited = 0; !pid; waited += 100) {
                HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
                PROCESSENTRY32 entry = {};
                entry.dwSize = sizeof entry;
                for (BOOL more = ::Process32First(snap, &entry); more; more = ::Process32Next(snap, &entry))
                    if (lstrcmpiA(entry.szExeFile, name.c_str()) == 0)
                        pid = entry.th32ProcessID;
                ::CloseHandle(snap);
                if (pid)
                    break;
                if (waited >= ms)
                    Fail("no running " + name);
                ::Sleep(100);
            }
            g_pid = pid;
        } else if (step == "wait-window") {
            need(i, 2);
            Search s{a[i + 1], a[i + 2]};
            i += 2;
            DWORD ms = OptionalMs(a, i, 15000);
            g_current = WaitFor(s, ms, "window class=" + s.cls + " title=\"" + s.title + "\"");
            std::printf("window \"%s\"\n", Text(g_current).c_str());
        } else if (step == "wait-control") {
            need(i, 1);
            Search s{"*", "*", std::atoi(a[++i].c_str())};
            DWORD ms = OptionalMs(a, i, 15000);
            g_current = WaitFor(s, ms, "window with control " + std::to_string(s.control));
            // The caption without a message: the program may be busy.
            char caption[256] = {};
            ::GetWindowTextA(g_current, caption, sizeof caption);
            std::printf("window \"%s\"\n", caption);
        } else if (step == "wait-background") {
            Search s{"*", "*"};
            s.sizable = true;
            DWORD ms = OptionalMs(a, i, 15000);
            g_current = WaitFor(s, ms, "background window");
            std::printf("background \"%s\"\n", Text(g_current).c_str());
        } else if (step == "wait-gone") {
            DWORD ms = OptionalMs(a, i, 15000);
            for (DWORD waited = 0; g_current && ::IsWindow(g_current) && ::IsWindowVisible(g_current); waited += 50) {
                if (waited >= ms)
                    Fail("window \"" + Text(g_current) + "\" still there after " + std::to_string(ms) + " ms");
                ::Sleep(50);
            }
        } else if (step == "close") {
            if (!g_current)
                Fail("no current window");
            ::PostMessageA(g_current, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (step == "move") {
            need(i, 2);
            if (!g_current)
                Fail("no current window");
            ::SetWindowPos(g_current, nullptr, std::atoi(a[i + 1].c_str()), std::atoi(a[i + 2].c_str()), 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            i += 2;
        } else if (step == "control-rect") {
            need(i, 1);
            RECT r;
            ::GetWindowRect(Control(std::atoi(a[++i].c_str())), &r);
            std::printf("control-rect %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        } else if (step == "expect-hidden") {
            need(i, 1);
            int id = std::atoi(a[++i].c_str());
            if (::IsWindowVisible(Control(id)))
                Fail("control " + std::to_string(id) + " is visible");
        } else if (step == "expect-enabled" || step == "expect-disabled") {
            if (!g_current)
                Fail("no current window");
            bool enabled = ::IsWindowEnabled(g_current) != FALSE;
            if (enabled != (step == "expect-enabled"))
                Fail("\"" + Text(g_current) + "\" is " + (enabled ? "enabled" : "disabled"));
        } else if (step == "expect-rect") {
            need(i, 4);
            if (!g_current)
                Fail("no current window");
            RECT r;
            ::GetWindowRect(g_current, &r);
            long want[4] = {std::atol(a[i + 1].c_str()), std::atol(a[i + 2].c_str()), std::atol(a[i + 3].c_str()),
                            std::atol(a[i + 4].c_str())};
            i += 4;
            long got[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
            for (int k = 0; k < 4; ++k)
                if (got[k] != want[k])
                    Fail("window at " + std::to_string(got[0]) + "," + std::to_string(got[1]) + " size " +
                         std::to_string(got[2]) + "x" + std::to_string(got[3]) + ", not " + std::to_string(want[0]) +
                         "," + std::to_string(want[1]) + " size " + std::to_string(want[2]) + "x" +
                         std::to_string(want[3]));
        } else if (step == "expect-title") {
            need(i, 1);
            std::string want = a[++i];
            if (!g_current || Text(g_current) != want)
                Fail("title is \"" + (g_current ? Text(g_current) : std::string()) + "\", not \"" + want + "\"");
        } else if (step == "expect-text") {
            need(i, 2);
            int id = std::atoi(a[i + 1].c_str());
            std::string want = a[i + 2];
            i += 2;
            std::string got = Text(Control(id));
            if (got != want)
                Fail("control " + std::to_string(id) + " shows \"" + got + "\", not \"" + want + "\"");
        } else if (step == "click") {
            need(i, 1);
            HWND button = Control(std::atoi(a[++i].c_str()));
            ::PostMessageA(button, BM_CLICK, 0, 0);
        } else if (step == "type") {
            need(i, 2);
            HWND edit = Control(std::atoi(a[i + 1].c_str()));
            ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[i + 2].c_str()));
            i += 2;
        } else if (step == "key") {
            need(i, 1);
            WPARAM vk = static_cast<WPARAM>(std::strtoul(a[++i].c_str(), nullptr, 0));
            if (!g_current)
                Fail("no current window");
            ::PostMessageA(g_current, WM_KEYDOWN, vk, 1);
            ::PostMessageA(g_current, WM_KEYUP, vk, 0xC0000001);
        } else if (step == "rect") {
            if (!g_current)
                Fail("no current window");
            RECT r, c;
            ::GetWindowRect(g_current, &r);
            ::GetClientRect(g_current, &c);
            POINT origin = {0, 0};
            ::ClientToScreen(g_current, &origin);
            std::printf("rect %ld %ld %ld %ld client %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left,
                        r.bottom - r.top, origin.x, origin.y, c.right, c.bottom);
        } else if (step == "dump") {
            ::EnumWindows(DumpTop, 0);
        } else if (step == "resize") {
            need(i, 2);
            if (!g_current)
                Fail("no current window");
            int w = std::atoi(a[i + 1].c_str()), h = std::atoi(a[i + 2].c_str());
            i += 2;
            if (!::SetWindowPos(g_current, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
                Fail("cannot resize the window");
        } else if (step == "redraw") {
            if (!g_current)
                Fail("no current window");
            ::RedrawWindow(g_current, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        } else if (step == "hold-open") {
            need(i, 1);
            std::string path = a[++i];
            HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE)
                Fail("cannot open " + path + " (error " + std::to_string(::GetLastError()) + ")");
            std::printf("holding %s\n", path.c_str());
        } else if (step == "suspend" || step == "resume") {
            SuspendOrResume(step == "suspend");
        } else if (step == "sleep") {
            need(i, 1);
            ::Sleep(static_cast<DWORD>(std::atoi(a[++i].c_str())));
        } else {
            Fail("unknown step \"" + step + "\"");
        }
        std::fflush(stdout);
    }
    std::printf("OK\n");
    return 0;
}
