// The timed runs of one host, run inside that host's prefix. Each command makes one
// warm-up run that is not printed (none when the environment variable BENCH_WARMUP is
// 0), then <runs> timed runs, and prints one line per
// value: "<figure> <value>" (milliseconds, or KiB for memory). Problems go to stderr
// as "<figure> incomplete ..." and count in the report.
//
//   bench_run floor  <runs> <trivial exe> [figure]
//       process start to exit of a program that returns at once (figure "floor")
//   bench_run ours   <runs> <medium folder> <uninstall-alone exe>
//       ours_startup: `setup.exe s` start to exit while another instance holds the
//       single-instance mutex (start-up only); ours_install_procedure: InstallPackage
//       called in this process; ours_install: `setup.exe s` start to exit; ours_uninstall: the uninstall
//       procedure alone (placed as {install}\Uninstall\setup.exe) start until
//       everything of the install is gone (see Removed)
//   bench_run peer   <runs> <peer installer> <medium folder>
//       peer_install: `/S` start to exit; peer_uninstall_inplace: `/S _?=` start to
//       exit; peer_uninstall: plain `/S` start until the install folder is gone
//   bench_run window <runs> <figure> <command line>
//       start until the process shows a visible top-level window of at least
//       100x100 pixels; the process is then ended
//       (and <figure>_ws: its peak working set then, KiB)
//   bench_run peergui <runs> <peer installer> <medium folder>
//       peer_gui_install: Install click until every item is in place;
//       peer_peak_ws: the peer installer's peak working set then (KiB)
//   bench_run wizard <runs> <medium folder>
//       ours_wizard_window: start until the install wizard is laid out;
//       ours_wizard_install: Install click until Finish shows;
//       ours_peak_ws: peak working set of setup.exe during that install (KiB);
//       ours_sampled_ws: the largest working set seen by sampling every ~2 ms (KiB);
//       ours_uninstall_wizard: Remove click in `setup.exe delpkg` until the install
//       folder is gone, Finish clicked as soon as it shows
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/HostEnv.h"
#include "engine/Install.h"
#include "engine/SetupConfig.h"

