#include "App.h"

#include <cstdlib>

namespace {
CWinApp* g_pApp = NULL;
}

CCommandLineInfo::CCommandLineInfo() : m_bShowSplash(TRUE), m_bRunEmbedded(FALSE), m_bRunAutomated(FALSE) {}
CCommandLineInfo::~CCommandLineInfo() {}
void CCommandLineInfo::ParseParam(const char*, BOOL, BOOL) {}
void CCommandLineInfo::ParseParam(const WCHAR*, BOOL, BOOL) {}

CWinApp::CWinApp(const WCHAR* pszAppName)
    : m_pszAppName(pszAppName), m_hInstance(NULL), m_pMainWnd(NULL), m_nExitCode(0)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = NULL;
}

BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return m_nExitCode; }

void CWinApp::ParseArguments(CCommandLineInfo& rCmdInfo, int argc, WCHAR** argv)
{
    for (int i = 1; i < argc; ++i) {
        const WCHAR* pszParam = argv[i] ? argv[i] : L"";
        BOOL bFlag = FALSE;
        if (pszParam[0] == L'-' || pszParam[0] == L'/') {
            bFlag = TRUE;
            ++pszParam;
        }
        rCmdInfo.ParseParam(pszParam, bFlag, i == argc - 1);
    }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    ParseArguments(rCmdInfo, __argc, __wargv);
}

CWinApp* AfxGetApp() { return g_pApp; }

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : GetModuleHandleW(NULL);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

int AfxMessageBox(const WCHAR* text, UINT type)
{
    // Captioned with the program's file name without its extension, as the program
    // has no name of its own; owned by the main window when there is one.
    WCHAR caption[MAX_PATH] = {0};
    GetModuleFileNameW(NULL, caption, MAX_PATH);
    WCHAR* name = caption;
    for (WCHAR* p = caption; *p; ++p)
        if (*p == L'\\')
            name = p + 1;
    for (WCHAR* p = name + lstrlenW(name); p > name; --p)
        if (*p == L'.') {
            *p = 0;
            break;
        }
    HWND owner = GetActiveWindow();
    return MessageBoxW(owner, text, name, type);
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance;
    if (!app->InitInstance())
        return app->ExitInstance();
    // This program always ends in InitInstance; a framework user that returned TRUE
    // would get its message loop here.
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return app->ExitInstance();
}
