// Bounded composition of paths and key paths in caller-owned wide buffers.
// A result that would not fit is refused (the buffer becomes empty and the call
// returns false), never cut: a cut path can name another folder.
#pragma once
#include <windows.h>
#include <cstddef>
#include <initializer_list>

bool ConcatInto(WCHAR* buf, size_t cap, std::initializer_list<const WCHAR*> parts);

template <size_t N>
bool Concat(WCHAR (&buf)[N], std::initializer_list<const WCHAR*> parts)
{
    return ConcatInto(buf, N, parts);
}

// True when the path names an existing file or folder (FindFirstFileW succeeds).
bool PathExists(const WCHAR* path);

// A folder name that may be the last component of the install folder and the name of
// the Uninstall registry key: not empty, not "." or "..", no "\", "/" or ":".
bool IsPlainFolderName(const WCHAR* name);

// An install folder the procedures may act on: "X:\" followed by at least one
// component, no empty, "." or ".." component, no trailing backslash.
bool IsUsableInstallDir(const WCHAR* dir);
