// The uninstall procedure alone, as the installed copy of the setup program runs it:
// placed as setup.exe in {install}\Uninstall\ and started from there, it reads the
// setup.ini beside it and runs UninstallPackage, with no window. The cleanup batch
// then removes the install folder once this process has exited.
#include <windows.h>

#include "app/HostEnv.h"
#include "engine/SetupConfig.h"
#include "engine/Uninstall.h"

int wmain()
{
    g_bWow64 = IsWow64();
    g_bNt6 = IsNt6();
    WCHAR self[MAX_PATH] = {0};
    WCHAR folder[MAX_PATH] = {0};
    GetModuleFileNameW(NULL, self, MAX_PATH);
    GetFolderOfPath(self, folder);
    SetupConfig config;
    ReadSetupConfig(folder, &config, 0);
    return UninstallPackage(&config) ? 0 : 1;
}
