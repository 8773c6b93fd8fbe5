// The bitmap button: its looks painted into memory DCs, its state machine
// and group clearing on real button windows, and a dialog of every kind of
// button driven with real mouse and keyboard input.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ButtonTestIds.h"
#include "Canvas.h"
#include "framework/Dialog.h"
#include "ui/BmpBtn.h"

namespace {

constexpr std::uint32_t kMarker = 0x123456, kBlack = 0, kWhite = 0xFFFFFF, kGrey = 0x808080, kLight = 0xC0C0C0;

// A hidden parent with owner-drawn buttons made on the spot.
class ButtonHost {
public:
    ButtonHost()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "BmpBtnTestHost";
        ::RegisterClassA(&wc);
        m_parent = ::CreateWindowA("BmpBtnTestHost", "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    }
    ~ButtonHost()
    {
        m_buttons.clear();
        ::DestroyWindow(m_parent);
    }
    template <class Button = CBmpBtn>
    Button& Add(int id, const char* caption, DWORD style = 0, int width = 100, int height = 17)
    {
        HWND hWnd = ::CreateWindowA("BUTTON", caption, WS_CHILD | BS_OWNERDRAW | style, 0, 0, width, height,
                                    m_parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    ::GetModuleHandleA(nullptr), nullptr);
        auto owned = std::make_unique<Button>();
        Button& button = *owned;
        m_buttons.push_back(std::move(owned));
        button.SubclassWindow(hWnd);
        // A first paint reads the caption, as showing the button would.
        Canvas scratch(width, height, kMarker);
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_BUTTON;
        d.itemAction = ODA_DRAWENTIRE;
        d.hwndItem = hWnd;
        d.hDC = scratch.dc();
        d.rcItem = {0, 0, width, height};
        button.DrawItem(&d);
        return button;
    }
    HWND AddPlain(int id)
    {
        return ::CreateWindowA("BUTTON", "plain", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, m_parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr),
                               nullptr);
    }

private:
    HWND m_parent = nullptr;
    std::vector<std::unique_ptr<CBmpBtn>> m_buttons;
};

DRAWITEMSTRUCT Item(CBmpBtn& button, HDC dc, UINT action, UINT state, int width = 100, int height = 17)
{
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_BUTTON;
    d.CtlID = static_cast<UINT>(::GetDlgCtrlID(button.m_hWnd));
    d.itemAction = action;
    d.itemState = state;
    d.hwndItem = button.m_hWnd;
    d.hDC = dc;
    d.rcItem = {0, 0, width, height};
    return d;
}

// A button whose press sounds are recorded instead of played.
class RecordingBmpBtn : public CBmpBtn {
public:
    std::vector<std::string> played;

protected:
    void PlayWave(const std::string& file) override { played.push_back(file); }
};

} // namespace

TEST(BmpBtn, PressPlaysItsSound)
{
    ButtonHost host;
    Canvas canvas(100, 17, kMarker);
    auto& push = host.Add<RecordingBmpBtn>(300, "C:Next~w:click");
    auto& quiet = host.Add<RecordingBmpBtn>(301, "C:Quiet");
    auto& repeat = host.Add<RecordingBmpBtn>(302, "T:Su1~w:click");
    for (RecordingBmpBtn* b : {&push, &quiet, &repeat}) {
        DRAWITEMSTRUCT press = Item(*b, canvas.dc(), ODA_SELECT, ODS_SELECTED | ODS_FOCUS);
        b->DrawItem(&press);
        DRAWITEMSTRUCT release = Item(*b, canvas.dc(), ODA_SELECT, ODS_FOCUS);
        b->DrawItem(&release);
    }
    EXPECT_EQ(push.played, std::vector<std::string>{"click.wav"});
    EXPECT_TRUE(quiet.played.empty());
    EXPECT_TRUE(repeat.played.empty());   // a repeat button notifies instead
}

