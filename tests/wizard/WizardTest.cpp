// The wizard end to end: the real setup.exe from a medium, on the display, driven
// through its real controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "WizardDriver.h"
#include "tests/support/Medium.h"
#include "tests/support/TestSupport.h"

namespace {

const wchar_t kInstallSuffix[] = L" - Installation Wizard";
const wchar_t kUninstallSuffix[] = L" - Uninstallation Wizard";
const COLORREF kKey = RGB(255, 0, 255);
const int kFaceWidth = 584, kFaceHeight = 411;

// The language the wizard is expected to speak (WIZARD_TEST_LANG, default ENU) and its
// texts, read from that module of the medium.
std::wstring TestLanguage()
{
    wchar_t buf[16] = {0};
    if (!GetEnvironmentVariableW(L"WIZARD_TEST_LANG", buf, 16) || !buf[0])
        return L"ENU";
    return buf;
}

class Texts {
public:
    // The module is read once and let go at once, so that no file of a folder that
    // an uninstall is to remove stays open here.
    explicit Texts(const std::wstring& medium)
    {
        HMODULE module = LoadLibraryExW((medium + L"setup" + TestLanguage() + L".dll").c_str(), NULL,
                                        LOAD_LIBRARY_AS_DATAFILE);
        if (!module)
            return;
        for (UINT id = 1; id <= 20; ++id) {
            wchar_t buf[1024] = {0};
            LoadStringW(module, id, buf, 1024);
            strings_[id] = buf;
        }
        FreeLibrary(module);
        ok_ = true;
    }
    bool ok() const { return ok_; }
    std::wstring operator()(UINT id) const { return id <= 20 ? strings_[id] : L""; }

private:
    bool ok_ = false;
    std::wstring strings_[21];
};

std::string Utf8(const std::wstring& s)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, NULL, 0, NULL, NULL);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, &out[0], n, NULL, NULL);
    return out;
}

// setup.ini of a package with the folder removal of the uninstall switched on.
std::string IniWithDeleteFolder(const ts::Package& p)
{
    std::string ini = ts::SetupIniText(p);
    size_t eol = ini.find("\r\n");
    return ini.insert(eol + 2, "DeleteAPFolder=1\r\n");
}

HWND PayloadWindow(const ts::Package& p)
{
    return FindWindowW(L"CorviskAppWindow", p.appName.c_str());
}

void ClosePayload(const ts::Package& p)
{
    HWND h = PayloadWindow(p);
    if (!h)
        return;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    PostMessageW(h, WM_CLOSE, 0, 0);
    HANDLE proc = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (proc) {
        WaitForSingleObject(proc, 10000);
        CloseHandle(proc);
    }
}

// Visibility and enabled state of the page's controls.
struct Expect {
    int id;
    const char* name;
    bool visible;
    bool enabled;
};

void CheckControls(HWND dialog, const std::vector<Expect>& table)
{
    for (const Expect& e : table) {
        SCOPED_TRACE(e.name);
        wz::Control c = wz::ReadControl(dialog, e.id);
        ASSERT_TRUE(c.exists);
        EXPECT_EQ(e.visible, c.visible);
        if (e.visible) {
            EXPECT_EQ(e.enabled, c.enabled);
        }
    }
}

const std::vector<Expect> kReadyPage = {
    {wz::kTitle, "title", true, true},          {wz::kHeadline, "headline", true, true},
    {wz::kDescription, "description", true, true}, {wz::kStart, "start", true, true},
    {wz::kCancel, "cancel", true, true},        {wz::kClose, "close", true, true},
    {wz::kFinish, "finish", false, false},      {wz::kLaunch, "launch", false, false},
    {wz::kProgress, "progress", false, false},
};
const std::vector<Expect> kRunningPage = {
    {wz::kStart, "start", true, false},   {wz::kCancel, "cancel", true, false},
    {wz::kClose, "close", true, false},   {wz::kFinish, "finish", false, false},
    {wz::kLaunch, "launch", false, false}, {wz::kProgress, "progress", true, true},
};
const std::vector<Expect> kInstalledPage = {
    {wz::kStart, "start", false, false},  {wz::kCancel, "cancel", true, false},
    {wz::kClose, "close", true, true},    {wz::kFinish, "finish", true, true},
    {wz::kLaunch, "launch", true, true},  {wz::kProgress, "progress", false, false},
};
const std::vector<Expect> kUninstalledPage = {
    {wz::kStart, "start", false, false},  {wz::kCancel, "cancel", true, false},
    {wz::kClose, "close", true, true},    {wz::kFinish, "finish", true, true},
    {wz::kLaunch, "launch", false, false}, {wz::kProgress, "progress", true, true},
};
const std::vector<Expect> kFailedPage = {
    {wz::kStart, "start", false, false},  {wz::kCancel, "cancel", true, false},
    {wz::kClose, "close", true, true},    {wz::kFinish, "finish", true, true},
    {wz::kLaunch, "launch", false, false},
};

