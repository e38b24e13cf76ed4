// Faults injected under real conditions while the install or the uninstall runs:
// files held open, folders and files in each other's place, registry keys whose
// access is denied, a service helper that cannot start, a payload window that hangs.
// Each fault is tried with the engine in this process, with the real setup.exe in
// silent mode (its exit code) and in the wizard (its last headline), and each run
// compares the machine before and after.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "Faults.h"
#include "HostileFixture.h"
#include "app/HostEnv.h"
#include "tests/wizard/WizardDriver.h"

namespace {

struct Expect {
    BOOL result;
    std::vector<std::wstring> boxes;
    bool payload;  // the installed payload is the medium's
    bool entry;    // the Uninstall entry has its UninstallString
    bool links;    // all three links
};

struct UninstallExpect {
    BOOL result;
    bool payloadGone, entryGone, linksGone, runGone;
};

struct Case {
    const char* what;
    std::function<std::unique_ptr<Fault>(const ts::Package&, const std::wstring& medium)> arm;
    Expect xp, nt6;
};

// A top-level window titled as the payload's that never answers a message.
class HungWindow : public Fault {
public:
    explicit HungWindow(const std::wstring& title)
    {
        process_ = ts::Start(ts::Quote(ts::BinPath(L"install_window_holder.exe")) + L" hung " + ts::Quote(title));
        for (int i = 0; process_ && i < 200 && !armed; ++i, Sleep(50))
            armed = FindWindowW(NULL, title.c_str()) != NULL;
    }
    ~HungWindow() override
    {
        if (!process_)
            return;
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }

private:
    HANDLE process_ = NULL;
};

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    std::string x, y;
    return ts::ReadBytes(a, &x) && ts::ReadBytes(b, &y) && x == y;
}

bool AllLinks(const ts::Package& p)
{
    std::wstring programs = ts::ProgramsFolderPath(p.appName);
    return ts::Exists(ts::DesktopLinkPath(p.appName)) && ts::Exists(programs + L"\\" + p.appName + L".lnk") &&
           ts::Exists(programs + L"\\Uninstall.lnk");
}

const wchar_t kService[] = L"Fail to install the service!";

std::vector<Case> InstallFaults()
{
    const Expect filesFail = {FALSE, {}, false, true, true};
    return {
        {"payload file held open without sharing",
         [](const ts::Package& p, const std::wstring&) {
             return HoldFile(ts::ExpectedInstallDir(p.folderName) + L"\\" + p.appFileName);
         },
         filesFail, filesFail},
        {"a folder where the payload file must go",
         [](const ts::Package& p, const std::wstring&) {
             return FolderAt(ts::ExpectedInstallDir(p.folderName) + L"\\" + p.appFileName);
         },
         filesFail, filesFail},
        {"a file where the Uninstall folder must go",
         [](const ts::Package& p, const std::wstring&) {
             return FileAt(ts::ExpectedInstallDir(p.folderName) + L"\\Uninstall");
         },
         {FALSE, {}, true, true, true}, {FALSE, {}, true, true, true}},
        {"a file where the Programs-menu folder must go",
         [](const ts::Package& p, const std::wstring&) { return FileAt(ts::ProgramsFolderPath(p.appName)); },
         {FALSE, {}, true, true, false}, {FALSE, {}, true, true, false}},
        {"Uninstall entry key that may not be written",
         [](const ts::Package& p, const std::wstring&) { return LockKey(ts::UninstallKey(p.folderName)); },
         {FALSE, {}, true, false, true}, {FALSE, {}, true, false, true}},
        // Only the install before NT 6 writes the autostart value.
        {"Run key that may not be written",
         [](const ts::Package&, const std::wstring&) { return LockKey(ts::kRunKey); },
         {FALSE, {}, true, true, true}, {TRUE, {}, true, true, true}},
        // Only the install on NT 6 copies and starts the helper.
        {"service helper that cannot start",
         [](const ts::Package&, const std::wstring& medium) {
             std::unique_ptr<Fault> f(new Fault);
             f->armed = ts::WriteBytes(medium + L"Application\\XSrvSetup.exe", "not a program");
             return f;
         },
         {TRUE, {}, true, true, true}, {FALSE, {kService}, true, true, false}},
        {"payload window that does not answer",
         [](const ts::Package& p, const std::wstring&) { return std::unique_ptr<Fault>(new HungWindow(p.appName)); },
         {TRUE, {}, true, true, true}, {TRUE, {}, true, true, true}},
    };
}

