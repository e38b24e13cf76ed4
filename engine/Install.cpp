#include "Install.h"

#include "SharedSteps.h"
#include "Shell.h"
#include "NameRules.h"
#include "PathUtil.h"
#include "app/HostEnv.h"

namespace {

const WCHAR* const kLanguageModules[] = {
    L"setupENU.dll", L"setupCHT.dll", L"setupCHS.dll", L"setupJPN.dll",
    L"setupKOR.dll", L"setupFRA.dll", L"setupDEU.dll",
};

// A command line or value holds one quoted path of at most MAX_PATH - 1 characters
// and a short word after it.
const size_t kCommandCap = MAX_PATH + 32;
const size_t kKeyCap = 1024;

void ShowFailure(const WCHAR* text)
{
    MessageBoxW(NULL, text, L"Fail", MB_OK | MB_ICONEXCLAMATION);
}

// "{path}" {word}: the program path quoted, so that a path with spaces cannot start
// another program ("C:\Program.exe"). False when the path or the line does not fit.
bool ComposeCommand(WCHAR (&line)[kCommandCap], std::initializer_list<const WCHAR*> pathParts, const WCHAR* word)
{
    WCHAR path[MAX_PATH];
    return ConcatInto(path, MAX_PATH, pathParts) && Concat(line, {L"\"", path, L"\" ", word});
}

// Copies {srcDir}{srcName} to {dstDir}\{dstName}, overwriting. False when a path does
// not fit (nothing is copied then) or the copy fails.
bool CopyPackageFile(const WCHAR* srcDir, const WCHAR* srcName, const WCHAR* dstDir, const WCHAR* dstName)
{
    WCHAR from[MAX_PATH], to[MAX_PATH];
    if (!Concat(from, {srcDir, srcName}) || !Concat(to, {dstDir, L"\\", dstName}))
        return false;
    return CopyFileW(from, to, FALSE) != 0;
}

bool SourceExists(const WCHAR* srcDir, const WCHAR* srcName)
{
    WCHAR from[MAX_PATH];
    return Concat(from, {srcDir, srcName}) && PathExists(from);
}

// REG_SZ with its terminating null counted.
bool SetString(HKEY key, const WCHAR* name, const WCHAR* data)
{
    DWORD bytes = static_cast<DWORD>(sizeof(WCHAR) * (lstrlenW(data) + 1));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
}

// The autostart value {AppName} = "{install}\{APPFileName}" min. False when the value
// is not written; a Run key that cannot be opened is passed over without a message,
// but the install is not complete without its autostart value.
bool WriteRunValue(const SetupConfig* config)
{
    WCHAR keyPath[kKeyCap];
    if (!Concat(keyPath, {RegistryPrefix(), L"Run"}))
        return false;
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    WCHAR data[kCommandCap];
    bool ok = ComposeCommand(data, {config->szInstallDir, L"\\", config->szAPPFileName}, L"min") &&
              SetString(key, config->szAppName, data);
    if (!ok)
        ShowFailure(L"Fail to write the Run registry key!");
    RegCloseKey(key);
    return ok;
}

// The Uninstall entry {prefix}Uninstall\{APPFolderName} with its four values.
bool WriteUninstallEntry(const SetupConfig* config)
{
    WCHAR keyPath[kKeyCap];
    // The folder name is one key name; anything else would be another key.
    if (!IsPlainFolderName(config->szAPPFolderName) ||
        !Concat(keyPath, {RegistryPrefix(), L"Uninstall\\", config->szAPPFolderName}))
        return false;
    HKEY key = NULL;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    WCHAR command[kCommandCap];
    if (!ComposeCommand(command, {config->szInstallDir, L"\\Uninstall\\setup.exe"}, L"delpkg") ||
        !SetString(key, L"UninstallString", command)) {
        ShowFailure(L"Fail to write the UninstallString registry key!");
        ok = false;
    } else if (!SetString(key, L"DisplayName", config->szAppName)) {
        ShowFailure(L"Fail to write the DisplayName registry key!");
        ok = false;
    } else {
        SetString(key, L"Publisher", config->szCompanyName);  // without it the entry only lacks a publisher
        if (!SetString(key, L"DisplayVersion", config->szVersion)) {
            ShowFailure(L"Fail to write the DisplayVersion registry key!");
            ok = false;
        }
    }
    RegCloseKey(key);
    return ok;
}

}  // namespace

