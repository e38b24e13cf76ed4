#include "Medium.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>

#include "TestSupport.h"
#include "package/HelperService.h"

namespace ts {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kPersistedKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

static std::string Narrow(const std::wstring& s)
{
    std::string out;
    for (wchar_t c : s)
        out += static_cast<char>(c < 0x80 ? c : '?');
    return out;
}

std::string SetupIniText(const Package& p, bool alternateSection)
{
    std::string s = alternateSection ? "[VANTRIX_Customized_Setting]\r\n" : "[Customized_Setting]\r\n";
    s += "APPFolderName=" + Narrow(p.folderName) + "\r\n";
    s += "APPFileName=" + Narrow(p.appFileName) + "\r\n";
    s += "AppName=" + Narrow(p.appName) + "\r\n";
    s += "[Startup]\r\n";
    s += "CompanyName=" + Narrow(p.company) + "\r\n";
    s += "Version=" + Narrow(p.version) + "\r\n";
    return s;
}

MediumOptions MediumFor(const Package& p, bool alternateSection)
{
    MediumOptions o;
    o.ini = SetupIniText(p, alternateSection);
    o.appFileName = p.appFileName;
    o.titleBmp = alternateSection;
    return o;
}

static bool EndsWithNoCase(const std::wstring& s, const wchar_t* tail)
{
    size_t n = wcslen(tail);
    return s.size() >= n && _wcsicmp(s.c_str() + s.size() - n, tail) == 0;
}

std::wstring MakeMedium(const MediumOptions& o, const wchar_t* tag)
{
    std::wstring dir = MakeTempDir(tag);
    if (dir.empty())
        return L"";
    std::wstring bin = BuildDir() + L"\\bin";
    std::wstring app = dir + L"\\Application";
    bool ok = CreateDirectoryW(app.c_str(), NULL) != 0;

    if (o.setupExe) {
        std::wstring setup = bin + L"\\setup.exe";
        if (!Exists(setup))
            setup = bin + L"\\cmdline_probe.exe";
        ok = CopyFileW(setup.c_str(), (dir + L"\\setup.exe").c_str(), FALSE) && ok;
    }
    if (o.setupIni)
        ok = WriteBytes(dir + L"\\setup.ini", o.ini) && ok;
    if (o.languageModules) {
        for (const std::wstring& name : ListDir(bin))
            if (_wcsnicmp(name.c_str(), L"setup", 5) == 0 && EndsWithNoCase(name, L".dll"))
                ok = CopyFileW((bin + L"\\" + name).c_str(), (dir + L"\\" + name).c_str(), FALSE) && ok;
    }
    for (const std::wstring& name : o.stubModules)
        ok = WriteBytes(dir + L"\\" + name, "stand-in language module " + Narrow(name)) && ok;
    if (o.payload)
        ok = CopyFileW((bin + L"\\CorviskApp.exe").c_str(), (app + L"\\" + o.appFileName).c_str(), FALSE) && ok;
    if (o.mingw)
        ok = CopyFileW((bin + L"\\mingwm10.dll").c_str(), (app + L"\\mingwm10.dll").c_str(), FALSE) && ok;
    if (o.helper)
        ok = CopyFileW((bin + L"\\XSrvSetup.exe").c_str(), (app + L"\\XSrvSetup.exe").c_str(), FALSE) && ok;
    // The setup never reads the images; any bytes will do.
    if (o.titleBmp)
        ok = WriteBytes(app + L"\\RiriDITitle.bmp", "BM title image") && ok;
    if (o.aboutBmp)
        ok = WriteBytes(app + L"\\title_about.bmp", "BM about image") && ok;
    if (!ok) {
        DeleteTree(dir);
        return L"";
    }
    return dir + L"\\";
}

static BOOL IsWow64Host()
{
    BOOL wow = FALSE;
    typedef BOOL(WINAPI * Fn)(HANDLE, PBOOL);
    Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    if (fn)
        fn(GetCurrentProcess(), &wow);
    return wow;
}

std::wstring ExpectedInstallDir(const std::wstring& folderName)
{
    wchar_t windows[MAX_PATH] = {0};
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring root(windows);
    root = root.substr(0, root.rfind(L'\\') + 1);
    return root + (IsWow64Host() ? L"Program Files (x86)\\" : L"Program Files\\") + folderName;
}

std::wstring UninstallKey(const std::wstring& folderName)
{
    return L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + folderName;
}

std::wstring DesktopLinkPath(const std::wstring& appName)
{
    return SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + appName + L".lnk";
}

std::wstring ProgramsFolderPath(const std::wstring& appName)
{
    return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + appName;
}

RegText ReadHklm32(const std::wstring& key, const wchar_t* value)
{
    RegText r;
    r.present = RegString(HKEY_LOCAL_MACHINE, key, value, &r.text, KEY_WOW64_32KEY, &r.type, &r.bytes);
    return r;
}

UninstallEntry ReadUninstallEntry(const std::wstring& folderName)
{
    UninstallEntry e;
    std::wstring key = UninstallKey(folderName);
    e.keyExists = RegKeyExists(HKEY_LOCAL_MACHINE, key, KEY_WOW64_32KEY);
    e.uninstallString = ReadHklm32(key, L"UninstallString");
    e.displayName = ReadHklm32(key, L"DisplayName");
    e.publisher = ReadHklm32(key, L"Publisher");
    e.displayVersion = ReadHklm32(key, L"DisplayVersion");
    return e;
}

std::vector<HelperCall> ReadHelperLog(const std::wstring& logPath)
{
    std::vector<HelperCall> calls;
    for (const std::string& line : ReadLines(logPath)) {
        // "<ms> <argument> <program path>"
        size_t a = line.find(' ');
        if (a == std::string::npos)
            continue;
        size_t b = line.find(' ', a + 1);
        HelperCall c;
        c.ms = std::strtoull(line.substr(0, a).c_str(), NULL, 10);
        std::string arg = line.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
        std::string prog = b == std::string::npos ? "" : line.substr(b + 1);
        c.argument.assign(arg.begin(), arg.end());
        c.program.assign(prog.begin(), prog.end());
        calls.push_back(c);
    }
    return calls;
}

DWORD HelperServiceState()
{
    SC_HANDLE scm = OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (!scm)
        return 0;
    DWORD state = 0;
    SC_HANDLE svc = OpenServiceW(scm, XSRV_SERVICE_NAME, SERVICE_QUERY_STATUS);
    if (svc) {
        SERVICE_STATUS st;
        if (QueryServiceStatus(svc, &st))
            state = st.dwCurrentState;
        CloseServiceHandle(svc);
    }
    CloseServiceHandle(scm);
    return state;
}

bool HelperServiceExists() { return HelperServiceState() != 0; }

static DWORD WaitWhilePending(SC_HANDLE svc, SERVICE_STATUS_PROCESS* sp)
{
    DWORD got = 0;
    for (int i = 0; i < 100; ++i) {
        if (!QueryServiceStatusEx(svc, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(sp), sizeof *sp, &got))
            return 0;
        if (sp->dwCurrentState != SERVICE_START_PENDING && sp->dwCurrentState != SERVICE_STOP_PENDING)
            break;
        Sleep(50);
    }
    return sp->dwCurrentState;
}

void RemoveHelperService()
{
    SC_HANDLE scm = OpenSCManagerW(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (!scm)
        return;
    SC_HANDLE svc = OpenServiceW(scm, XSRV_SERVICE_NAME, SERVICE_ALL_ACCESS);
    if (svc) {
        SERVICE_STATUS_PROCESS sp;
        ZeroMemory(&sp, sizeof sp);
        DWORD state = WaitWhilePending(svc, &sp);
        HANDLE process = sp.dwProcessId ? OpenProcess(SYNCHRONIZE, FALSE, sp.dwProcessId) : NULL;
        if (state != 0 && state != SERVICE_STOPPED) {
            SERVICE_STATUS st;
            ControlService(svc, SERVICE_CONTROL_STOP, &st);
            WaitWhilePending(svc, &sp);
        }
        // Its image stays in use until the process has ended.
        if (process) {
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
        DeleteService(svc);
        CloseServiceHandle(svc);
    }
    CloseServiceHandle(scm);
}

void CleanInstall(const Package& p)
{
    std::wstring dir = ExpectedInstallDir(p.folderName);
    // The setup does not wait for "XSrvSetup.exe -i": give a service that is on its way
    // a moment to appear, so that it is removed rather than left behind.
    if (Exists(dir + L"\\XSrvSetup.exe"))
        for (int i = 0; i < 40 && HelperServiceState() != SERVICE_RUNNING; ++i)
            Sleep(50);
    RemoveHelperService();
    // A service or payload process that is still ending holds its image for a moment.
    for (int i = 0; i < 50 && Exists(dir) && !DeleteTree(dir); ++i)
        Sleep(100);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, UninstallKey(p.folderName), KEY_WOW64_32KEY);
    HKEY h = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &h) == ERROR_SUCCESS) {
        RegDeleteValueW(h, p.appName.c_str());
        RegCloseKey(h);
    }
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
        RegDeleteValueW(h, (dir + L"\\" + p.appFileName).c_str());
        RegCloseKey(h);
    }
    DeleteFileW(DesktopLinkPath(p.appName).c_str());
    DeleteTree(ProgramsFolderPath(p.appName));
}

}  // namespace ts
