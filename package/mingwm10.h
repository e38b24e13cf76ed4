/* Functions of "mingwm10.dll" that the payload loads from its own folder. */
#pragma once
#include <windows.h>

/* Writes the package's AppName into out (cap characters): from Uninstall\setup.ini
   beside the program (installed layout) or from ..\setup.ini (the medium's
   Application folder), in VANTRIX_Customized_Setting when RiriDITitle.bmp lies beside
   the program, else in Customized_Setting; "Corvisk" when neither says. exeFolder
   ends with a backslash. Returns the length written. */
typedef int(__cdecl* QvReadAppNameFn)(const WCHAR* exeFolder, WCHAR* out, int cap);
/* Paints the payload's face into rect. */
typedef void(__cdecl* QvDrawFaceFn)(HDC dc, const RECT* rect, const WCHAR* text);
