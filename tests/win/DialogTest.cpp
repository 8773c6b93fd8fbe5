// The framework's modal dialog on a real dialog manager: an exception that
// escapes a handler is reported in a message box and ends only that handler.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "framework/Dialog.h"
#include "framework/FileException.h"
#include "framework/WinApp.h"
#include "ui/BmpBtn.h"

namespace {

struct FoundBox {
    HWND box = nullptr;
    std::string text;
};

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam)
{
    char cls[32] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        std::string text = GetWindowTextString(child);
        auto* found = reinterpret_cast<FoundBox*>(lParam);
        if (text.size() > found->text.size())
            found->text = text;
    }
    return TRUE;
}

// Waits for a message box of this process with the given caption, reads its
// text and presses its OK button.
FoundBox AnswerMessageBox(const std::string& caption, int timeoutMs)
{
    FoundBox found;
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        HWND box = ::FindWindowA("#32770", caption.c_str());
        if (box) {
            found.box = box;
            ::EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&found));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            return found;
        }
        ::Sleep(20);
    }
    return found;
}

class ThrowingDialog : public CDialog {
public:
    ThrowingDialog() : CDialog(102) {}
    int timerRuns = 0;
    int afterThrow = 0;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ::SetTimer(m_hWnd, 1, 10, nullptr);
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override
    {
        if (id == 1) {
            ::KillTimer(m_hWnd, 1);
            ++timerRuns;
            ::SetTimer(m_hWnd, 2, 10, nullptr);
            throw CFileException(CFileException::fileNotFound, 2, "C:\\missing.dat");
            // not reached: the exception ends this handler
        }
        if (id == 2) {
            ::KillTimer(m_hWnd, 2);
            ++afterThrow;
            EndDialog(77);
        }
    }
};

} // namespace

TEST(Dialog, ExceptionFromTimerIsReportedAndTheLoopGoesOn)
{
    std::string appName = AfxGetAppName();
    EXPECT_EQ(appName, "win_tests");
    FoundBox box;
    std::thread answer([&] { box = AnswerMessageBox(appName, 10000); });
    ThrowingDialog dialog;
    INT_PTR result = dialog.DoModal();
    answer.join();
    ASSERT_TRUE(box.box != nullptr) << "no message box appeared";
    EXPECT_EQ(box.text, "C:\\missing.dat was not found.");
    EXPECT_EQ(dialog.timerRuns, 1);
    EXPECT_EQ(dialog.afterThrow, 1);
    EXPECT_EQ(result, 77);
}

namespace {

class DataDialog : public CDialog {
public:
    DataDialog() : CDialog(102) {}
    std::string m_strCaptionText = "before";
    std::string seenInWindow;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        // The dialog's own caption stands in for a control's text here.
        if (dx->m_bSaveAndValidate)
            m_strCaptionText = GetWindowText();
        else
            SetWindowText(m_strCaptionText);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        seenInWindow = GetWindowText();
        SetWindowText("typed by the user");
        ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
};

} // namespace

TEST(Dialog, DataExchangeBothWaysAndOk)
{
    DataDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.seenInWindow, "before");
    EXPECT_EQ(dialog.m_strCaptionText, "typed by the user");
}

namespace {

// A bitmap push button with the id IDOK tells its parent of the pointer
// with the code 5: that must not end the dialog as a click would.
class HoverOkDialog : public CDialog {
public:
    HoverOkDialog() : CDialog(102) {}
    CBmpBtn ok;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        HWND b = ::CreateWindowA("BUTTON", "C:OK", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 60, 20, m_hWnd,
                                 reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
        ok.SubclassWindow(b);
        ::SendMessageA(b, WM_SETCURSOR, reinterpret_cast<WPARAM>(b), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        ::PostMessageA(m_hWnd, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
};

} // namespace

TEST(Dialog, OnlyAClickOfIdOkEndsTheDialog)
{
    HoverOkDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}
