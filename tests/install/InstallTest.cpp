// InstallPackage against real media in the test's prefix: files, registry, links,
// the service helper's calls, running payload windows and the failure paths.
#include "engine/Install.h"

#include <sddl.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <set>

#include "InstallFixture.h"
#include "app/HostEnv.h"
#include "tests/support/TestSupport.h"

namespace {

const wchar_t* const kSevenModules[] = {L"setupENU.dll", L"setupCHT.dll", L"setupCHS.dll", L"setupJPN.dll",
                                        L"setupKOR.dll", L"setupFRA.dll", L"setupDEU.dll"};

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

std::set<std::wstring> LowerSet(const std::vector<std::wstring>& names)
{
    std::set<std::wstring> s;
    for (const std::wstring& n : names)
        s.insert(Lower(n));
    return s;
}

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    std::string x, y;
    return ts::ReadBytes(a, &x) && ts::ReadBytes(b, &y) && x == y;
}

DWORD BytesOf(const std::wstring& s) { return static_cast<DWORD>(sizeof(wchar_t) * (s.size() + 1)); }

bool CompatMarked(const std::wstring& path)
{
    DWORD v = 0;
    return ts::RegDword(HKEY_CURRENT_USER, ts::kPersistedKey, path.c_str(), &v) && v == 1;
}

std::vector<ts::HelperCall> Only(const std::vector<ts::HelperCall>& calls, const wchar_t* argument)
{
    std::vector<ts::HelperCall> out;
    for (const ts::HelperCall& c : calls)
        if (c.argument == argument)
            out.push_back(c);
    return out;
}

std::vector<std::wstring> Arguments(const std::vector<ts::HelperCall>& calls)
{
    std::vector<std::wstring> out;
    for (const ts::HelperCall& c : calls)
        if (c.argument != L"service")  // the service itself, started by the service manager
            out.push_back(c.argument);
    return out;
}

// A key of HKLM (32-bit view) whose DACL lets everyone read it and nobody write it,
// for as long as the object lives. The handle that set the DACL also undoes it.
class LockedKey {
public:
    explicit LockedKey(const std::wstring& key)
    {
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, NULL, 0, WRITE_DAC | READ_CONTROL | KEY_WOW64_32KEY,
                            NULL, &h_, NULL) != ERROR_SUCCESS)
            h_ = NULL;
        ok_ = h_ && SetDacl(L"D:P(A;;KR;;;WD)");
    }
    ~LockedKey()
    {
        if (h_) {
            SetDacl(L"D:P(A;;KA;;;WD)");
            RegCloseKey(h_);
        }
    }
    bool ok() const { return ok_; }

private:
    bool SetDacl(const wchar_t* sddl)
    {
        PSECURITY_DESCRIPTOR sd = NULL;
        bool ok = ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, NULL) &&
                  RegSetKeySecurity(h_, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
        if (sd)
            LocalFree(sd);
        return ok;
    }
    HKEY h_ = NULL;
    bool ok_ = false;
};

