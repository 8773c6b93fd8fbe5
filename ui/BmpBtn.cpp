#include "ui/BmpBtn.h"

#include <mmsystem.h>

#include <algorithm>

#include "framework/SourceDir.h"
#include "image/LoadPicture.h"
#include "ui/PanelPainter.h"

HMODULE g_hBuiltinBitmaps = ::GetModuleHandleA(nullptr);

namespace {

CObject* CreateBmpBtn()
{
    return new CBmpBtn;
}

// Caption length of the last face drawn: a radio bitmap without a caption
// gets grey strips around it. One button paints at a time.
std::size_t s_nCaptionLength = 0;

int AddClamped(int value, long long delta)
{
    return ClampCoord(value + delta);
}

} // namespace

CRuntimeClass CBmpBtn::classCBmpBtn = {"CBmpBtn", sizeof(CBmpBtn), 1, CreateBmpBtn, &CButton::classCButton,
                                       nullptr};

void CBmpBtn::RegisterRuntimeClass()
{
    // Called by the program's start-up, not by a static object: a static
    // library's object file that nothing refers to is left out of the link.
    static AFX_CLASSINIT registered(&classCBmpBtn);
}

void CBmpBtn::LoadButtonCursor(const std::string& name)
{
    m_hCursor = ::LoadCursorA(ProgramModule(), name.c_str());
}

std::string CBmpBtn::LoadStyleText(int id)
{
    // String ids are 16-bit; anything else names no string.
    if (id < 0 || id > 0xFFFF)
        return std::string();
    char text[kMaxStyleString + 1] = {};
    int n = ::LoadStringA(ProgramModule(), static_cast<UINT>(id), text, sizeof text);
    return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

LRESULT CBmpBtn::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        return OnSetCursor();
    case WM_ERASEBKGND:
        return TRUE;
    case WM_CLOSE:
        if (m_hCursor)
            ::DestroyCursor(m_hCursor);
        return Default();
    default:
        return CButton::WindowProc(message, wParam, lParam);
    }
}

LRESULT CBmpBtn::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;
    return CButton::DefWindowProc(message, wParam, lParam);
}

void CBmpBtn::Notify(WPARAM wParam, LPARAM lParam)
{
    ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, wParam, lParam);
}

LRESULT CBmpBtn::OnSetCursor()
{
    int id = ::GetDlgCtrlID(m_hWnd);
    if (m_hCursor) {
        ::SetCursor(m_hCursor);
        Notify(static_cast<WPARAM>(id + kBmpBtnCursorHover), 0);
        return 0;
    }
    if (m_chType == 'P')
        Notify(MAKEWPARAM(id, kBmpBtnNotify), reinterpret_cast<LPARAM>(m_hWnd));
    return Default();
}

void CBmpBtn::PlayWave(const std::string& file)
{
    ::sndPlaySoundA(file.c_str(), SND_ASYNC | SND_NODEFAULT);
}

POINT CBmpBtn::PointerInClient() const
{
    // Where the input taken so far left the pointer, in step with
    // GetKeyState; GetCursorPos can run ahead of (or, under Wine, behind)
    // the mouse message being handled.
    DWORD pos = ::GetMessagePos();
    POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ::ScreenToClient(m_hWnd, &pt);
    return pt;
}

bool CBmpBtn::StillPressed(const RECT& item) const
{
    POINT pt = PointerInClient();
    return ::PtInRect(&item, pt) && ::GetKeyState(VK_LBUTTON) < 0;
}

void CBmpBtn::RepeatLoop(const RECT& item)
{
    HWND self = m_hWnd;
    WPARAM notification = MAKEWPARAM(::GetDlgCtrlID(self), kBmpBtnNotify);
    Notify(notification, reinterpret_cast<LPARAM>(self));
    const DWORD interval = static_cast<DWORD>(RepeatInterval(m_chState));
    for (;;) {
        const DWORD deadline = ::GetTickCount() + interval;
        // Every turn looks at the pointer and the mouse button first, so
        // even an interval of 0 ends when the button is let go.
        do {
            if (!::IsWindow(self) || !StillPressed(item))
                return;
            MSG msg;
            if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    ::PostQuitMessage(static_cast<int>(msg.wParam));
                    return;
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            } else {
                // Nothing waiting: sleep until input comes or a little time
                // passes, instead of spinning.
                DWORD now = ::GetTickCount();
                DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(left, 10), QS_ALLINPUT);
            }
        } while (static_cast<LONG>(deadline - ::GetTickCount()) >= 0);
        Notify(notification, reinterpret_cast<LPARAM>(self));
    }
}

