// Install a medium with the install procedure, then uninstall it from the installed
// copy's setup.ini: what goes and what stays.
#include <gtest/gtest.h>

#include "Installed.h"
#include "app/HostEnv.h"
#include "engine/Install.h"
#include "engine/SetupConfig.h"
#include "engine/Uninstall.h"
#include "tests/support/Medium.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(UninstallAfterInstall, RemovesWhatTheInstallCreated)
{
    ts::Package pkg;
    pkg.folderName = pkg.appName = ut::UniqueName(L"UnReal");
    ts::MediumOptions o = ts::MediumFor(pkg);
    o.titleBmp = o.aboutBmp = true;
    std::wstring medium = ts::MakeMedium(o, L"UnRealMedium");
    ASSERT_FALSE(medium.empty());
    struct Cleanup {
        const ts::Package& pkg;
        std::wstring medium;
        ~Cleanup()
        {
            ts::CleanInstall(pkg);
            ts::DeleteTree(medium);
        }
    } cleanup{pkg, medium};

    SetupConfig config;
    ReadSetupConfig(medium.c_str(), &config, 0);
    {
        ts::MessageBoxWatcher boxes;
        ASSERT_TRUE(InstallPackage(medium.c_str(), &config));
        EXPECT_TRUE(boxes.Texts().empty());
    }
    const std::wstring dir = ts::ExpectedInstallDir(pkg.folderName);
    ASSERT_EQ(dir, config.szInstallDir);
    const std::wstring payload = dir + L"\\" + pkg.appFileName;
    const std::wstring programs = ts::ProgramsFolderPath(pkg.appName);
    const bool nt6 = g_bNt6 != 0;
    ASSERT_TRUE(ts::Exists(payload));
    ASSERT_TRUE(ts::Exists(programs + L"\\Uninstall.lnk"));
    ASSERT_TRUE(ts::ReadUninstallEntry(pkg.folderName).keyExists);
    if (nt6) {
        // The install starts "-i" without waiting; let the service come up first.
        for (int i = 0; i < 60 && ts::HelperServiceState() != SERVICE_RUNNING; ++i)
            Sleep(50);
    }
    // Not made by the install, but removed by the uninstall.
    ASSERT_TRUE(ts::WriteBytes(dir + L"\\QV.cfg", "settings"));

    // The uninstaller reads the copy of setup.ini in its own folder.
    SetupConfig installed;
    ReadSetupConfig((dir + L"\\Uninstall\\").c_str(), &installed, 0);
    ASSERT_EQ(dir, installed.szInstallDir);
    EXPECT_TRUE(UninstallPackage(&installed));

    const std::pair<std::wstring, bool> files[] = {
        {dir + L"\\mingwm10.dll", false},
        {payload, false},
        {dir + L"\\RiriDITitle.bmp", false},
        {dir + L"\\QV.cfg", false},
        {dir + L"\\XSrvSetup.exe", false},
        {dir + L"\\title_about.bmp", true},
        {dir + L"\\QvUninst.bat", false},
        {dir + L"\\Uninstall\\setup.exe", true},
        {dir + L"\\Uninstall\\setup.ini", true},
        {dir + L"\\Uninstall\\setupENU.dll", true},
        {ts::DesktopLinkPath(pkg.appName), false},
        {programs + L"\\" + pkg.appName + L".lnk", false},
        {programs + L"\\Uninstall.lnk", false},
        {programs, false},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.first);
        EXPECT_EQ(f.second, ts::Exists(f.first));
    }
    EXPECT_FALSE(ts::ReadUninstallEntry(pkg.folderName).keyExists);
    EXPECT_FALSE(ts::ReadHklm32(ts::kRunKey, pkg.appName.c_str()).present);
    // The compatibility mark of NT 6 stays.
    EXPECT_EQ(nt6, ts::RegValueExists(HKEY_CURRENT_USER, ts::kPersistedKey, payload.c_str()));
    if (nt6) {
        EXPECT_FALSE(ts::HelperServiceExists()) << "\"-k\" and \"-u\" removed the service";
    }
}

}  // namespace
