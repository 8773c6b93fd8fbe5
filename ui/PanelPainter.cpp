#include "ui/PanelPainter.h"

#include <algorithm>
#include <utility>

namespace {

// GDI keeps coordinates to 27 bits; nothing sensible lies beyond.
constexpr long long kCoordLimit = 1LL << 27;

class SolidPen {
public:
    SolidPen(HDC dc, COLORREF colour) : m_dc(dc), m_pen(::CreatePen(PS_SOLID, 1, colour))
    {
        m_old = ::SelectObject(dc, m_pen);
    }
    ~SolidPen()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_pen);
    }
    SolidPen(const SolidPen&) = delete;
    SolidPen& operator=(const SolidPen&) = delete;

private:
    HDC m_dc;
    HPEN m_pen;
    HGDIOBJ m_old;
};

void Line(HDC dc, long long x1, long long y1, long long x2, long long y2)
{
    DrawLine(dc, ClampCoord(x1), ClampCoord(y1), ClampCoord(x2), ClampCoord(y2));
}

// Half-open range of line numbers.
struct Span {
    long long from, to;
};

// Calls draw for every i in [0, n) that lies in either span, in order.
template <class Draw>
void ForLines(const Span (&spans)[2], long long n, Draw draw)
{
    Span a = spans[0], b = spans[1];
    if (b.from < a.from)
        std::swap(a, b);
    if (b.from <= a.to) {   // overlapping or touching: one range
        a.to = std::max(a.to, b.to);
        b = {0, 0};
    }
    for (const Span& s : {a, b})
        for (long long i = std::max(s.from, 0LL); i < std::min(s.to, n); ++i)
            draw(i);
}

} // namespace

int ClampCoord(long long value)
{
    return static_cast<int>(std::clamp(value, -kCoordLimit, kCoordLimit));
}

void FillRectColor(HDC dc, const RECT& rect, COLORREF colour)
{
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HBRUSH brush = ::CreateSolidBrush(colour);
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
}

