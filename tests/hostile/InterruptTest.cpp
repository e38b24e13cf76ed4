// Runs that do not end as planned: a silent install killed while it copies, the
// install and the uninstall after it, and two setup programs started at once.
#include <gtest/gtest.h>

#include "HostileFixture.h"
#include "engine/Uninstall.h"

namespace {

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    std::string x, y;
    return ts::ReadBytes(a, &x) && ts::ReadBytes(b, &y) && x == y;
}

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

std::wstring Listing(const std::wstring& dir)
{
    std::wstring s;
    for (const std::wstring& n : ts::ListDir(dir))
        s += n + L" ";
    return s;
}

class InterruptTest : public HostileFixture {
protected:
    // A medium whose payload is large enough that its copy takes a while.
    std::wstring BigMedium(const ts::Package& p)
    {
        std::wstring medium = NewMedium(ts::MediumFor(p));
        if (!medium.empty()) {
            EXPECT_TRUE(ts::WriteBytes(medium + L"Application\\" + p.appFileName, std::string(96u << 20, 'p')));
        }
        return medium;
    }

    // Starts setup.exe s and kills it while it copies the large payload, which comes
    // right after mingwm10.dll. Returns what the half install left in the install
    // folder.
    std::wstring KillDuringCopies(const ts::Package& p, const std::wstring& medium)
    {
        std::wstring dir = ts::ExpectedInstallDir(p.folderName);
        HANDLE h = ts::Start(ts::Quote(medium + L"setup.exe") + L" s", L"C:\\");
        EXPECT_TRUE(h != NULL);
        if (!h)
            return L"";
        bool appeared = false;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 30000;) {
            if (ts::Exists(dir + L"\\mingwm10.dll")) {
                appeared = true;
                break;
            }
            if (WaitForSingleObject(h, 0) == WAIT_OBJECT_0)
                break;
        }
        TerminateProcess(h, 9);
        WaitForSingleObject(h, 10000);
        DWORD code = 0;
        GetExitCodeProcess(h, &code);
        CloseHandle(h);
        EXPECT_TRUE(appeared);
        EXPECT_EQ(9u, code) << "the install ended before it was killed";
        std::wstring left = Listing(dir) + L"| Uninstall: " + Listing(dir + L"\\Uninstall");
        printf("killed install left: %s\n", Utf8(left).c_str());
        return left;
    }
};

}  // namespace

TEST_F(InterruptTest, InstallKilledDuringTheCopiesThenInstalledAgain)
{
    ts::Package p = NewPackage();
    std::wstring medium = BigMedium(p);
    ASSERT_FALSE(medium.empty());
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    ts::Snapshot before = ts::TakeSnapshot();

    std::wstring left = KillDuringCopies(p, medium);
    EXPECT_FALSE(SameFile(medium + L"Application\\" + p.appFileName, dir + L"\\" + p.appFileName)) << Utf8(left);
    ExpectOnlyChangesIn(before, ts::InstallPlaces(p, true, medium));

    // A new install over the half one is complete.
    std::vector<std::wstring> boxes;
    ts::ProcResult r = RunSilent(medium, &boxes);
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_TRUE(boxes.empty()) << Utf8(ts::JoinLines(boxes));
    EXPECT_TRUE(SameFile(medium + L"Application\\" + p.appFileName, dir + L"\\" + p.appFileName));
    EXPECT_TRUE(SameFile(medium + L"setup.exe", dir + L"\\Uninstall\\setup.exe"));
    EXPECT_TRUE(SameFile(medium + L"setup.ini", dir + L"\\Uninstall\\setup.ini"));
    EXPECT_TRUE(ts::ReadUninstallEntry(p.folderName).displayVersion.present);
    EXPECT_TRUE(ts::Exists(ts::DesktopLinkPath(p.appName)));
    EXPECT_TRUE(ts::Exists(ts::ProgramsFolderPath(p.appName) + L"\\Uninstall.lnk"));
    ExpectOnlyChangesIn(before, ts::InstallPlaces(p, true, medium));
}

