// The package's outside components as the setup relies on them: the payload's window
// and its DLL, and the service helper's commands and log.
#include <gtest/gtest.h>

#include "InstallFixture.h"
#include "package/HelperService.h"
#include "tests/support/TestSupport.h"

namespace {

class PackageTest : public InstallFixture {
protected:
    void TearDown() override
    {
        InstallFixture::TearDown();
        for (const std::wstring& d : dirs_)
            ts::DeleteTree(d);
    }
    std::wstring TempDir(const wchar_t* tag)
    {
        std::wstring d = ts::MakeTempDir(tag);
        dirs_.push_back(d);
        return d;
    }
    // The installed layout: payload and DLL, setup.ini in Uninstall\.
    std::wstring InstalledLayout(const std::string& ini, bool titleBmp, bool dll = true)
    {
        std::wstring d = TempDir(L"payload");
        CopyFileW(ts::BinPath(L"CorviskApp.exe").c_str(), (d + L"\\CorviskApp.exe").c_str(), FALSE);
        if (dll)
            CopyFileW(ts::BinPath(L"mingwm10.dll").c_str(), (d + L"\\mingwm10.dll").c_str(), FALSE);
        CreateDirectoryW((d + L"\\Uninstall").c_str(), NULL);
        ts::WriteBytes(d + L"\\Uninstall\\setup.ini", ini);
        if (titleBmp)
            ts::WriteBytes(d + L"\\RiriDITitle.bmp", "BM");
        return d + L"\\";
    }
    std::vector<std::wstring> dirs_;
};

std::string TwoSections(const std::string& normal, const std::string& alternate)
{
    return "[Customized_Setting]\r\nAppName=" + normal + "\r\n[VANTRIX_Customized_Setting]\r\nAppName=" + alternate +
           "\r\n";
}

}  // namespace

TEST_F(PackageTest, PayloadWindowBearsTheAppNameOfItsLayout)
{
    std::string pid = std::to_string(GetCurrentProcessId());
    std::string normal = "Payload Normal " + pid, alternate = "Payload Alternate " + pid;
    struct Row {
        const char* layout;
        bool installed, titleBmp;
        const std::string& want;
    } rows[] = {
        {"medium", false, false, normal},
        {"medium with RiriDITitle.bmp", false, true, alternate},
        {"installed", true, false, normal},
        {"installed with RiriDITitle.bmp", true, true, alternate},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.layout);
        std::wstring folder;
        if (r.installed) {
            folder = InstalledLayout(TwoSections(normal, alternate), r.titleBmp);
        } else {
            ts::MediumOptions o;
            o.ini = TwoSections(normal, alternate);
            o.titleBmp = r.titleBmp;
            folder = NewMedium(o) + L"Application\\";
        }
        std::wstring title(r.want.begin(), r.want.end());
        HANDLE app = StartProcess(ts::Quote(folder + L"CorviskApp.exe"));
        ASSERT_TRUE(app);
        HWND w = WaitForWindow(title);
        ASSERT_TRUE(w);
        EXPECT_FALSE(IsIconic(w));
        // It closes on WM_CLOSE and remembers where it was.
        PostMessageW(w, WM_CLOSE, 0, 0);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(app, 10000));
        DWORD code = 99;
        GetExitCodeProcess(app, &code);
        EXPECT_EQ(0u, code);
        EXPECT_TRUE(ts::Exists(folder + L"QV.cfg"));
    }
}

TEST_F(PackageTest, PayloadStartsMinimisedWithMinAndNeedsItsDll)
{
    std::string name = "Payload Min " + std::to_string(GetCurrentProcessId());
    std::wstring title(name.begin(), name.end());
    std::wstring folder = InstalledLayout("[Customized_Setting]\r\nAppName=" + name + "\r\n", false);
    HANDLE app = StartProcess(ts::Quote(folder + L"CorviskApp.exe") + L" min");
    ASSERT_TRUE(app);
    HWND w = WaitForWindow(title);
    ASSERT_TRUE(w);
    EXPECT_TRUE(IsIconic(w));
    PostMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(app, 10000));

    // Without mingwm10.dll beside it, it ends with an error and shows nothing.
    std::wstring bare = InstalledLayout("[Customized_Setting]\r\nAppName=" + name + "\r\n", false, false);
    ts::ProcResult r = ts::Run(ts::Quote(bare + L"CorviskApp.exe"), 20000);
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(2u, r.exitCode);
    EXPECT_FALSE(FindWindowW(NULL, title.c_str()));
}

TEST_F(PackageTest, HelperInstallsStopsAndRemovesItsService)
{
    ts::RemoveHelperService();
    std::wstring dir = TempDir(L"helper") + L"\\with space";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), NULL));
    std::wstring helper = dir + L"\\XSrvSetup.exe";
    ASSERT_TRUE(CopyFileW(ts::BinPath(L"XSrvSetup.exe").c_str(), helper.c_str(), FALSE));

    struct Step {
        const wchar_t* argument;
        DWORD state;  // of the service afterwards; 0: not registered
    } steps[] = {{L"-i", SERVICE_RUNNING}, {L"-k", SERVICE_STOPPED}, {L"-u", 0}};
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << std::string(s.argument, s.argument + 2));
        ts::ProcResult r = ts::Run(ts::Quote(helper) + L" " + s.argument, 30000);
        ASSERT_TRUE(r.started);
        EXPECT_EQ(0u, r.exitCode);
        DWORD state = ts::HelperServiceState();
        for (int i = 0; i < 100 && state != s.state; ++i, Sleep(50))
            state = ts::HelperServiceState();
        EXPECT_EQ(s.state, state);
    }
    // Its service ran as the same program, and every call is in the log in order.
    std::vector<ts::HelperCall> calls = HelperCalls();
    std::vector<std::wstring> args;
    for (const ts::HelperCall& c : calls) {
        args.push_back(c.argument);
        EXPECT_TRUE(SameText(helper, c.program)) << std::string(c.program.begin(), c.program.end());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"-i", L"service", L"-k", L"-u"}), args);
    for (size_t i = 1; i < calls.size(); ++i)
        EXPECT_LE(calls[i - 1].ms, calls[i].ms);
}
