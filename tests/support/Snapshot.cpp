#include "Snapshot.h"

#include <cstdio>

#include "TestSupport.h"

namespace ts {

namespace {

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

bool StartsWith(const std::wstring& s, const std::wstring& prefix)
{
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// name equals place, or lies below it as a file, subkey or value. A place written
// "=name" covers only that one entry.
bool Covers(const std::wstring& place, const std::wstring& name)
{
    if (!place.empty() && place[0] == L'=')
        return name == place.substr(1);
    if (!StartsWith(name, place))
        return false;
    return name.size() == place.size() || name[place.size()] == L'\\' || name[place.size()] == L'|';
}

void Add(Snapshot* s, const std::wstring& name, const std::wstring& state)
{
    std::wstring key = Lower(name);
    s->entries[key] = state;
    s->names[key] = name;
}

// Folders whose content changes on its own in a Wine prefix, or belongs to the tests.
bool IsVolatilePath(const std::wstring& lower)
{
    static const wchar_t* const kPrefixes[] = {
        L"c:\\tests",                  // every test's own temporary folders
        L"c:\\windows\\temp",
        L"c:\\users\\public\\temp",
    };
    for (const wchar_t* p : kPrefixes)
        if (Covers(p, lower))
            return true;
    // Each user's temporary folders.
    if (StartsWith(lower, L"c:\\users\\")) {
        size_t slash = lower.find(L'\\', 9);
        if (slash != std::wstring::npos) {
            std::wstring rest = lower.substr(slash);
            if (Covers(L"\\temp", rest) || Covers(L"\\appdata\\local\\temp", rest) ||
                Covers(L"\\local settings\\temp", rest))
                return true;
        }
    }
    return false;
}

void ListFiles(Snapshot* s, const std::wstring& dir)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    std::vector<std::wstring> subdirs;
    do {
        if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L".."))
            continue;
        std::wstring path = dir + L"\\" + fd.cFileName;
        if (IsVolatilePath(Lower(path)))
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Add(s, path, L"folder");
            // A link to a folder elsewhere (Wine's dosdevices) is listed, not entered.
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                subdirs.push_back(path);
        } else {
            wchar_t state[96];
            swprintf(state, 96, L"file %lu:%lu %lu:%lu", fd.nFileSizeHigh, fd.nFileSizeLow,
                     fd.ftLastWriteTime.dwHighDateTime, fd.ftLastWriteTime.dwLowDateTime);
            Add(s, path, state);
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    for (const std::wstring& d : subdirs)
        ListFiles(s, d);
}

// Keys that Wine or the test harness rewrite on their own.
bool IsVolatileKey(const std::wstring& lower)
{
    static const wchar_t* const kKeys[] = {
        L"hkcu\\software\\wine",  // Wine's own settings and state of its programs
    };
    for (const wchar_t* k : kKeys)
        if (Covers(k, lower))
            return true;
    return false;
}

// RegSaveKeyW needs the backup privilege, which the prefix's user holds but has
// not enabled.
void EnableBackupPrivilege()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES tp;
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(NULL, L"SeBackupPrivilege", &tp.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &tp, 0, NULL, NULL);
    CloseHandle(token);
}

// Undoes the escapes of a name in Wine's registry file: "\\", "\"", "\xHHHH".
std::wstring Unescape(const std::wstring& s)
{
    std::wstring out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        wchar_t c = s[++i];
        if (c == L'x') {
            unsigned v = 0;
            size_t k = 0;
            while (k < 4 && i + 1 < s.size() && iswxdigit(s[i + 1])) {
                wchar_t h = s[++i];
                v = v * 16 + (h <= L'9' ? h - L'0' : (h | 0x20) - L'a' + 10);
                ++k;
            }
            out += static_cast<wchar_t>(v);
        } else if (c == L'n') {
            out += L'\n';
        } else if (c == L't') {
            out += L'\t';
        } else if (c == L'r') {
            out += L'\r';
        } else {
            out += c;
        }
    }
    return out;
}

// Lists one registry tree from a saved copy of it: the server writes the whole tree
// in one call, which is many times faster than walking it key by key. The file holds
// "[key] stamp" lines, "#..." lines and "name"=data values (data may go on over
// lines ending in a backslash). A key is listed when it has values or no subkeys.
bool ListSavedKey(Snapshot* s, HKEY root, const wchar_t* path, const std::wstring& label, REGSAM view)
{
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    std::wstring dir = MakeTempDir(L"snapshot");
    std::wstring file = dir + L"\\tree.reg";
    LONG r = RegSaveKeyW(key, file.c_str(), NULL);
    RegCloseKey(key);
    std::string bytes;
    bool ok = r == ERROR_SUCCESS && ReadBytes(file, &bytes);
    DeleteTree(dir);
    if (!ok)
        return false;
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), NULL, 0);
    std::wstring text(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);

    Add(s, label, L"key");
    std::wstring current = label;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(at, end - at);
        at = end + 1;
        // Continued data lines.
        while (!line.empty() && line.back() == L'\\' && at < text.size()) {
            size_t next = text.find(L'\n', at);
            if (next == std::wstring::npos)
                next = text.size();
            line.pop_back();
            line += text.substr(at, next - at);
            at = next + 1;
        }
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        if (line.empty() || line[0] == L'#' || line[0] == L';')
            continue;
        if (line[0] == L'[') {
            // The name ends at the last "]" (a stamp follows it).
            size_t close = line.rfind(L']');
            if (close == std::wstring::npos || close == 0)
                continue;
            current = label + L"\\" + Unescape(line.substr(1, close - 1));
            if (IsVolatileKey(Lower(current)))
                current.clear();
            else
                Add(s, current, L"key");
            continue;
        }
        if (current.empty())
            continue;
        std::wstring name;
        size_t eq;
        if (line[0] == L'@') {
            eq = 1;
        } else if (line[0] == L'"') {
            size_t i = 1;
            while (i < line.size() && line[i] != L'"')
                i += (line[i] == L'\\') ? 2 : 1;
            name = Unescape(line.substr(1, i - 1));
            eq = i + 1;
        } else {
            continue;
        }
        if (eq < line.size() && line[eq] == L'=')
            Add(s, current + L"|" + name, line.substr(eq + 1));
    }
    return true;
}

