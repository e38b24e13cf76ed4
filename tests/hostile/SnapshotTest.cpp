// The before/after listing sees what the other tests rely on it to see.
#include <gtest/gtest.h>

#include "HostileFixture.h"

namespace {

bool SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const wchar_t* data, REGSAM view)
{
    HKEY h;
    if (RegCreateKeyExW(root, key.c_str(), 0, NULL, 0, KEY_SET_VALUE | view, NULL, &h, NULL) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                            static_cast<DWORD>(sizeof(wchar_t) * (wcslen(data) + 1)));
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
}

bool Has(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    for (const std::wstring& l : lines)
        if (_wcsnicmp(l.c_str(), line.c_str(), line.size()) == 0)
            return true;
    return false;
}

}  // namespace

TEST(Snapshot, SeesFilesKeysAndValuesInEveryTreeAndHonoursTheAllowedPlaces)
{
    std::wstring tag = L"SnapProbe-" + std::to_wstring(GetCurrentProcessId());
    std::wstring file = L"C:\\windows\\" + tag + L".txt";
    std::wstring folder = L"C:\\" + tag;
    std::wstring key = L"SOFTWARE\\" + tag;
    std::wstring userKey = L"Software\\" + tag;
    bool wow = ts::HostName() == L"w7x64";
    std::wstring hklm = wow ? L"HKLM64\\SOFTWARE\\Wow6432Node\\" : L"HKLM32\\SOFTWARE\\";

    ts::Snapshot before = ts::TakeSnapshot();
    ASSERT_TRUE(before.complete);
    ASSERT_TRUE(ts::WriteBytes(file, "probe"));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), NULL));
    ASSERT_TRUE(ts::WriteBytes(folder + L"\\inside.txt", "probe"));
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, key, L"Value \"quoted\" \\ x", L"data", KEY_WOW64_32KEY));
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, userKey, L"v", L"\x00FC\x4E2D", 0));
    if (wow) {
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, key, L"v64", L"data", KEY_WOW64_64KEY));
    }
    ts::Snapshot after = ts::TakeSnapshot();

    std::vector<std::wstring> changes = ts::SnapshotChanges(before, after);
    SCOPED_TRACE(Utf8(ts::JoinLines(changes)));
    EXPECT_TRUE(Has(changes, L"+ " + file));
    EXPECT_TRUE(Has(changes, L"+ " + folder + L"\\inside.txt"));
    EXPECT_TRUE(Has(changes, L"+ " + hklm + tag + L"|Value \"quoted\" \\ x"));
    EXPECT_TRUE(Has(changes, L"+ HKCU\\" + userKey + L"|v"));
    if (wow) {
        EXPECT_TRUE(Has(changes, L"+ HKLM64\\SOFTWARE\\" + tag + L"|v64"));
    }

    // A changed value and a deleted file show too; the allowed places hide their own.
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, userKey, L"v", L"other", 0));
    DeleteFileW(file.c_str());
    std::vector<std::wstring> later = ts::SnapshotChanges(after, ts::TakeSnapshot(), {folder});
    SCOPED_TRACE(Utf8(ts::JoinLines(later)));
    EXPECT_TRUE(Has(later, L"~ HKCU\\" + userKey + L"|v"));
    EXPECT_TRUE(Has(later, L"- " + file));
    EXPECT_EQ(2u, later.size());

    ts::DeleteTree(folder);
    ts::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key, KEY_WOW64_32KEY);
    // The key has no subkeys; RegDeleteKeyExW takes the view, RegDeleteKeyW does not.
    if (wow)
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_64KEY, 0);
    ts::RegDeleteTreeW(HKEY_CURRENT_USER, userKey);
    std::vector<std::wstring> left = ts::SnapshotChanges(before, ts::TakeSnapshot());
    EXPECT_TRUE(left.empty()) << Utf8(ts::JoinLines(left));
}