namespace {

// The first run index: -1 for one warm-up run, 0 for none.
int g_first = -1;

const DWORD kGoneTimeoutMs = 20000;
const DWORD kExitTimeoutMs = 30000;

double NowMs()
{
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Quote(const std::wstring& s)
{
    return L"\"" + s + L"\"";
}

std::wstring FolderOf(const std::wstring& path)
{
    size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

struct Proc {
    HANDLE process = NULL;
    DWORD pid = 0;
};

bool Start(const std::wstring& cmd, const std::wstring& dir, Proc* p)
{
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(0);
    if (!CreateProcessW(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, dir.empty() ? NULL : dir.c_str(), &si,
                        &pi)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", cmd.c_str(), GetLastError());
        return false;
    }
    CloseHandle(pi.hThread);
    p->process = pi.hProcess;
    p->pid = pi.dwProcessId;
    return true;
}

// Waits for the process to end (kills it after the timeout) and closes it; the exit
// code, or -1 when it had to be killed.
long Finish(Proc* p, DWORD timeoutMs = kExitTimeoutMs)
{
    long code = -1;
    if (WaitForSingleObject(p->process, timeoutMs) == WAIT_OBJECT_0) {
        DWORD c = 0;
        GetExitCodeProcess(p->process, &c);
        code = static_cast<long>(c);
    } else {
        TerminateProcess(p->process, 1);
        WaitForSingleObject(p->process, 5000);
    }
    CloseHandle(p->process);
    p->process = NULL;
    return code;
}

void Kill(Proc* p)
{
    if (!p->process)
        return;
    TerminateProcess(p->process, 1);
    WaitForSingleObject(p->process, 5000);
    CloseHandle(p->process);
    p->process = NULL;
}

void Print(const char* figure, double value)
{
    std::printf("%s %.3f\n", figure, value);
    std::fflush(stdout);
}

void Incomplete(const char* figure, const wchar_t* what)
{
    std::fprintf(stderr, "%s incomplete %ls\n", figure, what);
}

// What an install puts on the machine, for both installers.
struct Target {
    std::wstring install;         // no trailing backslash
    std::wstring appFile;         // {install}\{APPFileName}
    std::wstring desktopLink;
    std::wstring programsFolder;
    std::wstring uninstallKey;    // below HKLM, 32-bit view
    std::wstring runKey;
    std::wstring appName;
};

Target ReadTarget(const std::wstring& medium)
{
    g_bWow64 = IsWow64();
    g_bNt6 = IsNt6();
    SetupConfig config;
    ReadSetupConfig(medium.c_str(), &config, 0);
    Target t;
    t.install = config.szInstallDir;
    t.appFile = t.install + L"\\" + config.szAPPFileName;
    t.appName = config.szAppName;
    WCHAR desktop[MAX_PATH] = {0}, programs[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(NULL, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    SHGetSpecialFolderPathW(NULL, programs, CSIDL_COMMON_PROGRAMS, FALSE);
    t.desktopLink = std::wstring(desktop) + L"\\" + t.appName + L".lnk";
    t.programsFolder = std::wstring(programs) + L"\\" + t.appName;
    t.uninstallKey = std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + config.szAPPFolderName;
    t.runKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    return t;
}

bool KeyExists(const std::wstring& key)
{
    HKEY h = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

bool Installed(const Target& t)
{
    return Exists(t.appFile) && Exists(t.desktopLink) && Exists(t.programsFolder + L"\\" + t.appName + L".lnk") &&
           Exists(t.programsFolder + L"\\Uninstall.lnk") && KeyExists(t.uninstallKey);
}

bool FolderCleared(const std::wstring& dir)
{
    if (!Exists(dir))
        return true;
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE)
        return true;
    bool empty = true;
    do {
        if (wcscmp(fd.cFileName, L".") != 0 && wcscmp(fd.cFileName, L"..") != 0)
            empty = false;
    } while (empty && FindNextFileW(f, &fd));
    FindClose(f);
    return empty;
}

// Everything of the install gone. Wine's command interpreter holds the batch file
// open until the batch ends, so the cleanup batch cannot remove the (by then empty)
// install folder there: an empty install folder counts as gone.
bool Removed(const Target& t)
{
    return FolderCleared(t.install) && !Exists(t.desktopLink) && !Exists(t.programsFolder) &&
           !KeyExists(t.uninstallKey);
}

// Polls until everything of the install is gone.
bool WaitRemoved(const Target& t, DWORD timeoutMs = kGoneTimeoutMs)
{
    DWORD start = GetTickCount();
    while (!Removed(t)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(1);
    }
    return true;
}

void DeleteTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(f, &fd));
        FindClose(f);
    }
    RemoveDirectoryW(dir.c_str());
}

// Stops and removes the package's service, which runs from the install folder.
void RemoveService()
{
    SC_HANDLE scm = OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (!scm)
        return;
    SC_HANDLE svc = OpenServiceW(scm, L"CorviskService", SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (svc) {
        SERVICE_STATUS st = {};
        if (ControlService(svc, SERVICE_CONTROL_STOP, &st)) {
            DWORD start = GetTickCount();
            while (QueryServiceStatus(svc, &st) && st.dwCurrentState != SERVICE_STOPPED &&
                   GetTickCount() - start < 5000)
                Sleep(5);
        }
        DeleteService(svc);
        CloseServiceHandle(svc);
    }
    CloseServiceHandle(scm);
}

// Removes whatever a failed run left, so that the next run starts clean.
void Scrub(const Target& t)
{
    RemoveService();
    DeleteTree(t.install);
    DeleteTree(t.programsFolder);
    DeleteFileW(t.desktopLink.c_str());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, t.uninstallKey.c_str(), KEY_WOW64_32KEY, 0);
    HKEY h = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, t.runKey.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &h) == ERROR_SUCCESS) {
        RegDeleteValueW(h, t.appName.c_str());
        RegCloseKey(h);
    }
}

// On Vista and later the install starts the service helper without waiting for it;
// the next step (an uninstall stops the service) waits until the service runs.
void SettleService()
{
    if (!g_bNt6)
        return;
    SC_HANDLE scm = OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (!scm)
        return;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        SC_HANDLE svc = OpenServiceW(scm, L"CorviskService", SERVICE_QUERY_STATUS);
        if (svc) {
            SERVICE_STATUS st = {};
            bool running = QueryServiceStatus(svc, &st) && st.dwCurrentState == SERVICE_RUNNING;
            CloseServiceHandle(svc);
            if (running)
                break;
        }
        Sleep(5);
    }
    CloseServiceHandle(scm);
}

// Start to exit of one command; -1 when it did not end or ended with a non-zero code.
double TimeToExit(const std::wstring& cmd, const std::wstring& dir, long* code)
{
    Proc p;
    double t0 = NowMs();
    if (!Start(cmd, dir, &p))
        return -1;
    *code = Finish(&p);
    return NowMs() - t0;
}

