/* Keeps the prefix's desktop process up for the whole test run, so that each GUI
   test does not pay for starting it. Ended by the harness. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE hi, HINSTANCE prev, LPSTR cmd, int show)
{
    (void)prev; (void)cmd; (void)show;
    CreateWindowExW(0, L"STATIC", L"wine-test-keeper", WS_POPUP, 0, 0, 1, 1, NULL, NULL, hi, NULL);
    MSG m;
    while (GetMessageW(&m, NULL, 0, 0) > 0)
        DispatchMessageW(&m);
    return 0;
}
