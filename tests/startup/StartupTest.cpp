// setup.exe started from a real medium in the prefix's own language (English).
#include <gtest/gtest.h>

#include "StartupCheck.h"

namespace {

const std::vector<std::wstring> kSevenModules = {L"setupENU.dll", L"setupCHT.dll", L"setupCHS.dll", L"setupJPN.dll",
                                                 L"setupKOR.dll", L"setupFRA.dll", L"setupDEU.dll"};

ts::Package MakePackage(const wchar_t* tag)
{
    ts::Package p;
    p.folderName = std::wstring(L"Startup ") + tag;
    p.appName = std::wstring(L"Startup Viewer ") + tag;
    return p;
}

ts::MediumOptions Options(const std::string& ini)
{
    ts::MediumOptions o;
    o.ini = ini;
    return o;
}

// Holds the single-instance mutex as a running setup.exe would.
struct MutexHolder {
    HANDLE h = CreateMutexW(NULL, FALSE, L"Corvisk");
    ~MutexHolder()
    {
        if (h)
            CloseHandle(h);
    }
};

}  // namespace

TEST(SilentInstall, InstallsTheWholePackageAndReportsSuccess)
{
    const wchar_t* words[] = {L"s", L"/S", L"-s"};
    int row = 0;
    for (const wchar_t* word : words) {
        SCOPED_TRACE(testing::Message() << "command line: " << word);
        ts::Package p = MakePackage((L"Word" + std::to_wstring(++row)).c_str());
        std::wstring dir = ts::ExpectedInstallDir(p.folderName);
        std::wstring medium = ts::MakeMedium(Options(st::IniText(p)));
        ASSERT_FALSE(medium.empty());
        ts::MessageBoxWatcher boxes;
        ts::ProcResult r = st::RunSetup(medium, word);
        ASSERT_TRUE(r.started);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(0u, r.exitCode);
        EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts()[0];
        st::ExpectInstalled(p, dir);
        st::CleanInstallAt(p, dir);
        ts::DeleteTree(medium);
    }
}

TEST(SilentInstall, StartsThePayloadOnlyWhenTheConfigurationAsks)
{
    for (bool launch : {true, false}) {
        SCOPED_TRACE(launch ? "LaunchAPInSilentMode=1" : "LaunchAPInSilentMode=0");
        ts::Package p = MakePackage(launch ? L"Launch" : L"NoLaunch");
        std::wstring dir = ts::ExpectedInstallDir(p.folderName);
        std::wstring medium = ts::MakeMedium(Options(st::IniText(p, NULL, launch)));
        ASSERT_FALSE(medium.empty());
        ts::ProcResult r = st::RunSetup(medium, L"s");
        EXPECT_EQ(0u, r.exitCode);
        // The payload titles its window with the AppName it reads from the installed
        // Uninstall\setup.ini.
        HWND w = st::WaitForWindow(p.appName, launch ? 15000 : 2000);
        if (launch) {
            EXPECT_TRUE(w != NULL) << "no payload window";
        } else {
            EXPECT_TRUE(w == NULL) << "the payload started";
        }
        if (w)
            st::CloseAndWait(w);
        st::CleanInstallAt(p, dir);
        ts::DeleteTree(medium);
    }
}

TEST(SilentInstall, ExitCodeReportsAFailedInstall)
{
    // No payload on the medium: the install cannot be complete.
    ts::Package p = MakePackage(L"Broken");
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    ts::MediumOptions o = Options(st::IniText(p));
    o.payload = false;
    std::wstring medium = ts::MakeMedium(o);
    ASSERT_FALSE(medium.empty());
    ts::MessageBoxWatcher boxes;
    ts::ProcResult r = st::RunSetup(medium, L"s");
    EXPECT_FALSE(r.timedOut);
    EXPECT_NE(0u, r.exitCode);
    st::CleanInstallAt(p, dir);
    ts::DeleteTree(medium);
}

