// The uninstall procedure on an installed package: what it removes and keeps, the
// service helper's stop sequence, the payload window, and refusal of unusable folders.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>

#include "Installed.h"
#include "app/HostEnv.h"
#include "engine/Uninstall.h"
#include "tests/support/Medium.h"
#include "tests/support/TestSupport.h"

namespace {

// Host flags as start-up sets them; the service helper logs into a file of this run.
class HostFlags : public ::testing::Environment {
public:
    void SetUp() override
    {
        ut::SetHostFlags();
        CreateDirectoryW(L"C:\\tests", NULL);
        SetEnvironmentVariableW(L"XSRV_LOG", ut::HelperLog().c_str());
    }
    void TearDown() override { DeleteFileW(ut::HelperLog().c_str()); }
};
::testing::Environment* const kHostFlags = ::testing::AddGlobalTestEnvironment(new HostFlags);

TEST(UninstallPackage, RunsOnTheHostItWasBuiltFor)
{
    bool w7 = ts::HostName() == L"w7x64";
    EXPECT_EQ(w7 ? 1 : 0, g_bNt6);
    EXPECT_EQ(w7 ? 1 : 0, g_bWow64);
}

void CheckFiles(const std::vector<std::pair<std::wstring, bool>>& rows)
{
    for (const auto& row : rows) {
        SCOPED_TRACE(row.first);
        EXPECT_EQ(row.second, ts::Exists(row.first));
    }
}

TEST(UninstallPackage, RemovesWhatTheInstallCreatedAndKeepsTheRest)
{
    struct Case {
        const wchar_t* name;
        ut::InstallOptions options;
    };
    ut::InstallOptions bare;
    bare.titleBmp = bare.aboutBmp = bare.qvCfg = false;
    bare.otherProgramsFile = true;
    const Case cases[] = {{L"every optional file", ut::InstallOptions()},
                          {L"no optional files, a foreign file in the menu folder", bare}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ut::Installed p(ut::UniqueName(L"UnRemove"), c.options);
        ASSERT_TRUE(p.ok);

        EXPECT_TRUE(UninstallPackage(&p.config));

        const bool nt6 = g_bNt6 != 0;
        CheckFiles({
                          {p.Path(L"mingwm10.dll"), false},
                          {p.Path(p.appFileName), false},
                          {p.Path(L"RiriDITitle.bmp"), false},
                          {p.Path(L"QV.cfg"), false},
                          {p.Path(L"title_about.bmp"), c.options.aboutBmp},
                          {p.Path(L"XSrvSetup.exe"), !nt6},
                          {p.Path(L"QvUninst.bat"), false},
                          {p.uninstallerDir + L"setup.exe", true},
                          {p.uninstallerDir + L"setup.ini", true},
                          {p.uninstallerDir + L"setupENU.dll", true},
                          {p.desktopLink, false},
                          {p.programsDir + L"\\" + p.appName + L".lnk", false},
                          {p.programsDir + L"\\Uninstall.lnk", false},
                          {p.programsDir, c.options.otherProgramsFile},
                      });
        if (c.options.otherProgramsFile) {
            EXPECT_EQ(std::vector<std::wstring>{L"Readme.txt"}, ts::ListDir(p.programsDir));
        }
        EXPECT_FALSE(p.EntryExists());
        EXPECT_EQ(nt6, p.RunValueExists()) << "the Run value is removed only before NT 6";
        EXPECT_TRUE(p.MarkExists());
    }
}

unsigned long long NowMs()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return t.QuadPart / 10000;
}

// The helper's "-k" and "-u" calls since a moment, with their program paths.
std::vector<ts::HelperCall> StopCallsSince(unsigned long long t0)
{
    std::vector<ts::HelperCall> calls;
    for (const ts::HelperCall& c : ts::ReadHelperLog(ut::HelperLog()))
        if (c.ms >= t0 && (c.argument == L"-k" || c.argument == L"-u"))
            calls.push_back(c);
    return calls;
}