int CmdFloor(int runs, const std::wstring& exe, const char* figure)
{
    for (int i = g_first; i < runs; ++i) {
        long code = 0;
        double ms = TimeToExit(Quote(exe), L"", &code);
        if (i >= 0 && ms >= 0)
            Print(figure, ms);
    }
    return 0;
}

int CmdOurs(int runs, const std::wstring& medium, const std::wstring& alone)
{
    Target t = ReadTarget(medium);
    Scrub(t);
    // With the single-instance mutex held here, setup.exe ends right after taking its
    // image and run time up: its own start-up floor.
    HANDLE mutex = CreateMutexW(NULL, FALSE, L"Corvisk");
    for (int i = g_first; i < runs; ++i) {
        long code = 0;
        double ms = TimeToExit(Quote(medium + L"setup.exe") + L" s", medium, &code);
        if (code != 2)
            Incomplete("ours_startup", L"(setup.exe did not see the other instance)");
        else if (i >= 0)
            Print("ours_startup", ms);
    }
    CloseHandle(mutex);
    // The install procedure alone, in this process.
    SetupConfig config;
    ReadSetupConfig(medium.c_str(), &config, 0);
    for (int i = g_first; i < runs; ++i) {
        double t0 = NowMs();
        BOOL ok = InstallPackage(medium.c_str(), &config);
        double t1 = NowMs();
        if (ok && Installed(t)) {
            if (i >= 0)
                Print("ours_install_procedure", t1 - t0);
        } else {
            Incomplete("ours_install_procedure", L"(result or installed items)");
        }
        SettleService();
        Scrub(t);
    }
    for (int i = g_first; i < runs; ++i) {
        long code = 0;
        double ms = TimeToExit(Quote(medium + L"setup.exe") + L" s", medium, &code);
        bool ok = code == 0 && Installed(t);
        if (i >= 0 && ok)
            Print("ours_install", ms);
        if (!ok) {
            Incomplete("ours_install", L"(exit code or installed items)");
            Scrub(t);
            continue;
        }
        SettleService();
        std::wstring uninst = t.install + L"\\Uninstall\\";
        if (!CopyFileW(alone.c_str(), (uninst + L"setup.exe").c_str(), FALSE)) {
            Incomplete("ours_uninstall", L"(cannot place the procedure runner)");
            Scrub(t);
            continue;
        }
        Proc p;
        double t0 = NowMs();
        if (!Start(Quote(uninst + L"setup.exe"), uninst, &p))
            return 1;
        bool gone = WaitRemoved(t);
        double t1 = NowMs();
        Finish(&p);
        if (gone) {
            if (i >= 0)
                Print("ours_uninstall", t1 - t0);
        } else {
            Incomplete("ours_uninstall", L"(install folder or items left)");
            Scrub(t);
        }
    }
    return 0;
}

int CmdPeer(int runs, const std::wstring& installer, const std::wstring& medium)
{
    Target t = ReadTarget(medium);
    Scrub(t);
    std::wstring dir = FolderOf(installer);
    for (int i = 2 * g_first; i < 2 * runs; ++i) {
        long code = 0;
        double ms = TimeToExit(Quote(installer) + L" /S", dir, &code);
        bool ok = code == 0 && Installed(t);
        if (i >= 0 && ok)
            Print("peer_install", ms);
        if (!ok) {
            Incomplete("peer_install", L"(exit code or installed items)");
            Scrub(t);
            continue;
        }
        SettleService();
        std::wstring uninst = t.install + L"\\Uninstall\\uninst.exe";
        if (i % 2 == 0) {
            // In place: the uninstaller itself and its folder stay behind.
            double u = TimeToExit(Quote(uninst) + L" /S _?=" + t.install + L"\\Uninstall", L"C:\\", &code);
            bool left = !Exists(t.appFile) && !Exists(t.desktopLink) && !Exists(t.programsFolder) &&
                        !KeyExists(t.uninstallKey);
            if (i >= 0 && code == 0 && left)
                Print("peer_uninstall_inplace", u);
            else if (!(code == 0 && left))
                Incomplete("peer_uninstall_inplace", L"(exit code or items left)");
            Scrub(t);
        } else {
            Proc p;
            double t0 = NowMs();
            if (!Start(Quote(uninst) + L" /S", L"C:\\", &p))
                return 1;
            bool gone = WaitRemoved(t);
            double t1 = NowMs();
            Finish(&p);
            if (gone) {
                if (i >= 0)
                    Print("peer_uninstall", t1 - t0);
            } else {
                Incomplete("peer_uninstall", L"(install folder or items left)");
                Scrub(t);
            }
        }
    }
    return 0;
}

