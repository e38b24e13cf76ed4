// Helpers for tests under Wine: temporary folders, files, processes, registry views,
// shell links and message boxes of other threads and processes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ts {

// The build folder as a Windows path (SETUP_TEST_BUILD), e.g. Z:\...\build.
std::wstring BuildDir();
// SETUP_TEST_HOST: "xp32" or "w7x64".
std::wstring HostName();
// build\bin\<name>
std::wstring BinPath(const wchar_t* name);

// A new empty folder below C:\tests\, unique in this prefix run; tag names it.
std::wstring MakeTempDir(const wchar_t* tag);
bool CopyTree(const std::wstring& from, const std::wstring& to);
bool DeleteTree(const std::wstring& path);
bool Exists(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool ReadBytes(const std::wstring& path, std::string* bytes);
// The lines of a text file, split at "\n" (a "\r" before it is dropped); empty when the
// file cannot be read.
std::vector<std::string> ReadLines(const std::wstring& path);
// Names in a folder ("." and ".." left out), sorted.
std::vector<std::wstring> ListDir(const std::wstring& dir);

struct ProcResult {
    bool started = false;
    bool timedOut = false;  // the process was killed after the timeout
    DWORD exitCode = 0;
};
// Runs a command line and waits for it; kills it after timeoutMs.
ProcResult Run(const std::wstring& commandLine, DWORD timeoutMs = 60000, const wchar_t* cwd = NULL);
// Starts without waiting; the caller closes the handle.
HANDLE Start(const std::wstring& commandLine, const wchar_t* cwd = NULL);

// Registry reads in an explicit view: KEY_WOW64_32KEY or KEY_WOW64_64KEY (0: default).
bool RegString(HKEY root, const std::wstring& key, const wchar_t* value, std::wstring* out,
               REGSAM view = 0, DWORD* type = NULL, DWORD* bytes = NULL);
bool RegDword(HKEY root, const std::wstring& key, const wchar_t* value, DWORD* out, REGSAM view = 0);
bool RegKeyExists(HKEY root, const std::wstring& key, REGSAM view = 0);
bool RegValueExists(HKEY root, const std::wstring& key, const wchar_t* value, REGSAM view = 0);
void RegDeleteTreeW(HKEY root, const std::wstring& key, REGSAM view = 0);

struct LinkInfo {
    std::wstring target;
    std::wstring arguments;
};
bool ReadLink(const std::wstring& lnkPath, LinkInfo* info);

// CSIDL folder path (SHGetSpecialFolderPathW, not created).
std::wstring SpecialFolder(int csidl);

// Watches for message boxes (#32770 with the given caption) of any process on this
// desktop, records their text and presses OK. Runs on its own thread while alive.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(const wchar_t* caption = L"Fail");
    ~MessageBoxWatcher();
    std::vector<std::wstring> Texts();  // the texts seen so far, in order
private:
    static DWORD WINAPI Loop(LPVOID self);
    std::wstring caption_;
    std::vector<std::wstring> texts_;
    CRITICAL_SECTION lock_;
    volatile LONG stop_ = 0;
    HANDLE thread_ = NULL;
};

// Quoted for a command line.
std::wstring Quote(const std::wstring& s);

}  // namespace ts
