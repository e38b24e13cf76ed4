#include "PathUtil.h"

bool ConcatInto(WCHAR* buf, size_t cap, std::initializer_list<const WCHAR*> parts)
{
    if (cap == 0)
        return false;
    size_t len = 0;
    for (const WCHAR* part : parts) {
        for (const WCHAR* p = part ? part : L""; *p; ++p) {
            if (len + 1 >= cap) {
                buf[0] = 0;
                return false;
            }
            buf[len++] = *p;
        }
    }
    buf[len] = 0;
    return true;
}

bool PathExists(const WCHAR* path)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(path, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    return true;
}

bool IsPlainFolderName(const WCHAR* name)
{
    if (!name || !name[0])
        return false;
    if (lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0)
        return false;
    for (const WCHAR* p = name; *p; ++p)
        if (*p == L'\\' || *p == L'/' || *p == L':')
            return false;
    return true;
}

bool IsUsableInstallDir(const WCHAR* dir)
{
    if (!dir)
        return false;
    WCHAR c = dir[0];
    bool letter = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
    if (!letter || dir[1] != L':' || dir[2] != L'\\' || dir[3] == 0)
        return false;
    // Every component after the root must be a plain, non-empty name.
    const WCHAR* p = dir + 3;
    while (*p) {
        const WCHAR* start = p;
        while (*p && *p != L'\\')
            ++p;
        size_t n = static_cast<size_t>(p - start);
        if (n == 0)
            return false;  // "\\" or a trailing backslash
        if ((n == 1 && start[0] == L'.') || (n == 2 && start[0] == L'.' && start[1] == L'.'))
            return false;
        for (const WCHAR* q = start; q < p; ++q)
            if (*q == L'/' || *q == L':')
                return false;
        if (*p == L'\\')
            ++p;
        if (*p == 0 && p[-1] == L'\\')
            return false;
    }
    return true;
}
