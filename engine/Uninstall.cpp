#include "Uninstall.h"

#include <shellapi.h>

#include "CleanupBatch.h"
#include "NameRules.h"
#include "PathUtil.h"
#include "SharedSteps.h"
#include "Shell.h"
#include "app/HostEnv.h"

namespace {

// The procedure acts only on a folder that the install could have created, and only
// on names that stay inside it: with an empty or relative folder every path would
// start at the root of a drive, and an empty key name would make RegDeleteKeyW act
// on the Uninstall key itself.
bool CanActOn(const SetupConfig* config)
{
    // A name with a trailing dot or space, a wildcard or a device name would reach
    // another file or folder than the one named.
    return config && IsUsableInstallDir(config->szInstallDir) && IsPlainFolderName(config->szAPPFolderName) &&
           IsValidFileName(config->szAPPFolderName) && IsValidFileName(config->szAPPFileName);
}

void DeleteInFolder(const WCHAR* folder, const WCHAR* name, bool onlyIfPresent)
{
    WCHAR path[MAX_PATH];
    if (!Concat(path, {folder, L"\\", name}))
        return;
    if (onlyIfPresent && !PathExists(path))
        return;
    DeleteFileW(path);
}

bool RegistryKeyExists(const WCHAR* keyPath)
{
    HKEY key = NULL;
    LONG r = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key);
    if (r == ERROR_SUCCESS)
        RegCloseKey(key);
    return r != ERROR_FILE_NOT_FOUND;
}

bool RunValueExists(const WCHAR* keyPath, const WCHAR* name)
{
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    LONG r = RegQueryValueExW(key, name, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

void StartCleanupBatch(const WCHAR* installDir)
{
    WCHAR batch[MAX_PATH];
    if (!WriteCleanupBatch(installDir, batch))
        return;
    ShellExecuteW(NULL, L"open", batch, NULL, L"c:\\", SW_HIDE);
}

}  // namespace

BOOL RemoveFilesAndRegistry(const SetupConfig* config)
{
    if (!CanActOn(config))
        return FALSE;
    const WCHAR* dir = config->szInstallDir;

    DeleteInFolder(dir, L"mingwm10.dll", false);
    DeleteInFolder(dir, config->szAPPFileName, false);
    DeleteInFolder(dir, L"RiriDITitle.bmp", true);
    DeleteInFolder(dir, L"QV.cfg", true);
    if (g_bNt6)
        DeleteInFolder(dir, L"XSrvSetup.exe", false);

    WCHAR keyPath[1024] = {0};
    if (Concat(keyPath, {RegistryPrefix(), L"Uninstall"})) {
        HKEY key = NULL;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            RegDeleteKeyW(key, config->szAPPFolderName);
            RegCloseKey(key);
        }
    }

    // An empty value name is the key's default value, which is not ours.
    WCHAR runPath[1024] = {0};
    if (!g_bNt6 && config->szAppName[0] && Concat(runPath, {RegistryPrefix(), L"Run"})) {
        HKEY key = NULL;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, runPath, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, config->szAppName);
            RegCloseKey(key);
        }
    }

    // Done when the payload and its Uninstall entry are gone, and before NT 6 also the
    // autostart value (a Run key that cannot be opened for writing keeps it).
    WCHAR payload[MAX_PATH];
    WCHAR entry[1024] = {0};
    if (!Concat(payload, {dir, L"\\", config->szAPPFileName}) ||
        !Concat(entry, {RegistryPrefix(), L"Uninstall\\", config->szAPPFolderName}))
        return FALSE;
    bool runValueLeft = runPath[0] && RunValueExists(runPath, config->szAppName);
    return !PathExists(payload) && !RegistryKeyExists(entry) && !runValueLeft;
}

BOOL UninstallPackage(const SetupConfig* config)
{
    if (!CanActOn(config))
        return FALSE;
    const WCHAR* dir = config->szInstallDir;

    // "-k" then "-u", each followed by one second, whether or not the helper exists.
    if (g_bNt6) {
        RunServiceHelperAndPause(dir, L"-k");
        RunServiceHelperAndPause(dir, L"-u");
    }
    CloseRunningPayload(config->szAppName);

    BOOL removed = RemoveFilesAndRegistry(config);

    // The links are named after AppName; a name that is not a plain file name could
    // reach another link or, with the folder removal, another folder.
    // Such links are left alone, and the uninstall is then not complete.
    if (IsValidFileName(config->szAppName)) {
        DeleteDesktopShortcut(config->szAppName);
        DeleteProgramsShortcut(config->szAppName, config->szAppName, 0);
        DeleteProgramsShortcut(config->szAppName, L"Uninstall", 1);
    } else {
        removed = FALSE;
    }

    if (config->bDeleteAPFolder)
        StartCleanupBatch(dir);
    return removed;
}