bool InEndState(HWND dialog)
{
    return wz::ReadControl(dialog, wz::kFinish).visible;
}

// Follows the running page until the end page; checks every sample on the way.
int FollowRunningPage(HWND dialog, const Texts& text, UINT headline, UINT description)
{
    bool sawRunning = false;
    int maxPos = 0;
    bool ended = wz::WaitUntil(
        [&] {
            if (!IsWindow(dialog) || InEndState(dialog))
                return true;
            wz::Control bar = wz::ReadControl(dialog, wz::kProgress);
            // The description is the running page's last text change.
            if (bar.visible && (sawRunning || wz::ReadControl(dialog, wz::kDescription).text == text(description))) {
                if (!sawRunning) {
                    sawRunning = true;
                    CheckControls(dialog, kRunningPage);
                    EXPECT_EQ(text(headline), wz::ReadControl(dialog, wz::kHeadline).text);
                }
                int pos = wz::ProgressPos(dialog);
                // The end page may have come between the two reads.
                if (!InEndState(dialog) && pos > maxPos)
                    maxPos = pos;
            }
            return false;
        },
        90000, 50);
    EXPECT_TRUE(ended) << "the end page never came";
    EXPECT_TRUE(IsWindow(dialog)) << "the wizard ended under the worker";
    EXPECT_TRUE(sawRunning) << "no running page seen";
    EXPECT_LE(maxPos, 95) << "the bar passed its ceiling before the end";
    return maxPos;
}

// The launch box's image as the screen shows it, against bitmap id (142 off, 143 on).
bool LaunchBoxShows(HWND dialog, const std::wstring& exe, int bitmapId)
{
    wz::Pixels want;
    if (!wz::LoadExeBitmap(exe, bitmapId, &want))
        return false;
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT rc;
    GetWindowRect(GetDlgItem(dialog, wz::kLaunch), &rc);
    int dy = (rc.bottom - rc.top) / 2 - want.height / 2;
    RECT img = {rc.left, rc.top + dy, rc.left + want.width, rc.top + dy + want.height};
    return wz::WaitUntil(
        [&] {
            wz::Pixels got = wz::CaptureScreen(img);
            return got.px == want.px;
        },
        3000, 100);
}

// The picture of one character in the labels' font ("Arial", bold, ANSI_CHARSET).
std::vector<DWORD> GlyphPicture(wchar_t ch)
{
    HDC dc = CreateCompatibleDC(NULL);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = -32;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ oldBmp = SelectObject(dc, dib);
    LOGFONTW lf = {};
    lf.lfHeight = -20;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = ANSI_CHARSET;
    lstrcpyW(lf.lfFaceName, L"Arial");
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT all = {0, 0, 32, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 2, 2, &ch, 1);
    GdiFlush();
    std::vector<DWORD> px(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + 32 * 32);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBmp);
    DeleteObject(dib);
    DeleteDC(dc);
    return px;
}

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->name());
        pkg_.folderName = L"WzT" + std::wstring(name.begin(), name.begin() + (name.size() < 12 ? name.size() : 12));
        for (wchar_t& c : pkg_.folderName)
            if (!iswalnum(c))
                c = L'_';
        pkg_.appName = L"Wizard Probe " + pkg_.folderName;
        ts::CleanInstall(pkg_);
    }
    void TearDown() override
    {
        wz::Stop(&wizard_);
        ClosePayload(pkg_);
        ts::CleanInstall(pkg_);
    }

    std::wstring Medium(const std::string& ini, bool languageModules = true, bool payload = true)
    {
        ts::MediumOptions o = ts::MediumFor(pkg_);
        o.ini = ini;
        o.languageModules = languageModules;
        o.payload = payload;
        return ts::MakeMedium(o, L"wizard");
    }

    ts::Package pkg_;
    wz::Wizard wizard_;
};

