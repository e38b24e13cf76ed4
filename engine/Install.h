// The install procedure.
#pragma once
#include "SetupConfig.h"

// Installs the package of szSourceDir (the program's folder, ending with a backslash)
// as config describes. Shows its failures in "Fail" message boxes and returns TRUE
// only when the install is complete.
BOOL InstallPackage(const WCHAR* szSourceDir, const SetupConfig* config);

// The folder, file and registry step of InstallPackage.
BOOL InstallFilesAndRegistry(const WCHAR* szSourceDir, const SetupConfig* config);
