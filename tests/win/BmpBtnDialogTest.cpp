// The bitmap button test dialog under the real dialog manager, driven from
// a helper thread with real mouse and keyboard input: clicks toggle check
// boxes and clear radio groups, a press dragged off keeps the state, repeat
// buttons notify at their interval until released, the parent hears of the
// pointer hovering. With BMPBTN_SHOT_DIR set, the dialog's looks are saved
// there as BMP files; with BMPBTN_TRACE set, every notification and drawing
// the dialog saw is printed.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ButtonTestIds.h"
#include "framework/Dialog.h"
#include "ui/BmpBtn.h"

namespace {

const UINT WM_APP_STATE = WM_APP;       // wParam id: the button's m_chState
const UINT WM_APP_COUNT = WM_APP + 1;   // wParam id, lParam code: notes so far
const UINT WM_APP_LAST = WM_APP + 2;    // wParam id, lParam code: last note's lParam
const int kDrawDone = -1;               // note code: a WM_DRAWITEM has returned
const int kPressDone = -2;              // the same for a press (ODS_SELECTED)
const int kReleaseDone = -3;            // and for the end of a press

const int kButtonIds[] = {IDC_BT_PUSH,     IDC_BT_CHECK,    IDC_BT_ONE,   IDC_BT_TWO,     IDC_BT_REPEAT,
                          IDC_BT_FAST,     IDC_BT_LABEL,    IDC_BT_OTHER, IDC_BT_GROUP,   IDC_BT_DISABLED,
                          IDC_BT_INVERTED, IDC_BT_PICTURE,  IDC_BT_FOUR,  IDC_BT_FIVE,    IDC_BT_CURSOR,
                          IDC_BT_STYLED};

struct Note {
    int id;
    int code;
    LPARAM lParam;
    DWORD tick;
    UINT itemState;   // for kDrawDone
    char state = 0;   // the button's check state after drawing
    int where = 0;    // traced: pointer inside (1), mouse button down (2), action << 4
};

class ButtonTestDlg : public CDialog {
public:
    ButtonTestDlg() : CDialog(IDD_BUTTON_TEST) {}
    std::vector<Note> notes;
    std::vector<std::unique_ptr<CBmpBtn>> buttons;
    std::unique_ptr<CObject> byName;   // IDC_BT_THREE, made from its class name