BOOL InstallFilesAndRegistry(const WCHAR* szSourceDir, const SetupConfig* config)
{
    const WCHAR* dir = config->szInstallDir;
    // The payload's name is one file inside the install folder and nothing else.
    if (!IsUsableInstallDir(dir) || !IsValidFileName(config->szAPPFolderName) ||
        !IsValidFileName(config->szAPPFileName))
        return FALSE;
    bool ok = true;

    // Folders: the install folder, then its Uninstall subfolder.
    WCHAR uninstallDir[MAX_PATH];
    if (!Concat(uninstallDir, {dir, L"\\Uninstall"}))
        return FALSE;
    if (!PathExists(dir)) {
        CreateDirectoryW(dir, NULL);
        CreateDirectoryW(uninstallDir, NULL);
    } else if (!PathExists(uninstallDir)) {
        CreateDirectoryW(uninstallDir, NULL);
    }
    if (!PathExists(dir) || !PathExists(uninstallDir))
        ok = false;

    // Files. The uninstaller's copy of the program and its configuration first.
    ok = CopyPackageFile(szSourceDir, L"setup.exe", uninstallDir, L"setup.exe") && ok;
    ok = CopyPackageFile(szSourceDir, L"setup.ini", uninstallDir, L"setup.ini") && ok;
    // Any number of the language modules may be on the medium; one that is there must arrive.
    for (const WCHAR* module : kLanguageModules)
        if (SourceExists(szSourceDir, module))
            ok = CopyPackageFile(szSourceDir, module, uninstallDir, module) && ok;

    WCHAR appDir[MAX_PATH];
    if (!Concat(appDir, {szSourceDir, L"Application\\"}))
        return FALSE;
    ok = CopyPackageFile(appDir, L"mingwm10.dll", dir, L"mingwm10.dll") && ok;
    ok = CopyPackageFile(appDir, config->szAPPFileName, dir, config->szAPPFileName) && ok;
    // The title image also tells the uninstaller which section of setup.ini is its own.
    if (SourceExists(appDir, L"RiriDITitle.bmp")) {
        ok = CopyPackageFile(appDir, L"RiriDITitle.bmp", dir, L"RiriDITitle.bmp") && ok;
        if (!CopyPackageFile(appDir, L"title_about.bmp", dir, L"title_about.bmp") &&
            SourceExists(appDir, L"title_about.bmp"))
            ok = false;
    }
    if (g_bNt6)
        ok = CopyPackageFile(appDir, L"XSrvSetup.exe", dir, L"XSrvSetup.exe") && ok;

    // Registry: the autostart value before NT 6 (NT 6 has the service helper instead).
    if (!g_bNt6)
        ok = WriteRunValue(config) && ok;
    ok = WriteUninstallEntry(config) && ok;
    return ok ? TRUE : FALSE;
}

BOOL InstallPackage(const WCHAR* szSourceDir, const SetupConfig* config)
{
    const WCHAR* dir = config->szInstallDir;
    // An empty or relative install folder would put the files at a drive root or
    // wherever the current folder is, and a folder name with a wildcard, a trailing
    // dot or space or a device name another folder than the one named (FindFirstFileW
    // matches "Corv*", the system turns "Corvisk." into "Corvisk"): touch nothing.
    if (!IsUsableInstallDir(dir) || !IsValidFileName(config->szAPPFolderName)) {
        ShowFailure(L"Fail to create the install folder!");
        return FALSE;
    }
    // AppName names the desktop link, the Programs-menu folder and its link, and
    // APPFileName the payload file: each must be one plain file name, or the install
    // would write (and the uninstall later delete) somewhere else. Refused before
    // anything is touched.
    if (!IsValidFileName(config->szAPPFileName)) {
        ShowFailure(L"Fail to copy the application file!");
        return FALSE;
    }
    if (!IsValidFileName(config->szAppName)) {
        ShowFailure(L"Fail to create the shortcuts!");
        return FALSE;
    }

    // Stop and remove the service of an earlier install before its helper is replaced.
    if (g_bNt6) {
        WCHAR helper[MAX_PATH];
        if (Concat(helper, {dir, L"\\XSrvSetup.exe"}) && PathExists(helper)) {
            RunServiceHelperAndPause(dir, L"-k");
            RunServiceHelperAndPause(dir, L"-u");
        }
    }

    CloseRunningPayload(config->szAppName);

    bool ok = InstallFilesAndRegistry(szSourceDir, config) != FALSE;

    if (g_bNt6) {
        HANDLE process = RunServiceHelper(dir, L"-i");
        if (!process) {
            ShowFailure(L"Fail to install the service!");
            return FALSE;
        }
        CloseHandle(process);
    }

    // A link that could not be made (its path would not fit, the folder is blocked)
    // shows no message, but the install is not complete without it.
    WCHAR payload[MAX_PATH], uninstaller[MAX_PATH];
    bool links = Concat(payload, {dir, L"\\", config->szAPPFileName});
    if (links) {
        links = CreateDesktopShortcut(payload, config->szAppName) && links;
        links = CreateProgramsShortcut(config->szAppName, payload, config->szAppName, NULL) && links;
    }
    links = Concat(uninstaller, {dir, L"\\Uninstall\\setup.exe"}) &&
            CreateProgramsShortcut(config->szAppName, uninstaller, L"Uninstall", L"delpkg") && links;
    ok = links && ok;

    if (g_bNt6 && payload[0])
        MarkCompatibilityPersisted(payload);
    return ok ? TRUE : FALSE;
}
