#pragma once
// Paints a panel from a PANELSTYLE: face fill, one of four borders, a
// caption with a drop shadow, an optional black outline.
//
// Rectangles handed to the painter are inclusive: right and bottom are the
// last column and row of the panel. The outermost ring of pixels belongs to
// the outline and bevels start one pixel inside it. A colour of -1 is not
// drawn. Coordinates that come out of a style are held to GDI's range, and
// bevel lines that cannot reach the clip box are not drawn, so any style
// paints in bounded time.

#include <windows.h>

#include <string>

#include "ui/PanelStyle.h"

enum PanelBorder { kBorderPlateau = 0, kBorderEtched = 1, kBorderDoubleBevel = 2, kBorderSingleBevel = 3 };

void PaintPanel(HDC dc, const PANELSTYLE& style, const RECT& rect, int border, const std::string& caption,
                UINT format);

// A Rectangle of the colour, outline included, over the exclusive rect.
void FillRectColor(HDC dc, const RECT& rect, COLORREF colour);
void FrameRectInclusive(HDC dc, const RECT& rect, HBRUSH brush);
// The end point itself is not drawn.
void DrawLine(HDC dc, int x1, int y1, int x2, int y2);
// n lines of the first colour along the top and left, n of the second
// along the bottom and right.
void DrawBevel(HDC dc, int left, int top, int right, int bottom, COLORREF topLeft, COLORREF bottomRight, int n);
// A raised outer edge and a sunken inner edge width pixels in, in a black
// outline.
void DrawPlateauFrame(HDC dc, int left, int top, int right, int bottom, int width);
// A white line one pixel right and down of a grey one.
void DrawEtchedFrame(HDC dc, int left, int top, int right, int bottom);
// The caption transparently, at rect moved by (dx, dy), after its shadow a
// further (sx, sy) away when either is positive.
void DrawPanelText(HDC dc, const std::string& caption, COLORREF colour, const RECT& rect, UINT format, int dx,
                   int dy, COLORREF shadow, int sx, int sy);

// Creates the font that spec ("height,bold,italic,face") describes, stores
// it in font and selects it into dc; returns the font selected before.
// spec is consumed: afterwards it holds the face name. The caller selects
// the old font back and deletes the new one. When no font can be made, font
// is null and nothing is selected.
HFONT CreateFontFromSpec(HDC dc, std::string& spec, HFONT& font);

// Sums of coordinates and style values, held to GDI's coordinate range.
int ClampCoord(long long value);
