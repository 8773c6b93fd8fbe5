// The bitmap button test dialog under the real dialog manager and the
// system's own button procedure, driven from a helper thread: clicks toggle
// check boxes and clear radio groups, a press dragged off keeps the state,
// repeat buttons notify at their interval until released, the parent hears
// of the pointer hovering.
//
// Presses and releases are the mouse messages themselves, posted to the
// button, with the mouse button's key state set in the dialog's thread: X
// pointer events under Wine come late and out of step with injected input,
// which made real clicks unreliable. Hovering and holding a repeat button
// use the real pointer (SetCursorPos). With BMPBTN_SHOT_DIR set, the
// dialog's looks are saved there as BMP files.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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
const UINT WM_APP_DRAIN = WM_APP + 4;   // posted: notes kDrained and keeps its message position
const UINT WM_APP_POS = WM_APP + 5;     // that position
const UINT WM_APP_KEY = WM_APP + 3;     // wParam: the left mouse button down (1) or up (0)
const int kDrawDone = -1;               // note code: a WM_DRAWITEM has returned
const int kPressDone = -2;              // the same for a press (ODS_SELECTED)
const int kReleaseDone = -3;            // and for the end of a press
const int kPressStarted = -4;           // a press's drawing has begun (a repeat loop runs)
const int kDrained = -5;

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
};

