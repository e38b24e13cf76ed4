#include "Installed.h"

#include <shlobj.h>

#include "app/HostEnv.h"
#include "tests/support/TestSupport.h"

namespace ut {

const wchar_t kRunKey32[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kPersistedKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

void SetHostFlags()
{
    g_bWow64 = IsWow64();
    g_bNt6 = IsNt6();
}

std::wstring HelperLog()
{
    return L"C:\\tests\\uninstall-helper-" + std::to_wstring(GetCurrentProcessId()) + L".log";
}

std::wstring UniqueName(const std::wstring& tag)
{
    static LONG counter = 0;
    return tag + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(InterlockedIncrement(&counter));
}

std::wstring SetupIni(const std::wstring& folderName, const std::wstring& appName, const std::wstring& appFileName,
                      bool deleteFolder, const wchar_t* section)
{
    return L"[" + std::wstring(section) + L"]\r\nAPPFolderName=" + folderName + L"\r\nAPPFileName=" + appFileName +
           L"\r\nAppName=" + appName + L"\r\nDeleteAPFolder=" + (deleteFolder ? L"1" : L"0") +
           L"\r\n\r\n[Startup]\r\nCompanyName=Test Company\r\nVersion=1.2.3\r\n";
}

bool WriteSetupIni(const std::wstring& path, const std::wstring& text)
{
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return ts::WriteBytes(path, bytes);
}

std::wstring ProgramKeyPrefix()
{
    return IsWow64() ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                     : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}

std::wstring UninstallKey32(const std::wstring& folderName)
{
    return L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + folderName;
}

static bool SetString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& data)
{
    HKEY h = NULL;
    if (RegCreateKeyExW(root, key.c_str(), 0, NULL, 0, KEY_WRITE | KEY_WOW64_32KEY, NULL, &h, NULL) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExW(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
}

static void DeleteValue(HKEY root, const std::wstring& key, const std::wstring& name)
{
    HKEY h = NULL;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &h) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(h, name.c_str());
    RegCloseKey(h);
}

Installed::Installed(const std::wstring& name, const InstallOptions& o)
    : folderName(name), appName(name), appFileName(L"CorviskApp.exe")
{
    ZeroMemory(&config, sizeof config);
    std::wstring ini = SetupIni(folderName, appName, appFileName, o.deleteFolder);

    // The install folder as the program computes it, checked against the host's own.
    dir = ts::SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\" + folderName;
    uninstallerDir = dir + L"\\Uninstall\\";
    desktopLink = ts::SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + appName + L".lnk";
    programsDir = ts::SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + appName;

    bool made = CreateDirectoryW(dir.c_str(), NULL) && CreateDirectoryW((dir + L"\\Uninstall").c_str(), NULL) &&
                WriteSetupIni(uninstallerDir + L"setup.ini", ini);
    if (!made)
        return;
    ReadSetupConfig(uninstallerDir.c_str(), &config, 0);
    if (dir != config.szInstallDir)
        return;

    std::string stub = "stand-in";
    bool files = ts::WriteBytes(Path(L"mingwm10.dll"), stub) && ts::WriteBytes(Path(appFileName), stub) &&
                 ts::WriteBytes(uninstallerDir + L"setup.exe", stub) &&
                 ts::WriteBytes(uninstallerDir + L"setupENU.dll", stub);
    if (o.titleBmp)
        files = ts::WriteBytes(Path(L"RiriDITitle.bmp"), stub) && files;
    if (o.aboutBmp)
        files = ts::WriteBytes(Path(L"title_about.bmp"), stub) && files;
    if (o.qvCfg)
        files = ts::WriteBytes(Path(L"QV.cfg"), stub) && files;
    if (o.helper)
        files = ts::WriteBytes(Path(L"XSrvSetup.exe"), stub) && files;

    bool reg = SetString(HKEY_LOCAL_MACHINE, UninstallKey32(folderName), L"UninstallString",
                         uninstallerDir + L"setup.exe delpkg") &&
               SetString(HKEY_LOCAL_MACHINE, UninstallKey32(folderName), L"DisplayName", appName);
    if (o.runValue)
        reg = SetString(HKEY_LOCAL_MACHINE, kRunKey32, appName, Path(appFileName) + L" min") && reg;
    HKEY h = NULL;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, NULL, 0, KEY_WRITE, NULL, &h, NULL) == ERROR_SUCCESS) {
        DWORD one = 1;
        reg = RegSetValueExW(h, Path(appFileName).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                             sizeof one) == ERROR_SUCCESS && reg;
        RegCloseKey(h);
    } else {
        reg = false;
    }

    CreateDirectoryW(programsDir.c_str(), NULL);
    bool links = ts::WriteBytes(desktopLink, "link") && ts::WriteBytes(programsDir + L"\\" + appName + L".lnk", "link") &&
                 ts::WriteBytes(programsDir + L"\\Uninstall.lnk", "link");
    if (o.otherProgramsFile)
        links = ts::WriteBytes(programsDir + L"\\Readme.txt", "other") && links;

    ok = files && reg && links;
}

Installed::~Installed()
{
    ts::DeleteTree(dir);
    ts::RegDeleteTreeW(HKEY_LOCAL_MACHINE, UninstallKey32(folderName), KEY_WOW64_32KEY);
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey32, appName);
    HKEY h = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
        RegDeleteValueW(h, Path(appFileName).c_str());
        RegCloseKey(h);
    }
    DeleteFileW(desktopLink.c_str());
    ts::DeleteTree(programsDir);
}

bool Installed::EntryExists() const
{
    return ts::RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKey32(folderName), KEY_WOW64_32KEY);
}

bool Installed::RunValueExists() const
{
    return ts::RegValueExists(HKEY_LOCAL_MACHINE, kRunKey32, appName.c_str(), KEY_WOW64_32KEY);
}

bool Installed::MarkExists() const
{
    return ts::RegValueExists(HKEY_CURRENT_USER, kPersistedKey, Path(appFileName).c_str());
}

}  // namespace ut
