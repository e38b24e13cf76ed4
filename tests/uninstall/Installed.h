// A package as an install leaves it, laid down by hand: files of the install folder,
// the uninstaller's folder with its setup.ini, the Uninstall entry, the autostart
// value, the links and the compatibility mark. Everything is removed again by the
// destructor, also what a failed test left.
#pragma once
#include <windows.h>

#include <string>

#include "engine/SetupConfig.h"

namespace ut {

// Sets g_bWow64 and g_bNt6 from the host, as start-up does.
void SetHostFlags();

// The service helper's log of this test process (XSRV_LOG).
std::wstring HelperLog();

// "<tag>-<pid>-<n>": unique in this prefix run.
std::wstring UniqueName(const std::wstring& tag);

// setup.ini text (UTF-16 with byte-order mark, so that names may hold any character).
std::wstring SetupIni(const std::wstring& folderName, const std::wstring& appName,
                      const std::wstring& appFileName, bool deleteFolder,
                      const wchar_t* section = L"Customized_Setting");
bool WriteSetupIni(const std::wstring& path, const std::wstring& text);

// The registry prefix the program uses on this host, and the 32-bit view paths of
// what it writes there.
std::wstring ProgramKeyPrefix();
std::wstring UninstallKey32(const std::wstring& folderName);
extern const wchar_t kRunKey32[];
extern const wchar_t kPersistedKey[];

struct InstallOptions {
    bool deleteFolder = false;     // DeleteAPFolder in setup.ini
    bool titleBmp = true;          // {install}\RiriDITitle.bmp
    bool aboutBmp = true;          // {install}\title_about.bmp
    bool qvCfg = true;             // {install}\QV.cfg
    bool helper = true;            // {install}\XSrvSetup.exe (a stand-in that does not start)
    bool runValue = true;          // the autostart value, also on NT 6 (to see it kept there)
    bool otherProgramsFile = false;  // a foreign file in the Programs-menu folder
};

class Installed {
public:
    Installed(const std::wstring& folderName, const InstallOptions& o = InstallOptions());
    ~Installed();
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;

    bool ok = false;               // every part was laid down
    std::wstring folderName, appName, appFileName;
    std::wstring dir;              // the install folder, from ReadSetupConfig
    std::wstring uninstallerDir;   // {install}\Uninstall\ (trailing backslash)
    std::wstring desktopLink, programsDir;
    SetupConfig config;            // read from the uninstaller's setup.ini

    std::wstring Path(const std::wstring& name) const { return dir + L"\\" + name; }
    bool EntryExists() const;
    bool RunValueExists() const;
    bool MarkExists() const;
};

}  // namespace ut