TEST(SilentInstall, RunsWithoutAnyLanguageModule)
{
    ts::Package p = MakePackage(L"NoModule");
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    ts::MediumOptions o = Options(st::IniText(p));
    o.languageModules = false;
    std::wstring medium = ts::MakeMedium(o);
    ASSERT_FALSE(medium.empty());
    ts::ProcResult r = st::RunSetup(medium, L"s");
    EXPECT_EQ(0u, r.exitCode);
    // The install still copies the seven names; only the files themselves are missing.
    EXPECT_TRUE(ts::Exists(dir + L"\\" + p.appFileName));
    EXPECT_TRUE(ts::Exists(dir + L"\\Uninstall\\setup.exe"));
    EXPECT_TRUE(ts::ReadUninstallEntry(p.folderName).keyExists);
    st::CleanInstallAt(p, dir);
    ts::DeleteTree(medium);
}

TEST(SingleInstance, SecondStartEndsAtOnceWithoutTouchingAnything)
{
    ts::Package p = MakePackage(L"Second");
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    ts::MediumOptions o = Options(st::IniText(p, NULL, true));
    o.languageModules = false;
    std::wstring medium = ts::MakeMedium(o, L"SecondRun");
    ASSERT_FALSE(medium.empty());
    ASSERT_TRUE(st::PlaceSpies(medium, kSevenModules));
    std::wstring mark = st::Lower(medium + L"setup.exe");
    {
        MutexHolder running;
        ASSERT_TRUE(running.h != NULL);
        DWORD start = GetTickCount();
        ts::ProcResult r = st::RunSetup(medium, L"s", L"setup.exe", 20000);
        DWORD elapsed = GetTickCount() - start;
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(2u, r.exitCode);
        EXPECT_LT(elapsed, 5000u);
        // Nothing of start-up ran: no mark, no language module, no install, no payload.
        EXPECT_FALSE(st::PersistedValueExists(mark));
        EXPECT_TRUE(st::SpyLoads(medium).empty());
        EXPECT_FALSE(ts::Exists(dir));
        EXPECT_TRUE(FindWindowW(NULL, p.appName.c_str()) == NULL);
    }
    // Once the other instance has gone, the same medium installs.
    ts::ProcResult r = st::RunSetup(medium, L"s");
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_TRUE(ts::Exists(dir + L"\\" + p.appFileName));
    HWND w = st::WaitForWindow(p.appName, 15000);
    if (w)
        st::CloseAndWait(w);
    st::DeletePersistedValue(mark);
    st::CleanInstallAt(p, dir);
    ts::DeleteTree(medium);
}

TEST(CompatibilityMark, NamedAfterTheLowerCasedPathAndWrittenBeforeTheModuleLoadsOnNt6Only)
{
    bool nt6 = ts::HostName() == L"w7x64";
    ts::Package p = MakePackage(L"Mark");
    std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    ts::MediumOptions o = Options(st::IniText(p));
    o.languageModules = false;
    std::wstring medium = ts::MakeMedium(o, L"MixedCase");  // C:\tests\MixedCase-...
    ASSERT_FALSE(medium.empty());
    ASSERT_TRUE(st::PlaceSpies(medium, kSevenModules));
    ts::ProcResult r = st::RunSetup(medium, L"s");
    EXPECT_EQ(0u, r.exitCode);

    std::wstring lower = st::Lower(medium + L"setup.exe");
    ASSERT_NE(lower, medium + L"setup.exe");
    DWORD data = 0;
    EXPECT_EQ(nt6, st::PersistedValueNamedExactly(lower, &data));
    if (nt6) {
        EXPECT_EQ(1u, data);
    }
    EXPECT_FALSE(st::PersistedValueNamedExactly(medium + L"setup.exe"));
    std::vector<st::SpyLoad> loads = st::SpyLoads(medium);
    ASSERT_EQ(1u, loads.size());
    EXPECT_EQ(0, _wcsicmp(L"setupENU.dll", loads[0].file.c_str())) << loads[0].file;
    EXPECT_EQ(nt6, loads[0].marked) << "the mark must exist when the language module loads";

    st::DeletePersistedValue(lower);
    st::CleanInstallAt(p, dir);
    ts::DeleteTree(medium);
}