void CBmpBtn::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    const DRAWITEMSTRUCT& d = *drawItem;
    if (d.itemAction & ODA_DRAWENTIRE) {
        if (d.itemState & ODS_DISABLED)
            PaintButton(*this, kLookDisabled, d);
        else
            PaintButton(*this, m_chState == 'C' ? kLookDown : kLookUp, d);
        return;
    }
    if (!(d.itemAction & ODA_SELECT) || !(d.itemState & ODS_FOCUS))
        return;   // no focus rectangle is ever drawn
    if (d.itemState & ODS_SELECTED) {
        // Pressed: a checked box already shows the up look it will have.
        HBRUSH black = ::CreateSolidBrush(0);
        RECT inner = d.rcItem;
        ::InflateRect(&inner, -1, -1);
        int look = m_chType == 'C' && m_chState == 'C' ? kLookUp : kLookDown;
        if (PaintButton(*this, look, d) > 0)
            ::FrameRect(d.hDC, &inner, black);
        ::DeleteObject(black);
        if (m_chType == 'S')
            RepeatLoop(d.rcItem);
        else if (!m_strWave.empty())
            PlayWave(m_strWave);
        return;
    }
    // Released: a click when the pointer is still on the button or the
    // mouse button is up (keyboard); else the press was dragged off.
    POINT pt = PointerInClient();
    bool completed = ::PtInRect(&d.rcItem, pt) || ::GetKeyState(VK_LBUTTON) >= 0;
    switch (m_chType) {
    case 'C':
        if (completed)
            m_chState = m_chState == 'C' ? 'U' : 'C';
        else
            PaintButton(*this, m_chState == 'C' ? kLookDown : kLookUp, d);
        break;
    case 'P':
    case 'S':
        PaintButton(*this, kLookUp, d);
        break;
    case 'R':
        if (completed) {
            m_chState = 'C';
            UncheckGroup(*this);
        } else if (m_chState != 'C') {
            PaintButton(*this, kLookUp, d);
        }
        break;
    default:
        break;
    }
}

void ParseCaption(CBmpBtn& button, BTNOPTIONS& options, PANELSTYLE& style)
{
    char text[kMaxCaption + 1] = {};
    int n = ::GetWindowTextA(button.m_hWnd, text, sizeof text);
    ParseCaptionText(std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0), button, options, style);
}

int PaintButton(CBmpBtn& button, int look, const DRAWITEMSTRUCT& drawItem)
{
    BTNOPTIONS options;
    PANELSTYLE up = GetButtonStartStyle();
    ParseCaption(button, options, up);

    const RECT& item = drawItem.rcItem;
    RECT panel = {item.left, item.top, item.right - 1, item.bottom - 1};
    if (!up.bFrame)   // the bevel, not the absent outline, meets the edge
        panel = {item.left - 1, item.top - 1, item.right, item.bottom};

    PANELSTYLE disabled = up;
    if (button.m_chType == 'I') {
        std::swap(disabled.crOuterTopLeft, disabled.crOuterBottomRight);
    } else {
        disabled.crFace = 0xC0C0C0;
        disabled.crText = ColorFromCode(disabled.szDisabledText[0]);
    }
    PANELSTYLE down = up;
    down.crOuterTopLeft = up.crOuterBottomRight;
    down.crOuterBottomRight = up.crFace;
    if (button.m_chType != 'R' && button.m_chType != 'C') {
        down.nTextX = AddClamped(down.nTextX, 1);
        down.nTextY = AddClamped(down.nTextY, 1);
    }

    const std::string* bitmap = &options.strUpBitmap;
    switch (look) {
    case kLookDown:
        DrawFace(button, drawItem.hDC, options, down, panel);
        if (!options.strDownBitmap.empty())
            bitmap = &options.strDownBitmap;
        break;
    case kLookUp:
        DrawFace(button, drawItem.hDC, options, up, panel);
        break;
    default:
        if (options.chTile == '0')
            DrawFace(button, drawItem.hDC, options, disabled, panel);
        if (!options.strDisabledBitmap.empty())
            bitmap = &options.strDisabledBitmap;
        break;
    }
    if (!bitmap->empty())
        DrawButtonBitmap(button, drawItem.hDC, *bitmap, panel, options.chTile, options.chBitmapAlign,
                         up.nOuterWidth);
    return up.nOuterWidth;
}