class FaultTest : public HostileFixture {
protected:
    void ExpectInstallState(const ts::Package& p, const std::wstring& medium, const Expect& e)
    {
        std::wstring dir = ts::ExpectedInstallDir(p.folderName);
        EXPECT_EQ(e.payload, SameFile(medium + L"Application\\" + p.appFileName, dir + L"\\" + p.appFileName));
        EXPECT_EQ(e.entry, ts::ReadUninstallEntry(p.folderName).uninstallString.present);
        EXPECT_EQ(e.links, AllLinks(p));
    }

    void ExpectUninstallState(const ts::Package& p, const std::wstring& dir, const UninstallExpect& e)
    {
        EXPECT_EQ(e.payloadGone, !ts::Exists(dir + L"\\" + p.appFileName));
        EXPECT_EQ(e.entryGone, !ts::ReadUninstallEntry(p.folderName).keyExists);
        EXPECT_EQ(e.linksGone, !ts::Exists(ts::DesktopLinkPath(p.appName)) &&
                                   !ts::Exists(ts::ProgramsFolderPath(p.appName)));
        if (!g_bNt6) {
            EXPECT_EQ(e.runGone, !ts::ReadHklm32(ts::kRunKey, p.appName.c_str()).present);
        }
    }

    std::wstring ModuleText(const std::wstring& medium, UINT id)
    {
        HMODULE m = LoadLibraryExW((medium + L"setupENU.dll").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        wchar_t buf[1024] = {0};
        if (m) {
            LoadStringW(m, id, buf, 1024);
            FreeLibrary(m);
        }
        return buf;
    }
};

}  // namespace

TEST_F(FaultTest, InstallUnderEachFaultReportsWhatHappened)
{
    bool nt6 = g_bNt6 != 0;
    int index = 0;
    for (const Case& c : InstallFaults()) {
        ++index;
        SCOPED_TRACE(testing::Message() << "fault " << index << ": " << c.what);
        const Expect& e = nt6 ? c.nt6 : c.xp;
        ts::Package p = NewPackage(std::to_wstring(index));
        std::wstring medium = NewMedium(ts::MediumFor(p));
        ASSERT_FALSE(medium.empty());

        // 1. The engine in this process.
        {
            ts::Snapshot before = ts::TakeSnapshot();
            std::unique_ptr<Fault> fault = c.arm(p, medium);
            ASSERT_TRUE(fault->armed);
            std::vector<std::wstring> boxes;
            DWORD start = GetTickCount();
            EXPECT_EQ(e.result, Install(medium, ConfigOf(medium), &boxes));
            EXPECT_LT(GetTickCount() - start, 20000u);
            EXPECT_EQ(e.boxes, boxes) << Utf8(ts::JoinLines(boxes));
            fault.reset();
            ExpectInstallState(p, medium, e);
            ExpectOnlyChangesIn(before, ts::InstallPlaces(p, true));
            ts::CleanInstall(p);
        }
        // 2. setup.exe s: exit code 0 for a complete install, 1 otherwise.
        {
            ts::Snapshot before = ts::TakeSnapshot();
            std::unique_ptr<Fault> fault = c.arm(p, medium);
            ASSERT_TRUE(fault->armed);
            std::vector<std::wstring> boxes;
            ts::ProcResult r = RunSilent(medium, &boxes);
            EXPECT_TRUE(r.started);
            EXPECT_FALSE(r.timedOut);
            EXPECT_EQ(e.result ? 0u : 1u, r.exitCode);
            EXPECT_EQ(e.boxes, boxes) << Utf8(ts::JoinLines(boxes));
            fault.reset();
            ExpectInstallState(p, medium, e);
            ExpectOnlyChangesIn(before, ts::InstallPlaces(p, true, medium));
            ts::CleanInstall(p);
        }
        // 3. The wizard: its headline after the install says done or failed.
        {
            ts::Snapshot before = ts::TakeSnapshot();
            std::unique_ptr<Fault> fault = c.arm(p, medium);
            ASSERT_TRUE(fault->armed);
            ts::MessageBoxWatcher watcher;
            wz::Wizard w;
            ASSERT_TRUE(wz::StartWizard(medium, L"", &w));
            wz::Click(w.dialog, wz::kStart);
            bool ended = wz::WaitUntil([&] { return wz::ReadControl(w.dialog, wz::kFinish).visible; }, 60000, 50);
            EXPECT_TRUE(ended) << "the wizard did not reach its last page";
            std::wstring headline = ModuleText(medium, e.result ? 7 : 9);
            EXPECT_NE(L"", headline);
            EXPECT_EQ(headline, wz::ReadControl(w.dialog, wz::kHeadline).text);
            // Finish would start the payload: the wizard is ended instead.
            wz::Stop(&w);
            Sleep(200);
            EXPECT_EQ(e.boxes, watcher.Texts()) << Utf8(ts::JoinLines(watcher.Texts()));
            fault.reset();
            ExpectInstallState(p, medium, e);
            ExpectOnlyChangesIn(before, ts::InstallPlaces(p, true, medium));
            ts::CleanInstall(p);
        }
    }
}

