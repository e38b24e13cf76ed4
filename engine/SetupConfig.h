// setup.ini beside the program, read into one plain record.
#pragma once
#include <windows.h>

struct SetupConfig {
    WCHAR szInstallDir[MAX_PATH];     // computed: {root}{Program Files name}\{APPFolderName}
    WCHAR szAPPFileName[MAX_PATH];
    WCHAR szAppName[MAX_PATH];
    WCHAR szCompanyName[MAX_PATH];
    WCHAR szAPPFolderName[MAX_PATH];
    WCHAR szVersion[MAX_PATH];
    int bLaunchAPInSilentMode;
    int bDeleteAPFolder;
};

extern const WCHAR kSectionNormal[];     // "Customized_Setting"
extern const WCHAR kSectionAlternate[];  // "VANTRIX_Customized_Setting"
extern const WCHAR kSectionStartup[];    // "Startup"

// Fills the record from {szSourceDir}setup.ini; szSourceDir ends with a backslash.
// The install folder follows the host flags (g_bGermanUi, g_bSpanishSystem, g_bWow64,
// g_bNt6). It stays empty when APPFolderName is empty or not a plain folder name, or
// when the composed folder would not fit in MAX_PATH.
void ReadSetupConfig(const WCHAR* szSourceDir, SetupConfig* config, int bAlternateSection);

// Copies path to out and ends it right after the last backslash (kept); no backslash
// gives "". out must hold as many characters as path.
void GetFolderOfPath(const WCHAR* path, WCHAR* out);

// The Program Files folder name for the four host flags.
const WCHAR* GetProgramFilesName(int bGermanUi, int bSpanishSystem, int bWow64, int bNt6);
