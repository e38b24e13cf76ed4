#include "InstallFixture.h"

#include "tests/support/TestSupport.h"

void InstallFixture::SetUp()
{
    std::wstring dir = ts::MakeTempDir(L"xsrvlog");
    ASSERT_FALSE(dir.empty());
    log_ = dir + L"\\xsrv.log";
    SetEnvironmentVariableW(L"XSRV_LOG", log_.c_str());
}

void InstallFixture::TearDown()
{
    for (HANDLE h : processes_) {
        TerminateProcess(h, 1);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
    for (const ts::Package& p : packages_)
        ts::CleanInstall(p);
    for (const std::wstring& m : media_)
        ts::DeleteTree(m.substr(0, m.size() - 1));
    ts::DeleteTree(log_.substr(0, log_.rfind(L'\\')));
    SetEnvironmentVariableW(L"XSRV_LOG", NULL);
}

ts::Package InstallFixture::NewPackage(const wchar_t* tag)
{
    const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::wstring base;
    for (const char* p = name; *p && base.size() < 40; ++p)
        base += (*p == '/' ? L'-' : static_cast<wchar_t>(*p));
    ts::Package p;
    p.folderName = L"Inst-" + base + tag + L"-" + std::to_wstring(GetCurrentProcessId());
    // A space in the name: links, values and titles must take it as it is.
    p.appName = L"Inst App " + base + tag + L" " + std::to_wstring(GetCurrentProcessId());
    packages_.push_back(p);
    ts::CleanInstall(p);
    return p;
}

std::wstring InstallFixture::NewMedium(const ts::MediumOptions& o)
{
    std::wstring m = ts::MakeMedium(o);
    EXPECT_FALSE(m.empty()) << "medium not made";
    if (!m.empty())
        media_.push_back(m);
    return m;
}

SetupConfig InstallFixture::ConfigOf(const std::wstring& medium)
{
    SetupConfig c;
    ReadSetupConfig(medium.c_str(), &c, 0);
    return c;
}

HANDLE InstallFixture::StartProcess(const std::wstring& commandLine)
{
    HANDLE h = ts::Start(commandLine);
    if (h)
        processes_.push_back(h);
    return h;
}

std::vector<ts::HelperCall> InstallFixture::HelperCalls() { return ts::ReadHelperLog(log_); }

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowW(NULL, title.c_str());
        if (w || GetTickCount() - start > timeoutMs)
            return w;
        Sleep(20);
    }
}

bool SameText(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }
