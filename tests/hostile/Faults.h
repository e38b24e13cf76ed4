// Faults that the tests put in the install's way, each undone when its object goes.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

struct Fault {
    virtual ~Fault() {}
    bool armed = false;
};

// The file held open without sharing: copying onto it or deleting it fails with 32.
std::unique_ptr<Fault> HoldFile(const std::wstring& path);
// A folder (with its parents) where a file must go.
std::unique_ptr<Fault> FolderAt(const std::wstring& path);
// A file (with its parent folders) where a folder must go.
std::unique_ptr<Fault> FileAt(const std::wstring& path);
// A key of HKLM in the 32-bit view, created if missing, that everyone may read and
// nobody may write; its former access list comes back afterwards. Lives only in the
// running registry server.
std::unique_ptr<Fault> LockKey(const std::wstring& key);

// Creates path's missing parent folders.
void MakeParents(const std::wstring& path);
