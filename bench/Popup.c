/* A bare program that shows one borderless 584x411 popup window, centred, the size of
   the wizard's background, and runs until the window is closed: the baseline for the
   time until a first window is visible. */
#include <windows.h>

static LRESULT CALLBACK PopupProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrev, LPSTR pszCmdLine, int nShow)
{
    WNDCLASSW wc;
    HWND hWnd;
    MSG msg;
    (void)hPrev;
    (void)pszCmdLine;
    (void)nShow;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = PopupProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = L"BenchPopup";
    RegisterClassW(&wc);
    hWnd = CreateWindowExW(0, L"BenchPopup", L"Bench Popup", WS_POPUP,
                           (GetSystemMetrics(SM_CXSCREEN) - 584) / 2, (GetSystemMetrics(SM_CYSCREEN) - 411) / 2,
                           584, 411, NULL, NULL, hInstance, NULL);
    ShowWindow(hWnd, SW_SHOW);
    UpdateWindow(hWnd);
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