namespace {

struct UninstallCase {
    const char* what;
    // Arms the fault on an installed package; may change the configuration the
    // uninstall is given.
    std::function<std::unique_ptr<Fault>(const ts::Package&, SetupConfig*)> arm;
    UninstallExpect xp, nt6;
};

std::vector<UninstallCase> UninstallFaults()
{
    const UninstallExpect done = {TRUE, true, true, true, true};
    return {
        {"payload file held open without sharing",
         [](const ts::Package& p, SetupConfig*) {
             return HoldFile(ts::ExpectedInstallDir(p.folderName) + L"\\" + p.appFileName);
         },
         {FALSE, false, true, true, true}, {FALSE, false, true, true, true}},
        {"a folder in place of the payload file",
         [](const ts::Package& p, SetupConfig*) {
             std::wstring path = ts::ExpectedInstallDir(p.folderName) + L"\\" + p.appFileName;
             DeleteFileW(path.c_str());
             return FolderAt(path);
         },
         {FALSE, false, true, true, true}, {FALSE, false, true, true, true}},
        // Wine deletes a key whatever its own access list says; the Uninstall key above
        // it, which the uninstall opens for writing, can be locked.
        {"Uninstall key that may not be written",
         [](const ts::Package& p, SetupConfig*) {
             std::wstring entry = ts::UninstallKey(p.folderName);
             return LockKey(entry.substr(0, entry.rfind(L'\\')));
         },
         {FALSE, true, false, true, true}, {FALSE, true, false, true, true}},
        {"Run key that may not be written",
         [](const ts::Package&, SetupConfig*) { return LockKey(ts::kRunKey); },
         {FALSE, true, true, true, false}, done},
        {"service helper that cannot start",
         [](const ts::Package& p, SetupConfig*) {
             ts::RemoveHelperService();
             std::unique_ptr<Fault> f(new Fault);
             std::wstring helper = ts::ExpectedInstallDir(p.folderName) + L"\\XSrvSetup.exe";
             f->armed = ts::WriteBytes(helper, "not a program");
             return f;
         },
         done, done},
        {"payload window that does not answer",
         [](const ts::Package& p, SetupConfig*) { return std::unique_ptr<Fault>(new HungWindow(p.appName)); }, done,
         done},
        // A trailing space names the same links and folder to the system: left alone.
        {"AppName with a trailing space",
         [](const ts::Package& p, SetupConfig* c) {
             lstrcpynW(c->szAppName, (p.appName + L" ").c_str(), MAX_PATH);
             std::unique_ptr<Fault> f(new Fault);
             f->armed = true;
             return f;
         },
         // The autostart value is named by AppName exactly, so "{AppName} " is not it.
         {FALSE, true, true, false, false}, {FALSE, true, true, false, true}},
        {"APPFileName that climbs out of the install folder",
         [](const ts::Package& p, SetupConfig* c) {
             lstrcpynW(c->szAPPFileName, (L"..\\" + p.folderName + L"\\" + p.appFileName).c_str(), MAX_PATH);
             std::unique_ptr<Fault> f(new Fault);
             f->armed = true;
             return f;
         },
         {FALSE, false, false, false, false}, {FALSE, false, false, false, false}},
    };
}

}  // namespace

