#include "framework/Button.h"

#include "framework/ExceptionReport.h"

namespace {

const char kThisProperty[] = "QjButtonObject";

} // namespace

CRuntimeClass CButton::classCButton = {"CButton", sizeof(CButton), 0xFFFF, nullptr, nullptr, nullptr};

CButton::~CButton()
{
    UnsubclassWindow();
}

BOOL CButton::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || ::GetPropA(hWnd, kThisProperty))
        return FALSE;
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kThisProperty, this);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return TRUE;
}

BOOL CButton::SubclassDlgItem(int id, HWND parent)
{
    return SubclassWindow(::GetDlgItem(parent, id));
}

HWND CButton::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        ::RemovePropA(hWnd, kThisProperty);
        if (m_pfnSuper)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

CButton* CButton::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? static_cast<CButton*>(::GetPropA(hWnd, kThisProperty)) : nullptr;
}

void CButton::DrawItem(LPDRAWITEMSTRUCT)
{
}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
}

LRESULT CButton::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CALLBACK CButton::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CButton* self = FromHandlePermanent(hWnd);
    if (!self)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC super = self->m_pfnSuper;
        self->UnsubclassWindow();
        return ::CallWindowProcA(super, hWnd, message, wParam, lParam);
    }
    CMessageScope scope(self->m_current, message, wParam, lParam);
    LRESULT result = AfxGuard<LRESULT>(0, [&] { return self->WindowProc(message, wParam, lParam); });
    // The object may have let go of the window meanwhile.
    if (FromHandlePermanent(hWnd) != self)
        scope.Forget();
    return result;
}

bool ReflectDrawItem(LPARAM lParam)
{
    auto* drawItem = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (!drawItem || drawItem->CtlType != ODT_BUTTON)
        return false;
    CButton* button = CButton::FromHandlePermanent(drawItem->hwndItem);
    if (!button)
        return false;
    AfxGuard<bool>(false, [&] {
        button->DrawItem(drawItem);
        return true;
    });
    return true;
}
