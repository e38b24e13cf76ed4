// The worker thread against a real window: the progress codes and results it posts,
// the choice of procedure, and setup.ini read at the click.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Installed.h"
#include "app/HostEnv.h"
#include "engine/SetupConfig.h"
#include "engine/Worker.h"
#include "tests/support/Medium.h"
#include "tests/support/TestSupport.h"

namespace {

typedef std::vector<std::pair<int, int>> Codes;

// A hidden top-level window on the test thread that records WM_SETUP_PROGRESS.
class ProgressWindow {
public:
    ProgressWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.lpszClassName = L"UninstallTestProgress";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"progress", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL,
                                wc.hInstance, NULL);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ProgressWindow() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }

    // Pumps until a done code has arrived (and a little longer, to see that nothing
    // follows it) or the time is up.
    Codes Pump(DWORD timeoutMs = 60000)
    {
        DWORD t0 = GetTickCount(), doneAt = 0;
        for (;;) {
            DWORD now = GetTickCount();
            if (now - t0 > timeoutMs || (doneAt && now - doneAt > 500))
                break;
            MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            if (!doneAt && !codes_.empty()) {
                int last = codes_.back().first;
                if (last == PROGRESS_INSTALL_DONE || last == PROGRESS_UNINSTALL_DONE ||
                    last == PROGRESS_INSTALL_FAILED || last == PROGRESS_UNINSTALL_FAILED)
                    doneAt = GetTickCount();
            }
        }
        return codes_;
    }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        ProgressWindow* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (m == WM_SETUP_PROGRESS && self) {
            self->codes_.push_back({static_cast<int>(w), static_cast<int>(l)});
            return 0;
        }
        return DefWindowProcW(h, m, w, l);
    }
    HWND hwnd_ = NULL;
    Codes codes_;
};

Codes RunWorker(const std::wstring& sourceDir, int bUninstall)
{
    ProgressWindow window;
    HANDLE thread = StartSetupThread(sourceDir.c_str(), window.hwnd(), bUninstall);
    EXPECT_TRUE(thread != NULL);
    Codes codes = window.Pump();
    if (thread) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
        DWORD rc = 0;
        GetExitCodeThread(thread, &rc);
        EXPECT_EQ(1u, rc);
        CloseHandle(thread);
    }
    return codes;
}

TEST(SetupThread, InstallRunPostsStartThenHonestResult)
{
    struct Case {
        const wchar_t* name;
        bool payload;
        Codes expected;
    };
    const Case cases[] = {
        {L"complete medium", true, {{PROGRESS_INSTALL_START, 0}, {PROGRESS_INSTALL_DONE, 1}}},
        {L"payload missing from the medium", false, {{PROGRESS_INSTALL_START, 0}, {PROGRESS_INSTALL_DONE, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ts::Package pkg;
        pkg.folderName = pkg.appName = ut::UniqueName(L"UnWorkerInst");
        ts::MediumOptions o = ts::MediumFor(pkg);
        o.payload = c.payload;
        std::wstring medium = ts::MakeMedium(o, L"UnWorkerMedium");
        ASSERT_FALSE(medium.empty());
        {
            ts::MessageBoxWatcher boxes;
            EXPECT_EQ(c.expected, RunWorker(medium, 0));
        }
        EXPECT_TRUE(ts::ReadUninstallEntry(pkg.folderName).keyExists) << "the install ran";
        ts::CleanInstall(pkg);
        ts::DeleteTree(medium);
    }
}

TEST(SetupThread, UninstallRunPostsStartThenHonestResult)
{
    std::wstring unusable = ts::MakeTempDir(L"UnWorkerNoDir");
    ASSERT_TRUE(ut::WriteSetupIni(unusable + L"\\setup.ini", ut::SetupIni(L"", L"Nothing", L"Nothing.exe", false)));

    struct Case {
        const wchar_t* name;
        int bUninstall;
        bool usable;
        Codes expected;
    };
    const Case cases[] = {
        {L"bUninstall 1", 1, true, {{PROGRESS_UNINSTALL_START, 0}, {PROGRESS_UNINSTALL_DONE, 1}}},
        {L"any non-zero bUninstall", -7, true, {{PROGRESS_UNINSTALL_START, 0}, {PROGRESS_UNINSTALL_DONE, 1}}},
        {L"empty APPFolderName: refused", 2, false, {{PROGRESS_UNINSTALL_START, 0}, {PROGRESS_UNINSTALL_DONE, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ut::Installed p(ut::UniqueName(L"UnWorker"));
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(c.expected, RunWorker(c.usable ? p.uninstallerDir : unusable + L"\\", c.bUninstall));
        EXPECT_EQ(!c.usable, ts::Exists(p.Path(p.appFileName)));
    }
    ts::DeleteTree(unusable);
}

TEST(SetupThread, ReadsSetupIniAtTheClickWithTheWizardsSection)
{
    struct Case {
        const wchar_t* name;
        bool alternateSection;
    };
    const Case cases[] = {{L"setup.ini changed after the wizard read it", false},
                          {L"alternate section chosen at start-up", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ut::Installed first(ut::UniqueName(L"UnFirst")), second(ut::UniqueName(L"UnSecond"));
        ASSERT_TRUE(first.ok && second.ok);
        std::wstring source = ts::MakeTempDir(L"UnWorkerIni");
        std::wstring ini = source + L"\\setup.ini";
        const std::wstring firstIni =
            ut::SetupIni(first.folderName, first.appName, first.appFileName, false);
        if (c.alternateSection) {
            ASSERT_TRUE(ut::WriteSetupIni(
                ini, firstIni + ut::SetupIni(second.folderName, second.appName, second.appFileName, false,
                                             L"VANTRIX_Customized_Setting")));
            g_bAlternateSection = 1;
        } else {
            // What the wizard saw at its start, then the file as it is at the click.
            ASSERT_TRUE(ut::WriteSetupIni(ini, firstIni));
            SetupConfig atStart;
            ReadSetupConfig((source + L"\\").c_str(), &atStart, 0);
            ASSERT_EQ(first.dir, atStart.szInstallDir);
            ASSERT_TRUE(ut::WriteSetupIni(
                ini, ut::SetupIni(second.folderName, second.appName, second.appFileName, false)));
        }

        EXPECT_EQ((Codes{{PROGRESS_UNINSTALL_START, 0}, {PROGRESS_UNINSTALL_DONE, 1}}),
                  RunWorker(source + L"\\", 1));
        g_bAlternateSection = 0;
        EXPECT_TRUE(ts::Exists(first.Path(first.appFileName)));
        EXPECT_TRUE(first.EntryExists());
        EXPECT_FALSE(ts::Exists(second.Path(second.appFileName)));
        EXPECT_FALSE(second.EntryExists());
        ts::DeleteTree(source);
    }
}

}  // namespace
