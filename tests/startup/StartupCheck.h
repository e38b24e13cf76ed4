// Shared steps of the start-up tests: media with stand-in language modules, runs of
// the real setup.exe, and what an install left behind.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/Medium.h"
#include "tests/support/TestSupport.h"

namespace st {

// setup.ini with the package in Customized_Setting and, when given, another package in
// VANTRIX_Customized_Setting; LaunchAPInSilentMode in both sections as asked.
std::string IniText(const ts::Package& normal, const ts::Package* alternate = NULL, bool launch = false);

// Runs {medium}{exeName} with the arguments from C:\ (so that nothing depends on the
// working folder) and waits for it.
ts::ProcResult RunSetup(const std::wstring& medium, const std::wstring& args,
                        const wchar_t* exeName = L"setup.exe", DWORD timeoutMs = 60000);

// {root}{programFiles}\{folderName}
std::wstring InstallDirUnder(const wchar_t* programFiles, const std::wstring& folderName);

// Everything an install of the package into dir may have left.
void CleanInstallAt(const ts::Package& p, const std::wstring& dir);

// Copies of the stand-in module (langspy.dll) under the given names.
bool PlaceSpies(const std::wstring& medium, const std::vector<std::wstring>& names);
struct SpyLoad {
    std::wstring file;  // the name the module was loaded as
    bool marked;        // the program's compatibility mark existed at that moment
};
std::vector<SpyLoad> SpyLoads(const std::wstring& medium);

// The files, registry values and links of a complete install of the package into dir
// on this host.
void ExpectInstalled(const ts::Package& p, const std::wstring& dir);

// A value under HKCU ...\Persisted whose name equals name exactly (registry lookups
// themselves ignore case).
bool PersistedValueNamedExactly(const std::wstring& name, DWORD* data = NULL);
bool PersistedValueExists(const std::wstring& name);  // any letter case
void DeletePersistedValue(const std::wstring& name);

// Polls for a top-level window with exactly this title.
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs);
// Asks the window to close and waits for its process to end.
void CloseAndWait(HWND window, DWORD timeoutMs = 10000);

std::wstring Lower(std::wstring s);
bool IsWow64Host();

}  // namespace st
