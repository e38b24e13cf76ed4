#include "app/HostEnv.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {
const wchar_t kPersisted[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";
}

TEST(HostEnv, ProbesMatchThePrefix)
{
    std::wstring host = ts::HostName();
    if (host == L"xp32") {
        EXPECT_EQ(0, IsWow64());
        EXPECT_EQ(0, IsNt6());
    } else if (host == L"w7x64") {
        EXPECT_EQ(1, IsWow64());
        EXPECT_EQ(1, IsNt6());
    } else {
        GTEST_SKIP() << "unknown host";
    }
}

TEST(HostEnv, Nt6MeansMajorVersionSixOnNt)
{
    struct Case {
        DWORD platform, major;
        int want;
    } cases[] = {
        {VER_PLATFORM_WIN32_NT, 5, 0}, {VER_PLATFORM_WIN32_NT, 6, 1}, {VER_PLATFORM_WIN32_NT, 7, 0},
        {VER_PLATFORM_WIN32_NT, 10, 0}, {VER_PLATFORM_WIN32_WINDOWS, 6, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, IsNt6Version(c.platform, c.major)) << c.platform << "." << c.major;
}

TEST(HostEnv, SystemLangIdIsTheSystemDefault)
{
    EXPECT_EQ(GetSystemDefaultLangID(), GetSystemLangId());
}

TEST(HostEnv, CompatibilityMarkIsDwordOneNamedAfterThePath)
{
    std::wstring path = L"c:\\tests\\mark-" + std::to_wstring(GetCurrentProcessId()) + L"\\setup.exe";
    MarkCompatibilityPersisted(path.c_str());
    DWORD type = 0, value = 0, bytes = 0;
    HKEY h = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kPersisted, 0, KEY_READ | KEY_SET_VALUE, &h));
    bytes = sizeof value;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(h, path.c_str(), NULL, &type, reinterpret_cast<BYTE*>(&value), &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(1u, value);
    // Written again on every start: an existing value becomes 1 again.
    DWORD zero = 0;
    RegSetValueExW(h, path.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&zero), 4);
    MarkCompatibilityPersisted(path.c_str());
    bytes = sizeof value;
    RegQueryValueExW(h, path.c_str(), NULL, &type, reinterpret_cast<BYTE*>(&value), &bytes);
    EXPECT_EQ(1u, value);
    RegDeleteValueW(h, path.c_str());
    RegCloseKey(h);
}
