// Program starts and shell links on the desktop and in the all-users Programs menu.
#pragma once
#include <windows.h>

// Starts the command line (the program is its first token). show != 0: SW_SHOW, else
// SW_HIDE. Returns the process handle, or NULL when the process cannot be created.
HANDLE RunProgram(WCHAR* commandLine, int show);

// The Create functions return true when the link file is in place afterwards.
bool CreateDesktopShortcut(const WCHAR* targetPath, const WCHAR* name);
void DeleteDesktopShortcut(const WCHAR* name);
// arguments may be NULL.
bool CreateProgramsShortcut(const WCHAR* folderName, const WCHAR* targetPath, const WCHAR* linkName,
                            const WCHAR* arguments);
void DeleteProgramsShortcut(const WCHAR* folderName, const WCHAR* linkName, int removeFolder);
