#include "framework/WinApp.h"

#include "framework/Exception.h"
#include "framework/ExceptionReport.h"
#include "framework/SourceDir.h"

namespace {

CWinApp* g_app = nullptr;

} // namespace

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return FALSE;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::BeginWaitCursor()
{
    ++m_nWaitCursorCount;
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

void CWinApp::EndWaitCursor()
{
    if (m_nWaitCursorCount > 0)
        --m_nWaitCursorCount;
    if (m_nWaitCursorCount == 0)
        ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

void CWinApp::RestoreWaitCursor()
{
    if (m_nWaitCursorCount > 0)
        ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

CWinApp* AfxGetApp()
{
    return g_app;
}

std::string AfxGetAppName()
{
    if (g_app && !g_app->m_strAppName.empty())
        return g_app->m_strAppName;
    return AppNameFromModulePath(GetModulePath());
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->m_hInstance = instance;
    app->m_strAppName = AppNameFromModulePath(GetModulePath());
    BOOL run = AfxGuard<BOOL>(FALSE, [app] { return app->InitInstance(); });
    if (!run)
        return AfxGuard<int>(0, [app] { return app->ExitInstance(); });
    return app->Run();
}