TEST(BmpBtn, CreatableByName)
{
    CBmpBtn::RegisterRuntimeClass();
    const CRuntimeClass* cls = CRuntimeClass::FromName("CBmpBtn");
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->m_wSchema, 1u);
    EXPECT_TRUE(cls->IsDerivedFrom(&CButton::classCButton));
    std::unique_ptr<CObject> object(cls->CreateObject());
    auto* button = dynamic_cast<CBmpBtn*>(object.get());
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->IsKindOf(&CBmpBtn::classCBmpBtn));
    EXPECT_EQ(button->m_chState, 'U');
    EXPECT_EQ(button->m_chType, 'P');
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchButton"), nullptr);
    EXPECT_EQ(CButton::classCButton.CreateObject(), nullptr);
}

TEST(BmpBtn, CheckAndRadioLooksUseTheBuiltInBitmaps)
{
    ButtonHost host;
    CBmpBtn& check = host.Add(1, "s:C~C:Check");
    // Up: the empty box at (6, 1) (left + 6, centred in 16 rows).
    Canvas up(100, 17, kMarker);
    DRAWITEMSTRUCT d = Item(check, up.dc(), ODA_DRAWENTIRE, 0);
    check.DrawItem(&d);
    EXPECT_EQ(up.at(6, 1), kGrey);        // the box's outer edge
    EXPECT_EQ(up.at(6 + 1, 1 + 1), kBlack);
    EXPECT_EQ(up.at(6 + 3, 1 + 5), kWhite);
    EXPECT_EQ(up.at(6 + 12, 1 + 12), kWhite);
    EXPECT_EQ(up.at(3, 8), kLight);       // face, no bevel (width 0)
    // Checked: drawn down, with the tick.
    check.m_chState = 'C';
    Canvas down(100, 17, kMarker);
    d = Item(check, down.dc(), ODA_DRAWENTIRE, 0);
    check.DrawItem(&d);
    EXPECT_EQ(down.at(6 + 3, 1 + 5), kBlack);
    EXPECT_EQ(down.at(6 + 9, 1 + 3), kBlack);
    EXPECT_EQ(down.at(6 + 3, 1 + 3), kWhite);
    // "sT" crosses instead; disabled is the grey box.
    ::SetWindowTextA(check.m_hWnd, "s:T~C:Check");
    Canvas cross(100, 17, kMarker);
    d = Item(check, cross.dc(), ODA_DRAWENTIRE, 0);
    check.DrawItem(&d);
    EXPECT_EQ(cross.at(6 + 3, 1 + 3), kBlack);
    EXPECT_EQ(cross.at(6 + 9, 1 + 3), kBlack);
    Canvas grey(100, 17, kMarker);
    d = Item(check, grey.dc(), ODA_DRAWENTIRE, ODS_DISABLED);
    check.DrawItem(&d);
    EXPECT_EQ(grey.at(6 + 5, 1 + 5), kLight);

    // A radio button without a caption paints no panel: its bitmap with
    // light grey strips around it, the circle's dot when checked.
    CBmpBtn& radio = host.Add(2, "s:R", 0, 30, 17);
    radio.m_chState = 'C';
    Canvas dot(30, 17, kMarker);
    d = Item(radio, dot.dc(), ODA_DRAWENTIRE, 0, 30, 17);
    radio.DrawItem(&d);
    // (The strips are exclusive of the panel's last column and row.)
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 29; ++x)
            ASSERT_NE(dot.at(x, y), kMarker) << x << "," << y;
    EXPECT_EQ(dot.at(0, 0), kLight);
    EXPECT_EQ(dot.at(6 + 6, 1 + 6), kBlack);   // the dot
    EXPECT_EQ(dot.at(6 + 6, 1 + 3), kWhite);
    radio.m_chState = 'U';
    Canvas empty(30, 17, kMarker);
    d = Item(radio, empty.dc(), ODA_DRAWENTIRE, 0, 30, 17);
    radio.DrawItem(&d);
    EXPECT_EQ(empty.at(6 + 6, 1 + 6), kWhite);

    // Repeat arrows: "=su" up, pressed one pixel right and down.
    CBmpBtn& arrow = host.Add(3, "T:Su5", 0, 27, 27);
    Canvas a(27, 27, kMarker);
    d = Item(arrow, a.dc(), ODA_DRAWENTIRE, 0, 27, 27);
    arrow.DrawItem(&d);
    // The 13 x 13 picture is centred: x = (26 - 13) / 2 = 6, y likewise.
    EXPECT_EQ(a.at(6 + 6, 6 + 4), kBlack);   // the tip
    EXPECT_EQ(a.at(6 + 6, 6 + 3), kLight);
    EXPECT_EQ(arrow.m_chState, '5');
    arrow.m_chState = 'C';   // a repeat button in state "C" paints down
    Canvas pressed(27, 27, kMarker);
    d = Item(arrow, pressed.dc(), ODA_DRAWENTIRE, 0, 27, 27);
    arrow.DrawItem(&d);
    EXPECT_EQ(pressed.at(6 + 7, 6 + 5), kBlack);
    EXPECT_EQ(pressed.at(6 + 6, 6 + 4), kLight);
}

