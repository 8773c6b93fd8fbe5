#pragma once
// The background window: covers the screen with a blue gradient, loads the
// setup script and, once on screen, runs the installation from its timer.

#include <string>

#include "framework/Dialog.h"
#include "ui/TransBmp.h"

class CSetupDlg : public CDialog {
public:
    enum { IDD = 102 };
    static constexpr UINT_PTR kStartTimer = 987;

    CSetupDlg();

    HICON m_hIcon;
    // The optional artwork beside the program, drawn over the gradient.
    CTransBmp m_appImage;       // App.bmp, top left
    CTransBmp m_companyImage;   // Company.bmp, bottom right
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::string m_strDestination;

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The whole installation: the wizard, the file phase, the script's
    // lists and the program to start. Ends silently when the user leaves;
    // the session learns how it ended.
    void RunInstall();
    // The script's work after the file phase: its lists (and the removal
    // record), then the program to start.
    void ProcessSections();
    void RunProgram();

private:
    LRESULT OnEraseBkgnd(HDC dc);
    void LoadArtwork();
    void DrawArtwork(HDC dc);
    void OnPaint();
};

// Fills the window's client area with the background's blue bands.
void DrawGradient(HWND window, HDC dc);
