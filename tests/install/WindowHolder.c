/* A top-level window with a given title, for the install's window handling:
     install_window_holder.exe pump "<title>"   answers its messages (closes on WM_CLOSE)
     install_window_holder.exe hung "<title>"   never looks at its messages again */
#include <windows.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR ansiCmdLine, int show)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    HWND wnd;
    MSG m;
    (void)prev;
    (void)ansiCmdLine;
    (void)show;
    if (!argv || argc < 3)
        return 87;
    wnd = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, NULL, NULL, instance, NULL);
    if (!wnd)
        return 1;
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    while (PeekMessageW(&m, NULL, 0, 0, PM_REMOVE))
        DispatchMessageW(&m);
    /* The title comes last: whoever finds the window by it finds it in its final state. */
    SetWindowTextW(wnd, argv[2]);
    if (lstrcmpW(argv[1], L"hung") == 0)
        Sleep(INFINITE);
    /* A STATIC window is destroyed by DefWindowProc on WM_CLOSE; end with it. */
    while (IsWindow(wnd)) {
        while (PeekMessageW(&m, NULL, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
        MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_ALLINPUT);
    }
    return 0;
}