TEST(BmpBtn, PressedDisabledAndTiledLooks)
{
    ButtonHost host;
    // A pressed push button: down-look bevel (grey top-left) and the black
    // frame one pixel in.
    CBmpBtn& push = host.Add(1, "C:Go");
    Canvas press(100, 17, kMarker);
    DRAWITEMSTRUCT d = Item(push, press.dc(), ODA_SELECT, ODS_SELECTED | ODS_FOCUS);
    push.DrawItem(&d);
    EXPECT_EQ(press.at(0, 0), kBlack);
    EXPECT_EQ(press.at(1, 1), kBlack);    // the frame
    EXPECT_EQ(press.at(1, 8), kBlack);
    EXPECT_EQ(press.at(2, 8), kGrey);     // second bevel line, grey when down
    EXPECT_EQ(press.at(97, 8), kLight);   // bottom-right takes the face colour
    Canvas upLook(100, 17, kMarker);
    d = Item(push, upLook.dc(), ODA_DRAWENTIRE, 0);
    push.DrawItem(&d);
    EXPECT_EQ(upLook.at(1, 8), kWhite);
    EXPECT_EQ(upLook.at(98, 8), kGrey);

    // Width 0 (a check box) is pressed without a frame.
    CBmpBtn& check = host.Add(2, "s:C~C:Box");
    Canvas noFrame(100, 17, kMarker);
    d = Item(check, noFrame.dc(), ODA_SELECT, ODS_SELECTED | ODS_FOCUS);
    check.DrawItem(&d);
    EXPECT_EQ(noFrame.at(1, 8), kLight);

    // Disabled: light grey face and the caption in the "d" colour; the "I"
    // type swaps its outer colours instead.
    CBmpBtn& off = host.Add(3, "C:MMMM~d:9~W:E");
    Canvas disabled(100, 17, kMarker);
    d = Item(off, disabled.dc(), ODA_DRAWENTIRE, ODS_DISABLED);
    off.DrawItem(&d);
    int red = 0;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 17; ++y)
            red += disabled.at(x, y) == 0xFF0000;
    EXPECT_GT(red, 4);
    EXPECT_EQ(disabled.at(5, 3), kLight);
    CBmpBtn& inverted = host.Add(4, "T:I~C:Inv");
    Canvas inv(100, 17, kMarker);
    d = Item(inverted, inv.dc(), ODA_DRAWENTIRE, ODS_DISABLED);
    inverted.DrawItem(&d);
    EXPECT_EQ(inv.at(1, 8), kGrey);
    EXPECT_EQ(inv.at(98, 8), kWhite);

    // "sH" disabled: the horizontal pattern tiled, no panel.
    CBmpBtn& tiled = host.Add(5, "s:H~C:Tiled");
    Canvas tile(100, 17, kMarker);
    d = Item(tiled, tile.dc(), ODA_DRAWENTIRE, ODS_DISABLED);
    tiled.DrawItem(&d);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 98; ++x)
            ASSERT_EQ(tile.at(x, y), y % 2 ? kGrey : kLight) << x << "," << y;
    ::SetWindowTextA(tiled.m_hWnd, "s:P~C:Tiled");
    Canvas vtile(100, 17, kMarker);
    d = Item(tiled, vtile.dc(), ODA_DRAWENTIRE, ODS_DISABLED);
    tiled.DrawItem(&d);
    EXPECT_EQ(vtile.at(4, 3), kLight);
    EXPECT_EQ(vtile.at(5, 3), kGrey);

    // A bitmap resource of the program, left-aligned inside the bevel.
    CBmpBtn& picture = host.Add(6, "C:~U:<BTNPIC~B:L", 0, 100, 30);
    Canvas pic(100, 30, kMarker);
    d = Item(picture, pic.dc(), ODA_DRAWENTIRE, 0, 100, 30);
    picture.DrawItem(&d);
    // x = left + inset 2 + 6; y = (29 - 12) / 2.
    EXPECT_EQ(pic.at(8, 8), 0xFF0000);
    EXPECT_EQ(pic.at(9, 9), 0x0000FF);
    EXPECT_EQ(pic.at(7, 9), kLight);
}

