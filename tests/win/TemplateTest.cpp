// The dialogs' templates as the program's resources hold them, against
// their literal layouts: a wrong template is a wrong dialog on screen.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/SetupDlg.h"
#include "app/resource.h"

namespace {

struct Box {
    std::uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0, id = 0;
    std::string className, title;   // predefined classes as ordinals: "#128"
};

struct Template : Box {
    std::uint32_t exStyle = 0;
    int pointSize = 0;
    std::string typeface;
    std::vector<Box> items;
};

struct Reader {
    const std::uint8_t* p;
    std::size_t n, pos = 0;
    bool ok = true;
    std::uint32_t Get(std::size_t size)
    {
        std::uint32_t v = 0;
        if (pos + size > n)
            ok = false;
        else
            std::memcpy(&v, p + pos, size);
        pos += size;
        return v;
    }
    std::string Text()   // a string, or an ordinal as "#n"
    {
        std::uint32_t c = Get(2);
        if (c == 0xFFFF)
            return "#" + std::to_string(Get(2));
        std::string s;
        for (; c != 0 && ok; c = Get(2))
            s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return s;
    }
    void Place(Box& b)
    {
        for (int* v : {&b.x, &b.y, &b.cx, &b.cy})
            *v = static_cast<std::int16_t>(Get(2));
    }
};

// An extended template (DLGTEMPLATEEX) from the program's resources.
bool Load(int id, Template& t)
{
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!res)
        return false;
    Reader r{static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, res))), ::SizeofResource(module, res)};
    if (r.Get(4) != 0xFFFF0001)   // version 1, signature 0xFFFF
        return false;
    r.Get(4);   // help id
    t.exStyle = r.Get(4);
    t.style = r.Get(4);
    std::uint32_t count = r.Get(2);
    r.Place(t);
    r.Text();   // menu
    r.Text();   // class
    t.title = r.Text();
    if (t.style & DS_SETFONT) {
        t.pointSize = static_cast<int>(r.Get(2));
        r.Get(4);   // weight, italic, character set
        t.typeface = r.Text();
    }
    for (std::uint32_t i = 0; i < count && r.ok; ++i) {
        r.pos = (r.pos + 3) & ~std::size_t{3};
        Box item;
        r.Get(4);   // help id
        r.Get(4);   // extended style
        item.style = r.Get(4);
        r.Place(item);
        item.id = static_cast<std::int16_t>(r.Get(4));
        item.className = r.Text();
        item.title = r.Text();
        r.pos += r.Get(2);   // creation data
        t.items.push_back(item);
    }
    return r.ok;
}

} // namespace

TEST(Templates, LiteralLayouts)
{
    const DWORD wizard = WS_POPUP | WS_CAPTION | DS_MODALFRAME, hidden = WS_VISIBLE | DS_CENTER;
    const DWORD background = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                             WS_VISIBLE;
    // Control 0 is the dialog itself; x < 0: the place is not checked; a
    // title is looked up among the statics (IDC_STATIC).
    struct Want {
        int dialog, id;
        const char* className;
        const char* title;
        DWORD style, notStyle;
        int box[4];   // x, y, cx, cy
    } wants[] = {
        {IDD_WELCOME, 0, nullptr, "Dialog", wizard | WS_SYSMENU, hidden, {-1, 0, 187, 86}},
        {IDD_WELCOME, IDOK, "#128", "&Continue", BS_DEFPUSHBUTTON, 0, {43, 67, 50, 14}},
        {IDD_WELCOME, IDCANCEL, "#128", "&Exit", 0, 0, {98, 67, 50, 14}},
        {IDD_WELCOME, IDC_WELCOME_TEXT, "#130", nullptr, 0, SS_TYPEMASK, {11, 8, 165, 53}},
        {IDD_LICENSE, 0, nullptr, "License Agreement", wizard, hidden, {-1, 0, 266, 155}},
        {IDD_LICENSE, IDC_LICENSE_TEXT, "#129", nullptr,
         ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, {3, 3, 261, 131}},
        {IDD_LICENSE, IDOK, "#128", "I accept the license agreement", 0, 0, {3, 138, 129, 14}},
        {IDD_LICENSE, IDCANCEL, "#128", "I do not accept the license agreement", 0, 0, {135, 138, 129, 14}},
        {IDD_DESTINATION, 0, nullptr, "Dialog", wizard, hidden, {-1, 0, 227, 60}},
        {IDD_DESTINATION, IDC_DESTINATION, "#129", nullptr, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, ES_MULTILINE,
         {3, 18, 169, 12}},
        {IDD_DESTINATION, IDC_BROWSE, "#128", "&Browse....", 0, 0, {175, 18, 50, 12}},
        {IDD_DESTINATION, IDOK, "#128", "&Continue", 0, 0, {61, 38, 50, 14}},
        {IDD_DESTINATION, IDCANCEL, "#128", "&Exit", 0, 0, {117, 38, 50, 14}},
        {IDD_DESTINATION, IDC_STATIC, "#130", "Please select the directory to install the software to:", 0, 0,
         {17, 5, 160, 8}},
        {IDD_PROGRESS, 0, nullptr, "Installing...", wizard, hidden | WS_SYSMENU, {-1, 0, 186, 43}},
        {IDD_PROGRESS, IDC_STATUS, "#130", nullptr, SS_SUNKEN, 0, {21, 5, 162, 9}},
        {IDD_PROGRESS, IDC_PROGRESS, PROGRESS_CLASSA, nullptr, WS_BORDER, 0, {4, 30, 179, 9}},
        {CSetupDlg::IDD, 0, nullptr, "Setup", background, 0, {0, 0, 68, 9}},
    };
    for (const Want& w : wants) {
        Template t;
        ASSERT_TRUE(Load(w.dialog, t)) << w.dialog;
        const Box* b = w.id ? nullptr : &t;
        for (const Box& item : t.items)
            if (item.id == w.id && (w.id != IDC_STATIC || item.title == w.title))
                b = &item;
        SCOPED_TRACE(std::to_string(w.dialog) + " control " + std::to_string(w.id));
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(!w.className || lstrcmpiA(b->className.c_str(), w.className) == 0) << b->className;
        EXPECT_TRUE(!w.title || b->title == w.title) << b->title;
        EXPECT_EQ(b->style & w.style, w.style);
        EXPECT_EQ(b->style & w.notStyle, 0u);
        EXPECT_TRUE(w.box[0] < 0 || (b->x == w.box[0] && b->y == w.box[1])) << b->x << "," << b->y;
        EXPECT_TRUE(!w.box[2] || (b->cx == w.box[2] && b->cy == w.box[3])) << b->cx << " x " << b->cy;
        EXPECT_TRUE(w.id || (t.typeface == "MS Sans Serif" && t.pointSize == 8)) << t.typeface << " " << t.pointSize;
    }
    Template progress, setup;
    ASSERT_TRUE(Load(IDD_PROGRESS, progress) && Load(CSetupDlg::IDD, setup));
    for (const Box& item : progress.items)
        EXPECT_NE(item.id, IDOK) << "the progress dialog has no button";
    EXPECT_TRUE(setup.items.empty());
    EXPECT_TRUE(setup.exStyle & WS_EX_APPWINDOW);
    EXPECT_NE(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
}
