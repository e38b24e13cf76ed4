#include "app/LangModule.h"

#include "app/HostEnv.h"
#include "engine/PathUtil.h"

#include <cwchar>

namespace {

typedef LANGID(WINAPI* GetLanguageFn)();

GetLanguageFn LookUpKernelLanguageFn(const char* name)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel)
        return NULL;
    return reinterpret_cast<GetLanguageFn>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

}  // namespace

HMODULE TryLoadLanguageModule(const WCHAR* szLowerPath, WORD wLangId)
{
    // Three letters and the terminator; a longer abbreviation makes the call fail.
    WCHAR szAbbrev[4] = {0};
    if (!GetLocaleInfoW(ConvertDefaultLocale(wLangId), LOCALE_SABBREVLANGNAME, szAbbrev, 4))
        return NULL;

    // The flags follow the languages tried, not the module that loads: a German UI
    // without a German module still installs under the German Program Files name.
    if (lstrcmpiW(szAbbrev, L"DEU") == 0)
        g_bGermanUi = 1;
    if ((GetSystemLangId() & 0xFF) == LANG_SPANISH)
        g_bSpanishSystem = 1;

    const WCHAR* ext = wcsstr(szLowerPath, L".exe");
    if (!ext)
        return NULL;
    WCHAR szPrefix[MAX_PATH] = {0};
    size_t nPrefix = static_cast<size_t>(ext - szLowerPath);
    if (nPrefix >= MAX_PATH)
        return NULL;
    wmemcpy(szPrefix, szLowerPath, nPrefix);
    szPrefix[nPrefix] = 0;

    WCHAR szModule[MAX_PATH];
    if (Concat(szModule, {szPrefix, szAbbrev, L".DLL"}) && PathExists(szModule))
        return LoadLibraryW(szModule);
    if (!Concat(szModule, {szPrefix, L"ENU.DLL"}))
        return NULL;
    return LoadLibraryW(szModule);
}

HMODULE LoadLanguageModule(const WCHAR* szLowerPath)
{
    HMODULE hModule = NULL;
    // Both UI-language functions are missing before Windows 2000.
    GetLanguageFn getUserUiLanguage = LookUpKernelLanguageFn("GetUserDefaultUILanguage");
    if (getUserUiLanguage) {
        hModule = TryLoadLanguageModule(szLowerPath, getUserUiLanguage());
        if (hModule)
            return hModule;
        GetLanguageFn getSystemUiLanguage = LookUpKernelLanguageFn("GetSystemDefaultUILanguage");
        if (getSystemUiLanguage) {
            hModule = TryLoadLanguageModule(szLowerPath, getSystemUiLanguage());
            if (hModule)
                return hModule;
        }
    }
    hModule = TryLoadLanguageModule(szLowerPath, GetUserDefaultLangID());
    if (hModule)
        return hModule;
    return TryLoadLanguageModule(szLowerPath, GetSystemDefaultLangID());
}
