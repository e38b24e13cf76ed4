#include "HostileFixture.h"

#include "engine/Install.h"
#include "engine/Uninstall.h"

void HostileFixture::SetUp()
{
    std::wstring dir = ts::MakeTempDir(L"xsrvlog");
    ASSERT_FALSE(dir.empty());
    log_ = dir + L"\\xsrv.log";
    SetEnvironmentVariableW(L"XSRV_LOG", log_.c_str());
}

void HostileFixture::TearDown()
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

ts::Package HostileFixture::NewPackage(const std::wstring& tag)
{
    const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::wstring base;
    for (const char* p = name; *p && base.size() < 24; ++p)
        base += (*p == '/' ? L'-' : static_cast<wchar_t>(*p));
    std::wstring id = base + tag + L"-" + std::to_wstring(GetCurrentProcessId());
    ts::Package p;
    p.folderName = L"Hos-" + id;
    p.appName = L"Hos App " + id;
    Track(p);
    return p;
}

void HostileFixture::Track(const ts::Package& p)
{
    packages_.push_back(p);
    ts::CleanInstall(p);
}

std::wstring HostileFixture::NewMedium(const ts::MediumOptions& o)
{
    std::wstring m = ts::MakeMedium(o);
    EXPECT_FALSE(m.empty()) << "medium not made";
    if (!m.empty())
        media_.push_back(m);
    return m;
}

SetupConfig HostileFixture::ConfigOf(const std::wstring& medium)
{
    SetupConfig c;
    ReadSetupConfig(medium.c_str(), &c, 0);
    return c;
}

HANDLE HostileFixture::StartProcess(const std::wstring& commandLine)
{
    HANDLE h = ts::Start(commandLine);
    if (h)
        processes_.push_back(h);
    return h;
}

BOOL HostileFixture::Install(const std::wstring& medium, const SetupConfig& c, std::vector<std::wstring>* boxes)
{
    ts::MessageBoxWatcher watcher;
    BOOL ok = InstallPackage(medium.c_str(), &c);
    if (boxes)
        *boxes = watcher.Texts();
    return ok;
}

BOOL HostileFixture::Uninstall(const SetupConfig& c, std::vector<std::wstring>* boxes)
{
    ts::MessageBoxWatcher watcher;
    BOOL ok = UninstallPackage(&c);
    if (boxes)
        *boxes = watcher.Texts();
    return ok;
}

ts::ProcResult HostileFixture::RunSilent(const std::wstring& medium, std::vector<std::wstring>* boxes, DWORD timeoutMs)
{
    ts::MessageBoxWatcher watcher;
    ts::ProcResult r = ts::Run(ts::Quote(medium + L"setup.exe") + L" s", timeoutMs, L"C:\\");
    // A box of the ended process may still be on its way to the watcher.
    Sleep(200);
    if (boxes)
        *boxes = watcher.Texts();
    return r;
}

ts::Snapshot HostileFixture::ExpectOnlyChangesIn(const ts::Snapshot& before, const std::vector<std::wstring>& allowed)
{
    ts::Snapshot now = ts::TakeSnapshot();
    std::vector<std::wstring> changes = ts::SnapshotChanges(before, now, allowed);
    EXPECT_TRUE(changes.empty()) << "changed outside the install:\n" << Utf8(ts::JoinLines(changes));
    return now;
}

std::string Utf8(const std::wstring& s)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), NULL, 0, NULL, NULL);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), &out[0], n, NULL, NULL);
    return out;
}