// A file held open without sharing: copies onto it fail.
class HeldFile {
public:
    explicit HeldFile(const std::wstring& path)
    {
        h_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, 0, NULL);
    }
    ~HeldFile()
    {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

class InstallTest : public InstallFixture {
protected:
    // Every module of the seven on the medium, so that the copy list can be checked
    // whichever modules the build has; two others that must stay behind.
    ts::MediumOptions FullMedium(const ts::Package& p)
    {
        ts::MediumOptions o = ts::MediumFor(p);
        for (const wchar_t* m : kSevenModules)
            if (!ts::Exists(ts::BinPath(m)))
                o.stubModules.push_back(m);
        o.stubModules.push_back(L"setupITA.dll");
        o.stubModules.push_back(L"setupESN.dll");
        return o;
    }

    BOOL Install(const std::wstring& medium, const SetupConfig& c, DWORD* elapsedMs = NULL)
    {
        DWORD start = GetTickCount();
        BOOL ok = InstallPackage(medium.c_str(), &c);
        if (elapsedMs)
            *elapsedMs = GetTickCount() - start;
        return ok;
    }

    // The setup never waits for the helper: its calls reach the log a little later.
    std::vector<ts::HelperCall> WaitForHelperCalls(size_t n)
    {
        std::vector<ts::HelperCall> calls;
        for (int i = 0; i < 100; ++i, Sleep(50)) {
            calls = HelperCalls();
            if (Arguments(calls).size() >= n)
                break;
        }
        return calls;
    }

    // The service reports running (NT 6 after -i).
    bool WaitForService(DWORD state)
    {
        for (int i = 0; i < 100; ++i) {
            if (ts::HelperServiceState() == state)
                return true;
            Sleep(50);
        }
        return false;
    }

    void ExpectLinks(const ts::Package& p, const std::wstring& dir)
    {
        ts::LinkInfo link;
        ASSERT_TRUE(ts::ReadLink(ts::DesktopLinkPath(p.appName), &link)) << "desktop link";
        EXPECT_TRUE(SameText(dir + L"\\" + p.appFileName, link.target)) << link.target;
        EXPECT_EQ(L"", link.arguments);
        std::wstring programs = ts::ProgramsFolderPath(p.appName);
        ASSERT_TRUE(ts::ReadLink(programs + L"\\" + p.appName + L".lnk", &link)) << "programs link";
        EXPECT_TRUE(SameText(dir + L"\\" + p.appFileName, link.target)) << link.target;
        EXPECT_EQ(L"", link.arguments);
        ASSERT_TRUE(ts::ReadLink(programs + L"\\Uninstall.lnk", &link)) << "uninstall link";
        EXPECT_TRUE(SameText(dir + L"\\Uninstall\\setup.exe", link.target)) << link.target;
        EXPECT_EQ(L"delpkg", link.arguments);
        EXPECT_EQ(LowerSet({p.appName + L".lnk", L"Uninstall.lnk"}), LowerSet(ts::ListDir(programs)));
    }

    void ExpectNoLinks(const ts::Package& p)
    {
        EXPECT_FALSE(ts::Exists(ts::DesktopLinkPath(p.appName)));
        EXPECT_FALSE(ts::Exists(ts::ProgramsFolderPath(p.appName)));
    }

    void ExpectUninstallEntry(const ts::Package& p, const std::wstring& dir)
    {
        ts::UninstallEntry e = ts::ReadUninstallEntry(p.folderName);
        ASSERT_TRUE(e.keyExists);
        struct Row {
            const char* name;
            const ts::RegText& got;
            std::wstring want;
        } rows[] = {
            {"UninstallString", e.uninstallString, L"\"" + dir + L"\\Uninstall\\setup.exe\" delpkg"},
            {"DisplayName", e.displayName, p.appName},
            {"Publisher", e.publisher, p.company},
            {"DisplayVersion", e.displayVersion, p.version},
        };
        for (const Row& r : rows) {
            SCOPED_TRACE(r.name);
            EXPECT_TRUE(r.got.present);
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), r.got.type);
            EXPECT_EQ(r.want, r.got.text);
            EXPECT_EQ(BytesOf(r.want), r.got.bytes);  // the terminator is counted
        }
        // Under WOW64 the entry lies in Wow6432Node, and only there.
        if (g_bWow64) {
            EXPECT_TRUE(ts::RegKeyExists(HKEY_LOCAL_MACHINE,
                                         L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                                             p.folderName,
                                         KEY_WOW64_64KEY));
            EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::UninstallKey(p.folderName), KEY_WOW64_64KEY));
        }
    }
};

}  // namespace

