// The end-to-end driver: a Win32 console program that starts a program
// under test and acts on its windows as a user would, step by step.
//
//   e2e_driver STEP [STEP...]       steps run in order; the first failure
//                                   prints "FAIL: ..." and exits 1
//
//   run PATH [ARGS]                 start the program (working directory:
//                                   its own folder)
//   wait-window CLASS TITLE [MS]    wait for a visible top-level window of
//                                   the program ("*" matches anything);
//                                   it becomes the current window
//   expect-title TEXT               current window's caption
//   expect-text ID TEXT             text of control ID of the current window
//   print-text ID                   print it
//   click ID                        press button ID (BM_CLICK)
//   type ID TEXT                    set the text of edit ID
//   key VK                          post a key press to the current window
//   rect                            print the current window's rectangle
//                                   and client size
//   dump                            list the program's windows and controls
//   sleep MS
//   wait-exit [MS]                  wait for the program to end; prints
//                                   "exit N"
//   expect-exit N [MS]              wait for the end and check the status
//
// Dialog units are not converted with MapDialogRect: under Wine it does not
// work on another process's dialog.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

PROCESS_INFORMATION g_process = {};
HWND g_current = nullptr;

std::string Text(HWND hWnd)
{
    int n = ::GetWindowTextLengthA(hWnd);
    std::string s(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
    n = ::GetWindowTextA(hWnd, s.data(), static_cast<int>(s.size()));
    s.resize(n > 0 ? static_cast<size_t>(n) : 0);
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
    HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND hWnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != g_process.dwProcessId || !::IsWindowVisible(hWnd))
        return TRUE;
    if (s->cls != "*" && ClassOf(hWnd) != s->cls)
        return TRUE;
    if (s->title != "*" && Text(hWnd) != s->title)
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
    if (pid != g_process.dwProcessId)
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

int WaitExit(DWORD ms)
{
    if (!g_process.hProcess)
        Fail("no program was started");
    if (::WaitForSingleObject(g_process.hProcess, ms) != WAIT_OBJECT_0)
        Fail("the program did not end within " + std::to_string(ms) + " ms");
    DWORD code = 0;
    ::GetExitCodeProcess(g_process.hProcess, &code);
    std::printf("exit %lu\n", code);
    return static_cast<int>(code);
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
        if (step == "run") {
            need(i, 1);
            std::string path = a[++i];
            std::string dir = path.substr(0, path.find_last_of("\\/") == std::string::npos ? 0 : path.find_last_of("\\/"));
            std::string command = "\"" + path + "\"";
            STARTUPINFOA si = {};
            si.cb = sizeof si;
            if (!::CreateProcessA(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  dir.empty() ? nullptr : dir.c_str(), &si, &g_process))
                Fail("cannot start " + path + " (error " + std::to_string(::GetLastError()) + ")");
            ::WaitForInputIdle(g_process.hProcess, 10000);
            std::printf("started %s\n", path.c_str());
        } else if (step == "wait-window") {
            need(i, 2);
            Search s{a[i + 1], a[i + 2]};
            i += 2;
            DWORD ms = 15000;
            if (i + 1 < a.size() && std::isdigit(static_cast<unsigned char>(a[i + 1][0])))
                ms = static_cast<DWORD>(std::atoi(a[++i].c_str()));
            for (DWORD waited = 0;; waited += 50) {
                ::EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
                if (s.found)
                    break;
                if (waited >= ms)
                    Fail("no window class=" + s.cls + " title=\"" + s.title + "\" within " + std::to_string(ms) + " ms");
                ::Sleep(50);
            }
            g_current = s.found;
            std::printf("window \"%s\"\n", Text(g_current).c_str());
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
        } else if (step == "print-text") {
            need(i, 1);
            std::printf("%s\n", Text(Control(std::atoi(a[++i].c_str()))).c_str());
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
            std::printf("rect %ld %ld %ld %ld client %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                        c.right, c.bottom);
        } else if (step == "dump") {
            ::EnumWindows(DumpTop, 0);
        } else if (step == "sleep") {
            need(i, 1);
            ::Sleep(static_cast<DWORD>(std::atoi(a[++i].c_str())));
        } else if (step == "wait-exit") {
            DWORD ms = 30000;
            if (i + 1 < a.size() && std::isdigit(static_cast<unsigned char>(a[i + 1][0])))
                ms = static_cast<DWORD>(std::atoi(a[++i].c_str()));
            WaitExit(ms);
        } else if (step == "expect-exit") {
            need(i, 1);
            int want = std::atoi(a[++i].c_str());
            DWORD ms = 30000;
            if (i + 1 < a.size() && std::isdigit(static_cast<unsigned char>(a[i + 1][0])))
                ms = static_cast<DWORD>(std::atoi(a[++i].c_str()));
            int got = WaitExit(ms);
            if (got != want)
                Fail("exit status " + std::to_string(got) + ", not " + std::to_string(want));
        } else {
            Fail("unknown step \"" + step + "\"");
        }
        std::fflush(stdout);
    }
    std::printf("OK\n");
    return 0;
}
