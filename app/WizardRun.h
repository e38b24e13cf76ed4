// The wizard run: the install or uninstall wizard, modal, and the launch after it.
#pragma once
#include <windows.h>

// szSourceDir: the program's folder (ending with a backslash); bUninstall: 0 install
// wizard, 1 uninstall wizard. Returns when the wizard has closed.
void RunWizard(const WCHAR* szSourceDir, int bUninstall);