TEST_F(InstallTest, FullInstallPutsEveryPieceInPlace)
{
    ts::Package p = NewPackage();
    ts::MediumOptions o = FullMedium(p);
    std::wstring medium = NewMedium(o);
    ASSERT_FALSE(medium.empty());
    SetupConfig c = ConfigOf(medium);
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    ASSERT_EQ(dir, std::wstring(c.szInstallDir));

    ts::MessageBoxWatcher boxes;
    EXPECT_TRUE(Install(medium, c));
    EXPECT_EQ(std::vector<std::wstring>{}, boxes.Texts());

    // Files: the helper on NT 6 only, no images without RiriDITitle.bmp on the medium.
    std::vector<std::wstring> top = {p.appFileName, L"mingwm10.dll", L"Uninstall"};
    if (g_bNt6)
        top.push_back(L"XSrvSetup.exe");
    EXPECT_EQ(LowerSet(top), LowerSet(ts::ListDir(dir)));
    std::vector<std::wstring> uninstall = {L"setup.exe", L"setup.ini"};
    for (const wchar_t* m : kSevenModules)
        uninstall.push_back(m);
    EXPECT_EQ(LowerSet(uninstall), LowerSet(ts::ListDir(dir + L"\\Uninstall")));  // no setupITA/ESN
    EXPECT_TRUE(SameFile(medium + L"Application\\" + p.appFileName, dir + L"\\" + p.appFileName));
    EXPECT_TRUE(SameFile(medium + L"setup.exe", dir + L"\\Uninstall\\setup.exe"));
    EXPECT_TRUE(SameFile(medium + L"setup.ini", dir + L"\\Uninstall\\setup.ini"));

    // Autostart before NT 6 only, the payload path quoted.
    ts::RegText run = ts::ReadHklm32(ts::kRunKey, p.appName.c_str());
    if (g_bNt6) {
        EXPECT_FALSE(run.present);
    } else {
        std::wstring want = L"\"" + dir + L"\\" + p.appFileName + L"\" min";
        EXPECT_TRUE(run.present);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), run.type);
        EXPECT_EQ(want, run.text);
        EXPECT_EQ(BytesOf(want), run.bytes);
    }
    ExpectUninstallEntry(p, dir);
    ExpectLinks(p, dir);
    EXPECT_EQ(g_bNt6 != 0, CompatMarked(dir + L"\\" + p.appFileName));

    // The helper: on NT 6 one -i of the new copy (no earlier one to stop), none before.
    std::vector<ts::HelperCall> calls = WaitForHelperCalls(g_bNt6 ? 1 : 0);
    if (g_bNt6) {
        EXPECT_EQ(std::vector<std::wstring>{L"-i"}, Arguments(calls));
        for (const ts::HelperCall& call : calls)
            EXPECT_TRUE(SameText(dir + L"\\XSrvSetup.exe", call.program)) << call.program;
        EXPECT_TRUE(WaitForService(SERVICE_RUNNING));
    } else {
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(ts::HelperServiceExists());
    }

    // What was installed runs: the payload finds its DLL and its name in the installed layout.
    HANDLE app = StartProcess(ts::Quote(dir + L"\\" + p.appFileName));
    ASSERT_TRUE(app);
    EXPECT_TRUE(WaitForWindow(p.appName)) << "installed payload shows no window titled AppName";
}

TEST_F(InstallTest, ImagesAreCopiedOnlyWithTheTitleImage)
{
    struct Row {
        bool title, about;
    } rows[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "RiriDITitle.bmp " << r.title << ", title_about.bmp " << r.about);
        ts::Package p = NewPackage(r.title ? (r.about ? L"TA" : L"T") : (r.about ? L"A" : L"N"));
        ts::MediumOptions o = ts::MediumFor(p);
        o.titleBmp = r.title;
        o.aboutBmp = r.about;
        std::wstring medium = NewMedium(o);
        ts::MessageBoxWatcher boxes;
        EXPECT_TRUE(Install(medium, ConfigOf(medium)));  // a missing title_about.bmp passes unnoticed
        EXPECT_EQ(std::vector<std::wstring>{}, boxes.Texts());
        std::wstring dir = ts::ExpectedInstallDir(p.folderName);
        EXPECT_EQ(r.title, ts::Exists(dir + L"\\RiriDITitle.bmp"));
        EXPECT_EQ(r.title && r.about, ts::Exists(dir + L"\\title_about.bmp"));
        ts::CleanInstall(p);
    }
}