    CBmpBtn* Button(int id)
    {
        CButton* b = CButton::FromHandlePermanent(::GetDlgItem(m_hWnd, id));
        return b && b->IsKindOf(&CBmpBtn::classCBmpBtn) ? static_cast<CBmpBtn*>(b) : nullptr;
    }

protected:
    BOOL OnInitDialog() override
    {
        for (int id : kButtonIds) {
            buttons.push_back(std::make_unique<CBmpBtn>());
            buttons.back()->SubclassDlgItem(id, m_hWnd);
        }
        byName.reset(CRuntimeClass::FromName("CBmpBtn")->CreateObject());
        static_cast<CBmpBtn*>(byName.get())->SubclassDlgItem(IDC_BT_THREE, m_hWnd);
        return CDialog::OnInitDialog();
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_DRAWITEM: {
            auto* d = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
            DRAWITEMSTRUCT copy = *d;
            if (!ReflectDrawItem(lParam))
                break;
            int code = !(copy.itemAction & ODA_SELECT) ? kDrawDone
                       : copy.itemState & ODS_SELECTED ? kPressDone
                                                        : kReleaseDone;
            DWORD pos = ::GetMessagePos();
            POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
            ::ScreenToClient(copy.hwndItem, &pt);
            int where = (::PtInRect(&copy.rcItem, pt) ? 1 : 0) | (::GetKeyState(VK_LBUTTON) < 0 ? 2 : 0) | static_cast<int>(copy.itemAction) << 4;
            CBmpBtn* b = Button(static_cast<int>(wParam));
            notes.push_back({static_cast<int>(wParam), code, 0, ::GetTickCount(), copy.itemState,
                             b ? b->m_chState : '?', where});
            return TRUE;
        }
        case WM_COMMAND:
            notes.push_back({LOWORD(wParam), HIWORD(wParam), lParam, ::GetTickCount(), 0});
            break;
        case WM_APP_STATE: {
            CBmpBtn* b = Button(static_cast<int>(wParam));
            return b ? b->m_chState : 0;
        }
        case WM_APP_COUNT: {
            LRESULT n = 0;
            for (const Note& note : notes)
                n += note.id == static_cast<int>(wParam) && note.code == static_cast<int>(lParam);
            return n;
        }
        case WM_APP_LAST:
            for (auto it = notes.rbegin(); it != notes.rend(); ++it)
                if (it->id == static_cast<int>(wParam) && it->code == static_cast<int>(lParam))
                    return it->lParam;
            return 0;
        default:
            break;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

// The helper thread's side: input, waiting, screenshots. Results are kept
// and checked on the test thread after the dialog has ended.
class Driver {
public:
    explicit Driver(HWND dlg) : m_dlg(dlg) {}

    std::vector<std::string> failures;

    POINT Center(int id) const
    {
        RECT r;
        ::GetWindowRect(::GetDlgItem(m_dlg, id), &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // An empty spot of the dialog, in dialog units.
    POINT Spot(int x, int y) const
    {
        RECT r = {x, y, 0, 0};
        ::MapDialogRect(m_dlg, &r);
        POINT p = {r.left, r.top};
        ::ClientToScreen(m_dlg, &p);
        return p;
    }
    // Both ways at once, to the same pixel: SetCursorPos moves the X
    // server's pointer (input alone is undone when Wine next reads the
    // pointer from X), and the input move puts the pointer there in the
    // input stream. The X server reports the warp a little later; let that
    // arrive before going on.
    void MoveTo(POINT p) const
    {
        ::SetCursorPos(p.x, p.y);
        INPUT in = {};
        in.type = INPUT_MOUSE;
        // Absolute coordinates are 65536ths of the screen, rounded down.
        int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
        in.mi.dx = (p.x * 65536 + w - 1) / w;
        in.mi.dy = (p.y * 65536 + h - 1) / h;
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        ::SendInput(1, &in, sizeof in);
        ::Sleep(40);
        Sync();
    }
    void Button(DWORD flag) const
    {
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flag;
        ::SendInput(1, &in, sizeof in);
    }
    void Key(WORD vk) const
    {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = vk;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, in, sizeof in[0]);
    }
    // A click, waited for until the button reports it; then one on the
    // dialog's background, so that the next click on the same button is not
    // taken for a double click.
    void Click(int id)
    {
        int clicks = Count(id, BN_CLICKED);
        MoveTo(Center(id));
        Button(MOUSEEVENTF_LEFTDOWN);
        Button(MOUSEEVENTF_LEFTUP);
        WaitFor([&] { return Count(id, BN_CLICKED) > clicks; }, "a click on " + std::to_string(id));
        Background();
    }
    // A click that may go unnoticed: true when the button reported it.
    bool TryClick(int id)
    {
        int clicks = Count(id, BN_CLICKED);
        MoveTo(Center(id));
        Button(MOUSEEVENTF_LEFTDOWN);
        Button(MOUSEEVENTF_LEFTUP);
        bool seen = false;
        for (int waited = 0; !seen && waited < 1000; waited += 10) {
            ::Sleep(10);
            seen = Count(id, BN_CLICKED) > clicks;
        }
        Background();
        return seen;
    }
    // Presses the button, moves off it and lets go there.
    void DragOff(int id, const char* screenshot = nullptr)
    {
        int presses = Count(id, kPressDone), releases = Count(id, kReleaseDone);
        MoveTo(Center(id));
        Button(MOUSEEVENTF_LEFTDOWN);
        WaitFor([&] { return Count(id, kPressDone) > presses; }, "a press on " + std::to_string(id));
        if (screenshot)
            Screenshot(screenshot);
        releases = Count(id, kReleaseDone);
        MoveTo(Spot(250, 145));
        WaitFor([&] { return Count(id, kReleaseDone) > releases; }, "a drag off " + std::to_string(id));
        Button(MOUSEEVENTF_LEFTUP);
        Background();
    }
    void Background() const
    {
        MoveTo(Spot(250, 145));
        Button(MOUSEEVENTF_LEFTDOWN);
        Button(MOUSEEVENTF_LEFTUP);
    }
    // Returns once the dialog's thread has handled what came before.
    void Sync() const { ::SendMessageA(m_dlg, WM_NULL, 0, 0); }
    char State(int id) const { return static_cast<char>(::SendMessageA(m_dlg, WM_APP_STATE, id, 0)); }
    int Count(int id, int code) const { return static_cast<int>(::SendMessageA(m_dlg, WM_APP_COUNT, id, code)); }
    LPARAM Last(int id, int code) const { return ::SendMessageA(m_dlg, WM_APP_LAST, id, code); }
    bool WaitFor(const std::function<bool()>& done, const std::string& what, int timeoutMs = 10000)
    {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            if (done())
                return true;
            ::Sleep(10);
        }
        failures.push_back("timed out waiting for " + what);
        return false;
    }
    void Expect(bool ok, const std::string& what)
    {
        if (!ok)
            failures.push_back(what);
    }

    void Screenshot(const char* name) const
    {
        const char* dir = std::getenv("BMPBTN_SHOT_DIR");
        if (!dir || !*dir)
            return;
        Sync();
        ::RedrawWindow(m_dlg, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT r;
        ::GetWindowRect(m_dlg, &r);
        int w = r.right - r.left, h = r.bottom - r.top;
        BITMAPINFOHEADER bih = {sizeof bih, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP bitmap = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS, &bits,
                                            nullptr, 0);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ::GdiFlush();
        DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
        BITMAPFILEHEADER bfh = {0x4D42, static_cast<DWORD>(sizeof bfh + sizeof bih + size), 0, 0,
                                static_cast<DWORD>(sizeof bfh + sizeof bih)};
        std::string path = std::string(dir) + "\\" + name + ".bmp";
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written;
            ::WriteFile(file, &bfh, sizeof bfh, &written, nullptr);
            ::WriteFile(file, &bih, sizeof bih, &written, nullptr);
            ::WriteFile(file, bits, size, &written, nullptr);
            ::CloseHandle(file);
        }
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
    }

private:
    HWND m_dlg;
};

HWND FindTestDialog()
{
    HWND found = ::FindWindowA("#32770", "Bitmap buttons");
    return found && ::IsWindowVisible(found) ? found : nullptr;
}

} // namespace

TEST(BmpBtnDialog, DrivenWithRealInput)
{
    ButtonTestDlg dlg;
    std::vector<std::string> failures;
    HWND push = nullptr;
    std::thread helper([&] {
        HWND hDlg = nullptr;
        for (int waited = 0; !hDlg && waited < 10000; waited += 20) {
            ::Sleep(20);
            hDlg = FindTestDialog();
        }
        if (!hDlg) {
            failures.push_back("the dialog did not appear");
            return;
        }
        Driver d(hDlg);
        push = ::GetDlgItem(hDlg, IDC_BT_PUSH);
        // The first clicks may only activate the window: click the label
        // until it reports a click.
        ::SetForegroundWindow(hDlg);
        for (int tries = 0; tries < 10 && !d.TryClick(IDC_BT_LABEL); ++tries) {
        }
        d.Sync();
        d.Screenshot("01-initial");

        // Clicks: the check box toggles; radios clear their own group only.
        d.Click(IDC_BT_CHECK);
        d.Expect(d.State(IDC_BT_CHECK) == 'C', "check box checked by a click");
        d.Click(IDC_BT_OTHER);
        d.Click(IDC_BT_ONE);
        d.Expect(d.State(IDC_BT_ONE) == 'C', "radio One checked");
        d.Click(IDC_BT_TWO);
        d.Expect(d.State(IDC_BT_TWO) == 'C' && d.State(IDC_BT_ONE) == 'U', "Two checked, One cleared");
        d.Click(IDC_BT_THREE);
        d.Expect(d.State(IDC_BT_THREE) == 'C' && d.State(IDC_BT_TWO) == 'U' && d.State(IDC_BT_ONE) == 'U',
                 "Three (made by name) checked, Two cleared");
        d.Expect(d.State(IDC_BT_OTHER) == 'C', "Other, in its own group, stays checked");
        d.Expect(d.State(IDC_BT_CHECK) == 'C', "the check box before the group stays checked");
        d.Click(IDC_BT_FOUR);
        d.Click(IDC_BT_FIVE);
        d.Expect(d.State(IDC_BT_FOUR) == 'C' && d.State(IDC_BT_FIVE) == 'C',
                 "a plain button between Four and Five ends the walk");
        d.Screenshot("02-checked");

        // A press dragged off keeps the state.
        d.DragOff(IDC_BT_CHECK);
        d.Expect(d.State(IDC_BT_CHECK) == 'C', "check box dragged off stays checked");
        d.DragOff(IDC_BT_TWO);
        d.Expect(d.State(IDC_BT_TWO) == 'U' && d.State(IDC_BT_THREE) == 'C', "radio dragged off changes nothing");

        // The push button: pressed (down look, black frame), dragged off
        // (no click), then clicked.
        d.DragOff(IDC_BT_PUSH, "03-push-pressed");
        d.Expect(d.Count(IDC_BT_PUSH, BN_CLICKED) == 0, "a press dragged off is no click");
        d.Click(IDC_BT_PUSH);
        d.Expect(d.Count(IDC_BT_PUSH, BN_CLICKED) == 1, "the push button clicked once");

        // Hovering: a push button sends code 5 with its window; a button
        // with its own cursor sends its id + 1024; a check box nothing.
        int checkHovers = d.Count(IDC_BT_CHECK, kBmpBtnNotify);
        d.MoveTo(d.Center(IDC_BT_CHECK));
        d.MoveTo(d.Center(IDC_BT_LABEL));
        int pushHovers = d.Count(IDC_BT_PUSH, kBmpBtnNotify);
        d.MoveTo(d.Center(IDC_BT_PUSH));
        d.WaitFor([&] { return d.Count(IDC_BT_PUSH, kBmpBtnNotify) > pushHovers; }, "hover note of the push button");
        d.Expect(d.Last(IDC_BT_PUSH, kBmpBtnNotify) == reinterpret_cast<LPARAM>(push),
                 "the hover note carries the button's window");
        d.MoveTo(d.Center(IDC_BT_CURSOR));
        d.WaitFor([&] { return d.Count(IDC_BT_CURSOR + kBmpBtnCursorHover, 0) > 0; }, "hover note with own cursor");
        d.Expect(d.Count(IDC_BT_CURSOR, kBmpBtnNotify) == 0, "a button with its own cursor sends no code 5");
        d.Expect(d.Count(IDC_BT_CHECK, kBmpBtnNotify) == checkHovers, "a check box sends no hover notes");

        // Repeat every 100 ms while held; released after four notes.
        d.MoveTo(d.Center(IDC_BT_REPEAT));
        d.Button(MOUSEEVENTF_LEFTDOWN);
        d.WaitFor([&] { return d.Count(IDC_BT_REPEAT, kBmpBtnNotify) >= 4; }, "four repeats");
        d.Screenshot("04-repeat-held");
        d.Button(MOUSEEVENTF_LEFTUP);
        d.WaitFor([&] { return d.Count(IDC_BT_REPEAT, kPressDone) >= 1; }, "the repeat press to end");
        d.Background();
        d.MoveTo(d.Spot(250, 145));

        // Without an interval digit: as fast as the loop turns, and still
        // ends when the mouse button is let go.
        d.MoveTo(d.Center(IDC_BT_FAST));
        d.Button(MOUSEEVENTF_LEFTDOWN);
        d.WaitFor([&] { return d.Count(IDC_BT_FAST, kBmpBtnNotify) >= 20; }, "fast repeats");
        d.Button(MOUSEEVENTF_LEFTUP);
        d.WaitFor([&] { return d.Count(IDC_BT_FAST, kPressDone) >= 1; }, "the fast repeat press to end");
        d.Background();
        // A repeat dragged off stops too.
        d.MoveTo(d.Center(IDC_BT_FAST));
        d.Button(MOUSEEVENTF_LEFTDOWN);
        int before = d.Count(IDC_BT_FAST, kBmpBtnNotify);
        d.WaitFor([&] { return d.Count(IDC_BT_FAST, kBmpBtnNotify) >= before + 5; }, "fast repeats again");
        d.MoveTo(d.Spot(250, 145));
        d.WaitFor([&] { return d.Count(IDC_BT_FAST, kPressDone) >= 2; }, "the dragged repeat to end");
        d.Button(MOUSEEVENTF_LEFTUP);

        // The space bar clicks the focused check box wherever the pointer is.
        ::SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(hDlg, IDC_BT_CHECK)), TRUE);
        d.Sync();
        d.Key(VK_SPACE);
        d.WaitFor([&] { return d.State(IDC_BT_CHECK) == 'U'; }, "space bar to uncheck the box");
        d.Screenshot("05-final");

        failures.insert(failures.end(), d.failures.begin(), d.failures.end());
        ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    helper.join();
    for (const std::string& f : failures)
        ADD_FAILURE() << f;

    // Repeats: at least the interval apart, and none after the press's
    // WM_DRAWITEM returned.
    std::vector<DWORD> repeats;
    bool afterEnd = false, ended = false;
    for (const Note& n : dlg.notes) {
        if (n.id != IDC_BT_REPEAT)
            continue;
        if (n.code == kBmpBtnNotify) {
            repeats.push_back(n.tick);
            afterEnd |= ended;
        }
        if (n.code == kPressDone)
            ended = true;
    }
    if (std::getenv("BMPBTN_TRACE"))
        for (const Note& n : dlg.notes)
            std::printf("%d %d %lu %x %c %d\n", n.id, n.code, static_cast<unsigned long>(n.tick), n.itemState,
                            n.state ? n.state : '-', n.where);
    ASSERT_GE(repeats.size(), 4u);
    for (std::size_t i = 1; i < repeats.size(); ++i)
        EXPECT_GE(repeats[i] - repeats[i - 1], 100u) << "repeat " << i;
    EXPECT_TRUE(ended);
    EXPECT_FALSE(afterEnd);
}
