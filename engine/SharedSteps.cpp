#include "SharedSteps.h"

#include "PathUtil.h"
#include "Shell.h"
#include "app/HostEnv.h"

namespace {
// How long a payload window may take to handle WM_CLOSE before the procedure goes on.
const UINT kCloseTimeoutMs = 3000;
}  // namespace

const WCHAR* RegistryPrefix()
{
    return g_bWow64 ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                    : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}

HANDLE RunServiceHelper(const WCHAR* installDir, const WCHAR* argument)
{
    // The quoted path of at most MAX_PATH - 1 characters and the short argument.
    WCHAR path[MAX_PATH];
    WCHAR line[MAX_PATH + 32];
    if (!Concat(path, {installDir, L"\\XSrvSetup.exe"}) || !Concat(line, {L"\"", path, L"\" ", argument}))
        return NULL;
    return RunProgram(line, 1);
}

void RunServiceHelperAndPause(const WCHAR* installDir, const WCHAR* argument)
{
    HANDLE process = RunServiceHelper(installDir, argument);
    if (process)
        CloseHandle(process);
    Sleep(1000);
}

void CloseRunningPayload(const WCHAR* appName)
{
    // An empty title would match some untitled window of another program.
    if (!appName[0])
        return;
    HWND window = FindWindowW(NULL, appName);
    if (!window)
        return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseTimeoutMs, &result);
    Sleep(1000);
}
