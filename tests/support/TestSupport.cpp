#include "TestSupport.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>

namespace ts {

static std::wstring Env(const wchar_t* name)
{
    wchar_t buf[4096];
    DWORD n = GetEnvironmentVariableW(name, buf, 4096);
    if (n == 0 || n >= 4096)
        return L"";
    std::wstring s(buf, n);
    std::replace(s.begin(), s.end(), L'/', L'\\');
    return s;
}

std::wstring BuildDir() { return Env(L"SETUP_TEST_BUILD"); }
std::wstring HostName() { return Env(L"SETUP_TEST_HOST"); }
std::wstring BinPath(const wchar_t* name) { return BuildDir() + L"\\bin\\" + name; }

std::wstring MakeTempDir(const wchar_t* tag)
{
    static LONG counter = 0;
    CreateDirectoryW(L"C:\\tests", NULL);
    wchar_t buf[MAX_PATH];
    for (;;) {
        swprintf(buf, MAX_PATH, L"C:\\tests\\%ls-%lu-%ld", tag, GetCurrentProcessId(),
                 InterlockedIncrement(&counter));
        if (CreateDirectoryW(buf, NULL))
            return buf;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return L"";
    }
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> ListDir(const std::wstring& dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L".."))
            names.push_back(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

bool CopyTree(const std::wstring& from, const std::wstring& to)
{
    DWORD attr = GetFileAttributesW(from.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
        return false;
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY))
        return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
    CreateDirectoryW(to.c_str(), NULL);
    bool ok = true;
    for (const std::wstring& name : ListDir(from))
        ok = CopyTree(from + L"\\" + name, to + L"\\" + name) && ok;
    return ok;
}

bool DeleteTree(const std::wstring& path)
{
    DWORD attr = GetFileAttributesW(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
        return true;
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(path.c_str()) != 0;
    }
    for (const std::wstring& name : ListDir(path))
        DeleteTree(path + L"\\" + name);
    return RemoveDirectoryW(path.c_str()) != 0;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(h);
    return ok && written == bytes.size();
}

bool ReadBytes(const std::wstring& path, std::string* bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, NULL) && got)
        bytes->append(buf, got);
    CloseHandle(h);
    return true;
}

std::vector<std::string> ReadLines(const std::wstring& path)
{
    std::vector<std::string> lines;
    std::string bytes;
    if (!ReadBytes(path, &bytes))
        return lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

HANDLE Start(const std::wstring& commandLine, const wchar_t* cwd)
{
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back(0);
    if (!CreateProcessW(NULL, cmd.data(), NULL, NULL, FALSE, 0, NULL, cwd, &si, &pi))
        return NULL;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

ProcResult Run(const std::wstring& commandLine, DWORD timeoutMs, const wchar_t* cwd)
{
    ProcResult r;
    HANDLE h = Start(commandLine, cwd);
    if (!h)
        return r;
    r.started = true;
    if (WaitForSingleObject(h, timeoutMs) != WAIT_OBJECT_0) {
        r.timedOut = true;
        TerminateProcess(h, 9999);
        WaitForSingleObject(h, 5000);
    }
    GetExitCodeProcess(h, &r.exitCode);
    CloseHandle(h);
    return r;
}

static HKEY OpenRead(HKEY root, const std::wstring& key, REGSAM view)
{
    HKEY h = NULL;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &h) != ERROR_SUCCESS)
        return NULL;
    return h;
}

bool RegString(HKEY root, const std::wstring& key, const wchar_t* value, std::wstring* out, REGSAM view,
               DWORD* type, DWORD* bytes)
{
    HKEY h = OpenRead(root, key, view);
    if (!h)
        return false;
    wchar_t buf[4096] = {0};
    DWORD t = 0, cb = sizeof buf - sizeof(wchar_t);
    LONG r = RegQueryValueExW(h, value, NULL, &t, reinterpret_cast<BYTE*>(buf), &cb);
    RegCloseKey(h);
    if (r != ERROR_SUCCESS)
        return false;
    if (type)
        *type = t;
    if (bytes)
        *bytes = cb;
    if (out)
        *out = buf;
    return true;
}

