// Shared scaffolding of the install tests: a package per test with its own names, media
// made for it, the helper's log, started processes, and a complete clean-up.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/SetupConfig.h"
#include "tests/support/Medium.h"

class InstallFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A package named after the test and tag, cleaned up after the test.
    ts::Package NewPackage(const wchar_t* tag = L"");
    std::wstring NewMedium(const ts::MediumOptions& o);
    SetupConfig ConfigOf(const std::wstring& medium);
    // Starts a process that is ended after the test if it still runs.
    HANDLE StartProcess(const std::wstring& commandLine);
    // Calls to the service helper so far (its log).
    std::vector<ts::HelperCall> HelperCalls();

    std::wstring log_;

private:
    std::vector<ts::Package> packages_;
    std::vector<std::wstring> media_;
    std::vector<HANDLE> processes_;
};

// The first top-level window titled exactly title, waited for up to timeoutMs.
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = 10000);
bool SameText(const std::wstring& a, const std::wstring& b);  // case-blind