void FrameRectInclusive(HDC dc, const RECT& rect, HBRUSH brush)
{
    RECT r = {rect.left, rect.top, ClampCoord(rect.right + 1LL), ClampCoord(rect.bottom + 1LL)};
    ::FrameRect(dc, &r, brush);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2)
{
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void DrawBevel(HDC dc, int left, int top, int right, int bottom, COLORREF topLeft, COLORREF bottomRight, int n)
{
    // Only lines that can reach the clip box are drawn: the same pixels,
    // but a style's absurd width costs no time.
    RECT clip;
    int visible = ::GetClipBox(dc, &clip);
    if (n <= 0 || visible == NULLREGION || visible == ERROR)
        return;
    long long l = left, t = top, r = right, b = bottom;
    // Line i of the first colour runs along row t + 1 + i and column
    // l + 1 + i; of the second along row b - 1 - i and column r - 1 - i.
    const Span first[2] = {{clip.top - t - 1, clip.bottom - t - 1}, {clip.left - l - 1, clip.right - l - 1}};
    const Span second[2] = {{b - clip.bottom, b - clip.top}, {r - clip.right, r - clip.left}};
    {
        SolidPen pen(dc, topLeft);
        ForLines(first, n, [&](long long i) {
            Line(dc, l + 1 + i, t + 1 + i, r - i, t + 1 + i);
            Line(dc, l + 1 + i, t + 1 + i, l + 1 + i, b - i);
        });
    }
    SolidPen pen(dc, bottomRight);
    ForLines(second, n, [&](long long i) {
        Line(dc, l + 1 + i, b - 1 - i, r - i, b - 1 - i);
        Line(dc, r - 1 - i, t + 1 + i, r - 1 - i, b - 1 - i);
    });
}

void DrawPlateauFrame(HDC dc, int left, int top, int right, int bottom, int width)
{
    long long l = left, t = top, r = right, b = bottom;
    long long L = l + width, T = t + width, R = r - width, B = b - width;
    HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(WHITE_PEN));
    Line(dc, l + 1, t + 1, l + 1, b - 1);
    Line(dc, l + 1, t + 1, r - 1, t + 1);
    Line(dc, L + 1, B, R, B);
    Line(dc, R, B, R, T);
    ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    Line(dc, l + 1, b - 1, r, b - 1);
    Line(dc, r - 1, t + 1, r - 1, b + 1);
    Line(dc, L, T, R + 1, T);
    Line(dc, L, T + 1, L, B + 1);
    RECT whole = {left, top, right, bottom};
    FrameRectInclusive(dc, whole, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::SelectObject(dc, oldPen);
}

void DrawEtchedFrame(HDC dc, int left, int top, int right, int bottom)
{
    RECT light = {ClampCoord(left + 1LL), ClampCoord(top + 1LL), right, bottom};
    FrameRectInclusive(dc, light, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    HBRUSH grey = ::CreateSolidBrush(0x808080);
    RECT dark = {left, top, ClampCoord(right - 1LL), ClampCoord(bottom - 1LL)};
    FrameRectInclusive(dc, dark, grey);
    ::DeleteObject(grey);
}

void DrawPanelText(HDC dc, const std::string& caption, COLORREF colour, const RECT& rect, UINT format, int dx,
                   int dy, COLORREF shadow, int sx, int sy)
{
    RECT text = {ClampCoord(static_cast<long long>(rect.left) + dx), ClampCoord(static_cast<long long>(rect.top) + dy),
                 ClampCoord(static_cast<long long>(rect.right) + dx),
                 ClampCoord(static_cast<long long>(rect.bottom) + dy)};
    RECT shade = {ClampCoord(static_cast<long long>(text.left) + sx), ClampCoord(static_cast<long long>(text.top) + sy),
                  ClampCoord(static_cast<long long>(text.right) + sx),
                  ClampCoord(static_cast<long long>(text.bottom) + sy)};
    int length = static_cast<int>(caption.size());
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    if (sx > 0 || sy > 0) {
        COLORREF old = ::SetTextColor(dc, shadow);
        ::DrawTextA(dc, caption.c_str(), length, &shade, format);
        ::SetTextColor(dc, old);
    }
    COLORREF old = ::SetTextColor(dc, colour);
    ::DrawTextA(dc, caption.c_str(), length, &text, format);
    ::SetTextColor(dc, old);
    ::SetBkMode(dc, oldMode);
}

void PaintPanel(HDC dc, const PANELSTYLE& style, const RECT& rect, int border, const std::string& caption,
                UINT format)
{
    if (style.crFace != kNoColor) {
        RECT fill = {rect.left, rect.top, ClampCoord(rect.right + 1LL), ClampCoord(rect.bottom + 1LL)};
        FillRectColor(dc, fill, static_cast<COLORREF>(style.crFace));
    }
    switch (border) {
    case kBorderPlateau:
        DrawPlateauFrame(dc, rect.left, rect.top, rect.right, rect.bottom, style.nOuterWidth);
        break;
    case kBorderEtched:
        DrawEtchedFrame(dc, rect.left, rect.top, rect.right, rect.bottom);
        break;
    case kBorderDoubleBevel: {
        if (style.crOuterTopLeft != kNoColor)
            DrawBevel(dc, rect.left, rect.top, rect.right, rect.bottom, static_cast<COLORREF>(style.crOuterTopLeft),
                      static_cast<COLORREF>(style.crOuterBottomRight), style.nOuterWidth);
        long long in = static_cast<long long>(style.nOuterWidth) + style.nGap;
        if (style.crInnerTopLeft != kNoColor)
            DrawBevel(dc, ClampCoord(rect.left + in), ClampCoord(rect.top + in), ClampCoord(rect.right - in),
                      ClampCoord(rect.bottom - in), static_cast<COLORREF>(style.crInnerTopLeft),
                      static_cast<COLORREF>(style.crInnerBottomRight), style.nInnerWidth);
        break;
    }
    default:
        DrawBevel(dc, rect.left, rect.top, rect.right, rect.bottom, static_cast<COLORREF>(style.crOuterTopLeft),
                  static_cast<COLORREF>(style.crOuterBottomRight), style.nOuterWidth);
        break;
    }
    if (!caption.empty())
        DrawPanelText(dc, caption, static_cast<COLORREF>(style.crText), rect, format, style.nTextX, style.nTextY,
                      static_cast<COLORREF>(style.crShadow), style.nShadowX, style.nShadowY);
    if (style.bFrame)
        FrameRectInclusive(dc, rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

HFONT CreateFontFromSpec(HDC dc, std::string& spec, HFONT& font)
{
    FONTSPEC f = ReadFontSpec(spec);
    // Classic GDI font heights are 16-bit.
    int height = std::clamp(f.nHeight, -32767, 32767);
    font = ::CreateFontA(height, 0, 0, 0, f.nWeight, f.bItalic ? TRUE : FALSE, FALSE, FALSE, 0, 0, 0, 0, 0,
                         f.strFace.c_str());
    if (!font)
        return nullptr;
    return static_cast<HFONT>(::SelectObject(dc, font));
}