// ---------------------------------------------------------------------------------
// The ready page: texts, controls, places, shape, centring, dragging, closing.

TEST_F(WizardTest, ReadyPageInBothModes)
{
    struct Mode {
        const char* name;
        const wchar_t* args;
        const wchar_t* suffix;
        UINT start, headline, description;
        bool launchText;
    };
    const Mode modes[] = {
        {"install", L"", kInstallSuffix, 1, 5, 4, true},
        {"uninstall", L"delpkg", kUninstallSuffix, 10, 11, 12, false},
    };
    std::wstring medium = Medium(ts::SetupIniText(pkg_));
    ASSERT_FALSE(medium.empty());
    Texts text(medium);
    ASSERT_TRUE(text.ok());
    ASSERT_NE(L"", text(1));

    if (TestLanguage() == L"CHT") {
        // The labels' "Arial" reaches a CJK font through the prefix's font links:
        // without one, every character is the same empty box.
        EXPECT_NE(GlyphPicture(0x5B89), GlyphPicture(0x88DD)) << "Chinese text would draw as boxes";
    }

    wz::Pixels face;
    ASSERT_TRUE(wz::LoadExeBitmap(medium + L"setup.exe", 130, &face));
    ASSERT_EQ(kFaceWidth, face.width);
    ASSERT_EQ(kFaceHeight, face.height);

    for (const Mode& m : modes) {
        SCOPED_TRACE(m.name);
        wz::Wizard& w = wizard_;
        ASSERT_TRUE(wz::StartWizard(medium, m.args, &w));
        HWND d = w.dialog;

        std::wstring title = pkg_.appName + m.suffix;
        EXPECT_EQ(title, wz::WindowText(d));
        EXPECT_EQ(title, wz::ReadControl(d, wz::kTitle).text);
        EXPECT_EQ(text(m.start), wz::ReadControl(d, wz::kStart).text);
        EXPECT_EQ(text(2), wz::ReadControl(d, wz::kCancel).text);
        EXPECT_EQ(text(3), wz::ReadControl(d, wz::kFinish).text);
        EXPECT_EQ(text(m.headline), wz::ReadControl(d, wz::kHeadline).text);
        EXPECT_EQ(text(m.description), wz::ReadControl(d, wz::kDescription).text);
        EXPECT_EQ(m.launchText ? text(20) : L"", wz::ReadControl(d, wz::kLaunch).text);
        CheckControls(d, kReadyPage);

        struct Place {
            int id;
            const char* name;
            RECT rc;
        };
        const Place places[] = {
            {wz::kTitle, "title", {14, 7, 14 + 524, 7 + 15}},
            {wz::kHeadline, "headline", {35, 55, 35 + 514, 55 + 35}},
            {wz::kDescription, "description", {200, 170, 200 + 354, 170 + 60}},
            {wz::kClose, "close", {552, 11, 552 + 20, 11 + 17}},
            {wz::kStart, "start", {312, 380, 312 + 111, 380 + 22}},
            {wz::kFinish, "finish", {312, 380, 312 + 111, 380 + 22}},
            {wz::kCancel, "cancel", {451, 380, 451 + 111, 380 + 22}},
            {wz::kProgress, "progress", {205, 235, 205 + 339, 235 + 30}},
        };
        for (const Place& p : places) {
            SCOPED_TRACE(p.name);
            RECT got = wz::ReadControl(d, p.id).rect;
            EXPECT_EQ(p.rc.left, got.left);
            EXPECT_EQ(p.rc.top, got.top);
            EXPECT_EQ(p.rc.right, got.right);
            EXPECT_EQ(p.rc.bottom, got.bottom);
        }
        RECT chk = wz::ReadControl(d, wz::kLaunch).rect;
        EXPECT_EQ(200, chk.left);
        EXPECT_EQ(235, chk.top);
        EXPECT_EQ(24 + 4, chk.bottom - chk.top);

        // Centred on the screen, the bitmap's size.
        RECT wr;
        GetWindowRect(d, &wr);
        int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
        EXPECT_EQ(cx / 2 - kFaceWidth / 2, wr.left);
        EXPECT_EQ(cy / 2 - kFaceHeight / 2, wr.top);
        EXPECT_EQ(kFaceWidth, wr.right - wr.left);
        EXPECT_EQ(kFaceHeight, wr.bottom - wr.top);
        if (cx == 1024 && cy == 768) {
            EXPECT_EQ(220, wr.left);
            EXPECT_EQ(179, wr.top);
        }

        // The window's region is the bitmap less its key pixels.
        int type = ERROR;
        std::vector<RECT> rects = wz::WindowRegionRects(d, &type);
        EXPECT_EQ(COMPLEXREGION, type);
        HRGN got = CreateRectRgn(0, 0, 0, 0);
        HRGN want = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(d, got);
        for (int y = 0; y < face.height; ++y)
            for (int x = 0; x < face.width; ++x)
                if (face.at(x, y) != kKey) {
                    HRGN px = CreateRectRgn(x, y, x + 1, y + 1);
                    CombineRgn(want, want, px, RGN_OR);
                    DeleteObject(px);
                }
        EXPECT_TRUE(EqualRgn(got, want)) << rects.size() << " rectangles";
        EXPECT_FALSE(PtInRegion(got, 5, 0));
        EXPECT_TRUE(PtInRegion(got, 6, 0));
        EXPECT_TRUE(PtInRegion(got, 576, 0));
        EXPECT_FALSE(PtInRegion(got, 577, 0));
        DeleteObject(got);
        DeleteObject(want);

        if (m.launchText) {
            // A press on the bare picture panel drags the window along.
            wz::Drag(d, POINT{100, 330}, 40, 25);
            EXPECT_TRUE(wz::WaitUntil(
                [&] {
                    RECT now;
                    GetWindowRect(d, &now);
                    return now.left == wr.left + 40 && now.top == wr.top + 25;
                },
                2000))
                << "the window did not follow the drag";
            // The close button on the ready page ends the wizard, launching nothing.
            wz::Click(d, wz::kClose);
        } else {
            wz::Click(d, wz::kCancel);
        }
        EXPECT_TRUE(wz::WaitExit(&w)) << "the wizard did not end";
        wz::Stop(&w);
        EXPECT_EQ(NULL, PayloadWindow(pkg_));
    }
}

