#include "app/SetupApp.h"

#include "app/CommandLine.h"
#include "app/HostEnv.h"
#include "app/LangModule.h"
#include "app/WizardRun.h"
#include "engine/Install.h"
#include "engine/PathUtil.h"
#include "engine/Shell.h"

#include <cwchar>

CSetupApp theApp;

namespace {

const WCHAR kMutexName[] = L"Corvisk";
const WCHAR kAlternateImage[] = L"RiriDITitle.bmp";

// Lower-cases A-Z only, whatever the locale: the module name and the compatibility
// mark are built from this form of the path.
void LowerAscii(WCHAR* s)
{
    for (; *s; ++s)
        if (*s >= L'A' && *s <= L'Z')
            *s = static_cast<WCHAR>(*s - L'A' + L'a');
}

// The image whose presence selects the alternate section for this run mode; an empty
// path when the mode probes nothing.
void ComposeImageProbe(const WCHAR* szSourceDir, const CSetupCommandLineInfo& cmdInfo, WCHAR (&szProbe)[MAX_PATH])
{
    szProbe[0] = 0;
    if (cmdInfo.m_nParamCount < 1 || (!cmdInfo.m_bUninstall && cmdInfo.m_bSilent)) {
        Concat(szProbe, {szSourceDir, L"Application\\", kAlternateImage});
    } else if (cmdInfo.m_bUninstall) {
        // The installed uninstaller runs from {install}\Uninstall\ and finds the image
        // the install copied to {install}\. The search is case-sensitive on purpose:
        // a medium folder that merely contains "uninstall" probes nothing.
        const WCHAR* hit = wcsstr(szSourceDir, L"Uninstall");
        if (!hit)
            return;
        WCHAR szBase[MAX_PATH] = {0};
        wmemcpy(szBase, szSourceDir, static_cast<size_t>(hit - szSourceDir));
        Concat(szProbe, {szBase, kAlternateImage});
    }
}

}  // namespace

CSetupApp::CSetupApp() : CWinApp(NULL), m_hMutex(NULL) {}

BOOL CSetupApp::InitInstance()
{
    // 1-2. One instance at a time; the name is fixed, whatever the package.
    HANDLE hOther = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kMutexName);
    if (hOther) {
        CloseHandle(hOther);
        m_nExitCode = SETUP_EXIT_ALREADY_RUNNING;
        return FALSE;
    }
    m_hMutex = CreateMutexW(NULL, FALSE, kMutexName);
    // Two programs started at the same moment can both pass the test above; only the
    // one that really created the mutex goes on.
    if (m_hMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(m_hMutex);
        m_hMutex = NULL;
        m_nExitCode = SETUP_EXIT_ALREADY_RUNNING;
        return FALSE;
    }

    // 3-5. The program's path and folder; the folder keeps the system's letter case.
    WCHAR szModulePath[MAX_PATH] = {0};
    WCHAR szSourceDir[MAX_PATH] = {0};
    GetModuleFileNameW(m_hInstance, szModulePath, MAX_PATH);
    GetFolderOfPath(szModulePath, szSourceDir);
    LowerAscii(szModulePath);

    // 6. Command line.
    CSetupCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);

    // 7. Host flags, and on NT 6 the compatibility mark for this program.
    g_bWow64 = IsWow64();
    g_bNt6 = IsNt6();
    if (g_bNt6)
        MarkCompatibilityPersisted(szModulePath);

    // 8. Language module; settles the German and Spanish flags too.
    g_hLangModule = LoadLanguageModule(szModulePath);

    // 9. Run mode and the alternate section.
    int bUninstall = 0;
    int bSilent = 0;
    if (cmdInfo.m_nParamCount >= 1) {
        if (cmdInfo.m_bUninstall)
            bUninstall = 1;
        else if (cmdInfo.m_bSilent)
            bSilent = 1;
    }
    WCHAR szProbe[MAX_PATH];
    ComposeImageProbe(szSourceDir, cmdInfo, szProbe);
    if (szProbe[0] && PathExists(szProbe))
        g_bAlternateSection = 1;

    if (bSilent) {
        // 10. No window at all; the language module is not needed.
        m_nExitCode = SilentInstall(szSourceDir, g_bAlternateSection) ? SETUP_EXIT_OK : SETUP_EXIT_INSTALL_FAILED;
    } else {
        // 11. Install or uninstall wizard.
        RunWizard(szSourceDir, bUninstall);
    }
    // 12. The command-line object ends with this scope.
    return FALSE;
}

int CSetupApp::ExitInstance()
{
    if (m_hMutex) {
        CloseHandle(m_hMutex);
        m_hMutex = NULL;
    }
    if (g_hLangModule) {
        FreeLibrary(g_hLangModule);
        g_hLangModule = NULL;
    }
    return CWinApp::ExitInstance();
}

BOOL SilentInstall(const WCHAR* szSourceDir, int bAlternateSection)
{
    SetupConfig config;
    ReadSetupConfig(szSourceDir, &config, bAlternateSection);
    BOOL bInstalled = InstallPackage(szSourceDir, &config);
    if (config.bLaunchAPInSilentMode)
        LaunchPayload(szSourceDir, &config, bAlternateSection);
    return bInstalled;
}

void LaunchPayload(const WCHAR* szSourceDir, const SetupConfig* config, int bAlternateSection)
{
    SetupConfig own;
    if (config)
        own = *config;
    else
        ReadSetupConfig(szSourceDir, &own, bAlternateSection);
    if (!own.szInstallDir[0] || !own.szAPPFileName[0])
        return;
    // Quoted: the install folder lies under "Program Files", and an unquoted path with
    // blanks lets CreateProcess try "C:\Program.exe" first.
    WCHAR szCommandLine[MAX_PATH + 2];
    if (!Concat(szCommandLine, {L"\"", own.szInstallDir, L"\\", own.szAPPFileName, L"\""}))
        return;
    HANDLE hProcess = RunProgram(szCommandLine, 1);
    // The payload runs on its own; nothing waits for it.
    if (hProcess)
        CloseHandle(hProcess);
}
