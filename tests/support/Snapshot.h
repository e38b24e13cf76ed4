// A listing of what a test could change on the machine: every file and folder of
// drive C: and every key and value of HKLM\SOFTWARE (in both registry views on a
// 64-bit host) and of HKCU\Software, for a before/after comparison.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/Medium.h"

namespace ts {

// Entries are named
//   C:\path                          a file or folder (size and write time of files)
//   HKLM32\SOFTWARE\key, HKLM64\..., HKCU\Software\key     a key
//   <key>|<value name>               a value (its type and data)
// and compared without regard to ASCII letter case.
struct Snapshot {
    std::map<std::wstring, std::wstring> entries;  // lower-cased name -> state
    std::map<std::wstring, std::wstring> names;    // lower-cased name -> name as found
    bool complete = false;                         // both registry trees were listed
};

// Takes the listing; the registry trees are listed from copies that the registry
// writes in one call (RegSaveKeyW), a key that has neither values nor subkeys is
// listed, one that has only subkeys is not. Left out, as they change without the program under test: the
// test folders below C:\tests, temporary folders, Wine's own files that change on
// every run, and the volatile keys listed in Snapshot.cpp.
Snapshot TakeSnapshot();

// What changed between the two listings, one line each ("+ name", "- name",
// "~ name"), except inside one of the allowed places: an allowed entry name covers
// itself, its files and subfolders ("\") and its values ("|").
std::vector<std::wstring> SnapshotChanges(const Snapshot& before, const Snapshot& after,
                                          const std::vector<std::wstring>& allowed = {});

// Allowed places of an install of the package: the install folder, the desktop link
// and the Programs-menu folder named by AppName; with registry, also its Uninstall
// entry, its autostart value and the compatibility marks of the payload and of the
// setup program of the medium (start-up marks it on NT 6).
std::vector<std::wstring> InstallPlaces(const Package& p, bool registry, const std::wstring& medium = L"");

// Readable list of changes for a failure message.
std::wstring JoinLines(const std::vector<std::wstring>& lines, size_t max = 40);

}  // namespace ts
