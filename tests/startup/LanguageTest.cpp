// Which language module setup.exe loads under the prefix's real locale, and the
// Program Files name the German and Spanish languages give. Each suite runs as its own
// CTest entry with LC_ALL set for it; stand-in modules on the medium record which file
// the program loaded.
#include <gtest/gtest.h>

#include "StartupCheck.h"

namespace {

const std::vector<std::wstring> kSevenModules = {L"setupENU.dll", L"setupCHT.dll", L"setupCHS.dll", L"setupJPN.dll",
                                                 L"setupKOR.dll", L"setupFRA.dll", L"setupDEU.dll"};

std::vector<std::wstring> Without(const wchar_t* name)
{
    std::vector<std::wstring> names;
    for (const std::wstring& n : kSevenModules)
        if (n != name)
            names.push_back(n);
    return names;
}

struct Outcome {
    std::vector<std::wstring> loaded;  // file names, in load order
    bool installed = false;            // the payload arrived in the expected folder
};

// Runs `{exeName} s` from a medium carrying stand-in modules of the given names and
// reports what was loaded and whether the package went to installDir.
Outcome RunSilent(const wchar_t* tag, const std::vector<std::wstring>& modules, const wchar_t* programFiles,
                  const wchar_t* exeName = L"setup.exe")
{
    Outcome out;
    ts::Package p;
    p.folderName = std::wstring(L"Language ") + tag;
    p.appName = std::wstring(L"Language Viewer ") + tag;
    ts::MediumOptions o;
    o.ini = st::IniText(p);
    o.languageModules = false;
    std::wstring medium = ts::MakeMedium(o, tag);
    EXPECT_FALSE(medium.empty());
    if (medium.empty())
        return out;
    EXPECT_TRUE(st::PlaceSpies(medium, modules));
    if (wcscmp(exeName, L"setup.exe") != 0) {
        EXPECT_TRUE(CopyFileW((medium + L"setup.exe").c_str(), (medium + exeName).c_str(), FALSE));
    }
    std::wstring dir = st::InstallDirUnder(programFiles, p.folderName);
    // A German or Spanish Windows has its Program Files folder under that name; the
    // English prefix gets it for the run (the install creates only its own folder).
    std::wstring parent = dir.substr(0, dir.rfind(L'\\'));
    bool madeParent = !ts::Exists(parent) && CreateDirectoryW(parent.c_str(), NULL);
    ts::MessageBoxWatcher boxes;
    ts::ProcResult r = st::RunSetup(medium, L"s", exeName);
    EXPECT_FALSE(r.timedOut);
    for (const st::SpyLoad& l : st::SpyLoads(medium))
        out.loaded.push_back(st::Lower(l.file));
    out.installed = ts::Exists(dir + L"\\" + p.appFileName);
    st::CleanInstallAt(p, dir);
    st::CleanInstallAt(p, ts::ExpectedInstallDir(p.folderName));
    st::DeletePersistedValue(st::Lower(medium + exeName));
    if (madeParent)
        RemoveDirectoryW(parent.c_str());
    ts::DeleteTree(medium);
    return out;
}

std::vector<std::wstring> Loaded(const wchar_t* name)
{
    if (!name)
        return {};
    return {st::Lower(name)};
}

// The English Program Files name of this host, for a package that no language changes.
const wchar_t* EnglishProgramFiles() { return st::IsWow64Host() ? L"Program Files (x86)" : L"Program Files"; }

void ExpectUiLanguage(LANGID want)
{
    ASSERT_EQ(want, GetUserDefaultUILanguage()) << "this suite needs its locale (LC_ALL) set by its CTest entry";
}

struct Case {
    const wchar_t* what;
    std::vector<std::wstring> modules;
    const wchar_t* exeName;
    const wchar_t* loaded;  // NULL: no module loads
};

void RunCases(const std::vector<Case>& cases, const wchar_t* programFiles)
{
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome o = RunSilent((L"Row" + std::to_wstring(++row)).c_str(), c.modules, programFiles, c.exeName);
        EXPECT_EQ(Loaded(c.loaded), o.loaded);
        EXPECT_TRUE(o.installed) << "not installed under " << programFiles;
    }
}


