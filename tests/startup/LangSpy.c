/* A stand-in language module for the start-up tests. Placed on a medium under the
   names setup.exe looks for (setupCHT.dll, setupENU.dll, installENU.DLL, ...), it
   records each load in langspy.log beside itself: the file name it was loaded as, and
   whether the compatibility mark of the loading program (its lower-cased path, under
   HKCU ...\Compatibility Assistant\Persisted) already existed at that moment. */
#include <windows.h>

static void AppendLine(const WCHAR* logPath, const WCHAR* text)
{
    char utf8[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 2, NULL, NULL);
    if (n <= 0)
        return;
    utf8[n - 1] = '\n';
    HANDLE h = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(h, utf8, (DWORD)n, &written, NULL);
    CloseHandle(h);
}

static int ProgramIsMarked(void)
{
    WCHAR exe[MAX_PATH] = {0};
    GetModuleFileNameW(NULL, exe, MAX_PATH);
    for (WCHAR* p = exe; *p; ++p)
        if (*p >= L'A' && *p <= L'Z')
            *p = (WCHAR)(*p - L'A' + L'a');
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER,
                      L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted",
                      0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    int found = RegQueryValueExW(key, exe, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    WCHAR path[MAX_PATH] = {0}, log[MAX_PATH + 16] = {0}, line[MAX_PATH + 8] = {0};
    GetModuleFileNameW(self, path, MAX_PATH);
    const WCHAR* name = path;
    for (const WCHAR* p = path; *p; ++p)
        if (*p == L'\\')
            name = p + 1;
    lstrcpynW(log, path, (int)(name - path) + 1);
    lstrcatW(log, L"langspy.log");
    lstrcpyW(line, name);
    lstrcatW(line, ProgramIsMarked() ? L"\tmarked" : L"\tunmarked");
    AppendLine(log, line);
    return TRUE;
}
