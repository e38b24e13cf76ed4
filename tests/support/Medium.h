// A package medium assembled in a temporary folder, and what an install of it leaves
// behind: the install folder, the Uninstall entry, the autostart value, the links, the
// compatibility mark and the helper's service, with a complete clean-up.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ts {

// What setup.ini says about one package. Tests give each package its own names.
struct Package {
    std::wstring folderName;                      // APPFolderName
    std::wstring appName;                         // AppName
    std::wstring appFileName = L"CorviskApp.exe"; // APPFileName
    std::wstring company = L"Test Company";       // Startup/CompanyName
    std::wstring version = L"1.2.3";              // Startup/Version
};

// setup.ini text for the package (ASCII names), in the normal section or in
// VANTRIX_Customized_Setting.
std::string SetupIniText(const Package& p, bool alternateSection = false);

struct MediumOptions {
    std::string ini;                   // text of setup.ini
    bool setupExe = true;              // bin\setup.exe, or a small stand-in exe while it is not built
    bool setupIni = true;
    bool languageModules = true;       // copies of every bin\setup*.dll
    std::vector<std::wstring> stubModules;  // further files of these names (stand-in bytes)
    std::wstring appFileName = L"CorviskApp.exe";
    bool payload = true;               // Application\{appFileName}, the real payload
    bool mingw = true;                 // Application\mingwm10.dll
    bool helper = true;                // Application\XSrvSetup.exe
    bool titleBmp = false;             // Application\RiriDITitle.bmp
    bool aboutBmp = false;             // Application\title_about.bmp
};

// Options for a complete medium of the package.
MediumOptions MediumFor(const Package& p, bool alternateSection = false);

// Builds the medium in a new folder below C:\tests and returns that folder with a
// trailing backslash (the program's folder of a setup.exe there), or "" on failure.
std::wstring MakeMedium(const MediumOptions& o, const wchar_t* tag = L"medium");

// Names and places an install uses on this (English) host.
std::wstring ExpectedInstallDir(const std::wstring& folderName);  // {root}Program Files[ (x86)]\{folderName}
std::wstring UninstallKey(const std::wstring& folderName);        // read in the 32-bit view
extern const wchar_t kRunKey[];                                   // read in the 32-bit view
extern const wchar_t kPersistedKey[];                             // HKCU, Compatibility Assistant
std::wstring DesktopLinkPath(const std::wstring& appName);
std::wstring ProgramsFolderPath(const std::wstring& appName);

struct RegText {
    bool present = false;
    std::wstring text;
    DWORD type = 0;
    DWORD bytes = 0;
};
// A value of HKLM in the 32-bit view (where a 32-bit setup writes).
RegText ReadHklm32(const std::wstring& key, const wchar_t* value);

struct UninstallEntry {
    bool keyExists = false;
    RegText uninstallString, displayName, publisher, displayVersion;
};
UninstallEntry ReadUninstallEntry(const std::wstring& folderName);

// Lines of the service helper's log: time stamp in ms, argument and its own path.
struct HelperCall {
    unsigned long long ms = 0;
    std::wstring argument;
    std::wstring program;
};
std::vector<HelperCall> ReadHelperLog(const std::wstring& logPath);

// Stops and deletes the helper's service if it is registered; waits for its process.
void RemoveHelperService();
bool HelperServiceExists();
// SERVICE_RUNNING, SERVICE_STOPPED, ... or 0 when the service is not registered.
DWORD HelperServiceState();

// Removes everything an install of the package may have left: the helper's service,
// the install folder, the Uninstall key and the Run value (32-bit view), the desktop
// link, the Programs-menu folder and the compatibility mark of the payload.
void CleanInstall(const Package& p);

}  // namespace ts