// Starts the install wizard from a medium with the real language modules and returns
// the caption of its Install button, which comes from the module that loaded.
std::wstring WizardInstallCaption(const wchar_t* tag)
{
    ts::Package p;
    p.folderName = std::wstring(L"Language ") + tag;
    p.appName = std::wstring(L"Language Wizard ") + tag;
    ts::MediumOptions o;
    o.ini = st::IniText(p);
    std::wstring medium = ts::MakeMedium(o, tag);
    EXPECT_FALSE(medium.empty());
    if (medium.empty())
        return L"";
    std::wstring caption;
    HANDLE h = ts::Start(ts::Quote(medium + L"setup.exe"), L"C:\\");
    EXPECT_TRUE(h != NULL);
    HWND wizard = st::WaitForWindow(p.appName + L" - Installation Wizard", 15000);
    EXPECT_TRUE(wizard != NULL) << "no install wizard";
    if (wizard) {
        wchar_t text[256] = {0};
        GetWindowTextW(GetDlgItem(wizard, 1000), text, 256);
        caption = text;
        PostMessageW(wizard, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    if (h) {
        if (WaitForSingleObject(h, 15000) != WAIT_OBJECT_0)
            TerminateProcess(h, 1);
        CloseHandle(h);
    }
    st::DeletePersistedValue(st::Lower(medium + L"setup.exe"));
    ts::DeleteTree(medium);
    return caption;
}

}  // namespace

TEST(LanguageTraditionalChinese, LoadsTheChineseModuleAndNamesModulesAfterTheProgram)
{
    ExpectUiLanguage(0x0404);
    RunCases(
        {
            {L"the seven modules", kSevenModules, L"setup.exe", L"setupCHT.DLL"},
            {L"no Chinese module: English at once", Without(L"setupCHT.dll"), L"setup.exe", L"setupENU.DLL"},
            {L"install.exe with installENU.DLL beside setup*.dll",
             {L"setupCHT.dll", L"setupENU.dll", L"installENU.DLL"}, L"install.exe", L"installENU.DLL"},
            {L"install.exe with installCHT.DLL", {L"setupCHT.dll", L"installCHT.DLL", L"installENU.DLL"},
             L"install.exe", L"installCHT.DLL"},
            {L"install.exe with only setup*.dll", kSevenModules, L"install.exe", NULL},
        },
        EnglishProgramFiles());
}

TEST(LanguageItalian, FallsBackToEnglishInTheFirstAttempt)
{
    ExpectUiLanguage(0x0410);
    RunCases({{L"the seven modules", kSevenModules, L"setup.exe", L"setupENU.DLL"}}, EnglishProgramFiles());
}

TEST(LanguageGerman, GermanUiGivesTheGermanProgramFilesNameEvenWithTheEnglishModule)
{
    ExpectUiLanguage(0x0407);
    const wchar_t* programFiles = st::IsWow64Host() ? L"Program Files (x86)" : L"Programme";
    RunCases(
        {
            {L"no German module", Without(L"setupDEU.dll"), L"setup.exe", L"setupENU.DLL"},
            {L"the seven modules", kSevenModules, L"setup.exe", L"setupDEU.DLL"},
            {L"no module at all", {}, L"setup.exe", NULL},
        },
        programFiles);
}

TEST(LanguageSpanish, SpanishSystemGivesTheSpanishProgramFilesNameUnderAnotherUi)
{
    // French user interface on a Spanish (Mexico) system: the French module loads in
    // the first attempt, and that attempt already sets the Spanish flag. XP names the
    // folder in Spanish; under WOW64 or on NT 6 it is "Program Files", not
    // "Program Files (x86)".
    ExpectUiLanguage(0x040C);
    ASSERT_EQ(0x080A, GetSystemDefaultLangID());
    const wchar_t* programFiles = ts::HostName() == L"xp32" ? L"Archivos de programa" : L"Program Files";
    RunCases({{L"the seven modules", kSevenModules, L"setup.exe", L"setupFRA.DLL"}}, programFiles);
}

TEST(LanguageItalian, ModuleNamesAreCutAtTheFirstDotExeOfThePath)
{
    // C:\tests\tools.exe-...\setup.exe looks for C:\tests\toolsITA.DLL, then
    // C:\tests\toolsENU.DLL, and never beside the program.
    ExpectUiLanguage(0x0410);
    ts::Package p;
    p.folderName = L"Language DotExe";
    p.appName = L"Language Viewer DotExe";
    ts::MediumOptions o;
    o.ini = st::IniText(p);
    o.languageModules = false;
    std::wstring medium = ts::MakeMedium(o, L"tools.exe");
    ASSERT_FALSE(medium.empty());
    ASSERT_TRUE(st::PlaceSpies(medium, kSevenModules));
    std::wstring outside = L"C:\\tests\\";
    for (bool fallbackPresent : {false, true}) {
        SCOPED_TRACE(fallbackPresent ? "C:\\tests\\toolsENU.DLL present" : "no C:\\tests\\toolsENU.DLL");
        if (fallbackPresent) {
            ASSERT_TRUE(st::PlaceSpies(outside, {L"toolsENU.DLL"}));
        }
        ts::ProcResult r = st::RunSetup(medium, L"s");
        EXPECT_EQ(0u, r.exitCode);
        EXPECT_TRUE(st::SpyLoads(medium).empty());
        std::vector<st::SpyLoad> loads = st::SpyLoads(outside);
        EXPECT_EQ(fallbackPresent ? 1u : 0u, loads.size());
        if (!loads.empty()) {
            EXPECT_EQ(L"toolsenu.dll", st::Lower(loads[0].file));
        }
        DeleteFileW((outside + L"toolsENU.DLL").c_str());
        DeleteFileW((outside + L"langspy.log").c_str());
        st::CleanInstallAt(p, ts::ExpectedInstallDir(p.folderName));
    }
    st::DeletePersistedValue(st::Lower(medium + L"setup.exe"));
    ts::DeleteTree(medium);
}

// The real modules, seen through the wizard's Install button.
TEST(LanguageTraditionalChinese, WizardTakesItsTextsFromTheChineseModule)
{
    ExpectUiLanguage(0x0404);
    EXPECT_EQ(L"\u5B89\u88DD", WizardInstallCaption(L"WizardCht"));
}

TEST(LanguageItalian, WizardTakesItsTextsFromTheEnglishModule)
{
    ExpectUiLanguage(0x0410);
    EXPECT_EQ(L"Install", WizardInstallCaption(L"WizardIta"));
}

TEST(LanguageGerman, WizardTakesItsTextsFromTheGermanModule)
{
    ExpectUiLanguage(0x0407);
    EXPECT_EQ(L"Installieren", WizardInstallCaption(L"WizardDeu"));
}
