/* The package's service helper.
     XSrvSetup.exe -i        registers the service (this program in service mode) and starts it
     XSrvSetup.exe -k        stops the service and waits for its process to end
     XSrvSetup.exe -u        removes the service
     XSrvSetup.exe service   the service itself (started by the service manager)
   Every start appends "<ms> <argument> <own path>" (ms: the process's creation time in
   milliseconds since 1601) to the log named by XSRV_LOG, or to
   C:\XSrvSetup.log, so that the order of the calls and the pauses between them can be
   read afterwards. The service mode gets the log path as its second argument. */
#include <windows.h>
#include <shellapi.h>

#include "HelperService.h"

static WCHAR g_szSelf[MAX_PATH];
static WCHAR g_szLog[MAX_PATH];
static SERVICE_STATUS_HANDLE g_hStatus;
static HANDLE g_hStop;

static void AppendLog(const WCHAR* argument)
{
    FILETIME ft, exited, kernel, user;
    ULARGE_INTEGER t;
    char line[3 * MAX_PATH + 64], arg[MAX_PATH], self[2 * MAX_PATH];
    unsigned long long ms;
    int len, i;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD written = 0;

    /* The moment the process was created, i.e. when its caller started it; the time of
       this call would add the start-up of the process. */
    if (!GetProcessTimes(GetCurrentProcess(), &ft, &exited, &kernel, &user) ||
        (!ft.dwLowDateTime && !ft.dwHighDateTime))
        GetSystemTimeAsFileTime(&ft);
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    ms = t.QuadPart / 10000;
    if (!WideCharToMultiByte(CP_UTF8, 0, argument, -1, arg, sizeof arg, NULL, NULL))
        lstrcpyA(arg, "?");
    if (!WideCharToMultiByte(CP_UTF8, 0, g_szSelf, -1, self, sizeof self, NULL, NULL))
        lstrcpyA(self, "?");
    len = wsprintfA(line, "%I64u %s %s\r\n", ms, arg[0] ? arg : "-", self);
    /* Several helpers may write at once: retry while another one holds the file. */
    for (i = 0; i < 100 && file == INVALID_HANDLE_VALUE; ++i) {
        file = CreateFileW(g_szLog, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION)
            return;
        if (file == INVALID_HANDLE_VALUE)
            Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE)
        return;
    WriteFile(file, line, (DWORD)len, &written, NULL);
    CloseHandle(file);
}

static void ReportStatus(DWORD state)
{
    SERVICE_STATUS st;
    ZeroMemory(&st, sizeof st);
    st.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    st.dwCurrentState = state;
    st.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    SetServiceStatus(g_hStatus, &st);
}

static DWORD WINAPI ControlHandler(DWORD control, DWORD type, LPVOID data, LPVOID context)
{
    (void)type;
    (void)data;
    (void)context;
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        ReportStatus(SERVICE_STOP_PENDING);
        SetEvent(g_hStop);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    }
    return ERROR_CALL_NOT_IMPLEMENTED;
}

static void WINAPI ServiceMain(DWORD argc, LPWSTR* argv)
{
    (void)argc;
    (void)argv;
    g_hStatus = RegisterServiceCtrlHandlerExW(XSRV_SERVICE_NAME, ControlHandler, NULL);
    if (!g_hStatus)
        return;
    ReportStatus(SERVICE_RUNNING);
    WaitForSingleObject(g_hStop, INFINITE);
    ReportStatus(SERVICE_STOPPED);
}

static int RunService(void)
{
    SERVICE_TABLE_ENTRYW table[2];
    g_hStop = CreateEventW(NULL, TRUE, FALSE, NULL);
    table[0].lpServiceName = (LPWSTR)XSRV_SERVICE_NAME;
    table[0].lpServiceProc = ServiceMain;
    table[1].lpServiceName = NULL;
    table[1].lpServiceProc = NULL;
    return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}

/* "{self}" service ["{log}"] */
static int ComposeServiceCommand(WCHAR* buf, int cap, int withLog)
{
    int need = lstrlenW(g_szSelf) + lstrlenW(g_szLog) + 16;
    if (need >= cap)
        return 0;
    lstrcpyW(buf, L"\"");
    lstrcatW(buf, g_szSelf);
    lstrcatW(buf, L"\" service");
    if (withLog) {
        lstrcatW(buf, L" \"");
        lstrcatW(buf, g_szLog);
        lstrcatW(buf, L"\"");
    }
    return 1;
}

