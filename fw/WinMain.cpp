// The program's entry point hands over to the framework's start-up routine.
#include "App.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int)
{
    return AfxWinMain(hInstance);
}
