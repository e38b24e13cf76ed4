// Names from setup.ini that become file or folder names on the machine.
#pragma once
#include <windows.h>

// True when name can stand as one file or folder name inside a folder and names
// exactly that entry: not empty, not "." or "..", none of \ / : * ? " < > | and no
// control character, no trailing dot or space (the system drops them, so the name
// would reach another entry), and not a device name such as CON, NUL, AUX, PRN,
// COM1 to COM9 or LPT1 to LPT9, with or without an extension ("NUL.txt").
bool IsValidFileName(const WCHAR* name);

// True when name, or its part before the first dot, is a device name of the system.
bool IsReservedDeviceName(const WCHAR* name);
