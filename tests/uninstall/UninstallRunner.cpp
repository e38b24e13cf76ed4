// Runs the uninstall as the installed copy of the setup program does: from its own
// folder ({install}\Uninstall\), with the setup.ini there. Placed as setup.exe in that
// folder by the tests.
//   uninstall_runner <done event> <exit event>
// Sets <done event> when the procedure has returned, then waits (at most 60 s) for
// <exit event> before it exits, so that a test can look at the batch file while the
// uninstaller still runs. Exit code: 0 when UninstallPackage succeeded, else 1.
#include <windows.h>

#include "app/HostEnv.h"
#include "engine/SetupConfig.h"
#include "engine/Uninstall.h"

int wmain(int argc, wchar_t** argv)
{
    g_bWow64 = IsWow64();
    g_bNt6 = IsNt6();

    WCHAR self[MAX_PATH] = {0};
    WCHAR folder[MAX_PATH] = {0};
    GetModuleFileNameW(NULL, self, MAX_PATH);
    GetFolderOfPath(self, folder);

    SetupConfig config;
    ReadSetupConfig(folder, &config, 0);
    BOOL ok = UninstallPackage(&config);

    if (argc >= 3) {
        HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
        HANDLE exit = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
        if (done)
            SetEvent(done);
        if (exit)
            WaitForSingleObject(exit, 60000);
    }
    return ok ? 0 : 1;
}