TEST_F(FaultTest, UninstallUnderEachFaultReportsWhatHappened)
{
    bool nt6 = g_bNt6 != 0;
    int index = 0;
    for (const UninstallCase& c : UninstallFaults()) {
        ++index;
        SCOPED_TRACE(testing::Message() << "fault " << index << ": " << c.what);
        const UninstallExpect& e = nt6 ? c.nt6 : c.xp;
        ts::Package p = NewPackage(L"u" + std::to_wstring(index));
        std::wstring medium = NewMedium(ts::MediumFor(p));
        ASSERT_FALSE(medium.empty());
        SetupConfig config = ConfigOf(medium);
        ASSERT_TRUE(Install(medium, config, NULL));
        std::wstring dir = config.szInstallDir;

        ts::Snapshot before = ts::TakeSnapshot();
        std::unique_ptr<Fault> fault = c.arm(p, &config);
        ASSERT_TRUE(fault->armed);
        std::vector<std::wstring> boxes;
        DWORD start = GetTickCount();
        EXPECT_EQ(e.result, Uninstall(config, &boxes));
        EXPECT_LT(GetTickCount() - start, 20000u);
        EXPECT_TRUE(boxes.empty()) << Utf8(ts::JoinLines(boxes));
        fault.reset();
        ExpectUninstallState(p, dir, e);
        ExpectOnlyChangesIn(before, ts::InstallPlaces(p, true));
        ts::CleanInstall(p);

        // The uninstall wizard of the installed copy: its headline after the run says
        // removed or failed. The faults that edit the configuration are left to the
        // engine run above.
        SetupConfig original = ConfigOf(medium);
        ASSERT_TRUE(Install(medium, original, NULL));
        before = ts::TakeSnapshot();
        SetupConfig edited = original;
        fault = c.arm(p, &edited);
        ASSERT_TRUE(fault->armed);
        if (memcmp(&edited, &original, sizeof edited) == 0) {
            std::wstring uninstaller = dir + L"\\Uninstall\\";
            ts::MessageBoxWatcher watcher;
            wz::Wizard w;
            ASSERT_TRUE(wz::StartWizard(uninstaller, L"delpkg", &w));
            wz::Click(w.dialog, wz::kStart);
            bool ended = wz::WaitUntil([&] { return wz::ReadControl(w.dialog, wz::kFinish).visible; }, 60000, 50);
            EXPECT_TRUE(ended) << "the wizard did not reach its last page";
            std::wstring headline = ModuleText(uninstaller, e.result ? 15 : 14);
            EXPECT_NE(L"", headline);
            EXPECT_EQ(headline, wz::ReadControl(w.dialog, wz::kHeadline).text);
            wz::Stop(&w);
            EXPECT_TRUE(watcher.Texts().empty()) << Utf8(ts::JoinLines(watcher.Texts()));
            fault.reset();
            ExpectUninstallState(p, dir, e);
            ExpectOnlyChangesIn(before, ts::InstallPlaces(p, true, uninstaller));
        }
        fault.reset();
        ts::CleanInstall(p);
    }
}