struct FindData {
    DWORD pid;
    bool wizard;  // the wizard dialog: holds the start button, Finish hidden
    HWND found;
};

BOOL CALLBACK FindVisible(HWND h, LPARAM lp)
{
    FindData* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != d->pid || !IsWindowVisible(h))
        return TRUE;
    if (d->wizard) {
        HWND start = GetDlgItem(h, 1000);
        HWND finish = GetDlgItem(h, IDOK);
        if (!start || !finish || IsWindowVisible(finish))
            return TRUE;
    } else {
        RECT rc;
        GetWindowRect(h, &rc);
        if (rc.right - rc.left < 100 || rc.bottom - rc.top < 100)
            return TRUE;
    }
    d->found = h;
    return FALSE;
}

HWND WaitWindow(DWORD pid, bool wizard, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindData d = {pid, wizard, NULL};
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&d));
        if (d.found)
            return d.found;
        if (GetTickCount() - start > timeoutMs)
            return NULL;
        Sleep(1);
    }
}

int CmdWindow(int runs, const char* figure, const std::wstring& cmd)
{
    for (int i = g_first; i < runs; ++i) {
        Proc p;
        double t0 = NowMs();
        if (!Start(cmd, L"", &p))
            return 1;
        HWND w = WaitWindow(p.pid, false, 20000);
        double t1 = NowMs();
        PROCESS_MEMORY_COUNTERS pmc = {};
        pmc.cb = sizeof pmc;
        bool mem = GetProcessMemoryInfo(p.process, &pmc, sizeof pmc) != 0;
        Kill(&p);
        if (!w) {
            Incomplete(figure, L"(no window)");
        } else if (i >= 0) {
            Print(figure, t1 - t0);
            if (mem)
                Print((std::string(figure) + "_ws").c_str(), static_cast<double>(pmc.PeakWorkingSetSize) / 1024.0);
        }
        Sleep(50);  // lets the killed process's windows go away before the next start
    }
    return 0;
}

bool WaitVisible(HWND dialog, int id, DWORD timeoutMs, HANDLE process, SIZE_T* maxWs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (maxWs) {
            PROCESS_MEMORY_COUNTERS pmc = {};
            pmc.cb = sizeof pmc;
            if (GetProcessMemoryInfo(process, &pmc, sizeof pmc) && pmc.WorkingSetSize > *maxWs)
                *maxWs = pmc.WorkingSetSize;
        }
        HWND c = GetDlgItem(dialog, id);
        if (c && IsWindowVisible(c))
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(2);
    }
}

int CmdWizard(int runs, const std::wstring& medium)
{
    Target t = ReadTarget(medium);
    Scrub(t);
    for (int i = g_first; i < runs; ++i) {
        // Install through the wizard.
        Proc p;
        double t0 = NowMs();
        if (!Start(Quote(medium + L"setup.exe"), medium, &p))
            return 1;
        HWND d = WaitWindow(p.pid, true, 20000);
        double t1 = NowMs();
        if (!d) {
            Incomplete("ours_wizard_window", L"(no wizard)");
            Kill(&p);
            Scrub(t);
            continue;
        }
        SIZE_T sampled = 0;
        double t2 = NowMs();
        PostMessageW(d, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, 1000)));
        bool done = WaitVisible(d, IDOK, 30000, p.process, &sampled);
        double t3 = NowMs();
        PROCESS_MEMORY_COUNTERS pmc = {};
        pmc.cb = sizeof pmc;
        bool mem = GetProcessMemoryInfo(p.process, &pmc, sizeof pmc) != 0;
        // Ended here rather than through Finish, which would start the payload.
        Kill(&p);
        if (!done || !Installed(t)) {
            Incomplete("ours_wizard_install", L"(no Finish or items missing)");
            Scrub(t);
            continue;
        }
        if (i >= 0) {
            Print("ours_wizard_window", t1 - t0);
            Print("ours_wizard_install", t3 - t2);
            if (mem) {
                Print("ours_peak_ws", static_cast<double>(pmc.PeakWorkingSetSize) / 1024.0);
                Print("ours_sampled_ws", static_cast<double>(sampled) / 1024.0);
            }
        }
        SettleService();

        // Uninstall through the installed copy's wizard.
        std::wstring uninst = t.install + L"\\Uninstall\\";
        Proc u;
        if (!Start(Quote(uninst + L"setup.exe") + L" delpkg", uninst, &u))
            return 1;
        HWND ud = WaitWindow(u.pid, true, 20000);
        if (!ud) {
            Incomplete("ours_uninstall_wizard", L"(no uninstall wizard)");
            Kill(&u);
            Scrub(t);
            continue;
        }
        double u0 = NowMs();
        PostMessageW(ud, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(ud, 1000)));
        bool ended = WaitVisible(ud, IDOK, 30000, u.process, NULL);
        if (ended)
            PostMessageW(ud, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(ud, IDOK)));
        bool gone = ended && WaitRemoved(t);
        double u1 = NowMs();
        Finish(&u, 5000);
        if (gone) {
            if (i >= 0)
                Print("ours_uninstall_wizard", u1 - u0);
        } else {
            Incomplete("ours_uninstall_wizard", L"(no Finish, or install folder or items left)");
            Scrub(t);
        }
    }
    return 0;
}

