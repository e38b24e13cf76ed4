// show_install <medium folder>: prints what an install from that medium left on this
// machine: the install folder's files, the Uninstall entry and the autostart value in
// the 32-bit registry view (where the 32-bit setup.exe writes), the compatibility
// marks, and the three links with their targets and arguments. The install folder is
// worked out as setup.exe works it out on this host.
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/HostEnv.h"
#include "app/LangModule.h"
#include "engine/PathUtil.h"
#include "engine/SetupConfig.h"

namespace {

void Print(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, NULL, 0, NULL, NULL);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, NULL, NULL);
    fputs(out.c_str(), stdout);
    fputc('\n', stdout);
}

void ListTree(const std::wstring& dir, const std::wstring& indent)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Print(indent + name + L"\\");
            ListTree(dir + L"\\" + name, indent + L"  ");
        } else {
            Print(indent + name + L"  (" + std::to_wstring(fd.nFileSizeLow) + L" bytes)");
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

void PrintValues(HKEY root, const wchar_t* rootName, const std::wstring& key, const wchar_t* onlyValue)
{
    HKEY h = NULL;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &h) != ERROR_SUCCESS) {
        Print(std::wstring(L"  ") + rootName + L"\\" + key + L": (missing)");
        return;
    }
    Print(std::wstring(L"  ") + rootName + L"\\" + key);
    bool any = false;
    for (DWORD i = 0;; ++i) {
        wchar_t name[1024];
        BYTE data[4096];
        DWORD cch = 1024, cb = sizeof data - 2, type = 0;
        if (RegEnumValueW(h, i, name, &cch, NULL, &type, data, &cb) != ERROR_SUCCESS)
            break;
        if (onlyValue && lstrcmpiW(onlyValue, name) != 0)
            continue;
        any = true;
        data[cb] = data[cb + 1] = 0;
        std::wstring shown;
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            shown = L"REG_SZ     " + std::wstring(reinterpret_cast<wchar_t*>(data));
        else if (type == REG_DWORD)
            shown = L"REG_DWORD  " + std::to_wstring(*reinterpret_cast<DWORD*>(data));
        else
            shown = L"type " + std::to_wstring(type);
        Print(L"    " + std::wstring(name) + L" = " + shown);
    }
    if (!any)
        Print(onlyValue ? std::wstring(L"    ") + onlyValue + L": (missing)" : L"    (no values)");
    RegCloseKey(h);
}

void PrintLink(const std::wstring& path)
{
    IShellLinkW* link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = NULL;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t target[MAX_PATH] = {0}, args[MAX_PATH] = {0};
            WIN32_FIND_DATAW fd;
            link->GetPath(target, MAX_PATH, &fd, SLGP_RAWPATH);
            link->GetArguments(args, MAX_PATH);
            Print(L"  " + path);
            Print(L"    -> " + std::wstring(target) + (args[0] ? L"  " + std::wstring(args) : L""));
        } else {
            Print(L"  " + path + L": (missing)");
        }
        file->Release();
    }
    link->Release();
}

std::wstring Special(int csidl)
{
    wchar_t buf[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(NULL, buf, csidl, FALSE);
    return buf;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        fputs("usage: show_install <medium folder>\n", stderr);
        return 2;
    }
    // The program's folder as setup.exe sees it: with its trailing backslash.
    WCHAR medium[MAX_PATH];
    std::wstring arg = argv[1];
    if (arg.empty() || arg.back() != L'\\')
        arg += L'\\';
    if (!Concat(medium, {arg.c_str()}))
        return 2;

    // The same host flags and section choice as setup.exe's start-up on this host.
    g_bWow64 = IsWow64();
    g_bNt6 = IsNt6();
    WCHAR program[MAX_PATH];
    Concat(program, {medium, L"setup.exe"});
    for (WCHAR* p = program; *p; ++p)
        if (*p >= L'A' && *p <= L'Z')
            *p = static_cast<WCHAR>(*p - L'A' + L'a');
    HMODULE lang = LoadLanguageModule(program);
    if (lang)
        FreeLibrary(lang);
    WCHAR image[MAX_PATH];
    int alternate = Concat(image, {medium, L"Application\\RiriDITitle.bmp"}) && PathExists(image) ? 1 : 0;
    SetupConfig config;
    ReadSetupConfig(medium, &config, alternate);
    std::wstring dir = config.szInstallDir;
    std::wstring payload = dir + L"\\" + config.szAPPFileName;

    Print(L"Host: " + std::wstring(g_bNt6 ? L"NT 6" : L"before NT 6") + (g_bWow64 ? L", WOW64" : L"") +
          L"; section " + (alternate ? kSectionAlternate : kSectionNormal));
    Print(L"");
    Print(L"Install folder " + dir + (PathExists(dir.c_str()) ? L"" : L": (missing)"));
    ListTree(dir, L"  ");
    Print(L"");
    Print(L"Registry (32-bit view)");
    PrintValues(HKEY_LOCAL_MACHINE, L"HKLM",
                std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + config.szAPPFolderName,
                NULL);
    PrintValues(HKEY_LOCAL_MACHINE, L"HKLM", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", config.szAppName);
    PrintValues(HKEY_CURRENT_USER, L"HKCU",
                L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted",
                NULL);
    Print(L"");
    Print(L"Links");
    CoInitialize(NULL);
    std::wstring menu = Special(CSIDL_COMMON_PROGRAMS) + L"\\" + config.szAppName;
    PrintLink(Special(CSIDL_DESKTOPDIRECTORY) + L"\\" + config.szAppName + L".lnk");
    PrintLink(menu + L"\\" + config.szAppName + L".lnk");
    PrintLink(menu + L"\\Uninstall.lnk");
    CoUninitialize();
    fflush(stdout);
    return PathExists(payload.c_str()) ? 0 : 1;
}
