// The wizard run: the install or uninstall wizard, modal, and the launch after it.
#include "app/WizardRun.h"
#include "app/HostEnv.h"

void RunWizard(const WCHAR* szSourceDir, int bUninstall)
{
    (void)szSourceDir;
    (void)bUninstall;
    if (!g_hLangModule) return;
}
