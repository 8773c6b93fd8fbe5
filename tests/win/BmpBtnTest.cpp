// The bitmap button: its looks painted into memory DCs, the repeat loop on
// hidden buttons, and a dialog of bitmap buttons (clicks, radio groups,
// sounds, hovering) under the real dialog manager. The real pointer never
// moves (Wine's X events would come late and reset the mouse button's key
// state): presses and keys are sent with that key state set, hovering is
// the system's WM_SETCURSOR, a held repeat button gets an item rectangle
// holding any pointer position, and "moving off" moves the button away.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ButtonTestIds.h"
#include "Canvas.h"
#include "framework/Dialog.h"
#include "ui/BmpBtn.h"

namespace {

constexpr std::uint32_t kMarker = 0x123456, kBlack = 0, kWhite = 0xFFFFFF, kGrey = 0x808080, kLight = 0xC0C0C0,
                        kRed = 0xFF0000, kBlue = 0x0000FF;

struct Note {
    int id, code;
    LPARAM lParam;
};
std::vector<Note> g_notes;                    // WM_COMMAND of the host or dialog
std::function<void()> g_afterNote = [] {};

void SetLeftButton(bool down)
{
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_LBUTTON] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

int Count(int id, int code)
{
    int n = 0;
    for (const Note& note : g_notes)
        n += note.id == id && note.code == code;
    return n;
}

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COMMAND)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    g_notes.push_back({LOWORD(wParam), HIWORD(wParam), lParam});
    g_afterNote();
    return 0;
}

// A hidden parent with owner-drawn buttons made on the spot.
class ButtonHost {
public:
    ButtonHost()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "BmpBtnTestHost";
        ::RegisterClassA(&wc);
        parent = ::CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, wc.hInstance,
                                 nullptr);
    }
    ~ButtonHost()
    {
        m_buttons.clear();
        ::DestroyWindow(parent);
        g_notes.clear();
        g_afterNote = [] {};
    }
    template <class Button = CBmpBtn>
    Button& Add(int id, const char* caption, DWORD style = 0, int width = 100, int height = 17)
    {
        HWND hWnd = ::CreateWindowA("BUTTON", caption, WS_CHILD | BS_OWNERDRAW | style, 0, 0, width, height, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        m_buttons.push_back(std::make_unique<Button>());
        auto& button = static_cast<Button&>(*m_buttons.back());
        button.SubclassWindow(hWnd);
        Canvas scratch(width, height, kMarker);   // a first paint reads the caption
        Draw(button, scratch, ODA_DRAWENTIRE, 0);
        return button;
    }
    static void Draw(CBmpBtn& button, const Canvas& canvas, UINT action, UINT state, RECT item = {})
    {
        DRAWITEMSTRUCT d = {ODT_BUTTON, static_cast<UINT>(::GetDlgCtrlID(button.m_hWnd)), 0, action, state,
                            button.m_hWnd, canvas.dc(), item, 0};
        if (item.right == 0)
            ::GetClientRect(button.m_hWnd, &d.rcItem);
        button.DrawItem(&d);
    }
    HWND parent = nullptr;

private:
    std::vector<std::unique_ptr<CBmpBtn>> m_buttons;
};

// A button whose press sounds are recorded instead of played.
class RecordingBmpBtn : public CBmpBtn {
public:
    std::vector<std::string> played;

protected:
    void PlayWave(const std::string& file) override { played.push_back(file); }
};

} // namespace

