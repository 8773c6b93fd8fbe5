#include "framework/Dialog.h"

#include "framework/Button.h"
#include "framework/ExceptionReport.h"
#include "framework/WinApp.h"

namespace {

const char kThisProperty[] = "QjDialogObject";

CDialog* FromHandle(HWND hWnd)
{
    return static_cast<CDialog*>(::GetPropA(hWnd, kThisProperty));
}

} // namespace

void DDX_Text(CDataExchange* dx, int id, std::string& value)
{
    HWND control = ::GetDlgItem(dx->m_hWnd, id);
    if (dx->m_bSaveAndValidate)
        value = GetWindowTextString(control);
    else
        ::SetWindowTextA(control, value.c_str());
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (!control.m_hWnd)
        control.m_hWnd = ::GetDlgItem(dx->m_hWnd, id);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent)
{
}

CDialog::~CDialog()
{
    if (m_hWnd) {
        ::RemovePropA(m_hWnd, kThisProperty);
        if (m_pfnSuper)
            ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
}

INT_PTR CDialog::DoModal()
{
    // Without a parent a dialog is owned by the main window (unless it is
    // the main window itself).
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd && app->m_pMainWnd != this)
            owner = app->m_pMainWnd->m_hWnd;
    }
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    return ::DialogBoxParamA(instance, MAKEINTRESOURCEA(m_nIDTemplate), owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result)
{
    ::EndDialog(m_hWnd, result);
}

void CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(m_hWnd, saveAndValidate);
    DoDataExchange(&dx);
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CDialog::OnCommand(WPARAM wParam, LPARAM)
{
    // Only a click (code 0) or an accelerator (1) ends the dialog; other
    // notifications of a control with the id IDOK or IDCANCEL (a bitmap
    // button's hover, code 5) do not.
    if (HIWORD(wParam) > 1)
        return false;
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
    }
}

void CDialog::OnTimer(UINT_PTR)
{
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        break;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_DRAWITEM:
        // An owner-drawn button of ours paints itself.
        if (ReflectDrawItem(lParam))
            return TRUE;
        break;
    default:
        break;
    }
    return Default();
}

LRESULT CDialog::Default()
{
    return ::CallWindowProcA(m_pfnSuper, m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

BOOL CDialog::InitDialog()
{
    // A dialog that its initialisation neither shows nor moves is centred
    // over its owner (or the screen).
    RECT before;
    ::GetWindowRect(m_hWnd, &before);
    BOOL result = AfxGuard<BOOL>(TRUE, [this] { return OnInitDialog(); });
    RECT after;
    ::GetWindowRect(m_hWnd, &after);
    if (!::IsWindowVisible(m_hWnd) && ::EqualRect(&before, &after)) {
        RECT area;
        HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
        if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
            ::GetWindowRect(owner, &area);
        else
            ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        int width = after.right - after.left;
        int height = after.bottom - after.top;
        int x = area.left + (area.right - area.left - width) / 2;
        int y = area.top + (area.bottom - area.top - height) / 2;
        ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* self = reinterpret_cast<CDialog*>(lParam);
    self->m_hWnd = hWnd;
    ::SetPropA(hWnd, kThisProperty, self);
    self->m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return self->InitDialog();
}

LRESULT CALLBACK CDialog::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self = FromHandle(hWnd);
    if (!self)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    WNDPROC super = self->m_pfnSuper;
    if (message == WM_NCDESTROY) {
        ::RemovePropA(hWnd, kThisProperty);
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        self->m_pfnSuper = nullptr;
        self->m_hWnd = nullptr;
        return ::CallWindowProcA(super, hWnd, message, wParam, lParam);
    }
    CMessageScope scope(self->m_current, message, wParam, lParam);
    return AfxGuard<LRESULT>(0, [&] { return self->WindowProc(message, wParam, lParam); });
}