// The peer installer in GUI mode: Install on its folder page, then its install until
// every item is in place; its peak working set then.
int CmdPeerGui(int runs, const std::wstring& installer, const std::wstring& medium)
{
    Target t = ReadTarget(medium);
    Scrub(t);
    for (int i = g_first; i < runs; ++i) {
        Proc p;
        if (!Start(Quote(installer), FolderOf(installer), &p))
            return 1;
        HWND w = WaitWindow(p.pid, false, 20000);
        if (!w) {
            Incomplete("peer_peak_ws", L"(no window)");
            Kill(&p);
            continue;
        }
        double t0 = NowMs();
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(w, IDOK)));
        DWORD start = GetTickCount();
        while (!Installed(t) && GetTickCount() - start < 30000)
            Sleep(2);
        double t1 = NowMs();
        Sleep(20);  // the last steps after the links
        PROCESS_MEMORY_COUNTERS pmc = {};
        pmc.cb = sizeof pmc;
        bool mem = GetProcessMemoryInfo(p.process, &pmc, sizeof pmc) != 0;
        Kill(&p);
        if (!Installed(t)) {
            Incomplete("peer_peak_ws", L"(items missing)");
        } else if (i >= 0) {
            Print("peer_gui_install", t1 - t0);
            if (mem)
                Print("peer_peak_ws", static_cast<double>(pmc.PeakWorkingSetSize) / 1024.0);
        }
        SettleService();
        long code = 0;
        TimeToExit(Quote(t.install + L"\\Uninstall\\uninst.exe") + L" /S _?=" + t.install + L"\\Uninstall", L"C:\\",
                   &code);
        Scrub(t);
    }
    return 0;
}

std::wstring WithSlash(std::wstring dir)
{
    if (!dir.empty() && dir.back() != L'\\')
        dir += L'\\';
    return dir;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_run floor|ours|peer|window|wizard <runs> ...\n");
        return 2;
    }
    std::wstring cmd = argv[1];
    int runs = _wtoi(argv[2]);
    wchar_t warm[8] = {0};
    if (GetEnvironmentVariableW(L"BENCH_WARMUP", warm, 8) && warm[0] == L'0')
        g_first = 0;
    if (cmd == L"floor") {
        char figure[64] = "floor";
        if (argc >= 5)
            WideCharToMultiByte(CP_UTF8, 0, argv[4], -1, figure, sizeof figure - 1, NULL, NULL);
        return CmdFloor(runs, argv[3], figure);
    }
    if (cmd == L"ours" && argc >= 5)
        return CmdOurs(runs, WithSlash(argv[3]), argv[4]);
    if (cmd == L"peer" && argc >= 5)
        return CmdPeer(runs, argv[3], WithSlash(argv[4]));
    if (cmd == L"peergui" && argc >= 5)
        return CmdPeerGui(runs, argv[3], WithSlash(argv[4]));
    if (cmd == L"window" && argc >= 5) {
        char figure[64] = {0};
        WideCharToMultiByte(CP_UTF8, 0, argv[3], -1, figure, sizeof figure - 1, NULL, NULL);
        return CmdWindow(runs, figure, argv[4]);
    }
    if (cmd == L"wizard")
        return CmdWizard(runs, WithSlash(argv[3]));
    std::fprintf(stderr, "bench_run: bad arguments\n");
    return 2;
}
