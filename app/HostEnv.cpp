#include "HostEnv.h"

int g_bWow64 = 0;
int g_bNt6 = 0;
int g_bGermanUi = 0;
int g_bSpanishSystem = 0;
int g_bAlternateSection = 0;
HMODULE g_hLangModule = NULL;
BOOL g_bLaunchApp = FALSE;

int IsWow64()
{
    typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    // Looked up by name: XP before SP2 has no IsWow64Process.
    IsWow64ProcessFn isWow64Process =
        kernel ? reinterpret_cast<IsWow64ProcessFn>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
               : NULL;
    if (!isWow64Process)
        return 0;
    BOOL bWow64 = FALSE;
    isWow64Process(GetCurrentProcess(), &bWow64);
    return bWow64 ? 1 : 0;
}

int IsNt6Version(DWORD dwPlatformId, DWORD dwMajorVersion)
{
    return dwPlatformId == VER_PLATFORM_WIN32_NT && dwMajorVersion == 6 ? 1 : 0;
}

int IsNt6()
{
    OSVERSIONINFOW info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info))
        return 0;
    return IsNt6Version(info.dwPlatformId, info.dwMajorVersion);
}

WORD GetSystemLangId()
{
    return GetSystemDefaultLangID();
}

void MarkCompatibilityPersisted(const WCHAR* szProgramPath)
{
    WCHAR szKey[256] = {0};
    lstrcpynW(szKey,
              L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted",
              256);
    HKEY hKey = NULL;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, szKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL,
                        &hKey, NULL) != ERROR_SUCCESS)
        return;
    DWORD dwValue = 1;
    RegSetValueExW(hKey, szProgramPath, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                   sizeof dwValue);
    RegCloseKey(hKey);
}