TEST(WizardArtwork, BackgroundCornersAreCutByKeyPixelsOnly)
{
    wz::Pixels face;
    ASSERT_TRUE(wz::LoadExeBitmap(ts::BinPath(L"setup.exe"), 130, &face));
    ASSERT_EQ(kFaceWidth, face.width);
    ASSERT_EQ(kFaceHeight, face.height);
    int keys = 0, away = 0;
    for (int y = 0; y < face.height; ++y)
        for (int x = 0; x < face.width; ++x)
            if (face.at(x, y) == kKey) {
                ++keys;
                bool corner = (x < 8 || x >= face.width - 8) && (y < 8 || y >= face.height - 8);
                away += corner ? 0 : 1;
            }
    EXPECT_EQ(71, keys);
    EXPECT_EQ(0, away);
    auto keyRun = [&](int y, int from, int to) {
        for (int x = from; x <= to; ++x)
            if (face.at(x, y) != kKey)
                return false;
        return true;
    };
    EXPECT_TRUE(keyRun(0, 0, 5));
    EXPECT_NE(kKey, face.at(6, 0));
    EXPECT_TRUE(keyRun(0, 577, 583));
    EXPECT_NE(kKey, face.at(576, 0));
    EXPECT_TRUE(keyRun(410, 0, 4));
    EXPECT_NE(kKey, face.at(5, 410));
    EXPECT_TRUE(keyRun(410, 578, 583));
    EXPECT_NE(kKey, face.at(577, 410));
}

// ---------------------------------------------------------------------------------
// Titles from AppName.

