// ini_probe <folder\> <alternate 0|1>
//
// Reads {folder}setup.ini with the installer's own ReadSetupConfig under each
// combination of host flags a medium meets, and prints, one "name<TAB>value" line
// each (UTF-8), the fields the installer will use and whether it accepts them. The
// profile reader is the platform's, so quoting, spacing and numbers come out as the
// installer sees them.
#include "app/HostEnv.h"
#include "engine/NameRules.h"
#include "engine/PathUtil.h"
#include "engine/SetupConfig.h"

#include <windows.h>

namespace {

void WriteUtf8(const WCHAR* text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return;
    char* buf = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, n));
    if (!buf)
        return;
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, n, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), buf, n - 1, &written, nullptr);
    HeapFree(GetProcessHeap(), 0, buf);
}

void Line(const WCHAR* name, const WCHAR* value)
{
    WriteUtf8(name);
    WriteUtf8(L"\t");
    WriteUtf8(value);
    WriteUtf8(L"\n");
}

void Flag(const WCHAR* name, bool value) { Line(name, value ? L"1" : L"0"); }

struct Host {
    const WCHAR* name;
    int bGermanUi, bSpanishSystem, bWow64, bNt6;
};

// The hosts a vendor's medium meets, named as the check reports them.
const Host kHosts[] = {
    {L"xp32", 0, 0, 0, 0},
    {L"w7x64", 0, 0, 1, 1},
    {L"xp32-german", 1, 0, 0, 0},
    {L"w7x64-german", 1, 0, 1, 1},
    {L"xp32-spanish", 0, 1, 0, 0},
    {L"w7x64-spanish", 0, 1, 1, 1},
};

// The longest file the install writes below the install folder; a folder that leaves
// no room for it cannot be installed to.
const WCHAR kLongestInstalled[] = L"\\Uninstall\\setupENU.dll";

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        WriteUtf8(L"usage: ini_probe <folder\\> <alternate 0|1>\n");
        return 2;
    }
    const int alternate = argv[2][0] == L'1' ? 1 : 0;
    SetupConfig config;
    for (const Host& host : kHosts) {
        g_bGermanUi = host.bGermanUi;
        g_bSpanishSystem = host.bSpanishSystem;
        g_bWow64 = host.bWow64;
        g_bNt6 = host.bNt6;
        ReadSetupConfig(argv[1], &config, alternate);
        WCHAR key[64];
        WCHAR probe[MAX_PATH];
        Concat(key, {L"host.", host.name, L".InstallDir"});
        Line(key, config.szInstallDir);
        Concat(key, {L"host.", host.name, L".usable"});
        Flag(key, IsUsableInstallDir(config.szInstallDir) &&
                      Concat(probe, {config.szInstallDir, kLongestInstalled}) &&
                      Concat(probe, {config.szInstallDir, L"\\", config.szAPPFileName}));
    }
    // The remaining fields do not depend on the host.
    Line(L"APPFolderName", config.szAPPFolderName);
    Line(L"APPFileName", config.szAPPFileName);
    Line(L"AppName", config.szAppName);
    Line(L"CompanyName", config.szCompanyName);
    Line(L"Version", config.szVersion);
    Flag(L"LaunchAPInSilentMode", config.bLaunchAPInSilentMode != 0);
    Flag(L"DeleteAPFolder", config.bDeleteAPFolder != 0);
    Flag(L"valid.APPFolderName", IsValidFileName(config.szAPPFolderName));
    Flag(L"valid.APPFileName", IsValidFileName(config.szAPPFileName));
    Flag(L"valid.AppName", IsValidFileName(config.szAppName));
    return 0;
}
