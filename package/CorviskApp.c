/* The package's payload: one top-level window titled with the package's AppName.
   It needs "mingwm10.dll" from its own folder (name lookup and painting), starts
   minimised with the argument "min", and remembers its window position in "QV.cfg"
   beside itself when it is closed. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>

#include "mingwm10.h"

static WCHAR g_szFolder[MAX_PATH];
static WCHAR g_szTitle[MAX_PATH];
static QvDrawFaceFn g_pfnDrawFace;

static int ComposePath(WCHAR* buf, const WCHAR* name)
{
    int n = lstrlenW(g_szFolder), m = lstrlenW(name);
    if (n + m >= MAX_PATH)
        return 0;
    lstrcpyW(buf, g_szFolder);
    lstrcpyW(buf + n, name);
    return 1;
}

static void SavePosition(HWND wnd)
{
    WINDOWPLACEMENT wp;
    WCHAR path[MAX_PATH];
    char text[64];
    HANDLE file;
    DWORD written = 0;
    int len;

    wp.length = sizeof wp;
    if (!GetWindowPlacement(wnd, &wp) || !ComposePath(path, L"QV.cfg"))
        return;
    len = snprintf(text, sizeof text, "%ld %ld %ld %ld\r\n", wp.rcNormalPosition.left, wp.rcNormalPosition.top,
                   wp.rcNormalPosition.right - wp.rcNormalPosition.left,
                   wp.rcNormalPosition.bottom - wp.rcNormalPosition.top);
    file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    WriteFile(file, text, (DWORD)len, &written, NULL);
    CloseHandle(file);
}

static void LoadPosition(RECT* r)
{
    WCHAR path[MAX_PATH];
    char text[64] = {0};
    HANDLE file;
    DWORD got = 0;
    long x, y, w, h;

    if (!ComposePath(path, L"QV.cfg"))
        return;
    file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    ReadFile(file, text, sizeof text - 1, &got, NULL);
    CloseHandle(file);
    if (sscanf(text, "%ld %ld %ld %ld", &x, &y, &w, &h) == 4 && w > 0 && h > 0 && w < 4000 && h < 4000) {
        SetRect(r, (int)x, (int)y, (int)(x + w), (int)(y + h));
    }
}

static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        RECT r;
        HDC dc = BeginPaint(wnd, &ps);
        GetClientRect(wnd, &r);
        g_pfnDrawFace(dc, &r, g_szTitle);
        EndPaint(wnd, &ps);
        return 0;
    }
    case WM_CLOSE:
        SavePosition(wnd);
        DestroyWindow(wnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

static int HasWord(const WCHAR* cmdLine, const WCHAR* word)
{
    int argc = 0, i, found = 0;
    LPWSTR* argv = CommandLineToArgvW(cmdLine, &argc);
    if (!argv)
        return 0;
    for (i = 1; i < argc; ++i)
        if (lstrcmpiW(argv[i], word) == 0)
            found = 1;
    LocalFree(argv);
    return found;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR ansiCmdLine, int show)
{
    WCHAR dll[MAX_PATH], *slash;
    HMODULE lib;
    QvReadAppNameFn readAppName;
    WNDCLASSW wc;
    HWND wnd;
    MSG m;
    RECT r;
    (void)prev;
    (void)ansiCmdLine;

    if (!GetModuleFileNameW(NULL, g_szFolder, MAX_PATH) || !(slash = wcsrchr(g_szFolder, L'\\')))
        return 1;
    slash[1] = 0;
    if (!ComposePath(dll, L"mingwm10.dll"))
        return 1;
    /* Only the copy beside the program will do. */
    lib = LoadLibraryW(dll);
    if (!lib)
        return 2;
    readAppName = (QvReadAppNameFn)(void*)GetProcAddress(lib, "QvReadAppName");
    g_pfnDrawFace = (QvDrawFaceFn)(void*)GetProcAddress(lib, "QvDrawFace");
    if (!readAppName || !g_pfnDrawFace)
        return 3;
    readAppName(g_szFolder, g_szTitle, MAX_PATH);

    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.lpszClassName = L"CorviskAppWindow";
    if (!RegisterClassW(&wc))
        return 4;
    SetRect(&r, 100, 100, 500, 340);
    LoadPosition(&r);
    wnd = CreateWindowExW(0, wc.lpszClassName, g_szTitle, WS_OVERLAPPEDWINDOW, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, NULL, NULL, instance, NULL);
    if (!wnd)
        return 5;
    ShowWindow(wnd, HasWord(GetCommandLineW(), L"min") ? SW_SHOWMINNOACTIVE : show);
    UpdateWindow(wnd);
    while (GetMessageW(&m, NULL, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