bool Is64BitHost()
{
    BOOL wow = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow);
    return wow != FALSE;
}

}  // namespace

Snapshot TakeSnapshot()
{
    Snapshot s;
    ListFiles(&s, L"C:");
    EnableBackupPrivilege();
    // On a 64-bit host the tree of the 64-bit view holds the 32-bit view below
    // Wow6432Node, so both views are listed with one copy.
    bool ok = Is64BitHost()
                  ? ListSavedKey(&s, HKEY_LOCAL_MACHINE, L"SOFTWARE", L"HKLM64\\SOFTWARE", KEY_WOW64_64KEY)
                  : ListSavedKey(&s, HKEY_LOCAL_MACHINE, L"SOFTWARE", L"HKLM32\\SOFTWARE", 0);
    ok = ListSavedKey(&s, HKEY_CURRENT_USER, L"Software", L"HKCU\\Software", 0) && ok;
    s.complete = ok;
    return s;
}

std::vector<std::wstring> SnapshotChanges(const Snapshot& before, const Snapshot& after,
                                          const std::vector<std::wstring>& allowed)
{
    std::vector<std::wstring> places;
    for (const std::wstring& a : allowed)
        places.push_back(Lower(a));
    auto isAllowed = [&](const std::wstring& name) {
        for (const std::wstring& p : places)
            if (Covers(p, name))
                return true;
        return false;
    };
    std::vector<std::wstring> changes;
    if (!before.complete || !after.complete)
        changes.push_back(L"! the registry could not be listed");
    for (const auto& e : before.entries) {
        if (isAllowed(e.first))
            continue;
        auto it = after.entries.find(e.first);
        if (it == after.entries.end())
            changes.push_back(L"- " + before.names.at(e.first));
        else if (it->second != e.second)
            changes.push_back(L"~ " + before.names.at(e.first) + L" (" + e.second + L" -> " + it->second + L")");
    }
    for (const auto& e : after.entries)
        if (!isAllowed(e.first) && !before.entries.count(e.first))
            changes.push_back(L"+ " + after.names.at(e.first));
    return changes;
}

std::vector<std::wstring> InstallPlaces(const Package& p, bool registry, const std::wstring& medium)
{
    std::vector<std::wstring> places = {ExpectedInstallDir(p.folderName), DesktopLinkPath(p.appName),
                                        ProgramsFolderPath(p.appName)};
    if (!registry)
        return places;
    const std::wstring version = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    const std::wstring wow = L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\";
    places.push_back(L"HKLM32\\" + version + L"Uninstall\\" + p.folderName);
    places.push_back(L"HKLM32\\" + version + L"Run|" + p.appName);
    places.push_back(L"HKLM64\\" + wow + L"Uninstall\\" + p.folderName);
    places.push_back(L"HKLM64\\" + wow + L"Run|" + p.appName);
    std::wstring persisted = std::wstring(L"HKCU\\") + kPersistedKey;
    // The keys themselves may appear with the first entry or mark, nothing else in them.
    for (const std::wstring& view : {L"=HKLM32\\" + version, L"=HKLM64\\" + wow}) {
        places.push_back(view + L"Uninstall");
        places.push_back(view + L"Run");
    }
    std::wstring chain = persisted;
    for (int i = 0; i < 3; ++i) {
        places.push_back(L"=" + chain);
        chain = chain.substr(0, chain.rfind(L'\\'));
    }
    places.push_back(persisted + L"|" + ExpectedInstallDir(p.folderName) + L"\\" + p.appFileName);
    if (!medium.empty())
        places.push_back(persisted + L"|" + Lower(medium + L"setup.exe"));
    return places;
}

std::wstring JoinLines(const std::vector<std::wstring>& lines, size_t max)
{
    std::wstring out;
    for (size_t i = 0; i < lines.size() && i < max; ++i)
        out += lines[i] + L"\n";
    if (lines.size() > max)
        out += L"... and " + std::to_wstring(lines.size() - max) + L" more\n";
    return out;
}

}  // namespace ts
