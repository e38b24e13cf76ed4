// The worker thread that runs the install or uninstall for the wizard.
#pragma once
#include <windows.h>

#define WM_SETUP_PROGRESS (WM_USER + 100)

enum {
    PROGRESS_INSTALL_START = 1,
    PROGRESS_INSTALL_DONE = 2,
    PROGRESS_INSTALL_FAILED = 3,
    PROGRESS_UNINSTALL_START = 4,
    PROGRESS_UNINSTALL_DONE = 5,
    PROGRESS_UNINSTALL_FAILED = 6,
};

struct SetupThreadParams {
    WCHAR szSourceDir[MAX_PATH];
    HWND hNotifyWnd;
    int bUninstall;
};

extern SetupThreadParams g_SetupThreadParams;

// Fills g_SetupThreadParams and starts SetupThreadProc on it; returns the thread handle
// (NULL when it cannot be created). The wizard's CSetupDlg::StartSetupThread calls it.
HANDLE StartSetupThread(const WCHAR* szSourceDir, HWND hNotifyWnd, int bUninstall);

DWORD WINAPI SetupThreadProc(LPVOID param);