TEST_F(InterruptTest, UninstallAfterAHalfInstallRemovesWhatIsThere)
{
    ts::Package p = NewPackage();
    std::wstring medium = BigMedium(p);
    ASSERT_FALSE(medium.empty());
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    ts::Snapshot before = ts::TakeSnapshot();
    KillDuringCopies(p, medium);

    SetupConfig c = ConfigOf(medium);
    std::vector<std::wstring> boxes;
    EXPECT_TRUE(Uninstall(c, &boxes));
    EXPECT_TRUE(boxes.empty());
    // Nothing of the package is left but the uninstaller's own folder, which only the
    // clean-up batch removes.
    EXPECT_FALSE(ts::Exists(dir + L"\\" + p.appFileName));
    EXPECT_FALSE(ts::Exists(dir + L"\\mingwm10.dll"));
    EXPECT_FALSE(ts::ReadUninstallEntry(p.folderName).keyExists);
    EXPECT_FALSE(ts::Exists(ts::DesktopLinkPath(p.appName)));
    EXPECT_FALSE(ts::Exists(ts::ProgramsFolderPath(p.appName)));
    ExpectOnlyChangesIn(before, {dir, std::wstring(L"HKCU\\") + ts::kPersistedKey + L"|" + Lower(medium + L"setup.exe")});

    // A half install whose payload is held open: the uninstall says it is not done.
    ts::Package q = NewPackage(L"held");
    std::wstring qMedium = BigMedium(q);
    ASSERT_FALSE(qMedium.empty());
    KillDuringCopies(q, qMedium);
    std::wstring qDir = ts::ExpectedInstallDir(q.folderName);
    HANDLE held = CreateFileW((qDir + L"\\" + q.appFileName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                              OPEN_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(Uninstall(ConfigOf(qMedium), &boxes));
    CloseHandle(held);
    EXPECT_FALSE(ts::ReadUninstallEntry(q.folderName).keyExists);
}

// Two media, two setup programs started together: the single-instance guard lets one
// install and sends the other away (exit code 2) before it touches anything. Each
// package has a window titled as its payload, which the install closes and then
// pauses for, so the first one is still running when the second starts.
TEST_F(InterruptTest, TwoSetupProgramsStartedTogetherInstallOnce)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        ts::Package a = NewPackage(L"a" + std::to_wstring(round));
        ts::Package b = NewPackage(L"b" + std::to_wstring(round));
        std::wstring ma = NewMedium(ts::MediumFor(a)), mb = NewMedium(ts::MediumFor(b));
        ASSERT_FALSE(ma.empty() || mb.empty());
        HANDLE wa = StartProcess(ts::Quote(ts::BinPath(L"install_window_holder.exe")) + L" pump " + ts::Quote(a.appName));
        HANDLE wb = StartProcess(ts::Quote(ts::BinPath(L"install_window_holder.exe")) + L" pump " + ts::Quote(b.appName));
        ASSERT_TRUE(wa && wb);
        for (int i = 0; i < 200 && !(FindWindowW(NULL, a.appName.c_str()) && FindWindowW(NULL, b.appName.c_str())); ++i)
            Sleep(20);
        ts::Snapshot before = ts::TakeSnapshot();

        ts::MessageBoxWatcher watcher;
        HANDLE pa = ts::Start(ts::Quote(ma + L"setup.exe") + L" s", L"C:\\");
        HANDLE pb = ts::Start(ts::Quote(mb + L"setup.exe") + L" s", L"C:\\");
        ASSERT_TRUE(pa && pb);
        HANDLE both[] = {pa, pb};
        EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, 60000));
        DWORD ca = 99, cb = 99;
        GetExitCodeProcess(pa, &ca);
        GetExitCodeProcess(pb, &cb);
        CloseHandle(pa);
        CloseHandle(pb);
        printf("round %d: exit codes %lu and %lu\n", round, ca, cb);
        EXPECT_TRUE((ca == 0 && cb == 2) || (ca == 2 && cb == 0)) << ca << " " << cb;
        const ts::Package& winner = ca == 0 ? a : b;
        const ts::Package& loser = ca == 0 ? b : a;
        EXPECT_TRUE(ts::ReadUninstallEntry(winner.folderName).displayVersion.present);
        EXPECT_FALSE(ts::Exists(ts::ExpectedInstallDir(loser.folderName)));
        EXPECT_TRUE(watcher.Texts().empty());
        ExpectOnlyChangesIn(before, ts::InstallPlaces(winner, true, ca == 0 ? ma : mb));
        ts::CleanInstall(a);
        ts::CleanInstall(b);
    }
}