// Over an earlier install: the helper of that install is stopped and removed first
// (NT 6), every file and link is replaced, and the user's QV.cfg stays.
TEST_F(InstallTest, ReinstallReplacesFilesAndLinksAndKeepsTheUsersSettings)
{
    ts::Package p = NewPackage();
    std::wstring first = NewMedium(ts::MediumFor(p));
    ASSERT_TRUE(Install(first, ConfigOf(first)));
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    if (g_bNt6) {
        ASSERT_TRUE(WaitForService(SERVICE_RUNNING));
    }

    // The user's settings and some damage to repair.
    ASSERT_TRUE(ts::WriteBytes(dir + L"\\QV.cfg", "300 200 640 480\r\n"));
    ASSERT_TRUE(ts::WriteBytes(dir + L"\\mingwm10.dll", "stale"));
    ASSERT_TRUE(ts::WriteBytes(dir + L"\\Uninstall\\setup.ini", "stale"));
    ASSERT_TRUE(ts::WriteBytes(ts::DesktopLinkPath(p.appName), "stale"));
    ASSERT_TRUE(ts::WriteBytes(ts::ProgramsFolderPath(p.appName) + L"\\Uninstall.lnk", "stale"));
    // A program where an unquoted "C:\Program Files..." command line would start it.
    std::wstring planted = L"C:\\Program.exe";
    ASSERT_FALSE(ts::Exists(planted));
    ASSERT_TRUE(CopyFileW(ts::BinPath(L"XSrvSetup.exe").c_str(), planted.c_str(), TRUE));
    ts::DeleteTree(log_);

    ts::Package next = p;
    next.version = L"2.0.0";
    std::wstring second = NewMedium(ts::MediumFor(next));
    ts::MessageBoxWatcher boxes;
    BOOL ok = Install(second, ConfigOf(second));
    DeleteFileW(planted.c_str());
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::vector<std::wstring>{}, boxes.Texts());

    std::string cfg;
    EXPECT_TRUE(ts::ReadBytes(dir + L"\\QV.cfg", &cfg));
    EXPECT_EQ("300 200 640 480\r\n", cfg);
    EXPECT_TRUE(SameFile(second + L"Application\\mingwm10.dll", dir + L"\\mingwm10.dll"));
    EXPECT_TRUE(SameFile(second + L"setup.ini", dir + L"\\Uninstall\\setup.ini"));
    ExpectLinks(next, dir);
    ExpectUninstallEntry(next, dir);

    std::vector<ts::HelperCall> calls = WaitForHelperCalls(g_bNt6 ? 3 : 0);
    if (!g_bNt6) {
        EXPECT_TRUE(calls.empty());
        return;
    }
    ASSERT_EQ((std::vector<std::wstring>{L"-k", L"-u", L"-i"}), Arguments(calls));
    for (const ts::HelperCall& call : calls)
        EXPECT_TRUE(SameText(dir + L"\\XSrvSetup.exe", call.program)) << call.program;
    ts::HelperCall k = Only(calls, L"-k")[0], u = Only(calls, L"-u")[0], i = Only(calls, L"-i")[0];
    EXPECT_GE(u.ms - k.ms, 1000u);
    EXPECT_GE(i.ms - u.ms, 1000u);
    std::printf("helper pauses: -k to -u %llu ms, -u to -i %llu ms\n", u.ms - k.ms, i.ms - u.ms);
    EXPECT_TRUE(WaitForService(SERVICE_RUNNING));
}

TEST_F(InstallTest, RunningPayloadIsClosedBeforeItsFilesAreReplaced)
{
    ts::Package p = NewPackage();
    std::wstring medium = NewMedium(ts::MediumFor(p));
    ASSERT_TRUE(Install(medium, ConfigOf(medium)));
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    if (g_bNt6) {
        ASSERT_TRUE(WaitForService(SERVICE_RUNNING));
    }

    // The installed payload runs (its image cannot be replaced while it does) beside a
    // window whose title only contains AppName.
    HANDLE app = StartProcess(ts::Quote(dir + L"\\" + p.appFileName));
    ASSERT_TRUE(app);
    ASSERT_TRUE(WaitForWindow(p.appName));
    std::wstring other = p.appName + L" Viewer";
    ASSERT_TRUE(StartProcess(ts::Quote(ts::BinPath(L"install_window_holder.exe")) + L" pump " + ts::Quote(other)));
    ASSERT_TRUE(WaitForWindow(other));

    ts::MessageBoxWatcher boxes;
    DWORD elapsed = 0;
    EXPECT_TRUE(Install(medium, ConfigOf(medium), &elapsed));
    EXPECT_EQ(std::vector<std::wstring>{}, boxes.Texts());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(app, 0)) << "the payload still runs";
    EXPECT_TRUE(ts::Exists(dir + L"\\QV.cfg")) << "the payload did not handle WM_CLOSE";
    EXPECT_GE(elapsed, 1000u);
    EXPECT_TRUE(FindWindowW(NULL, other.c_str())) << "a window that only contains AppName was closed";
}

