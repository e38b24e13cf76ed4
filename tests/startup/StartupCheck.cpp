#include "StartupCheck.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace st {

static std::string Narrow(const std::wstring& s)
{
    std::string out;
    for (wchar_t c : s)
        out += static_cast<char>(c < 0x80 ? c : '?');
    return out;
}

static std::string Section(const char* name, const ts::Package& p, bool launch)
{
    std::string s = std::string("[") + name + "]\r\n";
    s += "APPFolderName=" + Narrow(p.folderName) + "\r\n";
    s += "APPFileName=" + Narrow(p.appFileName) + "\r\n";
    s += "AppName=" + Narrow(p.appName) + "\r\n";
    s += launch ? "LaunchAPInSilentMode=1\r\n" : "LaunchAPInSilentMode=0\r\n";
    s += "DeleteAPFolder=1\r\n";
    return s;
}

std::string IniText(const ts::Package& normal, const ts::Package* alternate, bool launch)
{
    std::string s = Section("Customized_Setting", normal, launch);
    if (alternate)
        s += Section("VANTRIX_Customized_Setting", *alternate, launch);
    s += "[Startup]\r\nCompanyName=" + Narrow(normal.company) + "\r\nVersion=" + Narrow(normal.version) + "\r\n";
    return s;
}

ts::ProcResult RunSetup(const std::wstring& medium, const std::wstring& args, const wchar_t* exeName,
                        DWORD timeoutMs)
{
    std::wstring cmd = ts::Quote(medium + exeName);
    if (!args.empty())
        cmd += L" " + args;
    return ts::Run(cmd, timeoutMs, L"C:\\");
}

bool IsWow64Host()
{
    BOOL wow = FALSE;
    typedef BOOL(WINAPI * Fn)(HANDLE, PBOOL);
    Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    if (fn)
        fn(GetCurrentProcess(), &wow);
    return wow != FALSE;
}

std::wstring InstallDirUnder(const wchar_t* programFiles, const std::wstring& folderName)
{
    wchar_t windows[MAX_PATH] = {0};
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring root(windows);
    root = root.substr(0, root.rfind(L'\\') + 1);
    return root + programFiles + L"\\" + folderName;
}

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

void DeletePersistedValue(const std::wstring& name)
{
    HKEY h = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ts::kPersistedKey, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
        RegDeleteValueW(h, name.c_str());
        RegCloseKey(h);
    }
}

void CleanInstallAt(const ts::Package& p, const std::wstring& dir)
{
    ts::CleanInstall(p);
    for (int i = 0; i < 50 && ts::Exists(dir) && !ts::DeleteTree(dir); ++i)
        Sleep(100);
    DeletePersistedValue(dir + L"\\" + p.appFileName);
}

bool PlaceSpies(const std::wstring& medium, const std::vector<std::wstring>& names)
{
    std::wstring spy = ts::BinPath(L"langspy.dll");
    bool ok = true;
    for (const std::wstring& name : names)
        ok = CopyFileW(spy.c_str(), (medium + name).c_str(), FALSE) && ok;
    return ok;
}

std::vector<SpyLoad> SpyLoads(const std::wstring& medium)
{
    std::vector<SpyLoad> loads;
    for (const std::string& line : ts::ReadLines(medium + L"langspy.log")) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        SpyLoad l;
        l.file.assign(line.begin(), line.begin() + static_cast<long>(tab));
        l.marked = line.substr(tab + 1) == "marked";
        loads.push_back(l);
    }
    return loads;
}

void ExpectInstalled(const ts::Package& p, const std::wstring& dir)
{
    bool nt6 = ts::HostName() == L"w7x64";
    std::vector<std::wstring> files = {L"Uninstall", L"mingwm10.dll", p.appFileName};
    if (nt6)
        files.push_back(L"XSrvSetup.exe");
    for (const std::wstring& f : files)
        EXPECT_TRUE(ts::Exists(dir + L"\\" + f)) << dir << L"\\" << f;
    const wchar_t* uninstallFiles[] = {L"setup.exe", L"setup.ini", L"setupENU.dll", L"setupCHT.dll", L"setupCHS.dll",
                                       L"setupJPN.dll", L"setupKOR.dll", L"setupFRA.dll", L"setupDEU.dll"};
    for (const wchar_t* f : uninstallFiles)
        EXPECT_TRUE(ts::Exists(dir + L"\\Uninstall\\" + f)) << f;

    std::wstring payload = dir + L"\\" + p.appFileName;
    ts::UninstallEntry e = ts::ReadUninstallEntry(p.folderName);
    EXPECT_TRUE(e.keyExists);
    // Both command lines quote the program: the install folder has blanks in its path.
    EXPECT_EQ(ts::Quote(dir + L"\\Uninstall\\setup.exe") + L" delpkg", e.uninstallString.text);
    EXPECT_EQ(p.appName, e.displayName.text);
    EXPECT_EQ(p.company, e.publisher.text);
    EXPECT_EQ(p.version, e.displayVersion.text);

    ts::RegText run = ts::ReadHklm32(ts::kRunKey, p.appName.c_str());
    if (nt6) {
        EXPECT_FALSE(run.present) << run.text;
        DWORD mark = 0;
        EXPECT_TRUE(ts::RegDword(HKEY_CURRENT_USER, ts::kPersistedKey, payload.c_str(), &mark));
        EXPECT_EQ(1u, mark);
    } else {
        EXPECT_EQ(ts::Quote(payload) + L" min", run.text);
    }

    ts::LinkInfo link;
    EXPECT_TRUE(ts::ReadLink(ts::DesktopLinkPath(p.appName), &link));
    EXPECT_EQ(payload, link.target);
    std::wstring menu = ts::ProgramsFolderPath(p.appName);
    EXPECT_TRUE(ts::ReadLink(menu + L"\\" + p.appName + L".lnk", &link));
    EXPECT_EQ(payload, link.target);
    EXPECT_TRUE(ts::ReadLink(menu + L"\\Uninstall.lnk", &link));
    EXPECT_EQ(dir + L"\\Uninstall\\setup.exe", link.target);
    EXPECT_EQ(L"delpkg", link.arguments);
}

static bool FindPersisted(const std::wstring& name, bool exact, DWORD* data)
{
    HKEY h = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ts::kPersistedKey, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS)
        return false;
    bool found = false;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[1024];
        DWORD cch = 1024, type = 0, value = 0, cb = sizeof value;
        if (RegEnumValueW(h, i, valueName, &cch, NULL, &type, reinterpret_cast<BYTE*>(&value), &cb) != ERROR_SUCCESS)
            break;
        bool same = exact ? name == valueName : _wcsicmp(name.c_str(), valueName) == 0;
        if (same && type == REG_DWORD) {
            found = true;
            if (data)
                *data = value;
            break;
        }
    }
    RegCloseKey(h);
    return found;
}

bool PersistedValueNamedExactly(const std::wstring& name, DWORD* data) { return FindPersisted(name, true, data); }
bool PersistedValueExists(const std::wstring& name) { return FindPersisted(name, false, NULL); }

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowW(NULL, title.c_str());
        if (w)
            return w;
        if (GetTickCount() - start >= timeoutMs)
            return NULL;
        Sleep(50);
    }
}

void CloseAndWait(HWND window, DWORD timeoutMs)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (h) {
        if (WaitForSingleObject(h, timeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(h, 1);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
}

}  // namespace st