class ButtonTestDlg : public CDialog {
public:
    ButtonTestDlg() : CDialog(IDD_BUTTON_TEST) {}
    std::vector<Note> notes;
    std::vector<std::unique_ptr<CBmpBtn>> buttons;
    std::unique_ptr<CObject> byName;   // IDC_BT_THREE, made from its class name
    DWORD drainPos = 0;

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
        CBmpBtn::RegisterRuntimeClass();
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
            if ((copy.itemAction & ODA_SELECT) && (copy.itemState & ODS_SELECTED))
                notes.push_back({static_cast<int>(wParam), kPressStarted, 0, ::GetTickCount(), copy.itemState});
            if (!ReflectDrawItem(lParam))
                break;
            int code = !(copy.itemAction & ODA_SELECT) ? kDrawDone
                       : copy.itemState & ODS_SELECTED ? kPressDone
                                                        : kReleaseDone;
            notes.push_back({static_cast<int>(wParam), code, 0, ::GetTickCount(), copy.itemState});
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
        case WM_APP_DRAIN:
            notes.push_back({0, kDrained, 0, ::GetTickCount(), 0});
            drainPos = ::GetMessagePos();
            return 0;
        case WM_APP_POS:
            return static_cast<LRESULT>(drainPos);
        case WM_APP_KEY: {
            BYTE keys[256];
            ::GetKeyboardState(keys);
            keys[VK_LBUTTON] = wParam ? 0x80 : 0;
            ::SetKeyboardState(keys);
            return 0;
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
    // The real pointer (hovering; moving off a held repeat button).
    void MoveTo(POINT p) const { ::SetCursorPos(p.x, p.y); }
    // The real pointer on the button, as a held repeat button needs it.
    void PointerOn(int id)
    {
        POINT c = Center(id);
        MoveTo(c);
        WaitFor([&] {
            POINT p;
            ::GetCursorPos(&p);
            return p.x == c.x && p.y == c.y;
        }, "the pointer on " + std::to_string(id));
        // The X server's report of the move comes a little later, and it
        // would reset the simulated mouse button: let it pass.
        ::Sleep(300);
        Drain();
    }
    // Whether a message posted now is taken with the pointer on the button.
    bool Placed(int id)
    {
        Drain();
        DWORD pos = static_cast<DWORD>(::SendMessageA(m_dlg, WM_APP_POS, 0, 0));
        POINT p = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        HWND button = ::GetDlgItem(m_dlg, id);
        ::ScreenToClient(button, &p);
        RECT r;
        ::GetClientRect(button, &r);
        return ::PtInRect(&r, p) != FALSE;
    }
    // Holds a repeat button, the real pointer on it, until it has sent
    // count notes. The pointer's own late events can end a hold early; such
    // a hold is tried again. When Wine does not put the pointer on the
    // button at all, unplaced is set and nothing is checked.
    bool Hold(int id, int count)
    {
        for (int attempt = 0; attempt < 10; ++attempt) {
            PointerOn(id);
            if (!Placed(id)) {
                ::Sleep(300);
                continue;
            }
            int ended = Count(id, kPressDone);
            int notes = Count(id, kBmpBtnNotify);
            Press(id);
            bool enough = false;
            for (int waited = 0; waited < 5000 && !enough && Count(id, kPressDone) == ended; waited += 10) {
                ::Sleep(10);
                enough = Count(id, kBmpBtnNotify) >= notes + count;
            }
            if (enough)
                return true;
            LeftButton(false);
            Post(id, WM_LBUTTONUP, true);
            Drain();
            ::Sleep(300);
        }
        unplaced = true;
        return false;
    }
    bool unplaced = false;
    void LeftButton(bool down) const { ::SendMessageA(m_dlg, WM_APP_KEY, down, 0); }
    // Mouse messages at a point of the button's client area (-1: outside).
    void Post(int id, UINT message, bool inside) const
    {
        HWND button = ::GetDlgItem(m_dlg, id);
        RECT r;
        ::GetClientRect(button, &r);
        LPARAM at = inside ? MAKELPARAM(r.right / 2, r.bottom / 2) : MAKELPARAM(-20, -20);
        ::PostMessageA(button, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
    void Press(int id)
    {
        int presses = Count(id, kPressDone) + Count(id, kPressStarted);
        LeftButton(true);
        Post(id, WM_LBUTTONDOWN, true);
        WaitFor([&] { return Count(id, kPressDone) + Count(id, kPressStarted) > presses; },
                "a press on " + std::to_string(id));
    }
    void Click(int id)
    {
        int clicks = Count(id, BN_CLICKED);
        Press(id);
        LeftButton(false);
        Post(id, WM_LBUTTONUP, true);
        WaitFor([&] { return Count(id, BN_CLICKED) > clicks; }, "a click on " + std::to_string(id));
    }
    // Presses the button, moves off it and lets go there.
    void DragOff(int id, const char* screenshot = nullptr)
    {
        Press(id);
        if (screenshot)
            Screenshot(screenshot);
        int releases = Count(id, kReleaseDone);
        Post(id, WM_MOUSEMOVE, false);
        WaitFor([&] { return Count(id, kReleaseDone) > releases; }, "a drag off " + std::to_string(id));
        LeftButton(false);
        Post(id, WM_LBUTTONUP, false);
        Sync();
    }
    // Returns once the dialog's thread has handled what came before.
    void Sync() const { ::SendMessageA(m_dlg, WM_NULL, 0, 0); }
    // Returns once the dialog's thread has taken every message posted before.
    void Drain()
    {
        int n = Count(0, kDrained);
        ::PostMessageA(m_dlg, WM_APP_DRAIN, 0, 0);
        WaitFor([&] { return Count(0, kDrained) > n; }, "posted messages to be taken");
    }
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
    // The pointer onto a button until its hover note comes: Wine can drop
    // a pointer move right after a fresh desktop starts, so a lost move is
    // made again from a spot beside the buttons.
    bool HoverOn(int id, const std::function<bool()>& done, const std::string& what)
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            MoveTo(Center(id));
            for (int waited = 0; waited < 2000; waited += 10) {
                if (done())
                    return true;
                ::Sleep(10);
            }
            MoveTo(Spot(250, 145));
            ::Sleep(100);
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

TEST(BmpBtnDialog, ClicksDragsRepeatsAndHovering)
{
    ButtonTestDlg dlg;
    std::vector<std::string> failures;
    HWND push = nullptr;
    bool unplaced = false;
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
        ::SetForegroundWindow(hDlg);
        // The real pointer rests on the first repeat button, which the
        // clicks and drags below do not need; only holding reads it.
        d.PointerOn(IDC_BT_REPEAT);
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
        d.Drain();
        d.Screenshot("02-checked");

        // A press dragged off keeps the state.
        d.DragOff(IDC_BT_CHECK);
        d.Expect(d.State(IDC_BT_CHECK) == 'C', "check box dragged off stays checked");
        d.DragOff(IDC_BT_TWO);
        d.Expect(d.State(IDC_BT_TWO) == 'U' && d.State(IDC_BT_THREE) == 'C', "radio dragged off changes nothing");

        // The push button: pressed (down look, black frame), dragged off
        // (no click), then clicked.
        d.DragOff(IDC_BT_PUSH, "03-push-pressed");
        d.Drain();
        d.Expect(d.Count(IDC_BT_PUSH, BN_CLICKED) == 0, "a press dragged off is no click");
        d.Click(IDC_BT_PUSH);
        d.Drain();
        d.Expect(d.Count(IDC_BT_PUSH, BN_CLICKED) == 1, "the push button clicked once");

        // Repeat every 100 ms while held; let go after four notes.
        if (d.Hold(IDC_BT_REPEAT, 4)) {
            d.Screenshot("04-repeat-held");
            int ended = d.Count(IDC_BT_REPEAT, kPressDone);
            d.LeftButton(false);
            d.WaitFor([&] { return d.Count(IDC_BT_REPEAT, kPressDone) > ended; }, "the repeat loop to end");
            d.Post(IDC_BT_REPEAT, WM_LBUTTONUP, true);
        }

        // Moving the pointer off a held repeat button ends its loop too,
        // with the mouse button still down.
        if (d.Hold(IDC_BT_REPEAT, 2)) {
            int ended = d.Count(IDC_BT_REPEAT, kPressDone);
            d.MoveTo(d.Center(IDC_BT_CHECK));
            d.WaitFor([&] { return d.Count(IDC_BT_REPEAT, kPressDone) > ended; },
                      "the repeat loop to end when the pointer left");
            d.LeftButton(false);
            d.Post(IDC_BT_REPEAT, WM_LBUTTONUP, false);
            d.Drain();
        }

        // Without an interval digit: as fast as the loop turns, and still
        // ends when the mouse button is let go.
        if (d.Hold(IDC_BT_FAST, 20)) {
            int ended = d.Count(IDC_BT_FAST, kPressDone);
            d.LeftButton(false);
            d.WaitFor([&] { return d.Count(IDC_BT_FAST, kPressDone) > ended; }, "the fast repeat loop to end");
            d.Post(IDC_BT_FAST, WM_LBUTTONUP, true);
        }
        d.Drain();

        // Hovering: a push button sends code 5 with its window; a button
        // with its own cursor sends its id + 1024; a check box nothing.
        int checkHovers = d.Count(IDC_BT_CHECK, kBmpBtnNotify);
        d.MoveTo(d.Center(IDC_BT_CHECK));
        d.HoverOn(IDC_BT_LABEL, [&] { return d.Count(IDC_BT_LABEL, kBmpBtnNotify) > 0; }, "hover note of the label");
        int pushHovers = d.Count(IDC_BT_PUSH, kBmpBtnNotify);
        d.HoverOn(IDC_BT_PUSH, [&] { return d.Count(IDC_BT_PUSH, kBmpBtnNotify) > pushHovers; },
                  "hover note of the push button");
        d.Expect(d.Last(IDC_BT_PUSH, kBmpBtnNotify) == reinterpret_cast<LPARAM>(push),
                 "the hover note carries the button's window");
        d.HoverOn(IDC_BT_CURSOR, [&] { return d.Count(IDC_BT_CURSOR + kBmpBtnCursorHover, 0) > 0; },
                  "hover note with own cursor");
        d.Expect(d.Count(IDC_BT_CURSOR, kBmpBtnNotify) == 0, "a button with its own cursor sends no code 5");
        d.Expect(d.Count(IDC_BT_CHECK, kBmpBtnNotify) == checkHovers, "a check box sends no hover notes");
        d.MoveTo(d.Spot(250, 145));

        // The space bar clicks the focused check box wherever the pointer is.
        HWND check = ::GetDlgItem(hDlg, IDC_BT_CHECK);
        ::SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(check), TRUE);
        ::PostMessageA(check, WM_KEYDOWN, VK_SPACE, 0x00390001);
        ::PostMessageA(check, WM_KEYUP, VK_SPACE, 0xC0390001);
        d.WaitFor([&] { return d.State(IDC_BT_CHECK) == 'U'; }, "space bar to uncheck the box");
        d.Drain();
        d.Screenshot("05-final");

        failures.insert(failures.end(), d.failures.begin(), d.failures.end());
        unplaced = d.unplaced;
        ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    helper.join();
    for (const std::string& f : failures)
        ADD_FAILURE() << f;

    // Repeats: within each press at least the interval apart, and none
    // outside a press (after its WM_DRAWITEM returned). A press can start
    // inside another one's loop, which dispatches messages.
    std::vector<std::vector<DWORD>> presses;
    std::vector<std::size_t> open;   // presses still running, innermost last
    bool outside = false, painted = false;
    for (const Note& n : dlg.notes) {
        if (n.id != IDC_BT_REPEAT)
            continue;
        // Before its first paint the button has not read its caption and
        // hovering reports it as a push button.
        painted |= n.code == kDrawDone;
        if (!painted)
            continue;
        if (n.code == kPressStarted) {
            open.push_back(presses.size());
            presses.emplace_back();
        } else if (n.code == kPressDone && !open.empty()) {
            open.pop_back();
        } else if (n.code == kBmpBtnNotify) {
            if (open.empty())
                outside = true;
            else
                presses[open.back()].push_back(n.tick);
        }
    }
    if (unplaced)
        GTEST_SKIP() << "Wine did not put the pointer on a repeat button: holding it was not checked";
    ASSERT_FALSE(presses.empty());
    std::size_t longest = 0;
    for (const auto& repeats : presses)
        longest = std::max(longest, repeats.size());
    EXPECT_GE(longest, 4u);
    for (const auto& repeats : presses)
        for (std::size_t i = 1; i < repeats.size(); ++i)
            EXPECT_GE(repeats[i] - repeats[i - 1], 100u) << "repeat " << i;
    EXPECT_TRUE(open.empty());
    EXPECT_FALSE(outside);
}
