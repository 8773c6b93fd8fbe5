#pragma once
// An owner-drawn button that paints itself as a bevelled panel with a
// caption and an optional bitmap, in three looks (up, down, disabled), and
// acts as a push button, check box, radio button or auto-repeat button. All
// of it comes from the option string written as its caption (see
// ButtonOptions.h), read again at every paint.
//
// It is used by subclassing a BS_OWNERDRAW button of a dialog, or made by
// name through the run-time class "CBmpBtn"; the parent passes WM_DRAWITEM
// on with ReflectDrawItem. It keeps its check state itself, tells its parent
// when the pointer is over it, plays its sound when pressed and can show its
// own cursor.

#include <windows.h>

#include <string>

#include "framework/Button.h"
#include "ui/ButtonOptions.h"

// Module whose bitmaps the names beginning with "=" are: the program itself,
// whose resources carry the check box, radio and arrow pictures.
extern HMODULE g_hBuiltinBitmaps;

// Notification code sent with the control id for hovering and repeats
// (the value of BN_DOUBLECLICKED).
constexpr WORD kBmpBtnNotify = 5;
// Added to the control id when a button with its own cursor is hovered.
constexpr int kBmpBtnCursorHover = 1024;

enum ButtonLook { kLookDown = 0, kLookUp = 1, kLookDisabled = 2 };

class CBmpBtn : public CButton, public CButtonOptionTarget {
public:
    static CRuntimeClass classCBmpBtn;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCBmpBtn; }
    // Puts "CBmpBtn" in the framework's class list (once), for dialogs that
    // make the button by its class name.
    static void RegisterRuntimeClass();

    CBmpBtn() = default;
    ~CBmpBtn() override = default;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    HCURSOR m_hCursor = nullptr;   // loaded by the first "u" option

    bool HasCursor() const override { return m_hCursor != nullptr; }
    void LoadButtonCursor(const std::string& name) override;
    std::string LoadStyleText(int id) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Plays the press sound (asynchronously, no default sound when the file
    // cannot be played).
    virtual void PlayWave(const std::string& file);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnSetCursor();
    void Notify(WPARAM wParam, LPARAM lParam);
    POINT PointerInClient() const;
    bool StillPressed(const RECT& item) const;
    // Notifies the parent now and at every interval while the pointer stays
    // on the button with the left mouse button down.
    void RepeatLoop(const RECT& item);
};

// Reads the button's caption (254 characters at most) into the options.
void ParseCaption(CBmpBtn& button, BTNOPTIONS& options, PANELSTYLE& style);
// Paints the whole button in a look; returns the up look's outer width.
int PaintButton(CBmpBtn& button, int look, const DRAWITEMSTRUCT& drawItem);
// Lays out the caption and paints the panel.
void DrawFace(CBmpBtn& button, HDC dc, const BTNOPTIONS& options, PANELSTYLE style, RECT rect);
// Loads a bitmap by name ("=", "<", ">" or a picture file, relative to the
// program's directory unless it has a drive) and blits it.
void DrawButtonBitmap(CBmpBtn& button, HDC dc, const std::string& name, const RECT& rect, char tile, char align,
                      int inset);
void BlitButtonBitmap(CBmpBtn& button, HDC dc, HBITMAP bitmap, const RECT& rect, char tile, char align, int inset);
// Fills the four strips of outer around inner.
void FillAround(HDC dc, const RECT& outer, const RECT& inner, COLORREF colour);
// Clears the checked CBmpBtn buttons of the button's group.
void UncheckGroup(CBmpBtn& button);
