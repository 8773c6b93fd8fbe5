#pragma once
// Modal dialog on a dialog resource, with data exchange between members and
// controls, and virtual handlers in place of a message map.
//
// The dialog window is subclassed when it initialises, so that a handler can
// let the dialog manager do its default processing first (Default) and then
// add to it. Every handler runs inside AfxGuard: an exception that escapes
// it is reported and ends only that handler; the modal loop goes on.

#include <windows.h>

#include <string>

#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate) : m_hWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    HWND m_hWnd;
    bool m_bSaveAndValidate;   // true: controls to members
};

// Text of control id to or from value.
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Attaches the control id's handle to control.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    // Runs DoDataExchange in the given direction.
    void UpdateData(bool saveAndValidate = true);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

protected:
    virtual void DoDataExchange(CDataExchange* dx);
    // Shows the members in the controls; returns true to let the dialog
    // manager set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // WM_COMMAND: IDOK and IDCANCEL go to OnOK and OnCancel. Returns true
    // when handled.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnTimer(UINT_PTR id);
    // Every message the subclassed window receives; the default dispatches
    // WM_COMMAND and WM_TIMER, hands WM_DRAWITEM to an owner-drawn button
    // object, and passes the rest to Default.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The dialog manager's processing of the message being handled.
    LRESULT Default();

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL InitDialog();

    WNDPROC m_pfnSuper = nullptr;
    CurrentMessage m_current;
};
