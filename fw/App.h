// The application object and its start-up routine, and command-line parsing.
#pragma once
#include <windows.h>

class CWnd;

// Receives the program's arguments one by one from CWinApp::ParseCommandLine.
class CCommandLineInfo {
public:
    CCommandLineInfo();
    virtual ~CCommandLineInfo();
    // pszParam: the argument with one leading "-" or "/" removed; bFlag: such a
    // prefix was removed; bLast: the final argument.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);
    virtual void ParseParam(const WCHAR* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash;
    BOOL m_bRunEmbedded;
    BOOL m_bRunAutomated;
};

class CWinApp {
public:
    explicit CWinApp(const WCHAR* pszAppName = NULL);
    virtual ~CWinApp();

    // Start-up: return FALSE to end the program without a message loop.
    virtual BOOL InitInstance();
    // Called when InitInstance returned FALSE; the result is the process exit code.
    virtual int ExitInstance();

    // Walks the arguments that the C run time split from the command line (program
    // name excluded) and hands each to rCmdInfo.ParseParam.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // The same walk over a given argument vector (argv[0] is the program name).
    static void ParseArguments(CCommandLineInfo& rCmdInfo, int argc, WCHAR** argv);

    void OnHelp() {}

    const WCHAR* m_pszAppName;
    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd;
    int m_nExitCode;  // what CWinApp::ExitInstance returns
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
int AfxMessageBox(const WCHAR* text, UINT type = MB_OK);

// The framework's start-up routine: InitInstance, then ExitInstance when it returns
// FALSE; the message loop is never run by this program.
int AfxWinMain(HINSTANCE hInstance);
