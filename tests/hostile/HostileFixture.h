// Scaffolding of the hostile-input and fault tests: packages with their own names,
// media, in-process installs with their message boxes, runs of the real setup.exe,
// and the before/after listing of the machine.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/SetupConfig.h"
#include "tests/support/Medium.h"
#include "tests/support/Snapshot.h"
#include "tests/support/TestSupport.h"

class HostileFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A package named after the test and tag, cleaned up before and after the test.
    ts::Package NewPackage(const std::wstring& tag = L"");
    // Registers a package whose names the test chose itself for the clean-up.
    void Track(const ts::Package& p);
    std::wstring NewMedium(const ts::MediumOptions& o);
    SetupConfig ConfigOf(const std::wstring& medium);
    // Started processes are ended after the test.
    HANDLE StartProcess(const std::wstring& commandLine);

    // InstallPackage / UninstallPackage in this process, with the "Fail" boxes they
    // showed (pressed OK by a watcher).
    BOOL Install(const std::wstring& medium, const SetupConfig& c, std::vector<std::wstring>* boxes);
    BOOL Uninstall(const SetupConfig& c, std::vector<std::wstring>* boxes);
    // setup.exe s from the medium, run from C:\; its exit code.
    ts::ProcResult RunSilent(const std::wstring& medium, std::vector<std::wstring>* boxes = NULL,
                             DWORD timeoutMs = 90000);

    // Everything that changed since the snapshot outside the allowed places; returns
    // the listing taken now.
    ts::Snapshot ExpectOnlyChangesIn(const ts::Snapshot& before, const std::vector<std::wstring>& allowed);

    std::wstring log_;  // the service helper's log (XSRV_LOG)

private:
    std::vector<ts::Package> packages_;
    std::vector<std::wstring> media_;
    std::vector<HANDLE> processes_;
};

std::string Utf8(const std::wstring& s);
