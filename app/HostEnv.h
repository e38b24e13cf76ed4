// Host facts and the process-wide flags settled at start-up.
#pragma once
#include <windows.h>

// 0/1 flags, written on the main thread during start-up and only read afterwards.
extern int g_bWow64;           // 32-bit process on 64-bit Windows
extern int g_bNt6;             // Windows NT 6.x (Vista, 7)
extern int g_bGermanUi;        // a language tried for the module was German (DEU)
extern int g_bSpanishSystem;   // the system default language is Spanish
extern int g_bAlternateSection; // Application\RiriDITitle.bmp selects VANTRIX_Customized_Setting
extern HMODULE g_hLangModule;  // the loaded language module, source of every wizard text
extern BOOL g_bLaunchApp;      // Finish asked for the payload to start

int IsWow64();
int IsNt6();
WORD GetSystemLangId();

// Marks a program path in the current user's Compatibility Assistant "Persisted" key
// (REG_DWORD 1) so that NT 6 does not ask about it after the run.
void MarkCompatibilityPersisted(const WCHAR* szProgramPath);

// The NT 6 rule of IsNt6 on version numbers, for tests.
int IsNt6Version(DWORD dwPlatformId, DWORD dwMajorVersion);