TEST(UninstallPackage, StopsTheServiceHelperOnNt6Only)
{
    const bool present[] = {true, false};
    for (bool helper : present) {
        SCOPED_TRACE(helper ? L"helper present" : L"helper missing");
        ut::InstallOptions o;
        o.helper = false;
        ut::Installed p(ut::UniqueName(L"UnHelper"), o);
        ASSERT_TRUE(p.ok);
        ASSERT_TRUE(!helper ||
                    CopyFileW(ts::BinPath(L"XSrvSetup.exe").c_str(), p.Path(L"XSrvSetup.exe").c_str(), FALSE));

        unsigned long long t0 = NowMs();
        EXPECT_TRUE(UninstallPackage(&p.config));
        unsigned long long t1 = NowMs();
        std::vector<ts::HelperCall> calls = StopCallsSince(t0);

        if (!g_bNt6) {
            EXPECT_TRUE(calls.empty());
            EXPECT_LT(t1 - t0, 1000u) << "no pause before NT 6";
            EXPECT_EQ(helper, ts::Exists(p.Path(L"XSrvSetup.exe"))) << "the helper is left alone before NT 6";
            continue;
        }
        // The pauses are taken whether or not a helper started.
        EXPECT_GE(t1 - t0, 2000u);
        if (!helper) {
            EXPECT_TRUE(calls.empty());
            continue;
        }
        ASSERT_EQ(2u, calls.size());
        EXPECT_EQ(L"-k", calls[0].argument);
        EXPECT_EQ(L"-u", calls[1].argument);
        for (const ts::HelperCall& c : calls)
            EXPECT_EQ(p.Path(L"XSrvSetup.exe"), c.program);
        // Times are the helpers' creation times: one second after each start.
        EXPECT_GE(calls[1].ms - calls[0].ms, 1000u);
        EXPECT_GE(t1 - calls[1].ms, 1000u);
        printf("-k to -u %llu ms, -u to the end of the uninstall %llu ms\n", calls[1].ms - calls[0].ms,
               t1 - calls[1].ms);
        // The helper has ended by then and its file goes with the others.
        EXPECT_FALSE(ts::Exists(p.Path(L"XSrvSetup.exe")));
    }
}

TEST(UninstallPackage, EntryAlreadyGoneIsNoFailure)
{
    ut::Installed p(ut::UniqueName(L"UnGone"));
    ASSERT_TRUE(p.ok);
    ts::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ut::UninstallKey32(p.folderName), KEY_WOW64_32KEY);
    EXPECT_TRUE(UninstallPackage(&p.config));
    EXPECT_FALSE(ts::Exists(p.Path(p.appFileName)));
}

TEST(UninstallPackage, FailsWhilePayloadOrEntryStays)
{
    struct Case {
        const wchar_t* name;
        bool holdPayload;
        bool entryWithSubkey;  // RegDeleteKeyW removes only a key without subkeys
    };
    const Case cases[] = {{L"payload held open", true, false}, {L"entry cannot be deleted", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ut::Installed p(ut::UniqueName(L"UnFail"));
        ASSERT_TRUE(p.ok);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.holdPayload)
            held = CreateFileW(p.Path(p.appFileName).c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        if (c.entryWithSubkey) {
            HKEY h = NULL;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                                                     (ut::UninstallKey32(p.folderName) + L"\\Sub").c_str(), 0, NULL,
                                                     0, KEY_WRITE | KEY_WOW64_32KEY, NULL, &h, NULL));
            RegCloseKey(h);
        }

        EXPECT_FALSE(UninstallPackage(&p.config));
        // The other steps still ran.
        EXPECT_FALSE(ts::Exists(p.Path(L"mingwm10.dll")));
        EXPECT_FALSE(ts::Exists(p.desktopLink));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
    }
}

TEST(UninstallPackage, RefusesAnUnusableInstallFolder)
{
    // The current folder's drive is where an empty folder would send every path.
    std::wstring cwd = ts::MakeTempDir(L"UnCwd");
    ASSERT_FALSE(cwd.empty());
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(cwd.c_str()));

    ut::InstallOptions o;
    o.deleteFolder = true;
    ut::Installed p(ut::UniqueName(L"UnRefuse"), o);
    ASSERT_TRUE(p.ok);
    // A payload name that is only in the way at the drive root and beside the folder.
    const std::wstring sentinel = ut::UniqueName(L"UnSentinel") + L".exe";
    ASSERT_TRUE(ts::WriteBytes(L"C:\\" + sentinel, "keep"));
    ASSERT_TRUE(ts::WriteBytes(cwd + L"\\" + sentinel, "keep"));
    ASSERT_FALSE(ts::Exists(L"C:\\QvUninst.bat"));

    struct Case {
        const wchar_t* installDir;
        std::wstring appFileName;
    };
    const Case cases[] = {
        {L"", sentinel},
        {L"C:\\", sentinel},
        {L"C:", sentinel},
        {L"C:\\tests\\..", sentinel},
        {NULL, L"..\\" + sentinel},  // the install folder below cwd, the file beside it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installDir ? c.installDir : c.appFileName.c_str());
        SetupConfig config = p.config;
        if (c.installDir)
            lstrcpynW(config.szInstallDir, c.installDir, MAX_PATH);
        else
            lstrcpynW(config.szInstallDir, (cwd + L"\\inst").c_str(), MAX_PATH);
        lstrcpynW(config.szAPPFileName, c.appFileName.c_str(), MAX_PATH);

        DWORD t0 = GetTickCount();
        EXPECT_FALSE(UninstallPackage(&config));
        EXPECT_FALSE(RemoveFilesAndRegistry(&config));
        EXPECT_LT(GetTickCount() - t0, 1000u) << "nothing is started or waited for";

        EXPECT_TRUE(ts::Exists(L"C:\\" + sentinel));
        EXPECT_TRUE(ts::Exists(cwd + L"\\" + sentinel));
        EXPECT_FALSE(ts::Exists(L"C:\\QvUninst.bat"));
        EXPECT_FALSE(ts::Exists(L"\\QvUninst.bat"));
        EXPECT_TRUE(ts::Exists(p.desktopLink));
        EXPECT_TRUE(ts::Exists(p.programsDir + L"\\Uninstall.lnk"));
        EXPECT_TRUE(p.EntryExists());
        EXPECT_TRUE(ts::Exists(p.Path(p.appFileName)));
    }

    SetCurrentDirectoryW(saved);
    DeleteFileW((L"C:\\" + sentinel).c_str());
    ts::DeleteTree(cwd);
}

