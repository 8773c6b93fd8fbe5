#include "framework/WinApp.h"

#include <vector>

#include "framework/Exception.h"
#include "framework/ExceptionReport.h"

namespace {

CWinApp* g_app = nullptr;

std::string ModulePath()
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::string();
        if (n < path.size())
            return std::string(path.data(), n);
        path.resize(path.size() * 2);
    }
}

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
    return AppNameFromModulePath(ModulePath());
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->m_hInstance = instance;
    app->m_strAppName = AppNameFromModulePath(ModulePath());
    BOOL run = AfxGuard<BOOL>(FALSE, [app] { return app->InitInstance(); });
    if (!run)
        return AfxGuard<int>(0, [app] { return app->ExitInstance(); });
    return app->Run();
}
