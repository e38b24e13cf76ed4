// The language resource module: the DLL beside the program that holds the wizard's
// twenty texts in the user's language, with English as the fallback.
#pragma once
#include <windows.h>

// szLowerPath: the program's full path, ASCII letters lower-cased. Tries the user's
// and the system's UI languages (where the system has them), then the user's and the
// system's default language ids, and returns the first module that loads, or NULL.
HMODULE LoadLanguageModule(const WCHAR* szLowerPath);

// One attempt for one language id: {path before ".exe"}{abbreviation}.DLL when that
// file exists, else {path before ".exe"}ENU.DLL. Sets g_bGermanUi when the id's
// abbreviation is "DEU" and g_bSpanishSystem when the system default language is
// Spanish, as soon as the abbreviation has been read. NULL when the abbreviation
// cannot be read, the path has no ".exe", or the module does not load.
HMODULE TryLoadLanguageModule(const WCHAR* szLowerPath, WORD wLangId);
