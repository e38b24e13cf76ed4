#include "NameRules.h"

namespace {

WCHAR UpperAscii(WCHAR c) { return (c >= L'a' && c <= L'z') ? static_cast<WCHAR>(c - L'a' + L'A') : c; }

bool IsForbiddenChar(WCHAR c)
{
    if (c < 0x20)
        return true;
    switch (c) {
    case L'\\': case L'/': case L':': case L'*': case L'?':
    case L'"': case L'<': case L'>': case L'|':
        return true;
    default:
        return false;
    }
}

// base[0..n) equals word, ASCII letters compared without case.
bool SameWord(const WCHAR* base, size_t n, const WCHAR* word)
{
    size_t i = 0;
    for (; i < n && word[i]; ++i)
        if (UpperAscii(base[i]) != word[i])
            return false;
    return i == n && word[i] == 0;
}

}  // namespace

bool IsReservedDeviceName(const WCHAR* name)
{
    if (!name)
        return false;
    // The device is named by the part before the first dot; spaces in front of the
    // dot are dropped as well ("NUL .txt" is NUL).
    size_t n = 0;
    while (name[n] && name[n] != L'.')
        ++n;
    while (n > 0 && name[n - 1] == L' ')
        --n;
    static const WCHAR* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const WCHAR* d : kDevices)
        if (SameWord(name, n, d))
            return true;
    if (n == 4 && (SameWord(name, 3, L"COM") || SameWord(name, 3, L"LPT")) && name[3] >= L'1' && name[3] <= L'9')
        return true;
    return false;
}

bool IsValidFileName(const WCHAR* name)
{
    if (!name || !name[0])
        return false;
    size_t len = 0;
    for (; name[len]; ++len)
        if (IsForbiddenChar(name[len]))
            return false;
    // Also covers "." and "..".
    if (name[len - 1] == L'.' || name[len - 1] == L' ')
        return false;
    return !IsReservedDeviceName(name);
}