TEST(AlternateSection, TheTitleImageSelectsItForTheSilentInstallOnly)
{
    ts::Package normal = MakePackage(L"Normal");
    ts::Package alternate = MakePackage(L"Alternate");
    std::wstring normalDir = ts::ExpectedInstallDir(normal.folderName);
    std::wstring alternateDir = ts::ExpectedInstallDir(alternate.folderName);
    struct Case {
        const wchar_t* args;
        bool titleImage;
        const ts::Package* installed;  // NULL: the install wizard runs, nothing is installed
    } cases[] = {
        {L"s", true, &alternate},
        {L"s", false, &normal},
        {L"SilentDel", true, NULL},
        {L"install", true, NULL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "args " << c.args << (c.titleImage ? ", with" : ", without")
                                        << " Application\\RiriDITitle.bmp");
        ts::MediumOptions o = Options(st::IniText(normal, &alternate));
        o.titleBmp = c.titleImage;
        o.aboutBmp = c.titleImage;
        std::wstring medium = ts::MakeMedium(o);
        ASSERT_FALSE(medium.empty());
        HANDLE h = ts::Start(ts::Quote(medium + L"setup.exe") + L" " + c.args, L"C:\\");
        ASSERT_TRUE(h != NULL);
        if (!c.installed) {
            // The install wizard, titled after the normal section's AppName; it is left
            // through Cancel.
            HWND seen = NULL;
            for (int i = 0; i < 200 && WaitForSingleObject(h, 50) == WAIT_TIMEOUT && !seen; ++i) {
                EXPECT_TRUE(FindWindowW(NULL, (alternate.appName + L" - Installation Wizard").c_str()) == NULL);
                seen = FindWindowW(NULL, (normal.appName + L" - Installation Wizard").c_str());
            }
            EXPECT_TRUE(seen != NULL) << "no install wizard titled after the normal section";
            if (seen)
                PostMessageW(seen, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 30000));
        DWORD code = 1;
        GetExitCodeProcess(h, &code);
        CloseHandle(h);
        EXPECT_EQ(0u, code);
        EXPECT_EQ(c.installed == &normal, ts::Exists(normalDir));
        EXPECT_EQ(c.installed == &alternate, ts::Exists(alternateDir));
        if (c.installed)
            st::ExpectInstalled(*c.installed, c.installed == &normal ? normalDir : alternateDir);
        if (c.installed == &alternate) {
            EXPECT_TRUE(ts::Exists(alternateDir + L"\\RiriDITitle.bmp"));
        }
        st::CleanInstallAt(normal, normalDir);
        st::CleanInstallAt(alternate, alternateDir);
        ts::DeleteTree(medium);
    }
}

TEST(ModuleFiles, EachHoldsTheTwentyTextsAndTheChineseOneMatchesTheProgram)
{
    HMODULE program = LoadLibraryExW(ts::BinPath(L"setup.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program != NULL);
    struct Case {
        const wchar_t* file;
        const wchar_t* install;  // string 1
    } cases[] = {
        {L"setupENU.dll", L"Install"},      {L"setupCHT.dll", L"\u5B89\u88DD"}, {L"setupCHS.dll", L"\u5B89\u88C5"},
        {L"setupJPN.dll", L"インストール"}, {L"setupKOR.dll", L"설치"},       {L"setupFRA.dll", L"Installer"},
        {L"setupDEU.dll", L"Installieren"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        // Loaded as the program loads it: as a module of this 32-bit process.
        HMODULE m = LoadLibraryW(ts::BinPath(c.file).c_str());
        ASSERT_TRUE(m != NULL) << GetLastError();
        wchar_t text[1024];
        ASSERT_GT(LoadStringW(m, 1, text, 1024), 0);
        EXPECT_STREQ(c.install, text);
        for (UINT id = 1; id <= 20; ++id) {
            SCOPED_TRACE(testing::Message() << "string " << id);
            int n = LoadStringW(m, id, text, 1024);
            EXPECT_GT(n, 0);
            // The short captions live in 128-character buffers.
            if (id == 1 || id == 2 || id == 3 || id == 10) {
                EXPECT_LT(n, 128);
            }
            if (wcscmp(c.file, L"setupCHT.dll") == 0) {
                wchar_t own[1024];
                ASSERT_GT(LoadStringW(program, id, own, 1024), 0);
                EXPECT_STREQ(own, text);
            }
        }
        FreeLibrary(m);
    }
    FreeLibrary(program);
}