void DrawFace(CBmpBtn& button, HDC dc, const BTNOPTIONS& options, PANELSTYLE style, RECT rect)
{
    const std::string& text = options.strText;
    s_nCaptionLength = text.size();
    UINT format = DT_CENTER;
    if (!text.empty()) {
        if (options.chJustify == 'L') {
            format = DT_LEFT;
            style.nTextX = AddClamped(style.nTextX, 4);
        } else if (options.chJustify == 'R') {
            format = DT_RIGHT;
            style.nTextX = AddClamped(style.nTextX, -4);
        }
        if (text.find('\n') == std::string::npos) {
            format |= DT_VCENTER | DT_SINGLELINE;
        } else {
            // Several lines: centre the block by moving the text down.
            RECT measure = rect;
            int height = ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measure, format | DT_CALCRECT);
            style.nTextY = AddClamped(style.nTextY, (static_cast<long long>(rect.bottom) - height - rect.top) / 2);
        }
        if (style.nOuterWidth == 0 || options.chBorder == 'R')
            style.bFrame = 0;
    } else {
        if (style.nOuterWidth == -1)
            return;
        if (style.nOuterWidth == 0) {
            if (button.m_chType == 'R')
                return;
            style.bFrame = 0;
        } else if (options.chBorder == 'R') {
            style.bFrame = 0;
        }
    }
    int border = options.chBorder == 'T'   ? kBorderPlateau
                 : options.chBorder == 'R' ? kBorderEtched
                 : options.chBorder == 'D' ? kBorderDoubleBevel
                                           : kBorderSingleBevel;
    HFONT font = nullptr;
    HFONT oldFont = nullptr;
    if (!options.strFont.empty()) {
        std::string spec = options.strFont;
        oldFont = CreateFontFromSpec(dc, spec, font);
    }
    const UINT kCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (options.chJustify == 'G') {
        // Group box: the frame starts half a caption down, and the caption
        // sits on its top line over a patch of face colour.
        RECT caption = {10, 0, 100, 50};
        ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &caption, format | DT_CALCRECT);
        int h = caption.bottom - caption.top;
        RECT band = {0, 0, AddClamped(rect.right, 1), h / 2};
        FillRectColor(dc, band, static_cast<COLORREF>(style.crFace));
        rect.top = h / 2;
        PaintPanel(dc, style, rect, border, std::string(), kCaptionFormat);
        style.nOuterWidth = 0;
        style.bFrame = 0;
        PaintPanel(dc, style, caption, kBorderSingleBevel, text, kCaptionFormat);
    } else {
        PaintPanel(dc, style, rect, border, text, format);
    }
    if (font) {
        ::SelectObject(dc, oldFont);
        ::DeleteObject(font);
    }
}

void DrawButtonBitmap(CBmpBtn& button, HDC dc, const std::string& name, const RECT& rect, char tile, char align,
                      int inset)
{
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    if (name.empty())
        return;
    switch (name[0]) {
    case '=': bitmap = ::LoadBitmapA(g_hBuiltinBitmaps, name.c_str()); break;
    case '<': bitmap = ::LoadBitmapA(ProgramModule(), name.c_str()); break;
    case '>': LoadResourceDib256(name.c_str(), bitmap, palette); break;
    default: {
        std::string path = name.size() > 1 && name[1] == ':' ? name : GetSourceDir() + name;
        LoadPicture(path, bitmap, palette);
        break;
    }
    }
    // Button bitmaps are drawn without selecting a palette.
    if (palette)
        ::DeleteObject(palette);
    if (bitmap) {
        BlitButtonBitmap(button, dc, bitmap, rect, tile, align, inset);
        ::DeleteObject(bitmap);
    }
}