TEST_F(InstallTest, HungPayloadWindowDoesNotHangTheInstall)
{
    ts::Package p = NewPackage();
    std::wstring medium = NewMedium(ts::MediumFor(p));
    ASSERT_TRUE(StartProcess(ts::Quote(ts::BinPath(L"install_window_holder.exe")) + L" hung " + ts::Quote(p.appName)));
    HWND hung = WaitForWindow(p.appName);
    ASSERT_TRUE(hung);

    ts::MessageBoxWatcher boxes;
    DWORD elapsed = 0;
    EXPECT_TRUE(Install(medium, ConfigOf(medium), &elapsed));
    EXPECT_EQ(std::vector<std::wstring>{}, boxes.Texts());
    EXPECT_GE(elapsed, 1000u);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_TRUE(IsWindow(hung));
    ExpectLinks(p, ts::ExpectedInstallDir(p.folderName));
}

// Which missing or blocked files make the install fail: the required ones, and a
// language module that is on the medium but cannot be copied; absent modules do not.
TEST_F(InstallTest, RequiredFilesDecideTheResult)
{
    struct Row {
        const wchar_t* tag;
        void (*edit)(ts::MediumOptions&);
        const wchar_t* held;  // a target below the install folder held open, or NULL
        bool want;
    } rows[] = {
        {L"Complete", [](ts::MediumOptions&) {}, NULL, true},
        {L"NoModules", [](ts::MediumOptions& o) { o.languageModules = false; o.stubModules.clear(); }, NULL, true},
        {L"NoSetupExe", [](ts::MediumOptions& o) { o.setupExe = false; }, NULL, false},
        {L"NoSetupIni", [](ts::MediumOptions& o) { o.setupIni = false; }, NULL, false},
        {L"NoDll", [](ts::MediumOptions& o) { o.mingw = false; }, NULL, false},
        {L"NoPayload", [](ts::MediumOptions& o) { o.payload = false; }, NULL, false},
        {L"HeldModule", [](ts::MediumOptions& o) { o.stubModules = {L"setupKOR.dll"}; }, L"Uninstall\\setupKOR.dll",
         false},
        {L"HeldPayload", [](ts::MediumOptions&) {}, L"CorviskApp.exe", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.tag);
        ts::Package p = NewPackage(r.tag);
        ts::MediumOptions o = ts::MediumFor(p);
        r.edit(o);
        std::wstring medium = NewMedium(o);
        SetupConfig c = ConfigOf(medium);  // the medium's setup.ini, or our own when it has none
        if (!o.setupIni) {
            ts::MediumOptions withIni = ts::MediumFor(p);
            c = ConfigOf(NewMedium(withIni));
        }
        std::wstring dir = ts::ExpectedInstallDir(p.folderName);
        std::unique_ptr<HeldFile> held;
        if (r.held) {
            CreateDirectoryW(dir.c_str(), NULL);
            CreateDirectoryW((dir + L"\\Uninstall").c_str(), NULL);
            held.reset(new HeldFile(dir + L"\\" + r.held));
            ASSERT_TRUE(held->ok());
        }
        ts::MessageBoxWatcher boxes;
        EXPECT_EQ(r.want, Install(medium, c) != FALSE);
        // Copy failures show nothing; the rest of the install still happens.
        EXPECT_EQ(std::vector<std::wstring>{}, boxes.Texts());
        EXPECT_TRUE(ts::ReadUninstallEntry(p.folderName).displayName.present);
        EXPECT_TRUE(ts::Exists(ts::DesktopLinkPath(p.appName)));
        held.reset();
        ts::CleanInstall(p);
    }
}

TEST_F(InstallTest, HelperThatCannotStartEndsTheInstallBeforeTheLinks)
{
    ts::Package p = NewPackage();
    ts::MediumOptions o = ts::MediumFor(p);
    o.helper = false;
    std::wstring medium = NewMedium(o);
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);

    ts::MessageBoxWatcher boxes;
    BOOL ok = Install(medium, ConfigOf(medium));
    if (!g_bNt6) {
        // No helper is needed before NT 6.
        EXPECT_TRUE(ok);
        EXPECT_EQ(std::vector<std::wstring>{}, boxes.Texts());
        ExpectLinks(p, dir);
        return;
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(std::vector<std::wstring>{L"Fail to install the service!"}, boxes.Texts());
    ExpectNoLinks(p);
    EXPECT_FALSE(CompatMarked(dir + L"\\" + p.appFileName));
    // Files and values are in place all the same.
    EXPECT_TRUE(ts::Exists(dir + L"\\" + p.appFileName));
    ExpectUninstallEntry(p, dir);
}