bool RegDword(HKEY root, const std::wstring& key, const wchar_t* value, DWORD* out, REGSAM view)
{
    HKEY h = OpenRead(root, key, view);
    if (!h)
        return false;
    DWORD t = 0, cb = sizeof(DWORD), v = 0;
    LONG r = RegQueryValueExW(h, value, NULL, &t, reinterpret_cast<BYTE*>(&v), &cb);
    RegCloseKey(h);
    if (r != ERROR_SUCCESS || t != REG_DWORD)
        return false;
    *out = v;
    return true;
}

bool RegKeyExists(HKEY root, const std::wstring& key, REGSAM view)
{
    HKEY h = OpenRead(root, key, view);
    if (!h)
        return false;
    RegCloseKey(h);
    return true;
}

bool RegValueExists(HKEY root, const std::wstring& key, const wchar_t* value, REGSAM view)
{
    HKEY h = OpenRead(root, key, view);
    if (!h)
        return false;
    LONG r = RegQueryValueExW(h, value, NULL, NULL, NULL, NULL);
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
}

void RegDeleteTreeW(HKEY root, const std::wstring& key, REGSAM view)
{
    HKEY h = NULL;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS | view, &h) != ERROR_SUCCESS)
        return;
    for (;;) {
        wchar_t name[512];
        DWORD n = 512;
        if (RegEnumKeyExW(h, 0, name, &n, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        RegDeleteTreeW(root, key + L"\\" + name, view);
    }
    RegCloseKey(h);
    RegDeleteKeyW(root, key.c_str());
}

bool ReadLink(const std::wstring& lnkPath, LinkInfo* info)
{
    HRESULT init = CoInitialize(NULL);
    bool ok = false;
    IShellLinkW* link = NULL;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = NULL;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(lnkPath.c_str(), STGM_READ))) {
                wchar_t buf[MAX_PATH * 2] = {0};
                WIN32_FIND_DATAW fd;
                link->GetPath(buf, MAX_PATH * 2, &fd, SLGP_RAWPATH);
                info->target = buf;
                buf[0] = 0;
                link->GetArguments(buf, MAX_PATH * 2);
                info->arguments = buf;
                ok = true;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return ok;
}

std::wstring SpecialFolder(int csidl)
{
    wchar_t buf[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(NULL, buf, csidl, FALSE);
    return buf;
}

MessageBoxWatcher::MessageBoxWatcher(const wchar_t* caption) : caption_(caption)
{
    InitializeCriticalSection(&lock_);
    thread_ = CreateThread(NULL, 0, Loop, this, 0, NULL);
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    DeleteCriticalSection(&lock_);
}

std::vector<std::wstring> MessageBoxWatcher::Texts()
{
    EnterCriticalSection(&lock_);
    std::vector<std::wstring> copy = texts_;
    LeaveCriticalSection(&lock_);
    return copy;
}

DWORD WINAPI MessageBoxWatcher::Loop(LPVOID p)
{
    MessageBoxWatcher* self = static_cast<MessageBoxWatcher*>(p);
    while (!self->stop_) {
        HWND box = FindWindowW(L"#32770", self->caption_.c_str());
        if (box && IsWindowVisible(box)) {
            wchar_t text[2048] = {0};
            HWND label = GetDlgItem(box, 0xFFFF);
            if (label)
                GetWindowTextW(label, text, 2048);
            HWND ok = GetDlgItem(box, IDOK);
            if (!ok)
                ok = GetDlgItem(box, IDCANCEL);
            EnterCriticalSection(&self->lock_);
            self->texts_.push_back(text);
            LeaveCriticalSection(&self->lock_);
            if (ok)
                SendMessageTimeoutW(ok, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, NULL);
            else
                PostMessageW(box, WM_CLOSE, 0, 0);
            // Wait for this box to go before looking for the next one.
            for (int i = 0; i < 100 && IsWindow(box) && IsWindowVisible(box); ++i)
                Sleep(10);
        }
        Sleep(15);
    }
    return 0;
}

std::wstring Quote(const std::wstring& s) { return L"\"" + s + L"\""; }

}  // namespace ts
