#pragma once
// A button control owned by an object: the control's window is subclassed,
// so every message it receives goes to the virtual WindowProc first (inside
// AfxGuard) and from there, by default, to the system's button procedure.
// The parent passes WM_DRAWITEM of an owner-drawn button back to it with
// ReflectDrawItem (CDialog does so by itself), and the button paints itself
// in DrawItem.

#include <windows.h>

#include "framework/RuntimeClass.h"
#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    static CRuntimeClass classCButton;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCButton; }
    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

    CButton() = default;
    CButton(const CButton&) = delete;
    CButton& operator=(const CButton&) = delete;
    ~CButton() override;

    // Attaches the object to an existing control; false when the window is
    // missing or already attached.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(int id, HWND parent);
    // Gives the window its own procedure back; returns it.
    HWND UnsubclassWindow();
    // The object attached to the window, or null.
    static CButton* FromHandlePermanent(HWND hWnd);

    // An owner-drawn button's painting; nothing by default.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The system's processing of any message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc of the message being handled.
    LRESULT Default();

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnSuper = nullptr;
    CurrentMessage m_current;
};

// For a parent's WM_DRAWITEM: when the item is a button with an object
// attached, its DrawItem runs (guarded) and the result is true.
bool ReflectDrawItem(LPARAM lParam);