// A top-level window titled AppName on its own thread; it notes whether the payload
// file was still there when WM_CLOSE arrived. A hung window stops pumping until
// released (or for at most 20 s, so that an unbounded SendMessage shows as slow).
class PayloadWindow {
public:
    PayloadWindow(const std::wstring& title, const std::wstring& payload, bool hung)
        : title_(title), payload_(payload), hung_(hung)
    {
        ready_ = CreateEventW(NULL, TRUE, FALSE, NULL);
        release_ = CreateEventW(NULL, TRUE, FALSE, NULL);
        thread_ = CreateThread(NULL, 0, Run, this, 0, NULL);
        WaitForSingleObject(ready_, 10000);
    }
    ~PayloadWindow()
    {
        SetEvent(release_);
        if (hwnd_)
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, 25000);
        CloseHandle(thread_);
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    HWND hwnd() const { return hwnd_; }
    volatile LONG closes = 0;
    volatile LONG payloadAtClose = -1;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        PayloadWindow* self = reinterpret_cast<PayloadWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (m == WM_CLOSE && self) {
            if (InterlockedIncrement(&self->closes) == 1)
                self->payloadAtClose = ts::Exists(self->payload_) ? 1 : 0;
            DestroyWindow(h);
            return 0;
        }
        if (m == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(h, m, w, l);
    }
    static DWORD WINAPI Run(LPVOID p)
    {
        PayloadWindow* self = static_cast<PayloadWindow*>(p);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.lpszClassName = L"UninstallTestPayload";
        RegisterClassW(&wc);
        HWND h = CreateWindowExW(0, wc.lpszClassName, self->title_.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 NULL, NULL, wc.hInstance, NULL);
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = h;
        SetEvent(self->ready_);
        if (self->hung_)
            WaitForSingleObject(self->release_, 20000);
        MSG msg;
        while (GetMessageW(&msg, NULL, 0, 0) > 0)
            DispatchMessageW(&msg);
        return 0;
    }
    std::wstring title_, payload_;
    bool hung_;
    HANDLE ready_ = NULL, release_ = NULL, thread_ = NULL;
    HWND volatile hwnd_ = NULL;
};

TEST(UninstallPackage, ClosesThePayloadWindowFirstWithABoundedWait)
{
    struct Case {
        const wchar_t* name;
        bool hung;
    };
    const Case cases[] = {{L"answering window", false}, {L"hung window", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ut::Installed p(ut::UniqueName(L"UnClose"));
        ASSERT_TRUE(p.ok);
        PayloadWindow window(p.appName, p.Path(p.appFileName), c.hung);
        ASSERT_TRUE(window.hwnd());

        DWORD t0 = GetTickCount();
        EXPECT_TRUE(UninstallPackage(&p.config));
        DWORD elapsed = GetTickCount() - t0;
        DWORD helper = g_bNt6 ? 2000 : 0;

        // Either way the pause after the close follows.
        EXPECT_GE(elapsed, helper + 1000);
        if (c.hung) {
            EXPECT_LT(elapsed, helper + 1000 + 3000 + 3000) << "the close waited for a hung window";
        } else {
            EXPECT_EQ(1, window.closes);
            EXPECT_EQ(1, window.payloadAtClose) << "WM_CLOSE must come before the files go";
        }
        EXPECT_FALSE(ts::Exists(p.Path(p.appFileName)));
    }
}

TEST(UninstallPackage, WindowOnlyContainingTheNameIsLeftAlone)
{
    ut::Installed p(ut::UniqueName(L"UnTitle"));
    ASSERT_TRUE(p.ok);
    PayloadWindow window(p.appName + L" - Notes", p.Path(p.appFileName), false);
    ASSERT_TRUE(window.hwnd());
    DWORD t0 = GetTickCount();
    EXPECT_TRUE(UninstallPackage(&p.config));
    EXPECT_EQ(0, window.closes);
    EXPECT_LT(GetTickCount() - t0, (g_bNt6 ? 2000u : 0u) + 1000u) << "no pause without a payload window";
}

}  // namespace