TEST(BmpBtn, Looks)
{
    struct Pixel {
        int x, y;
        std::uint32_t colour;
    };
    // state 0: as the caption set it. Special: 'n' no marker left but the
    // last column and row, 't' tiled grey and light rows, 'r' red text.
    struct Look {
        const char* what;
        const char* caption;
        int w, h;
        char state;
        UINT action, itemState;
        char special;
        std::vector<Pixel> pixels;
    } looks[] = {
        {"check box up: the empty box at (6, 1), no bevel", "s:C~C:Check", 100, 17, 'U', ODA_DRAWENTIRE, 0, 0,
         {{6, 1, kGrey}, {7, 2, kBlack}, {9, 6, kWhite}, {18, 13, kWhite}, {3, 8, kLight}}},
        {"checked: the tick", "s:C~C:Check", 100, 17, 'C', ODA_DRAWENTIRE, 0, 0,
         {{9, 6, kBlack}, {15, 4, kBlack}, {9, 4, kWhite}}},
        {"sT checked: a cross", "s:T~C:Check", 100, 17, 'C', ODA_DRAWENTIRE, 0, 0, {{9, 4, kBlack}, {15, 4, kBlack}}},
        {"check box disabled: the grey box", "s:C~C:Check", 100, 17, 'C', ODA_DRAWENTIRE, ODS_DISABLED, 0,
         {{11, 6, kLight}}},
        {"check box pressed: no frame", "s:C~C:Box", 100, 17, 0, ODA_SELECT, ODS_SELECTED | ODS_FOCUS, 0,
         {{1, 8, kLight}}},
        {"radio without caption: light strips, the dot", "s:R", 30, 17, 'C', ODA_DRAWENTIRE, 0, 'n',
         {{0, 0, kLight}, {12, 7, kBlack}, {12, 4, kWhite}}},
        {"radio cleared", "s:R", 30, 17, 'U', ODA_DRAWENTIRE, 0, 0, {{12, 7, kWhite}}},
        {"repeat arrow, centred", "T:Su5", 27, 27, 0, ODA_DRAWENTIRE, 0, 0, {{12, 10, kBlack}, {12, 9, kLight}}},
        {"repeat arrow down: one pixel right and down", "T:Su5", 27, 27, 'C', ODA_DRAWENTIRE, 0, 0,
         {{13, 11, kBlack}, {12, 10, kLight}}},
        {"push button pressed: down bevel, black frame", "C:Go", 100, 17, 0, ODA_SELECT, ODS_SELECTED | ODS_FOCUS, 0,
         {{0, 0, kBlack}, {1, 1, kBlack}, {1, 8, kBlack}, {2, 8, kGrey}, {97, 8, kLight}}},
        {"push button up", "C:Go", 100, 17, 0, ODA_DRAWENTIRE, 0, 0, {{1, 8, kWhite}, {98, 8, kGrey}}},
        {"disabled: light face, caption in colour d", "C:MMMM~d:9~W:E", 100, 17, 0, ODA_DRAWENTIRE, ODS_DISABLED, 'r',
         {{5, 3, kLight}}},
        {"type I disabled: outer colours swapped", "T:I~C:Inv", 100, 17, 0, ODA_DRAWENTIRE, ODS_DISABLED, 0,
         {{1, 8, kGrey}, {98, 8, kWhite}}},
        {"sH disabled: the horizontal pattern", "s:H~C:Tiled", 100, 17, 0, ODA_DRAWENTIRE, ODS_DISABLED, 't', {}},
        {"sP disabled: the vertical pattern", "s:P~C:Tiled", 100, 17, 0, ODA_DRAWENTIRE, ODS_DISABLED, 0,
         {{4, 3, kLight}, {5, 3, kGrey}}},
        {"program bitmap, left-aligned in the bevel", "C:~U:<BTNPIC~B:L", 100, 30, 0, ODA_DRAWENTIRE, 0, 0,
         {{8, 8, kRed}, {9, 9, kBlue}, {7, 9, kLight}}},
    };
    ButtonHost host;
    int id = 1;
    for (const Look& look : looks) {
        SCOPED_TRACE(look.what);
        CBmpBtn& button = host.Add(id++, look.caption, 0, look.w, look.h);
        if (look.state)
            button.m_chState = look.state;
        Canvas c(look.w, look.h, kMarker);
        ButtonHost::Draw(button, c, look.action, look.itemState);
        for (const Pixel& p : look.pixels)
            EXPECT_EQ(c.at(p.x, p.y), p.colour) << p.x << "," << p.y;
        int red = 0;
        for (int y = 0; y < look.h - 1; ++y)
            for (int x = 0; x < look.w - 1; ++x) {
                red += c.at(x, y) == kRed;
                if (look.special == 'n') {
                    ASSERT_NE(c.at(x, y), kMarker) << x << "," << y;
                }
                if (look.special == 't' && y < 15 && x < 98) {
                    ASSERT_EQ(c.at(x, y), y % 2 ? kGrey : kLight) << x << "," << y;
                }
            }
        EXPECT_TRUE(look.special != 'r' || red > 4) << red << " red pixels";
    }
}

