/* The floor of a program that imports the same system DLLs as setup.exe (user32,
   gdi32, comctl32, shell32, ole32, advapi32, msvcrt) and returns at once: what loading
   those DLLs costs before any of the program's own work. */
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <stdio.h>

int main(void)
{
    /* Referenced, not called: the imports stay, no function runs. */
    static const void* volatile imports[] = {
        (const void*)GetSysColor,  (const void*)GetStockObject, (const void*)InitCommonControls,
        (const void*)ShellExecuteW, (const void*)CoInitialize, (const void*)RegCloseKey,
        (const void*)printf,
    };
    return imports[0] == NULL;
}
