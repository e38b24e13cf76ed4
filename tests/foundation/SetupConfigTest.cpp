#include "engine/SetupConfig.h"

#include <gtest/gtest.h>

#include <string>

#include "app/HostEnv.h"
#include "tests/support/TestSupport.h"

namespace {

// Sets the four host flags for one test and puts them back afterwards.
struct HostFlags {
    int saved[4];
    HostFlags(int german, int spanish, int wow64, int nt6)
        : saved{g_bGermanUi, g_bSpanishSystem, g_bWow64, g_bNt6}
    {
        g_bGermanUi = german;
        g_bSpanishSystem = spanish;
        g_bWow64 = wow64;
        g_bNt6 = nt6;
    }
    ~HostFlags()
    {
        g_bGermanUi = saved[0];
        g_bSpanishSystem = saved[1];
        g_bWow64 = saved[2];
        g_bNt6 = saved[3];
    }
};

class SetupConfigTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = ts::MakeTempDir(L"config") + L"\\"; }
    void TearDown() override { ts::DeleteTree(dir_.substr(0, dir_.size() - 1)); }

    void WriteIni(const std::string& text) { ASSERT_TRUE(ts::WriteBytes(dir_ + L"setup.ini", text)); }
    SetupConfig Read(int alternate = 0)
    {
        SetupConfig c;
        memset(&c, 0xAB, sizeof c);  // ReadSetupConfig must zero-fill
        ReadSetupConfig(dir_.c_str(), &c, alternate);
        return c;
    }
    std::wstring Root()
    {
        WCHAR windows[MAX_PATH], root[MAX_PATH];
        GetWindowsDirectoryW(windows, MAX_PATH);
        GetFolderOfPath(windows, root);
        return root;
    }

    std::wstring dir_;
};

}  // namespace

TEST(GetFolderOfPath, CutsAfterTheLastBackslash)
{
    struct Case {
        const wchar_t *in, *out;
    } cases[] = {
        {L"C:\\Media\\setup.exe", L"C:\\Media\\"}, {L"C:\\WINDOWS", L"C:\\"}, {L"D:\\OS\\WINDOWS", L"D:\\OS\\"},
        {L"C:\\a\\", L"C:\\a\\"},                  {L"setup.exe", L""},       {L"", L""},
    };
    for (const Case& c : cases) {
        WCHAR out[MAX_PATH];
        memset(out, 0x55, sizeof out);
        GetFolderOfPath(c.in, out);
        EXPECT_EQ(std::wstring(c.out), std::wstring(out)) << std::wstring(c.in).size();
    }
}

