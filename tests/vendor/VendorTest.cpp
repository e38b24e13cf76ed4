// A vendor's medium written by tools/make-medium (make_fixture.py builds it in
// <build>\vendor-medium): its own names in setup.ini (UTF-16), its own payload file
// name, background, push-button image and icon. Installed silently and through the
// wizard, it must leave the vendor's names in the registry and the links and show the
// vendor's images on the screen.
#include "tests/support/Medium.h"
#include "tests/support/TestSupport.h"
#include "tests/wizard/WizardDriver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

// Kept in step with make_fixture.py.
ts::Package VendorPackage()
{
    ts::Package p;
    p.folderName = L"Northwind Atlas";
    p.appName = L"Northwind Atlas Viewer";
    p.appFileName = L"NorthwindAtlas.exe";
    p.company = L"Northwind Cartography";
    p.version = L"4.2.1";
    return p;
}
const RECT kBlock = {40, 200, 150, 320};  // in window coordinates
const COLORREF kBlockColour = RGB(18, 154, 52);
const COLORREF kButtonColour = RGB(230, 120, 20);
const POINT kInstallButton = {312, 380};

std::wstring VendorMedium() { return ts::BuildDir() + L"\\vendor-medium\\"; }

std::string HexColour(COLORREF c)
{
    char buf[16];
    snprintf(buf, sizeof buf, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}

// What an install of the vendor's medium must have left: the files, the Uninstall
// entry with the vendor's names and the three links.
void ExpectVendorInstall(const ts::Package& p)
{
    const std::wstring dir = ts::ExpectedInstallDir(p.folderName);
    EXPECT_TRUE(ts::Exists(dir + L"\\" + p.appFileName));
    std::string medium, installed;
    ASSERT_TRUE(ts::ReadBytes(VendorMedium() + L"setup.exe", &medium));
    ASSERT_TRUE(ts::ReadBytes(dir + L"\\Uninstall\\setup.exe", &installed));
    EXPECT_TRUE(medium == installed) << "the uninstaller is not the vendor's setup.exe";

    ts::UninstallEntry e = ts::ReadUninstallEntry(p.folderName);
    ASSERT_TRUE(e.keyExists);
    EXPECT_EQ(p.appName, e.displayName.text);
    EXPECT_EQ(p.company, e.publisher.text);
    EXPECT_EQ(p.version, e.displayVersion.text);

    struct LinkCase {
        std::wstring lnk, target, arguments;
    } links[] = {
        {ts::DesktopLinkPath(p.appName), dir + L"\\" + p.appFileName, L""},
        {ts::ProgramsFolderPath(p.appName) + L"\\" + p.appName + L".lnk", dir + L"\\" + p.appFileName, L""},
        {ts::ProgramsFolderPath(p.appName) + L"\\Uninstall.lnk", dir + L"\\Uninstall\\setup.exe", L"delpkg"},
    };
    for (const LinkCase& c : links) {
        SCOPED_TRACE(std::string(c.lnk.begin(), c.lnk.end()));
        ts::LinkInfo info;
        ASSERT_TRUE(ts::ReadLink(c.lnk, &info));
        EXPECT_EQ(c.target, info.target);
        EXPECT_EQ(c.arguments, info.arguments);
    }
}

class VendorTest : public ::testing::Test {
protected:
    void SetUp() override { ts::CleanInstall(pkg_); }
    void TearDown() override
    {
        wz::Stop(&wizard_);
        ts::CleanInstall(pkg_);
    }
    ts::Package pkg_ = VendorPackage();
    wz::Wizard wizard_;
};

TEST_F(VendorTest, SilentInstallCarriesVendorNames)
{
    ts::MessageBoxWatcher boxes;
    ts::ProcResult r = ts::Run(ts::Quote(VendorMedium() + L"setup.exe") + L" s", 120000);
    ASSERT_TRUE(r.started);
    ASSERT_FALSE(r.timedOut);
    EXPECT_TRUE(boxes.Texts().empty()) << "the install showed a failure";
    ExpectVendorInstall(pkg_);
}

TEST_F(VendorTest, WizardShowsVendorSkinAndInstalls)
{
    ASSERT_TRUE(wz::StartWizard(VendorMedium(), L"", &wizard_));
    HWND d = wizard_.dialog;
    EXPECT_EQ(pkg_.appName + L" - Installation Wizard", wz::WindowText(d));

    SetWindowPos(d, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT win;
    GetWindowRect(d, &win);
    struct Spot {
        const char* what;
        POINT at;  // in window coordinates
        COLORREF want;
    } spots[] = {
        {"block, top left", {kBlock.left, kBlock.top}, kBlockColour},
        {"block, centre", {(kBlock.left + kBlock.right) / 2, (kBlock.top + kBlock.bottom) / 2}, kBlockColour},
        {"block, bottom right", {kBlock.right - 1, kBlock.bottom - 1}, kBlockColour},
        {"Install button, top left", kInstallButton, kButtonColour},
    };
    for (const Spot& s : spots) {
        SCOPED_TRACE(s.what);
        RECT px = {win.left + s.at.x, win.top + s.at.y, win.left + s.at.x + 1, win.top + s.at.y + 1};
        COLORREF got = 0;
        bool shown = wz::WaitUntil(
            [&] {
                got = wz::CaptureScreen(px).at(0, 0) & 0xFFFFFF;
                return got == s.want;
            },
            3000, 100);
        EXPECT_TRUE(shown) << "screen shows " << HexColour(got) << ", the vendor's image " << HexColour(s.want);
    }
    // Just outside the block the project's own artwork shows through.
    RECT outside = {win.left + kBlock.right, win.top + kBlock.top, win.left + kBlock.right + 1, win.top + kBlock.top + 1};
    EXPECT_NE(kBlockColour, wz::CaptureScreen(outside).at(0, 0) & 0xFFFFFF);

    wz::Click(d, wz::kStart);
    ASSERT_TRUE(wz::WaitUntil([&] { return wz::ReadControl(d, wz::kFinish).visible; }, 90000, 50))
        << "the end page never came";
    wz::Click(d, wz::kLaunch);  // untick: the payload need not start
    wz::Click(d, wz::kFinish);
    EXPECT_TRUE(wz::WaitExit(&wizard_));
    ExpectVendorInstall(pkg_);
}

// The window icon is the vendor's: setup.exe's icon group 128 holds the skin's image.
TEST(VendorMedium, IconIsVendors)
{
    std::string ico;
    ASSERT_TRUE(ts::ReadBytes(ts::BuildDir() + L"\\vendor-fixture\\skin\\setup.ico", &ico));
    ASSERT_GT(ico.size(), 22u);
    const std::string image = ico.substr(22);  // one image right after its directory entry

    HMODULE m = LoadLibraryExW((VendorMedium() + L"setup.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(m != NULL);
    HRSRC group = FindResourceW(m, MAKEINTRESOURCEW(128), RT_GROUP_ICON);
    ASSERT_TRUE(group != NULL);
    PBYTE dir = static_cast<PBYTE>(LockResource(LoadResource(m, group)));
    int id = LookupIconIdFromDirectoryEx(dir, TRUE, 32, 32, LR_DEFAULTCOLOR);
    HRSRC icon = FindResourceW(m, MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_TRUE(icon != NULL);
    std::string got(static_cast<const char*>(LockResource(LoadResource(m, icon))), SizeofResource(m, icon));
    FreeLibrary(m);
    EXPECT_TRUE(got == image) << "icon group 128 does not hold the vendor's icon";
}

}  // namespace