TEST_F(InstallTest, UninstallKeyThatCannotBeCreatedFailsSilently)
{
    ts::Package p = NewPackage();
    std::wstring medium = NewMedium(ts::MediumFor(p));
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    BOOL ok;
    ts::MessageBoxWatcher boxes;
    {
        LockedKey lock(ts::UninstallKey(p.folderName));
        ASSERT_TRUE(lock.ok());
        ok = Install(medium, ConfigOf(medium));
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(std::vector<std::wstring>{}, boxes.Texts());
    ts::UninstallEntry e = ts::ReadUninstallEntry(p.folderName);
    EXPECT_FALSE(e.uninstallString.present);
    EXPECT_FALSE(e.displayName.present);
    EXPECT_TRUE(ts::Exists(dir + L"\\" + p.appFileName));
    ExpectLinks(p, dir);
    EXPECT_EQ(g_bNt6 != 0, CompatMarked(dir + L"\\" + p.appFileName));
}

// An empty, relative or climbing install folder: nothing is written anywhere.
TEST_F(InstallTest, UnusableInstallFolderIsRefused)
{
    const wchar_t* dirs[] = {
        L"",        L"\\Evil",       L"Evil",  L"C:",  L"C:\\", L"C:\\Program Files\\..\\Evil",
        L"C:\\Program Files\\.\\Evil", L"C:\\Program Files\\Evil\\", L"\\\\server\\share\\Evil",
    };
    ts::Package p = NewPackage();
    std::wstring medium = NewMedium(ts::MediumFor(p));
    wchar_t cwd[MAX_PATH] = {0};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring cwdRoot = std::wstring(cwd).substr(0, 3);
    for (const wchar_t* d : dirs) {
        SCOPED_TRACE(testing::Message() << "install folder \"" << std::string(d, d + wcslen(d)) << "\"");
        SetupConfig c = ConfigOf(medium);
        lstrcpynW(c.szInstallDir, d, MAX_PATH);
        ts::MessageBoxWatcher boxes;
        EXPECT_FALSE(Install(medium, c));
        EXPECT_EQ(std::vector<std::wstring>{L"Fail to create the install folder!"}, boxes.Texts());
        for (const std::wstring& path :
             {std::wstring(L"C:\\Uninstall"), std::wstring(L"C:\\mingwm10.dll"), L"C:\\" + p.appFileName,
              std::wstring(L"C:\\Evil"), cwdRoot + L"Uninstall", cwdRoot + L"mingwm10.dll", ts::ExpectedInstallDir(L"Evil")})
            EXPECT_FALSE(ts::Exists(path)) << std::string(path.begin(), path.end());
        EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::UninstallKey(p.folderName), KEY_WOW64_32KEY));
        EXPECT_FALSE(ts::ReadHklm32(ts::kRunKey, p.appName.c_str()).present);
        ExpectNoLinks(p);
        EXPECT_TRUE(HelperCalls().empty());
    }
}

// A file name that would not fit beside the install folder is refused, never cut into
// another name.
TEST_F(InstallTest, OverlongPathsAreRefusedNotCut)
{
    ts::Package p = NewPackage();
    ts::MediumOptions o = ts::MediumFor(p);
    o.payload = false;
    std::wstring medium = NewMedium(o);
    SetupConfig c = ConfigOf(medium);
    std::wstring dir = c.szInstallDir;
    std::wstring name(MAX_PATH - 1 - dir.size() - 1 - 4 + 1, L'a');  // one character too many
    name += L".exe";
    lstrcpynW(c.szAPPFileName, name.c_str(), MAX_PATH);
    ts::MessageBoxWatcher boxes;
    EXPECT_FALSE(Install(medium, c));
    std::vector<std::wstring> want;
    if (!g_bNt6)
        want.push_back(L"Fail to write the Run registry key!");
    EXPECT_EQ(want, boxes.Texts());
    for (const std::wstring& f : ts::ListDir(dir))
        EXPECT_NE(L'a', f[0]) << "a cut name was written";
    EXPECT_FALSE(ts::ReadHklm32(ts::kRunKey, p.appName.c_str()).present);
    EXPECT_FALSE(ts::Exists(ts::DesktopLinkPath(p.appName)));
    EXPECT_FALSE(ts::Exists(ts::ProgramsFolderPath(p.appName) + L"\\" + p.appName + L".lnk"));
    EXPECT_TRUE(ts::Exists(ts::ProgramsFolderPath(p.appName) + L"\\Uninstall.lnk"));
}
