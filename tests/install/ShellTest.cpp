// Program starts and shell links on the desktop and in the all-users Programs menu.
#include "engine/Shell.h"

#include <shlobj.h>

#include "InstallFixture.h"
#include "tests/support/TestSupport.h"

namespace {

class ShellTest : public InstallFixture {
protected:
    void SetUp() override
    {
        InstallFixture::SetUp();
        name_ = L"Shell Link " + std::to_wstring(GetCurrentProcessId()) + L" " +
                std::wstring(1, static_cast<wchar_t>(L'A' + counter_++ % 26));
        Clean();
    }
    void TearDown() override
    {
        Clean();
        InstallFixture::TearDown();
    }
    void Clean()
    {
        DeleteFileW(ts::DesktopLinkPath(name_).c_str());
        ts::DeleteTree(ts::ProgramsFolderPath(name_));
    }
    std::wstring Target(const wchar_t* leaf) { return L"C:\\Program Files\\Shell Target\\" + std::wstring(leaf); }

    std::wstring name_;
    static int counter_;
};
int ShellTest::counter_ = 0;

}  // namespace

// The real-time class that RunProgram asks for cannot be seen here: Wine starts the
// process in the normal class unless the caller may raise priorities.
TEST_F(ShellTest, RunProgramStartsTheQuotedProgramOrReturnsNull)
{
    std::wstring title = L"Shell Run " + std::to_wstring(GetCurrentProcessId());
    std::wstring line = ts::Quote(ts::BinPath(L"install_window_holder.exe")) + L" pump " + ts::Quote(title);
    std::vector<wchar_t> buf(line.begin(), line.end());
    buf.push_back(0);
    HANDLE h = RunProgram(buf.data(), 1);
    ASSERT_TRUE(h);
    EXPECT_TRUE(WaitForWindow(title));
    TerminateProcess(h, 0);
    WaitForSingleObject(h, 5000);
    CloseHandle(h);

    wchar_t missing[] = L"\"C:\\tests\\no such folder\\none.exe\" -i";
    EXPECT_EQ(NULL, RunProgram(missing, 1));
}

TEST_F(ShellTest, DesktopLinkIsWrittenAnewOverAnExistingOne)
{
    CreateDesktopShortcut(Target(L"old.exe").c_str(), name_.c_str());
    CreateDesktopShortcut(Target(L"new.exe").c_str(), name_.c_str());
    ts::LinkInfo link;
    ASSERT_TRUE(ts::ReadLink(ts::DesktopLinkPath(name_), &link));
    EXPECT_EQ(Target(L"new.exe"), link.target);
    EXPECT_EQ(L"", link.arguments);
    DeleteDesktopShortcut(name_.c_str());
    EXPECT_FALSE(ts::Exists(ts::DesktopLinkPath(name_)));
    DeleteDesktopShortcut(name_.c_str());  // a missing link is no error
}

TEST_F(ShellTest, ProgramsLinksLiveInTheirOwnFolderAndGoInOrder)
{
    std::wstring folder = ts::ProgramsFolderPath(name_);
    ASSERT_FALSE(ts::Exists(folder));
    CreateProgramsShortcut(name_.c_str(), Target(L"app.exe").c_str(), name_.c_str(), NULL);
    CreateProgramsShortcut(name_.c_str(), Target(L"old.exe").c_str(), L"Uninstall", L"old");
    CreateProgramsShortcut(name_.c_str(), Target(L"Uninstall\\setup.exe").c_str(), L"Uninstall", L"delpkg");
    ts::LinkInfo link;
    ASSERT_TRUE(ts::ReadLink(folder + L"\\" + name_ + L".lnk", &link));
    EXPECT_EQ(Target(L"app.exe"), link.target);
    EXPECT_EQ(L"", link.arguments);
    ASSERT_TRUE(ts::ReadLink(folder + L"\\Uninstall.lnk", &link));
    EXPECT_EQ(Target(L"Uninstall\\setup.exe"), link.target);
    EXPECT_EQ(L"delpkg", link.arguments);

    // The payload link goes first and keeps the folder; the Uninstall link takes it along.
    DeleteProgramsShortcut(name_.c_str(), name_.c_str(), 0);
    EXPECT_EQ(std::vector<std::wstring>{L"Uninstall.lnk"}, ts::ListDir(folder));
    DeleteProgramsShortcut(name_.c_str(), L"Uninstall", 1);
    EXPECT_FALSE(ts::Exists(folder));

    // A folder that still holds a file of its own stays.
    CreateProgramsShortcut(name_.c_str(), Target(L"Uninstall\\setup.exe").c_str(), L"Uninstall", L"delpkg");
    ASSERT_TRUE(ts::WriteBytes(folder + L"\\readme.txt", "mine"));
    DeleteProgramsShortcut(name_.c_str(), L"Uninstall", 1);
    EXPECT_EQ(std::vector<std::wstring>{L"readme.txt"}, ts::ListDir(folder));
}

// Link and folder names are single names: nothing lands beside or above the folders.
TEST_F(ShellTest, NamesThatAreNotSingleNamesAreRefused)
{
    std::wstring desktop = ts::SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    std::wstring programs = ts::SpecialFolder(CSIDL_COMMON_PROGRAMS);
    std::wstring escaped = L"Escaped " + std::to_wstring(GetCurrentProcessId());
    std::wstring parentOfPrograms = programs.substr(0, programs.rfind(L'\\'));

    CreateDesktopShortcut(Target(L"a.exe").c_str(), (L"..\\" + escaped).c_str());
    CreateDesktopShortcut(Target(L"a.exe").c_str(), L"");
    CreateProgramsShortcut(L"..", Target(L"a.exe").c_str(), escaped.c_str(), NULL);
    CreateProgramsShortcut(L"", Target(L"a.exe").c_str(), escaped.c_str(), NULL);
    CreateProgramsShortcut(name_.c_str(), Target(L"a.exe").c_str(), (L"..\\" + escaped).c_str(), NULL);
    for (const std::wstring& path :
         {desktop.substr(0, desktop.rfind(L'\\')) + L"\\" + escaped + L".lnk", desktop + L"\\.lnk",
          parentOfPrograms + L"\\" + escaped + L".lnk", programs + L"\\" + escaped + L".lnk"}) {
        EXPECT_FALSE(ts::Exists(path)) << std::string(path.begin(), path.end());
        DeleteFileW(path.c_str());
    }
    // Removing the "folder" of an empty name must not take the Programs folder along.
    DeleteProgramsShortcut(L"", L"Uninstall", 1);
    EXPECT_TRUE(ts::Exists(programs));
}
