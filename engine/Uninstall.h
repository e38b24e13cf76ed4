// The uninstall procedure.
#pragma once
#include "SetupConfig.h"

// Removes what InstallPackage put on the machine; returns TRUE when the payload and
// its Uninstall entry are gone. Never acts on an unusable install folder.
BOOL UninstallPackage(const SetupConfig* config);

// The file and registry step of UninstallPackage.
BOOL RemoveFilesAndRegistry(const SetupConfig* config);
