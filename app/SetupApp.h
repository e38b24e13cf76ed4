// The application object: single-instance guard, command line, host probes, language
// module, and the choice between the install wizard, the uninstall wizard and the
// silent install.
#pragma once
#include "engine/SetupConfig.h"
#include "fw/App.h"

// Process exit codes. Deployment tools read the silent install's result from them.
enum {
    SETUP_EXIT_OK = 0,
    SETUP_EXIT_INSTALL_FAILED = 1,    // InstallPackage reported a failure
    SETUP_EXIT_ALREADY_RUNNING = 2,   // another instance holds the "Corvisk" mutex
};

class CSetupApp : public CWinApp {
public:
    CSetupApp();

    // Does the whole run and always returns FALSE: there is no message loop.
    BOOL InitInstance() override;
    // Closes the mutex and frees the language module; the result is the exit code.
    int ExitInstance() override;

    HANDLE m_hMutex;
};

extern CSetupApp theApp;

// Reads setup.ini from szSourceDir (the program's folder, ending with a backslash),
// installs on the calling thread and starts the payload when LaunchAPInSilentMode is
// set. Returns InstallPackage's result.
BOOL SilentInstall(const WCHAR* szSourceDir, int bAlternateSection);

// Starts the installed payload, {install}\{APPFileName}, shown. config may be NULL to
// read setup.ini from szSourceDir afresh.
void LaunchPayload(const WCHAR* szSourceDir, const SetupConfig* config, int bAlternateSection);