TEST(BmpBtn, RepeatsWhileHeldUntilReleasedOrLeft)
{
    struct Case {
        const char* caption;
        std::size_t notes;   // then the mouse button is let go, or the pointer leaves
        bool leave;
        DWORD interval;
    } cases[] = {{"T:Su1~w:click", 4, false, 100}, {"T:Su1", 2, true, 100}, {"T:Sd", 20, false, 0}};
    ButtonHost host;
    int id = 500;
    for (const Case& k : cases) {
        auto& button = host.Add<RecordingBmpBtn>(id++, k.caption, 0, 27, 27);
        std::vector<DWORD> ticks;
        g_afterNote = [&] {
            ticks.push_back(::GetTickCount());
            if (ticks.size() != k.notes)
                return;
            if (k.leave)
                ::SetWindowPos(host.parent, nullptr, 20000, 20000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            else
                SetLeftButton(false);
        };
        SetLeftButton(true);
        Canvas c(27, 27, kMarker);
        ButtonHost::Draw(button, c, ODA_SELECT, ODS_SELECTED | ODS_FOCUS, {-5000, -5000, 5000, 5000});
        SetLeftButton(false);
        ::SetWindowPos(host.parent, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(ticks.size(), k.notes) << k.caption;
        EXPECT_TRUE(button.played.empty());   // a repeat button notifies instead of playing
        EXPECT_EQ(Count(id - 1, kBmpBtnNotify), static_cast<int>(k.notes));
        for (std::size_t i = 1; i < ticks.size(); ++i)
            EXPECT_GE(ticks[i] - ticks[i - 1], k.interval) << k.caption << " repeat " << i;
    }
}

namespace {

const int kDialogButtons[] = {IDC_BT_CHECK, IDC_BT_ONE,  IDC_BT_TWO,  IDC_BT_LABEL,
                              IDC_BT_OTHER, IDC_BT_FOUR, IDC_BT_FIVE, IDC_BT_CURSOR};
// Whose states the steps below show, in this order.
const int kStateButtons[] = {IDC_BT_CHECK, IDC_BT_ONE, IDC_BT_TWO, IDC_BT_THREE, IDC_BT_OTHER, IDC_BT_FOUR,
                             IDC_BT_FIVE};

// The test dialog plays its steps on itself once shown, then ends.
class ButtonTestDlg : public CDialog {
public:
    ButtonTestDlg() : CDialog(IDD_BUTTON_TEST) {}
    RecordingBmpBtn push;
    int oks = 0;

protected:
    void OnOK() override { ++oks; }
    BOOL OnInitDialog() override
    {
        push.SubclassDlgItem(IDC_BT_PUSH, m_hWnd);
        for (int id : kDialogButtons)
            m_buttons.emplace_back(new CBmpBtn)->SubclassDlgItem(id, m_hWnd);
        // One made from its class name, as a dialog can name it.
        CBmpBtn::RegisterRuntimeClass();
        auto* byName = static_cast<CBmpBtn*>(CRuntimeClass::FromName("CBmpBtn")->CreateObject());
        m_buttons.emplace_back(byName)->SubclassDlgItem(IDC_BT_THREE, m_hWnd);
        ::PostMessageA(m_hWnd, WM_APP, 0, 0);
        return CDialog::OnInitDialog();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            g_notes.push_back({LOWORD(wParam), HIWORD(wParam), lParam});
        if (message == WM_APP) {
            Play();
            EndDialog(IDCANCEL);
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }

private:
    void Send(int id, UINT message, WPARAM wParam, bool inside)
    {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)
            SetLeftButton(message == WM_LBUTTONDOWN);
        ::SendMessageA(::GetDlgItem(m_hWnd, id), message, wParam, inside ? MAKELPARAM(5, 5) : MAKELPARAM(-20, -20));
    }
    void Play()
    {
        // The buttons read their captions when they first paint. (Wine
        // shows a dialog once its queue is empty, after this message.)
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        // c click, d press and drag off, k space bar, h hover; then the
        // states of kStateButtons, and how many notes (id, code) came.
        struct Step {
            char action;
            int id;
            const char* states;
            int noteId, code, notes;
        } steps[] = {
            {'c', IDC_BT_CHECK, "CUUUUUU", IDC_BT_CHECK, BN_CLICKED, 1},
            {'c', IDC_BT_OTHER, "CUUUCUU", IDC_BT_OTHER, BN_CLICKED, 1},
            {'c', IDC_BT_ONE, "CCUUCUU", IDC_BT_ONE, BN_CLICKED, 1},
            {'c', IDC_BT_TWO, "CUCUCUU", IDC_BT_TWO, BN_CLICKED, 1},   // radios clear their own group only
            {'c', IDC_BT_THREE, "CUUCCUU", IDC_BT_THREE, BN_CLICKED, 1},
            {'c', IDC_BT_FOUR, "CUUCCCU", IDC_BT_FOUR, BN_CLICKED, 1},
            {'c', IDC_BT_FIVE, "CUUCCCC", IDC_BT_FIVE, BN_CLICKED, 1},   // a plain button between Four and Five ends the walk
            {'d', IDC_BT_CHECK, "CUUCCCC", IDC_BT_CHECK, BN_CLICKED, 0},
            {'d', IDC_BT_TWO, "CUUCCCC", IDC_BT_TWO, BN_CLICKED, 0},
            {'d', IDC_BT_PUSH, nullptr, IDC_BT_PUSH, BN_CLICKED, 0},
            {'c', IDC_BT_PUSH, nullptr, IDC_BT_PUSH, BN_CLICKED, 1},
            {'k', IDC_BT_CHECK, "UUUCCCC", IDC_BT_CHECK, BN_CLICKED, 1},
            // Hovering: a push button (or a label) sends code 5, a button
            // with its own cursor its id + 1024 instead, a check box nothing.
            {'h', IDC_BT_PUSH, nullptr, IDC_BT_PUSH, kBmpBtnNotify, 1},
            {'h', IDC_BT_LABEL, nullptr, IDC_BT_LABEL, kBmpBtnNotify, 1},
            {'h', IDC_BT_CURSOR, nullptr, IDC_BT_CURSOR + kBmpBtnCursorHover, 0, 1},
            {'h', IDC_BT_CURSOR, nullptr, IDC_BT_CURSOR, kBmpBtnNotify, 0},
            {'h', IDC_BT_CHECK, "UUUCCCC", IDC_BT_CHECK, kBmpBtnNotify, 0},
        };
        for (const Step& s : steps) {
            std::string what = std::string(1, s.action) + " on " + std::to_string(s.id);
            int before = Count(s.noteId, s.code);
            HWND button = ::GetDlgItem(m_hWnd, s.id);
            if (s.action == 'c' || s.action == 'd') {
                Send(s.id, WM_LBUTTONDOWN, MK_LBUTTON, true);
                if (s.action == 'd')
                    Send(s.id, WM_MOUSEMOVE, MK_LBUTTON, false);
                Send(s.id, WM_LBUTTONUP, 0, s.action == 'c');
            } else if (s.action == 'k') {
                ::SetFocus(button);
                ::SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
                ::SendMessageA(button, WM_KEYUP, VK_SPACE, 0xC0390001);
            } else {
                ::SendMessageA(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                if (s.code == kBmpBtnNotify && s.notes) {
                    EXPECT_EQ(g_notes.back().lParam, reinterpret_cast<LPARAM>(button)) << what << ": the hover note's window";
                }
            }
            std::string states;
            for (int id : kStateButtons)
                states.push_back(static_cast<CBmpBtn*>(CButton::FromHandlePermanent(::GetDlgItem(m_hWnd, id)))->m_chState);
            EXPECT_TRUE(!s.states || states == s.states) << what << ": states " << states << ", expected " << s.states;
            EXPECT_EQ(Count(s.noteId, s.code) - before, s.notes) << what << ": notes " << s.code;
        }
    }
    std::vector<std::unique_ptr<CBmpBtn>> m_buttons;
};

} // namespace

TEST(BmpBtnDialog, ClicksDragsKeysAndHovering)
{
    // The pointer rests in a corner, away from the dialog.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    ButtonTestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // Every press of the push button plays its sound, dragged off or not;
    // its id is IDOK, and only its click (not its hover note) reached OnOK.
    EXPECT_EQ(dlg.push.played, (std::vector<std::string>{"nosuch.wav", "nosuch.wav"}));
    EXPECT_EQ(dlg.oks, 1);
    g_notes.clear();
}