TEST_F(WizardTest, TitleFromAppName)
{
    std::wstring longName(300, L'N');
    struct Case {
        const char* name;
        bool key;
        std::wstring value;
        const wchar_t* args;
        std::wstring title;
    };
    const Case cases[] = {
        {"missing", false, L"", L"", std::wstring(L"Corvisk") + kInstallSuffix},
        {"missing, uninstall", false, L"", L"delpkg", std::wstring(L"Corvisk") + kUninstallSuffix},
        {"empty", true, L"", L"", L""},
        {"too long", true, longName, L"", std::wstring(259 - 22, L'N') + kInstallSuffix},
        {"too long, uninstall", true, longName, L"delpkg", std::wstring(259 - 24, L'N') + kUninstallSuffix},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string ini = "[Customized_Setting]\r\nAPPFolderName=" + Utf8(pkg_.folderName) + "\r\n";
        if (c.key)
            ini += "AppName=" + Utf8(c.value) + "\r\n";
        std::wstring medium = Medium(ini);
        ASSERT_TRUE(wz::StartWizard(medium, c.args, &wizard_));
        EXPECT_EQ(c.title, wz::WindowText(wizard_.dialog));
        EXPECT_EQ(c.title, wz::ReadControl(wizard_.dialog, wz::kTitle).text);
        wz::Click(wizard_.dialog, wz::kCancel);
        EXPECT_TRUE(wz::WaitExit(&wizard_));
        wz::Stop(&wizard_);
    }
}

// ---------------------------------------------------------------------------------
// Install, uninstall and failure through the wizard.

