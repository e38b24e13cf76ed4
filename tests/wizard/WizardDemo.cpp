// Walks the wizard of a medium through install, uninstall and a failed install, and
// stops at every page so that a script outside can take a screenshot.
//
//   wizard_demo.exe <medium folder\> <handshake folder\>
//
// At each page it writes <handshake>\<nn>-<page>.ready holding the window's screen
// rectangle ("x y width height") and waits for <handshake>\<nn>-<page>.done.
#include <windows.h>

#include <cstdio>
#include <string>

#include "WizardDriver.h"
#include "tests/support/TestSupport.h"

namespace {

std::wstring g_handshake;
int g_shot = 0;

void Page(HWND window, const wchar_t* name, DWORD settleMs = 300)
{
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(settleMs);  // let the wizard's own paint settle
    RECT rc;
    GetWindowRect(window, &rc);
    wchar_t base[MAX_PATH];
    swprintf(base, MAX_PATH, L"%ls%02d-%ls", g_handshake.c_str(), ++g_shot, name);
    char text[64];
    snprintf(text, sizeof text, "%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    std::wstring done = std::wstring(base) + L".done";
    ts::WriteBytes(std::wstring(base) + L".ready", text);
    wz::WaitUntil([&] { return ts::Exists(done); }, 20000, 20);
    wprintf(L"page %ls\n", base);
    fflush(stdout);
}

bool RunThrough(const std::wstring& dir, const wchar_t* args, const wchar_t* mode, bool failing)
{
    // A "running" payload that the install or uninstall closes first, with a pause
    // after it: long enough for a picture of the running page.
    wchar_t appName[MAX_PATH] = {0};
    GetPrivateProfileStringW(L"Customized_Setting", L"AppName", L"Corvisk", appName, MAX_PATH,
                             (dir + L"setup.ini").c_str());
    wz::StandInPayload payload(appName);
    wz::Wizard w;
    if (!wz::StartWizard(dir, args, &w)) {
        wprintf(L"no wizard from %ls\n", dir.c_str());
        wz::Stop(&w);
        return false;
    }
    HWND d = w.dialog;
    std::wstring m = mode;
    Page(d, (m + L"-ready").c_str());
    wz::Click(d, wz::kStart);
    bool running = false;
    wz::WaitUntil(
        [&] {
            running = wz::ReadControl(d, wz::kProgress).visible && wz::ProgressPos(d) >= 10;
            return running || wz::ReadControl(d, wz::kFinish).visible;
        },
        20000, 10);
    if (running && !wz::ReadControl(d, wz::kFinish).visible)
        Page(d, (m + L"-running").c_str(), 50);  // the running page lasts about a second
    // Failures the install reports on the way: the first one pictured, all dismissed.
    bool boxShot = false;
    wz::WaitUntil(
        [&] {
            HWND box = wz::FindBoxOf(w.pid, L"Fail");
            if (box) {
                if (!boxShot)
                    Page(box, (m + L"-fail-box").c_str());
                boxShot = true;
                SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            }
            return wz::ReadControl(d, wz::kFinish).visible;
        },
        60000, 50);
    Page(d, (m + L"-end").c_str());
    if (!failing && wcscmp(mode, L"install") == 0) {
        wz::Click(d, wz::kLaunch);  // untick: the demo does not start the payload
        Page(d, (m + L"-end-unticked").c_str());
    }
    wz::Click(d, wz::kFinish);
    bool ended = wz::WaitExit(&w);
    wz::Stop(&w);
    return ended;
}

bool ShowPlainWindow(const std::wstring& dir)
{
    std::wstring exe = dir + L"setup.exe";
    HANDLE upd = BeginUpdateResourceW(exe.c_str(), FALSE);
    char junk[4] = {'n', 'o', 'n', 'e'};
    if (!upd || !UpdateResourceW(upd, RT_BITMAP, MAKEINTRESOURCEW(130),
                                 MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), junk, sizeof junk) ||
        !EndUpdateResourceW(upd, FALSE))
        return false;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::wstring cmd = ts::Quote(exe);
    if (!CreateProcessW(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, dir.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    wz::Wizard w;
    w.process = pi.hProcess;
    w.pid = pi.dwProcessId;
    HWND box = NULL;
    if (wz::WaitUntil([&] { return (box = wz::FindBoxOf(w.pid, L"setup")) != NULL; }, 20000)) {
        Page(box, L"no-background-message");
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    }
    bool ok = wz::WaitUntil(
        [&] {
            w.dialog = wz::FindWizardOf(w.pid);
            return w.dialog && !wz::ReadControl(w.dialog, wz::kFinish).visible;
        },
        20000);
    if (ok) {
        Page(w.dialog, L"no-background-ready");
        wz::Click(w.dialog, wz::kCancel);
    }
    ok = wz::WaitExit(&w) && ok;
    wz::Stop(&w);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        wprintf(L"usage: wizard_demo <medium folder\\> <handshake folder\\>\n");
        return 2;
    }
    std::wstring medium = argv[1];
    g_handshake = argv[2];
    SetCursorPos(0, 0);

    wchar_t folder[MAX_PATH] = {0};
    GetPrivateProfileStringW(L"Customized_Setting", L"APPFolderName", L"", folder, MAX_PATH,
                             (medium + L"setup.ini").c_str());
    wchar_t programFiles[MAX_PATH] = {0};
    GetEnvironmentVariableW(L"ProgramFiles", programFiles, MAX_PATH);
    std::wstring installDir = std::wstring(programFiles) + L"\\" + folder + L"\\";

    int rc = 0;
    if (!RunThrough(medium, L"", L"install", false))
        rc = 1;
    if (!RunThrough(installDir + L"Uninstall\\", L"delpkg", L"uninstall", false))
        rc = 1;
    Sleep(3000);  // the clean-up batch removes the install folder

    // A copy of the medium without its payload: the install fails.
    std::wstring broken = ts::MakeTempDir(L"demo-broken") + L"\\";
    ts::CopyTree(medium, broken);
    wchar_t app[MAX_PATH] = {0};
    GetPrivateProfileStringW(L"Customized_Setting", L"APPFileName", L"", app, MAX_PATH,
                             (broken + L"setup.ini").c_str());
    DeleteFileW((broken + L"Application\\" + app).c_str());
    if (!RunThrough(broken, L"", L"failed-install", true))
        rc = 1;

    // A copy whose background bitmap cannot be loaded: the message, then the plain window.
    std::wstring plain = ts::MakeTempDir(L"demo-plain") + L"\\";
    ts::CopyTree(medium, plain);
    if (!ShowPlainWindow(plain))
        rc = 1;
    wprintf(L"demo finished (%d)\n", rc);
    return rc;
}