static int InstallService(int withLog)
{
    WCHAR command[2 * MAX_PATH + 32];
    SC_HANDLE scm, svc;
    int i, ok;

    if (!ComposeServiceCommand(command, sizeof command / sizeof command[0], withLog))
        return 2;
    scm = OpenSCManagerW(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (!scm)
        return 3;
    svc = NULL;
    /* A service that is being removed cannot be created again until it is gone. */
    for (i = 0; i < 50 && !svc; ++i) {
        svc = CreateServiceW(scm, XSRV_SERVICE_NAME, XSRV_SERVICE_DISPLAY_NAME, SERVICE_ALL_ACCESS,
                             SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, command, NULL,
                             NULL, NULL, NULL, NULL);
        if (!svc && GetLastError() == ERROR_SERVICE_EXISTS) {
            svc = OpenServiceW(scm, XSRV_SERVICE_NAME, SERVICE_ALL_ACCESS);
            if (svc)
                ChangeServiceConfigW(svc, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, command, NULL,
                                     NULL, NULL, NULL, NULL, NULL);
        }
        if (!svc && GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE)
            Sleep(100);
        else if (!svc)
            break;
    }
    if (!svc) {
        CloseServiceHandle(scm);
        return 4;
    }
    ok = StartServiceW(svc, 0, NULL) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
    CloseServiceHandle(svc);
    CloseServiceHandle(scm);
    return ok ? 0 : 5;
}

static int StopService(void)
{
    SC_HANDLE scm, svc;
    SERVICE_STATUS_PROCESS sp;
    SERVICE_STATUS st;
    DWORD got = 0;
    HANDLE process = NULL;
    int ok;

    scm = OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (!scm)
        return 3;
    svc = OpenServiceW(scm, XSRV_SERVICE_NAME, SERVICE_STOP | SERVICE_QUERY_STATUS);
    if (!svc) {
        CloseServiceHandle(scm);
        return 4;
    }
    if (QueryServiceStatusEx(svc, SC_STATUS_PROCESS_INFO, (BYTE*)&sp, sizeof sp, &got) && sp.dwProcessId)
        process = OpenProcess(SYNCHRONIZE, FALSE, sp.dwProcessId);
    ok = ControlService(svc, SERVICE_CONTROL_STOP, &st) || GetLastError() == ERROR_SERVICE_NOT_ACTIVE;
    /* The image stays in use until the process has ended; the caller replaces it next. */
    if (process) {
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    CloseServiceHandle(svc);
    CloseServiceHandle(scm);
    return ok ? 0 : 5;
}

static int RemoveService(void)
{
    SC_HANDLE scm, svc;
    int ok;

    scm = OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (!scm)
        return 3;
    svc = OpenServiceW(scm, XSRV_SERVICE_NAME, DELETE);
    if (!svc) {
        CloseServiceHandle(scm);
        return 4;
    }
    ok = DeleteService(svc) || GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE;
    CloseServiceHandle(svc);
    CloseServiceHandle(scm);
    return ok ? 0 : 5;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE prev, LPWSTR cmdLine, int show)
{
    int argc = 0, rc;
    LPWSTR* argv;
    const WCHAR* arg;
    DWORD n;
    (void)instance;
    (void)prev;
    (void)cmdLine;
    (void)show;

    if (!GetModuleFileNameW(NULL, g_szSelf, MAX_PATH))
        return 1;
    argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    arg = argv && argc > 1 ? argv[1] : L"";
    n = GetEnvironmentVariableW(XSRV_LOG_VARIABLE, g_szLog, MAX_PATH);
    if (lstrcmpiW(arg, L"service") == 0 && argc > 2 && lstrlenW(argv[2]) < MAX_PATH)
        lstrcpyW(g_szLog, argv[2]);
    else if (n == 0 || n >= MAX_PATH)
        lstrcpyW(g_szLog, XSRV_DEFAULT_LOG);
    AppendLog(arg);

    if (lstrcmpiW(arg, L"-i") == 0)
        rc = InstallService(n > 0 && n < MAX_PATH);
    else if (lstrcmpiW(arg, L"-k") == 0)
        rc = StopService();
    else if (lstrcmpiW(arg, L"-u") == 0)
        rc = RemoveService();
    else if (lstrcmpiW(arg, L"service") == 0)
        rc = RunService();
    else
        rc = ERROR_INVALID_PARAMETER;
    if (argv)
        LocalFree(argv);
    return rc;
}
