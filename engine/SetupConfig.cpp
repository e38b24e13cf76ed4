#include "SetupConfig.h"

#include "PathUtil.h"
#include "app/HostEnv.h"

const WCHAR kSectionNormal[] = L"Customized_Setting";
const WCHAR kSectionAlternate[] = L"VANTRIX_Customized_Setting";
const WCHAR kSectionStartup[] = L"Startup";

void GetFolderOfPath(const WCHAR* path, WCHAR* out)
{
    int cut = 0;
    int i = 0;
    for (; path[i]; ++i) {
        out[i] = path[i];
        if (path[i] == L'\\')
            cut = i + 1;
    }
    out[cut] = 0;
}

const WCHAR* GetProgramFilesName(int bGermanUi, int bSpanishSystem, int bWow64, int bNt6)
{
    if (bGermanUi)
        return bWow64 ? L"Program Files (x86)" : L"Programme";
    if (bSpanishSystem) {
        // A Spanish XP names it in Spanish; under WOW64 or on NT 6 the folder is
        // "Program Files", also in the 64-bit case.
        if (bNt6 || bWow64)
            return L"Program Files";
        return L"Archivos de programa";
    }
    return bWow64 ? L"Program Files (x86)" : L"Program Files";
}

namespace {

// The profile functions over one file; without a file (its path would not fit)
// every key reads as absent.
struct ProfileReader {
    const WCHAR* file;

    DWORD Text(const WCHAR* section, const WCHAR* key, const WCHAR* def, WCHAR (&value)[MAX_PATH]) const
    {
        if (!file) {
            lstrcpynW(value, def, MAX_PATH);
            return static_cast<DWORD>(lstrlenW(value));
        }
        return GetPrivateProfileStringW(section, key, def, value, MAX_PATH, file);
    }

    // Stores the value only when at least one character came back, so that a key
    // present with an empty value leaves the zero-filled field empty.
    void TextField(const WCHAR* section, const WCHAR* key, const WCHAR* def, WCHAR (&field)[MAX_PATH]) const
    {
        WCHAR value[MAX_PATH] = {0};
        if (Text(section, key, def, value) > 0)
            lstrcpynW(field, value, MAX_PATH);
    }

    int Flag(const WCHAR* section, const WCHAR* key) const
    {
        return file && GetPrivateProfileIntW(section, key, 0, file) != 0 ? 1 : 0;
    }
};

}  // namespace

void ReadSetupConfig(const WCHAR* szSourceDir, SetupConfig* config, int bAlternateSection)
{
    WCHAR profile[MAX_PATH];
    ProfileReader ini = {Concat(profile, {szSourceDir, L"setup.ini"}) ? profile : NULL};

    ZeroMemory(config, sizeof *config);
    const WCHAR* section = bAlternateSection ? kSectionAlternate : kSectionNormal;

    WCHAR folderName[MAX_PATH] = {0};
    if (ini.Text(section, L"APPFolderName", L"Corvisk", folderName) > 0) {
        lstrcpynW(config->szAPPFolderName, folderName, MAX_PATH);
        // The install folder is built only from a plain folder name: the uninstall's
        // cleanup removes the whole folder, so "..", a path or a drive must not
        // reach it.
        if (IsPlainFolderName(folderName)) {
            WCHAR windowsDir[MAX_PATH] = {0};
            WCHAR root[MAX_PATH] = {0};
            GetWindowsDirectoryW(windowsDir, MAX_PATH);
            GetFolderOfPath(windowsDir, root);
            const WCHAR* programFiles = GetProgramFilesName(g_bGermanUi, g_bSpanishSystem, g_bWow64, g_bNt6);
            // Too long for MAX_PATH: no install folder rather than a cut one.
            if (!root[0] || !Concat(config->szInstallDir, {root, programFiles, L"\\", folderName}))
                config->szInstallDir[0] = 0;
        }
    }

    ini.TextField(section, L"APPFileName", L"CorviskSetup.exe", config->szAPPFileName);
    ini.TextField(section, L"AppName", L"Corvisk", config->szAppName);
    ini.TextField(kSectionStartup, L"CompanyName", L"QUELLMARK CO., LTD", config->szCompanyName);
    ini.TextField(kSectionStartup, L"Version", L"1.00.00", config->szVersion);

    config->bLaunchAPInSilentMode = ini.Flag(section, L"LaunchAPInSilentMode");
    config->bDeleteAPFolder = ini.Flag(section, L"DeleteAPFolder");
}
