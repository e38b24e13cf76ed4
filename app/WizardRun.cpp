// The wizard run: the install or uninstall wizard, modal, and the launch after it.
#include "app/WizardRun.h"

#include "app/HostEnv.h"
#include "app/SetupApp.h"
#include "fw/App.h"
#include "wizard/SetupDlg.h"

void RunWizard(const WCHAR* szSourceDir, int bUninstall)
{
    // The wizard's texts come from the language module only: without one there is
    // no wizard and nothing to report.
    if (!g_hLangModule)
        return;

    CSetupDlg dlg(szSourceDir, bUninstall, NULL);
    CWinApp* pApp = AfxGetApp();
    if (pApp)
        pApp->m_pMainWnd = &dlg;
    INT_PTR nResult = dlg.DoModal();
    if (pApp)
        pApp->m_pMainWnd = NULL;  // the dialog object ends with this function

    // Finish after a successful install with the launch box ticked: start the
    // payload from a fresh read of setup.ini.
    if (nResult == IDOK && g_bLaunchApp)
        LaunchPayload(szSourceDir, NULL, g_bAlternateSection);
}
