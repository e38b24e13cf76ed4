// CSetupDlg: the one-page wizard, a borderless dialog whose face is one bitmap.
//
// SetupDlg.cpp: construction, controls, images, texts, window shape, layout,
// painting, dragging and the close button.
// SetupProgress.cpp: the Install/Remove click, the worker's progress messages, the
// simulated progress bar and Finish.
#pragma once
#include <windows.h>

#include "fw/Dialog.h"
#include "fw/ProgressCtrl.h"
#include "res/resource.h"
#include "skin/BmpBtnCtrl.h"
#include "skin/SkinLabel.h"

// The progress bar's creep: timer id and period.
constexpr UINT_PTR TIMER_PROGRESS = 100;
constexpr UINT kProgressPeriodMs = 200;

class CSetupDlg : public CDialog {
public:
    // szSourceDir: the program's folder, ending with a backslash; bUninstall: the
    // uninstall wizard ("delpkg") instead of the install wizard.
    CSetupDlg(const WCHAR* szSourceDir, BOOL bUninstall, CWnd* pParent = NULL);

    enum { IDD = IDD_SETUP_DIALOG };

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // The four steps of initialisation, in this order.
    virtual void LoadSkinBitmaps();
    virtual void InitTexts();
    virtual void ApplyWindowShape();
    virtual void LayoutControls();
    // Starts the worker for this wizard's mode; the thread's handle, or NULL.
    virtual HANDLE StartSetupThread(BOOL bUninstall);

    // Message handlers.
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnStartClicked();
    LRESULT OnSetupProgress(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnCloseClicked();

    const MsgMap* GetMessageMap() const override { return &messageMap; }
    static const MsgMapEntry messageEntries[];
    static const MsgMap messageMap;

    BITMAP m_bmBackground;
    HBITMAP m_hBackground;
    WCHAR m_szSourceDir[MAX_PATH];
    WCHAR m_szTitle[MAX_PATH];
    BOOL m_bUninstallWizard;
    BOOL m_bInstallSucceeded;
    CBmpBtnCtrl m_chkLaunch;
    CBmpBtnCtrl m_btnClose;
    CSkinLabel m_lblTitle;
    CProgressCtrl m_progress;
    CSkinLabel m_lblDescription;
    CBmpBtnCtrl m_btnFinish;
    CBmpBtnCtrl m_btnCancel;
    CSkinLabel m_lblHeadline;
    CBmpBtnCtrl m_btnStart;
    HICON m_hIcon;
};

// Appends the wizard's suffix (" - Installation Wizard" or " - Uninstallation Wizard")
// to the name in szTitle, a buffer of nCapacity characters; a name too long for the
// suffix is shortened so that the whole suffix still fits.
void AppendWizardSuffix(WCHAR* szTitle, int nCapacity, BOOL bUninstall);
