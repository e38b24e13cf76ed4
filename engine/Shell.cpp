#include "Shell.h"

#include <objbase.h>
#include <shlobj.h>

#include "NameRules.h"
#include "PathUtil.h"

HANDLE RunProgram(WCHAR* commandLine, int show)
{
    STARTUPINFOW startupInfo;
    PROCESS_INFORMATION processInformation;
    ZeroMemory(&startupInfo, sizeof startupInfo);
    ZeroMemory(&processInformation, sizeof processInformation);
    startupInfo.cb = sizeof startupInfo;
    startupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startupInfo.wShowWindow = show ? SW_SHOW : SW_HIDE;
    // The program is the command line's first token, so callers quote its path.
    if (!CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, REALTIME_PRIORITY_CLASS, NULL, NULL, &startupInfo,
                        &processInformation))
        return NULL;
    CloseHandle(processInformation.hThread);
    return processInformation.hProcess;
}

namespace {

// COM for the duration of one link operation on this thread. A thread that already
// runs another apartment model keeps it (CoInitialize fails with RPC_E_CHANGED_MODE):
// the link objects work there too, and only a successful CoInitialize is undone.
class ComScope {
public:
    ComScope() : hr_(CoInitialize(NULL)) {}
    ~ComScope()
    {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

// A shell link object with its IPersistFile, released in reverse order.
class LinkObject {
public:
    LinkObject()
    {
        if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&link_))))
            link_ = NULL;
        else if (FAILED(link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_))))
            file_ = NULL;
    }
    ~LinkObject()
    {
        if (file_)
            file_->Release();
        if (link_)
            link_->Release();
    }
    LinkObject(const LinkObject&) = delete;
    LinkObject& operator=(const LinkObject&) = delete;

    bool Usable() const { return link_ && file_; }
    IShellLinkW* Link() { return link_; }
    IPersistFile* File() { return file_; }

private:
    IShellLinkW* link_ = NULL;
    IPersistFile* file_ = NULL;
};

// Link and folder names are single file names: an empty one would name the desktop or
// the Programs folder itself, one with a backslash or ".." a place outside them, and
// one with a trailing dot or space another link or folder.
bool DesktopLinkPath(const WCHAR* name, WCHAR (&path)[MAX_PATH])
{
    if (!IsValidFileName(name))
        return false;
    WCHAR desktop[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(NULL, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    return desktop[0] && Concat(path, {desktop, L"\\", name, L".lnk"});
}

bool ProgramsPaths(const WCHAR* folderName, const WCHAR* linkName, WCHAR (&folder)[MAX_PATH],
                   WCHAR (&path)[MAX_PATH])
{
    if (!IsValidFileName(folderName) || !IsValidFileName(linkName))
        return false;
    WCHAR programs[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(NULL, programs, CSIDL_COMMON_PROGRAMS, FALSE);
    return programs[0] && Concat(folder, {programs, L"\\", folderName}) &&
           Concat(path, {folder, L"\\", linkName, L".lnk"});
}

}  // namespace

bool CreateDesktopShortcut(const WCHAR* targetPath, const WCHAR* name)
{
    ComScope com;
    LinkObject link;
    if (!link.Usable())
        return false;
    // A refused target still gives a link file: the desktop link is saved regardless.
    link.Link()->SetPath(targetPath);
    WCHAR path[MAX_PATH];
    if (!DesktopLinkPath(name, path))
        return false;
    if (PathExists(path))
        DeleteDesktopShortcut(name);
    return SUCCEEDED(link.File()->Save(path, TRUE)) && PathExists(path);
}

void DeleteDesktopShortcut(const WCHAR* name)
{
    WCHAR path[MAX_PATH];
    if (DesktopLinkPath(name, path))
        DeleteFileW(path);
}

bool CreateProgramsShortcut(const WCHAR* folderName, const WCHAR* targetPath, const WCHAR* linkName,
                            const WCHAR* arguments)
{
    ComScope com;
    LinkObject link;
    if (!link.Usable())
        return false;
    if (FAILED(link.Link()->SetPath(targetPath)))
        return false;
    if (arguments)
        link.Link()->SetArguments(arguments);
    WCHAR folder[MAX_PATH], path[MAX_PATH];
    if (!ProgramsPaths(folderName, linkName, folder, path))
        return false;
    if (!PathExists(folder))
        CreateDirectoryW(folder, NULL);
    else if (PathExists(path))
        DeleteProgramsShortcut(folderName, linkName, 0);
    return SUCCEEDED(link.File()->Save(path, TRUE)) && PathExists(path);
}

void DeleteProgramsShortcut(const WCHAR* folderName, const WCHAR* linkName, int removeFolder)
{
    WCHAR folder[MAX_PATH], path[MAX_PATH];
    if (!ProgramsPaths(folderName, linkName, folder, path))
        return;
    DeleteFileW(path);
    if (removeFolder)
        RemoveDirectoryW(folder);
}