TEST(BmpBtn, ClicksWithoutThePointerAndGroups)
{
    ButtonHost host;
    Canvas c(100, 17, kMarker);
    // The pointer is not on these buttons and the mouse button is up, so
    // every release completes a click, as the space bar does.
    CBmpBtn& check = host.Add(100, "s:C~C:Check");
    DRAWITEMSTRUCT release = Item(check, c.dc(), ODA_SELECT, ODS_FOCUS);
    check.DrawItem(&release);
    EXPECT_EQ(check.m_chState, 'C');
    check.DrawItem(&release);
    EXPECT_EQ(check.m_chState, 'U');
    // Without focus nothing happens.
    DRAWITEMSTRUCT unfocused = Item(check, c.dc(), ODA_SELECT, 0);
    check.DrawItem(&unfocused);
    EXPECT_EQ(check.m_chState, 'U');

    // Ids 200..: a group of CBmpBtn radios bounded by WS_GROUP, by a plain
    // button and by the 17-id reach.
    CBmpBtn& before = host.Add(199, "s:R");          // another group, before ours
    CBmpBtn& first = host.Add(200, "s:R", WS_GROUP);
    CBmpBtn& second = host.Add(202, "s:R");          // id 201 missing: skipped
    CBmpBtn& third = host.Add(203, "s:R");
    CBmpBtn& next = host.Add(204, "s:R", WS_GROUP);  // the next group
    for (CBmpBtn* b : {&before, &first, &second, &next})
        b->m_chState = 'C';
    DRAWITEMSTRUCT click = Item(third, c.dc(), ODA_SELECT, ODS_FOCUS);
    third.DrawItem(&click);
    EXPECT_EQ(third.m_chState, 'C');
    EXPECT_EQ(first.m_chState, 'U');
    EXPECT_EQ(second.m_chState, 'U');
    EXPECT_EQ(before.m_chState, 'C');   // WS_GROUP of the first stops the walk
    EXPECT_EQ(next.m_chState, 'C');     // a WS_GROUP control is not changed

    // The group's first button walks forwards only.
    second.m_chState = 'C';
    click = Item(first, c.dc(), ODA_SELECT, ODS_FOCUS);
    first.DrawItem(&click);
    EXPECT_EQ(first.m_chState, 'C');
    EXPECT_EQ(second.m_chState, 'U');
    EXPECT_EQ(third.m_chState, 'U');
    EXPECT_EQ(before.m_chState, 'C');

    // A control of another class ends the walk; so does the reach.
    CBmpBtn& a = host.Add(300, "s:R", WS_GROUP);
    host.AddPlain(301);
    CBmpBtn& b = host.Add(302, "s:R");
    CBmpBtn& beyond = host.Add(320, "s:R");   // 18 ids away
    CBmpBtn& reached = host.Add(319, "s:R");  // 17 ids away
    a.m_chState = beyond.m_chState = reached.m_chState = 'C';
    click = Item(b, c.dc(), ODA_SELECT, ODS_FOCUS);
    b.DrawItem(&click);
    EXPECT_EQ(a.m_chState, 'C');
    EXPECT_EQ(reached.m_chState, 'U');
    EXPECT_EQ(beyond.m_chState, 'C');

    // Other types keep their state on a click.
    CBmpBtn& other = host.Add(400, "T:I~C:x");
    other.m_chState = 'C';
    click = Item(other, c.dc(), ODA_SELECT, ODS_FOCUS);
    other.DrawItem(&click);
    EXPECT_EQ(other.m_chState, 'C');
}
