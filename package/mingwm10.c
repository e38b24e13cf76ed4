/* The payload's run-time library: finds the package's name and paints the window. */
#include "mingwm10.h"

static int Append(WCHAR* buf, int cap, int len, const WCHAR* s)
{
    if (len < 0)
        return -1;
    while (*s) {
        if (len + 1 >= cap)
            return -1;
        buf[len++] = *s++;
    }
    buf[len] = 0;
    return len;
}

static int FileExists(const WCHAR* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

/* {dir}{tail} into buf, or "" when it does not fit. */
static void Compose(WCHAR* buf, const WCHAR* dir, int dirLen, const WCHAR* tail)
{
    buf[0] = 0;
    if (dirLen < 0 || dirLen >= MAX_PATH)
        return;
    lstrcpynW(buf, dir, dirLen + 1);
    if (Append(buf, MAX_PATH, dirLen, tail) < 0)
        buf[0] = 0;
}

__declspec(dllexport) int __cdecl QvReadAppName(const WCHAR* exeFolder, WCHAR* out, int cap)
{
    WCHAR ini[MAX_PATH], bmp[MAX_PATH];
    const WCHAR* section;
    int len = lstrlenW(exeFolder);

    if (cap <= 0)
        return 0;
    out[0] = 0;
    /* Installed: {install}\Uninstall\setup.ini beside the program. */
    Compose(ini, exeFolder, len, L"Uninstall\\setup.ini");
    if (!ini[0] || !FileExists(ini)) {
        /* On the medium: {medium}\Application\ gives {medium}\setup.ini. */
        int cut = len - 1;
        while (cut > 0 && exeFolder[cut - 1] != L'\\')
            --cut;
        if (cut > 0)
            Compose(ini, exeFolder, cut, L"setup.ini");
        else
            ini[0] = 0;
    }
    Compose(bmp, exeFolder, len, L"RiriDITitle.bmp");
    section = (bmp[0] && FileExists(bmp)) ? L"VANTRIX_Customized_Setting" : L"Customized_Setting";
    if (!ini[0]) {
        lstrcpynW(out, L"Corvisk", cap);
        return lstrlenW(out);
    }
    return (int)GetPrivateProfileStringW(section, L"AppName", L"Corvisk", out, (DWORD)cap, ini);
}

__declspec(dllexport) void __cdecl QvDrawFace(HDC dc, const RECT* rect, const WCHAR* text)
{
    RECT r = *rect;
    HBRUSH brush = CreateSolidBrush(RGB(0x20, 0x40, 0x60));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xF0, 0xF0, 0xF0));
    DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
