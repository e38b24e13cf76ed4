// Steps that the install and the uninstall procedures take alike.
#pragma once
#include <windows.h>

// "SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\" under WOW64, else
// "SOFTWARE\Microsoft\Windows\CurrentVersion\"; ends with a backslash.
const WCHAR* RegistryPrefix();

// Starts "{installDir}\XSrvSetup.exe" {argument} (the path quoted), shown. Returns the
// process handle, or NULL when the command does not fit or the process cannot start.
HANDLE RunServiceHelper(const WCHAR* installDir, const WCHAR* argument);

// RunServiceHelper, then the fixed one-second pause whether or not it started.
void RunServiceHelperAndPause(const WCHAR* installDir, const WCHAR* argument);

// Sends WM_CLOSE to the first top-level window titled exactly appName and gives its
// program a second to end. A window that does not handle the message within a few
// seconds is left to itself; an empty title matches nothing.
void CloseRunningPayload(const WCHAR* appName);