TEST(ProgramFilesName, FolderNameTable)
{
    struct Case {
        int german, spanish, wow64, nt6;
        const wchar_t* want;
    } cases[] = {
        {1, 0, 1, 0, L"Program Files (x86)"}, {1, 1, 1, 1, L"Program Files (x86)"},
        {1, 0, 0, 0, L"Programme"},           {1, 1, 0, 1, L"Programme"},
        {0, 1, 0, 1, L"Program Files"},       {0, 1, 1, 1, L"Program Files"},
        {0, 1, 1, 0, L"Program Files"},       {0, 1, 0, 0, L"Archivos de programa"},
        {0, 0, 1, 0, L"Program Files (x86)"}, {0, 0, 1, 1, L"Program Files (x86)"},
        {0, 0, 0, 0, L"Program Files"},       {0, 0, 0, 1, L"Program Files"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.want, GetProgramFilesName(c.german, c.spanish, c.wow64, c.nt6))
            << c.german << c.spanish << c.wow64 << c.nt6;
}

TEST_F(SetupConfigTest, MissingFileGivesEveryDefault)
{
    HostFlags flags(0, 0, 0, 0);
    SetupConfig c = Read();
    EXPECT_EQ(Root() + L"Program Files\\Corvisk", std::wstring(c.szInstallDir));
    EXPECT_STREQ(L"CorviskSetup.exe", c.szAPPFileName);
    EXPECT_STREQ(L"Corvisk", c.szAppName);
    EXPECT_STREQ(L"QUELLMARK CO., LTD", c.szCompanyName);
    EXPECT_STREQ(L"Corvisk", c.szAPPFolderName);
    EXPECT_STREQ(L"1.00.00", c.szVersion);
    EXPECT_EQ(0, c.bLaunchAPInSilentMode);
    EXPECT_EQ(0, c.bDeleteAPFolder);
    // Zero-filled past every terminator.
    for (WCHAR ch : std::wstring(c.szAppName + 8, c.szAppName + MAX_PATH))
        ASSERT_EQ(0, ch);
}

TEST_F(SetupConfigTest, ReadsBothSections)
{
    HostFlags flags(0, 0, 1, 1);
    WriteIni("[Customized_Setting]\r\nAPPFolderName=Acme Viewer\r\nAPPFileName=viewer.exe\r\nAppName=Acme\r\n"
             "LaunchAPInSilentMode=1\r\nDeleteAPFolder=1\r\n[Startup]\r\nCompanyName=Acme Ltd\r\nVersion=2.5\r\n");
    SetupConfig c = Read();
    EXPECT_EQ(Root() + L"Program Files (x86)\\Acme Viewer", std::wstring(c.szInstallDir));
    EXPECT_STREQ(L"viewer.exe", c.szAPPFileName);
    EXPECT_STREQ(L"Acme", c.szAppName);
    EXPECT_STREQ(L"Acme Ltd", c.szCompanyName);
    EXPECT_STREQ(L"Acme Viewer", c.szAPPFolderName);
    EXPECT_STREQ(L"2.5", c.szVersion);
    EXPECT_EQ(1, c.bLaunchAPInSilentMode);
    EXPECT_EQ(1, c.bDeleteAPFolder);
}

TEST_F(SetupConfigTest, EmptyValuesStayEmpty)
{
    HostFlags flags(0, 0, 0, 0);
    WriteIni("[Customized_Setting]\r\nAPPFolderName=\r\nAPPFileName=\r\nAppName=\r\nLaunchAPInSilentMode=\r\n"
             "[Startup]\r\nCompanyName=\r\nVersion=\r\n");
    SetupConfig c = Read();
    EXPECT_STREQ(L"", c.szInstallDir);
    EXPECT_STREQ(L"", c.szAPPFolderName);
    EXPECT_STREQ(L"", c.szAPPFileName);
    EXPECT_STREQ(L"", c.szAppName);
    EXPECT_STREQ(L"", c.szCompanyName);
    EXPECT_STREQ(L"", c.szVersion);
    EXPECT_EQ(0, c.bLaunchAPInSilentMode);
}

TEST_F(SetupConfigTest, AlternateSectionHasNoFallback)
{
    HostFlags flags(0, 0, 0, 0);
    WriteIni("[Customized_Setting]\r\nAPPFolderName=Normal\r\nAppName=Normal App\r\nLaunchAPInSilentMode=1\r\n"
             "[Startup]\r\nCompanyName=Acme\r\n");
    SetupConfig alt = Read(1);
    EXPECT_STREQ(L"Corvisk", alt.szAPPFolderName);
    EXPECT_STREQ(L"Corvisk", alt.szAppName);
    EXPECT_EQ(0, alt.bLaunchAPInSilentMode);
    EXPECT_STREQ(L"Acme", alt.szCompanyName);  // Startup is shared
    WriteIni("[VANTRIX_Customized_Setting]\r\nAPPFolderName=Alt\r\nAppName=Alt App\r\n");
    SetupConfig alt2 = Read(7);  // any non-zero flag selects it
    EXPECT_STREQ(L"Alt App", alt2.szAppName);
    EXPECT_EQ(Root() + L"Program Files\\Alt", std::wstring(alt2.szInstallDir));
}

TEST_F(SetupConfigTest, NumericFlags)
{
    HostFlags flags(0, 0, 0, 0);
    struct Case {
        const char* value;
        int want;
    } cases[] = {{"0", 0}, {"1", 1}, {"2", 1}, {"yes", 0}, {"-1", 1}, {"7abc", 1}, {"", 0}};
    for (const Case& c : cases) {
        WriteIni(std::string("[Customized_Setting]\r\nLaunchAPInSilentMode=") + c.value + "\r\nDeleteAPFolder=" +
                 c.value + "\r\n");
        SetupConfig cfg = Read();
        EXPECT_EQ(c.want, cfg.bLaunchAPInSilentMode) << c.value;
        EXPECT_EQ(c.want, cfg.bDeleteAPFolder) << c.value;
    }
}

TEST_F(SetupConfigTest, InstallFolderFollowsTheHostFlags)
{
    struct Case {
        int german, spanish, wow64, nt6;
        const wchar_t* folder;
    } cases[] = {
        {1, 0, 1, 0, L"Program Files (x86)"}, {1, 0, 0, 0, L"Programme"},  {0, 1, 0, 1, L"Program Files"},
        {0, 1, 1, 0, L"Program Files"},       {0, 1, 0, 0, L"Archivos de programa"},
        {0, 0, 1, 0, L"Program Files (x86)"}, {0, 0, 0, 0, L"Program Files"},
    };
    for (const Case& c : cases) {
        HostFlags flags(c.german, c.spanish, c.wow64, c.nt6);
        SetupConfig cfg = Read();
        EXPECT_EQ(Root() + c.folder + L"\\Corvisk", std::wstring(cfg.szInstallDir));
    }
}

TEST_F(SetupConfigTest, OverLongValues)
{
    HostFlags flags(0, 0, 0, 0);
    std::wstring root = Root() + L"Program Files\\";
    size_t fits = MAX_PATH - 1 - root.size();  // longest folder name that still fits
    std::string longName(fits, 'n');
    WriteIni("[Customized_Setting]\r\nAPPFolderName=" + longName + "\r\nAppName=" + std::string(400, 'a') + "\r\n");
    SetupConfig c = Read();
    EXPECT_EQ(root + std::wstring(fits, L'n'), std::wstring(c.szInstallDir));
    EXPECT_EQ(std::wstring(259, L'a'), std::wstring(c.szAppName));

    // One character more: never a cut folder, no install folder at all.
    WriteIni("[Customized_Setting]\r\nAPPFolderName=" + longName + "n\r\n");
    c = Read();
    EXPECT_STREQ(L"", c.szInstallDir);
    EXPECT_EQ(fits + 1, wcslen(c.szAPPFolderName));

    WriteIni("[Customized_Setting]\r\nAPPFolderName=" + std::string(300, 'm') + "\r\n");
    c = Read();
    EXPECT_STREQ(L"", c.szInstallDir);
    EXPECT_EQ(259u, wcslen(c.szAPPFolderName));
}

TEST_F(SetupConfigTest, UnsafeFolderNamesGiveNoInstallFolder)
{
    HostFlags flags(0, 0, 0, 0);
    const char* names[] = {"..", ".", "a\\b", "a/b", "..\\..\\Windows", "C:", "C:\\Windows", "\\", "x:y"};
    for (const char* name : names) {
        WriteIni(std::string("[Customized_Setting]\r\nAPPFolderName=") + name + "\r\n");
        SetupConfig c = Read();
        EXPECT_STREQ(L"", c.szInstallDir) << name;
    }
    WriteIni("[Customized_Setting]\r\nAPPFolderName=Acme.Viewer 2\r\n");
    EXPECT_EQ(Root() + L"Program Files\\Acme.Viewer 2", std::wstring(Read().szInstallDir));
}