TEST_F(WizardTest, InstallThenFinishLaunchesPayload)
{
    std::wstring medium = Medium(ts::SetupIniText(pkg_));
    Texts text(medium);
    ASSERT_TRUE(wz::StartWizard(medium, L"", &wizard_));
    HWND d = wizard_.dialog;
    // "Running" payload: the install closes it and pauses, so the bar has time to creep.
    wz::StandInPayload running(pkg_.appName);

    // Two clicks before the worker's first message: one worker only. Nothing ends the
    // wizard under the worker: Escape, Enter and the close button come at once.
    wz::Click(d, wz::kStart);
    EXPECT_FALSE(wz::ReadControl(d, wz::kStart).enabled) << "Install not disabled at the click";
    wz::Click(d, wz::kStart);
    PostMessageW(d, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(d, WM_KEYDOWN, VK_RETURN, 0);
    wz::Click(d, wz::kClose);

    int maxPos = FollowRunningPage(d, text, 16, 6);
    EXPECT_GT(maxPos, 0) << "the bar did not creep";
    EXPECT_TRUE(running.Closed());
    CheckControls(d, kInstalledPage);
    EXPECT_EQ(text(7), wz::ReadControl(d, wz::kHeadline).text);
    EXPECT_EQ(text(8), wz::ReadControl(d, wz::kDescription).text);
    EXPECT_EQ(100, wz::ProgressPos(d));
    EXPECT_TRUE(LaunchBoxShows(d, medium + L"setup.exe", 143)) << "the launch box is not shown ticked";
    EXPECT_TRUE(ts::Exists(ts::ExpectedInstallDir(pkg_.folderName) + L"\\" + pkg_.appFileName));

    // The close button and Escape on the end page leave the wizard where it is.
    wz::Click(d, wz::kClose);
    PostMessageW(d, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(1500);
    ASSERT_TRUE(IsWindow(d)) << "the end page was closed without Finish";
    // A second worker would have come back with its own running page by now.
    EXPECT_TRUE(InEndState(d));
    EXPECT_EQ(text(7), wz::ReadControl(d, wz::kHeadline).text);

    wz::Click(d, wz::kFinish);
    EXPECT_TRUE(wz::WaitExit(&wizard_));
    EXPECT_TRUE(wz::WaitUntil([&] { return PayloadWindow(pkg_) != NULL; }, 15000)) << "the payload did not start";
}

TEST_F(WizardTest, UntickedLaunchBoxStartsNothing)
{
    std::wstring medium = Medium(ts::SetupIniText(pkg_));
    Texts text(medium);
    ASSERT_TRUE(wz::StartWizard(medium, L"", &wizard_));
    HWND d = wizard_.dialog;
    wz::StandInPayload running(pkg_.appName);
    wz::Click(d, wz::kStart);
    FollowRunningPage(d, text, 16, 6);
    CheckControls(d, kInstalledPage);

    wz::Click(d, wz::kLaunch);
    EXPECT_TRUE(LaunchBoxShows(d, medium + L"setup.exe", 142)) << "the launch box did not untick";
    wz::Click(d, wz::kFinish);
    EXPECT_TRUE(wz::WaitExit(&wizard_));
    Sleep(2000);
    EXPECT_EQ(NULL, PayloadWindow(pkg_)) << "the payload started with the box unticked";
}

TEST_F(WizardTest, UninstallThroughWizardRemovesInstallFolder)
{
    std::wstring medium = Medium(IniWithDeleteFolder(pkg_));
    ts::ProcResult silent = ts::Run(ts::Quote(medium + L"setup.exe") + L" s", 120000, medium.c_str());
    ASSERT_TRUE(silent.started);
    ASSERT_FALSE(silent.timedOut);
    std::wstring installDir = ts::ExpectedInstallDir(pkg_.folderName);
    std::wstring uninstaller = installDir + L"\\Uninstall\\";
    ASSERT_TRUE(ts::Exists(uninstaller + L"setup.exe"));

    Texts text(uninstaller);
    ASSERT_TRUE(text.ok());
    ASSERT_TRUE(wz::StartWizard(uninstaller, L"delpkg", &wizard_));
    HWND d = wizard_.dialog;
    EXPECT_EQ(pkg_.appName + kUninstallSuffix, wz::WindowText(d));
    EXPECT_EQ(text(10), wz::ReadControl(d, wz::kStart).text);
    CheckControls(d, kReadyPage);

    wz::StandInPayload running(pkg_.appName);
    wz::Click(d, wz::kStart);
    FollowRunningPage(d, text, 17, 13);
    CheckControls(d, kUninstalledPage);
    EXPECT_EQ(text(15), wz::ReadControl(d, wz::kHeadline).text);
    EXPECT_EQ(text(8), wz::ReadControl(d, wz::kDescription).text);
    EXPECT_EQ(100, wz::ProgressPos(d));

    wz::Click(d, wz::kFinish);
    EXPECT_TRUE(wz::WaitExit(&wizard_));
    // The clean-up batch runs from inside the folder it removes. Wine's interpreter
    // keeps the batch file open while it runs, so its "rd /s /q" empties the folder
    // but cannot take the folder itself; on Windows the folder goes too. Either way
    // nothing of the package may remain.
    std::wstring left;
    bool cleared = wz::WaitUntil(
        [&] {
            left.clear();
            for (const std::wstring& n : ts::ListDir(installDir))
                left += n + L" ";
            return !ts::Exists(installDir) || left.empty();
        },
        30000, 100);
    EXPECT_TRUE(cleared) << "left in the install folder: " << Utf8(left);
    EXPECT_EQ(NULL, PayloadWindow(pkg_));
}

TEST_F(WizardTest, FailedInstallShowsFailureHeadline)
{
    ts::MessageBoxWatcher fails(L"Fail");  // in case the install reports on the way
    std::wstring medium = Medium(ts::SetupIniText(pkg_), true, false);  // no payload file
    Texts text(medium);
    ASSERT_TRUE(wz::StartWizard(medium, L"", &wizard_));
    HWND d = wizard_.dialog;
    wz::StandInPayload running(pkg_.appName);
    wz::Click(d, wz::kStart);
    FollowRunningPage(d, text, 16, 6);
    CheckControls(d, kFailedPage);
    EXPECT_EQ(text(9), wz::ReadControl(d, wz::kHeadline).text);
    EXPECT_EQ(text(8), wz::ReadControl(d, wz::kDescription).text);

    wz::Click(d, wz::kFinish);
    EXPECT_TRUE(wz::WaitExit(&wizard_));
    Sleep(1500);
    EXPECT_EQ(NULL, PayloadWindow(pkg_));
}

// ---------------------------------------------------------------------------------
// Start-up cases around the wizard.

// Any visible top-level window of the process.
BOOL CALLBACK AnyVisibleWindowOf(HWND h, LPARAM lp)
{
    auto* probe = reinterpret_cast<std::pair<DWORD, bool>*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == probe->first && IsWindowVisible(h))
        probe->second = true;
    return TRUE;
}

TEST_F(WizardTest, NoLanguageModuleShowsNothing)
{
    std::wstring medium = Medium(ts::SetupIniText(pkg_), false);
    for (const wchar_t* args : {L"", L"delpkg"}) {
        SCOPED_TRACE(Utf8(args));
        std::wstring cmd = ts::Quote(medium + L"setup.exe") + L" " + args;
        HANDLE proc = ts::Start(cmd, medium.c_str());
        ASSERT_TRUE(proc != NULL);
        std::pair<DWORD, bool> probe(GetProcessId(proc), false);
        bool ended = wz::WaitUntil(
            [&] {
                EnumWindows(AnyVisibleWindowOf, reinterpret_cast<LPARAM>(&probe));
                return WaitForSingleObject(proc, 0) == WAIT_OBJECT_0;
            },
            15000);
        EXPECT_TRUE(ended) << "setup.exe did not end by itself";
        EXPECT_FALSE(probe.second) << "a window was shown";
        if (!ended)
            TerminateProcess(proc, 1);
        CloseHandle(proc);
    }
}

INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(WizardTest, MissingBackgroundGivesPlainReadableWindow)
{
    std::wstring medium = Medium(ts::SetupIniText(pkg_));
    Texts text(medium);
    std::wstring exe = medium + L"setup.exe";
    // A background that cannot be loaded: four bytes in place of the bitmap (Wine's
    // resource update does not delete, it only replaces).
    HANDLE upd = BeginUpdateResourceW(exe.c_str(), FALSE);
    ASSERT_TRUE(upd != NULL);
    char junk[4] = {'n', 'o', 'n', 'e'};
    ASSERT_TRUE(UpdateResourceW(upd, RT_BITMAP, MAKEINTRESOURCEW(130),
                                MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), junk, sizeof junk));
    ASSERT_TRUE(EndUpdateResourceW(upd, FALSE));
    wz::Pixels none;
    ASSERT_FALSE(wz::LoadExeBitmap(exe, 130, &none)) << "the background still loads from the copy";

    // The template's own size in pixels, from a dialog of the same template here.
    RECT tmplRect = {0, 0, 287, 179};
    {
        HMODULE mod = LoadLibraryExW(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(mod != NULL);
        HRSRC res = FindResourceW(mod, MAKEINTRESOURCEW(102), reinterpret_cast<LPCWSTR>(RT_DIALOG));
        ASSERT_TRUE(res != NULL);
        const DLGTEMPLATE* t = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(mod, res)));
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        HWND probe = CreateDialogIndirectParamW(GetModuleHandleW(NULL), t, NULL,
                                                IgnoreAll, 0);
        ASSERT_TRUE(probe != NULL);
        GetWindowRect(probe, &tmplRect);
        DestroyWindow(probe);
        FreeLibrary(mod);
    }

    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::wstring cmd = ts::Quote(exe);
    ASSERT_TRUE(CreateProcessW(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, medium.c_str(), &si, &pi));
    CloseHandle(pi.hThread);
    wizard_.process = pi.hProcess;
    wizard_.pid = pi.dwProcessId;

    HWND box = NULL;
    ASSERT_TRUE(wz::WaitUntil([&] { return (box = wz::FindBoxOf(wizard_.pid, L"setup")) != NULL; }, 20000))
        << "no message box";
    EXPECT_EQ(L"Error loading bitmap", wz::WindowText(GetDlgItem(box, 0xFFFF)));
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);

    ASSERT_TRUE(wz::WaitUntil(
        [&] {
            wizard_.dialog = wz::FindWizardOf(wizard_.pid);
            return wizard_.dialog && !wz::ReadControl(wizard_.dialog, wz::kFinish).visible;
        },
        20000));
    HWND d = wizard_.dialog;
    int type = 0;
    wz::WindowRegionRects(d, &type);
    EXPECT_EQ(ERROR, type) << "a plain window has no region";
    RECT wr;
    GetWindowRect(d, &wr);
    int w = tmplRect.right - tmplRect.left, h = tmplRect.bottom - tmplRect.top;
    EXPECT_EQ(w, wr.right - wr.left);
    EXPECT_EQ(h, wr.bottom - wr.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2, wr.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2, wr.top);

    EXPECT_EQ(text(5), wz::ReadControl(d, wz::kHeadline).text);
    EXPECT_EQ(text(4), wz::ReadControl(d, wz::kDescription).text);
    // Every button lies inside the smaller window.
    RECT client;
    GetClientRect(d, &client);
    for (int id : {wz::kStart, wz::kCancel, wz::kClose}) {
        SCOPED_TRACE(id);
        wz::Control c = wz::ReadControl(d, id);
        EXPECT_TRUE(c.visible);
        EXPECT_LE(c.rect.right, client.right);
        EXPECT_LE(c.rect.bottom, client.bottom);
        EXPECT_GE(c.rect.left, 0);
    }
    wz::Click(d, wz::kCancel);
    EXPECT_TRUE(wz::WaitExit(&wizard_));
}

}  // namespace
