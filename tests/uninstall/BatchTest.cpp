// The cleanup batch: its exact bytes in the OEM code page, the folder it removes once
// the uninstaller has exited, and the folders it must never be written for.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>

#include "Installed.h"
#include "app/HostEnv.h"
#include "engine/CleanupBatch.h"
#include "engine/Uninstall.h"
#include "tests/support/TestSupport.h"

namespace {

// The six lines for a folder already in the bytes the interpreter reads.
std::string ExpectedBatch(const std::string& dir)
{
    return ":DEL_DIR\r\n"
           "rd /s /q \"" + dir + "\\Uninstall\"\r\n"
           "IF EXIST \"" + dir + "\\Uninstall\\setup.exe\" GOTO DEL_DIR\r\n"
           "IF EXIST \"" + dir + "\\Uninstall\\setup.ini\" GOTO DEL_DIR\r\n"
           "rd /s /q \"" + dir + "\"\r\n"
           "del \"" + dir + "\\QvUninst.bat\"\r\n";
}

// The folder as code page 437 bytes for the few characters the tests use; "%" doubled.
std::string Oem437(const std::wstring& s)
{
    std::string out;
    for (wchar_t c : s) {
        if (c == L'%')
            out += "%%";
        else if (c == 0x00E9)  // e acute
            out += '\x82';
        else if (c < 0x80)
            out += static_cast<char>(c);
        else
            ADD_FAILURE() << "no 437 byte known for U+" << std::hex << static_cast<unsigned>(c);
    }
    return out;
}

std::string Compose(const std::wstring& dir)
{
    char buf[kCleanupBatchCap];
    int n = ComposeCleanupBatch(dir.c_str(), buf, kCleanupBatchCap);
    return std::string(buf, n > 0 ? n : 0);
}

TEST(CleanupBatch, ComposesSixLinesInTheOemCodePage)
{
    ASSERT_EQ(437u, GetOEMCP()) << "the cases below are for code page 437 (LC_ALL=C.UTF-8)";
    EXPECT_EQ(":DEL_DIR\r\n"
              "rd /s /q \"C:\\Program Files\\Corvisk\\Uninstall\"\r\n"
              "IF EXIST \"C:\\Program Files\\Corvisk\\Uninstall\\setup.exe\" GOTO DEL_DIR\r\n"
              "IF EXIST \"C:\\Program Files\\Corvisk\\Uninstall\\setup.ini\" GOTO DEL_DIR\r\n"
              "rd /s /q \"C:\\Program Files\\Corvisk\"\r\n"
              "del \"C:\\Program Files\\Corvisk\\QvUninst.bat\"\r\n",
              Compose(L"C:\\Program Files\\Corvisk"));

    const wchar_t* const representable[] = {
        L"D:\\OS\\Program Files (x86)\\Corvisk",
        L"C:\\Program Files\\Caf\x00E9",
        L"C:\\Program Files\\100%",
        L"C:\\Program Files\\a%PATH%b",
    };
    for (const wchar_t* dir : representable) {
        SCOPED_TRACE(dir);
        EXPECT_EQ(ExpectedBatch(Oem437(dir)), Compose(dir));
    }

    const std::wstring refused[] = {
        L"",
        L"C:\\Program Files\\\x20AC" L"uro",   // euro sign: not in 437
        L"C:\\Program Files\\\x4E2D\x6587",    // CJK
        L"C:\\Program Files\\\x0100rc",        // A macron: 437 only has a look-alike 'A'
        L"C:\\Program Files\\a\"b",
        L"C:\\Program Files\\a\tb",
        L"C:\\Program Files\\a\r\nrd /s /q C:\\",
        L"C:\\Program Files\\a*",
        L"C:\\" + std::wstring(240, L'x'),     // "\Uninstall\setup.exe" would not fit
    };
    for (const std::wstring& dir : refused) {
        SCOPED_TRACE(dir);
        char buf[kCleanupBatchCap];
        EXPECT_EQ(0, ComposeCleanupBatch(dir.c_str(), buf, kCleanupBatchCap));
    }
}

// Starts the installed uninstaller ({install}\Uninstall\setup.exe, the runner) and holds
// it after the procedure until Release.
class Uninstaller {
public:
    explicit Uninstaller(const ut::Installed& p)
    {
        std::wstring doneName = ut::UniqueName(L"UnDone"), exitName = ut::UniqueName(L"UnExit");
        done_ = CreateEventW(NULL, TRUE, FALSE, doneName.c_str());
        exit_ = CreateEventW(NULL, TRUE, FALSE, exitName.c_str());
        std::wstring exe = p.uninstallerDir + L"setup.exe";
        if (CopyFileW(ts::BinPath(L"uninstall_runner.exe").c_str(), exe.c_str(), FALSE))
            process_ = ts::Start(ts::Quote(exe) + L" " + doneName + L" " + exitName, L"C:\\");
    }
    ~Uninstaller()
    {
        Release();
        if (process_)
            CloseHandle(process_);
        CloseHandle(done_);
        CloseHandle(exit_);
    }
    bool Started() const { return process_ != NULL; }
    bool WaitDone() { return WaitForSingleObject(done_, 30000) == WAIT_OBJECT_0; }
    // Lets it exit; returns its exit code, or -1 when it did not end.
    int Release()
    {
        SetEvent(exit_);
        if (!process_ || WaitForSingleObject(process_, 20000) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return static_cast<int>(code);
    }

private:
    HANDLE done_ = NULL, exit_ = NULL, process_ = NULL;
};

// Wine's command interpreter keeps the batch file open until the batch ends, so line 5
// cannot remove the folder that holds it: there the folder stays behind, empty (the
// batch file goes when the interpreter closes it). Windows' interpreter reads the file
// line by line without holding it, and the folder goes as well.
bool Cleared(const std::wstring& dir)
{
    return !ts::Exists(dir) || ts::ListDir(dir).empty();
}

// Polls until the folder is cleared; returns the time it took, or -1.
long WaitCleared(const std::wstring& dir, DWORD timeoutMs)
{
    DWORD t0 = GetTickCount();
    for (;;) {
        if (Cleared(dir))
            return static_cast<long>(GetTickCount() - t0);
        if (GetTickCount() - t0 > timeoutMs)
            return -1;
        Sleep(50);
    }
}

TEST(CleanupBatch, RemovesTheInstallFolderAfterTheUninstallerHasExited)
{
    ASSERT_EQ(437u, GetOEMCP());
    const wchar_t* const tags[] = {L"UnBatch", L"UnCaf\x00E9", L"Un100%"};
    for (const wchar_t* tag : tags) {
        SCOPED_TRACE(tag);
        ut::InstallOptions o;
        o.deleteFolder = true;
        ut::Installed p(ut::UniqueName(tag), o);
        ASSERT_TRUE(p.ok);
        // The folder a batch would reach if the interpreter dropped a lone "%".
        std::wstring lone;
        for (wchar_t c : p.folderName)
            if (c != L'%')
                lone += c;
        std::wstring nearDir;
        if (lone != p.folderName) {
            nearDir = p.dir.substr(0, p.dir.size() - p.folderName.size()) + lone;
            ASSERT_TRUE(CreateDirectoryW(nearDir.c_str(), NULL));
            ASSERT_TRUE(CreateDirectoryW((nearDir + L"\\Uninstall").c_str(), NULL));
            ASSERT_TRUE(ts::WriteBytes(nearDir + L"\\Uninstall\\setup.ini", "keep"));
        }

        Uninstaller run(p);
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitDone());

        // While the uninstaller runs, the batch waits for it.
        std::string bytes;
        EXPECT_TRUE(ts::ReadBytes(p.Path(L"QvUninst.bat"), &bytes));
        EXPECT_EQ(ExpectedBatch(Oem437(p.dir)), bytes);
        EXPECT_TRUE(ts::Exists(p.Path(L"title_about.bmp")));

        EXPECT_TRUE(ts::Exists(p.uninstallerDir + L"setup.exe"));
        EXPECT_EQ(0, run.Release());
        long ms = WaitCleared(p.dir, 30000);
        EXPECT_LE(0, ms) << "the install folder still holds " << ts::ListDir(p.dir).size() << " entries";
        printf("install folder cleared %ld ms after the uninstaller exited\n", ms);
        if (!nearDir.empty()) {
            EXPECT_TRUE(ts::Exists(nearDir + L"\\Uninstall\\setup.ini"));
            ts::DeleteTree(nearDir);
        }
    }
}

TEST(CleanupBatch, NoBatchForAFolderTheOemCodePageCannotName)
{
    const wchar_t* const tags[] = {L"Un\x20AC", L"Un\x4E2D\x6587"};
    for (const wchar_t* tag : tags) {
        SCOPED_TRACE(tag);
        ut::InstallOptions o;
        o.deleteFolder = true;
        ut::Installed p(ut::UniqueName(tag), o);
        ASSERT_TRUE(p.ok);

        // The procedure's own steps still run; only the folder stays.
        EXPECT_TRUE(UninstallPackage(&p.config));
        EXPECT_FALSE(ts::Exists(p.Path(p.appFileName)));
        EXPECT_FALSE(ts::Exists(p.desktopLink));
        EXPECT_FALSE(p.EntryExists());

        Sleep(1500);  // a started batch would have removed the folder by now
        EXPECT_FALSE(ts::Exists(p.Path(L"QvUninst.bat")));
        EXPECT_TRUE(ts::Exists(p.Path(L"title_about.bmp")));
        EXPECT_TRUE(ts::Exists(p.uninstallerDir + L"setup.exe"));
        EXPECT_TRUE(ts::Exists(p.uninstallerDir + L"setup.ini"));
    }
}

}  // namespace
