#include "framework/FileDialog.h"

#include <cstring>

#include "framework/ExceptionReport.h"
#include "framework/WinApp.h"

namespace {

const char kObjectProperty[] = "QjFileDialogObject";

} // namespace

CFileDialog::CFileDialog(bool openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_bOpenFileDialog(openFileDialog)
{
    std::memset(&m_ofn, 0, sizeof m_ofn);
    std::memset(m_szFileName, 0, sizeof m_szFileName);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = parent ? parent->m_hWnd : nullptr;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.Flags = flags;
    if (defaultExt) {
        m_strDefExt = defaultExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (fileName)
        std::strncpy(m_szFileName, fileName, sizeof m_szFileName - 1);
    if (filter) {
        // "Text|*.txt|All|*.*||" becomes the NUL-separated list Windows wants.
        m_strFilter = filter;
        for (char& c : m_strFilter)
            if (c == '|')
                c = '\0';
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal()
{
    m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
    m_ofn.lpfnHook = HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    // Without a parent the dialog is modal to the thread's active window
    // (the dialog that opened it), or else to the main window: an ownerless
    // picker would leave its opener enabled underneath.
    const HWND given = m_ofn.hwndOwner;
    if (!given) {
        m_ofn.hwndOwner = ::GetActiveWindow();
        CWinApp* app = AfxGetApp();
        if (!m_ofn.hwndOwner && app && app->m_pMainWnd)
            m_ofn.hwndOwner = app->m_pMainWnd->m_hWnd;
    }
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    m_ofn.hwndOwner = given;
    m_hWnd = nullptr;
    return ok ? IDOK : IDCANCEL;
}

CFileDialog* CFileDialog::FromHookWindow(HWND hookChild)
{
    return hookChild ? static_cast<CFileDialog*>(::GetPropA(hookChild, kObjectProperty)) : nullptr;
}

void CFileDialog::OnInitDone()
{
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
        auto* self = reinterpret_cast<CFileDialog*>(ofn->lCustData);
        self->m_hWnd = hWnd;
        ::SetPropA(hWnd, kObjectProperty, self);
        return 0;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<OFNOTIFYA*>(lParam);
        if (header->hdr.code == CDN_INITDONE) {
            if (CFileDialog* self = FromHookWindow(hWnd))
                AfxGuard<int>(0, [self] {
                    self->OnInitDone();
                    return 0;
                });
        }
        return 0;
    }
    case WM_DESTROY:
        ::RemovePropA(hWnd, kObjectProperty);
        return 0;
    default:
        return 0;
    }
}