void BlitButtonBitmap(CBmpBtn& button, HDC dc, HBITMAP bitmap, const RECT& rect, char tile, char align, int inset)
{
    HDC memory = ::CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    BITMAP info = {};
    ::GetObjectA(bitmap, sizeof info, &info);
    const int W = info.bmWidth, H = info.bmHeight;
    if (tile == '1') {
        HBRUSH brush = ::CreatePatternBrush(bitmap);
        HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        ::PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, PATCOPY);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(brush);
    } else {
        long long room = 2LL * inset + 2;
        int w = W, h = H;
        int fits = FitSize(w, h, ClampCoord(rect.right - rect.left - room), ClampCoord(rect.bottom - rect.top - room));
        long long x;
        if (align == 'R')
            x = static_cast<long long>(rect.right) - inset - w - 6;
        else if (align == 'L')
            x = static_cast<long long>(rect.left) + inset + 6;
        else
            x = rect.left + (static_cast<long long>(rect.right) - rect.left - w) / 2;
        long long y = rect.top + (static_cast<long long>(rect.bottom) - rect.top - h) / 2;
        const int bx = ClampCoord(x), by = ClampCoord(y);
        if (fits)
            ::BitBlt(dc, bx, by, w, h, memory, 0, 0, SRCCOPY);
        else if (w > 0 && h > 0)   // no room left: nothing, rather than a mirror image
            ::StretchBlt(dc, bx, by, w, h, memory, 0, 0, W, H, SRCCOPY);
        if (inset == 0 && button.m_chType == 'R' && s_nCaptionLength == 0) {
            RECT picture = {bx, by, AddClamped(bx, W), AddClamped(by, H)};
            FillAround(dc, rect, picture, 0xC0C0C0);
        }
    }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

void FillAround(HDC dc, const RECT& outer, const RECT& inner, COLORREF colour)
{
    const RECT strips[4] = {{outer.left, outer.top, inner.left, outer.bottom},
                            {inner.right, outer.top, outer.right, outer.bottom},
                            {inner.left, outer.top, inner.right, inner.top},
                            {inner.left, inner.bottom, inner.right, outer.bottom}};
    for (const RECT& strip : strips)
        FillRectColor(dc, strip, colour);
}

void UncheckGroup(CBmpBtn& button)
{
    HWND hWnd = button.m_hWnd;
    HWND parent = ::GetParent(hWnd);
    if (!parent)
        return;
    const int id = ::GetDlgCtrlID(hWnd);
    auto groupStart = [](HWND control) { return (::GetWindowLongA(control, GWL_STYLE) & WS_GROUP) != 0; };
    // The sibling's object when it is a CBmpBtn; false to stop the walk.
    auto visit = [&](int sibling, bool stopAtGroup) {
        HWND control = ::GetDlgItem(parent, sibling);
        if (!control)
            return true;   // a gap in the ids
        CButton* object = CButton::FromHandlePermanent(control);
        if (!object || !object->IsKindOf(&CBmpBtn::classCBmpBtn))
            return false;
        if (stopAtGroup && groupStart(control))
            return false;
        auto* other = static_cast<CBmpBtn*>(object);
        if (other->m_chState == 'C') {
            other->m_chState = 'U';
            ::InvalidateRect(control, nullptr, FALSE);
        }
        return stopAtGroup || !groupStart(control);
    };
    if (!groupStart(hWnd))
        for (int i = id - 1; i >= id - 17; --i)
            if (!visit(i, false))
                break;
    for (int i = id + 1; i <= id + 17; ++i)
        if (!visit(i, true))
            break;
}
