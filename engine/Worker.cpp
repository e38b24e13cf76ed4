#include "Worker.h"

#include "Install.h"
#include "SetupConfig.h"
#include "Uninstall.h"
#include "app/HostEnv.h"

SetupThreadParams g_SetupThreadParams;

HANDLE StartSetupThread(const WCHAR* szSourceDir, HWND hNotifyWnd, int bUninstall)
{
    // A folder that does not fit would be cut and the worker would read another
    // setup.ini; then no worker starts, as when the thread cannot be created.
    if (!szSourceDir || lstrlenW(szSourceDir) >= MAX_PATH)
        return NULL;
    lstrcpynW(g_SetupThreadParams.szSourceDir, szSourceDir, MAX_PATH);
    g_SetupThreadParams.hNotifyWnd = hNotifyWnd;
    g_SetupThreadParams.bUninstall = bUninstall;
    DWORD threadId = 0;
    return CreateThread(NULL, 0, SetupThreadProc, &g_SetupThreadParams, 0, &threadId);
}

DWORD WINAPI SetupThreadProc(LPVOID param)
{
    SetupThreadParams copy = *static_cast<const SetupThreadParams*>(param);

    // Read here, at the click, so that the run follows setup.ini as it is now.
    SetupConfig config;
    ReadSetupConfig(copy.szSourceDir, &config, g_bAlternateSection);

    if (copy.bUninstall) {
        PostMessageW(copy.hNotifyWnd, WM_SETUP_PROGRESS, PROGRESS_UNINSTALL_START, 0);
        BOOL ok = UninstallPackage(&config);
        PostMessageW(copy.hNotifyWnd, WM_SETUP_PROGRESS, PROGRESS_UNINSTALL_DONE, ok ? 1 : 0);
    } else {
        PostMessageW(copy.hNotifyWnd, WM_SETUP_PROGRESS, PROGRESS_INSTALL_START, 0);
        BOOL ok = InstallPackage(copy.szSourceDir, &config);
        PostMessageW(copy.hNotifyWnd, WM_SETUP_PROGRESS, PROGRESS_INSTALL_DONE, ok ? 1 : 0);
    }
    return 1;
}
