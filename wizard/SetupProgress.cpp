// The wizard's running half: the Install/Remove click, the worker's progress messages
// turned into page states, the simulated progress bar and Finish.
#include "app/HostEnv.h"
#include "engine/Worker.h"
#include "wizard/SetupDlg.h"

namespace {

// What one progress message does to the page. The rows read as the page's state
// table: which texts it shows and how every control changes.
enum class Timer : BYTE { Keep, Start, Stop };
enum class Bar : BYTE { Keep, Restart, Fill };    // Restart: range 0-100, step 5, at 0
enum class Show : BYTE { Keep, Shown, Hidden };
enum class Buttons : BYTE { Running, End };       // Running: all three disabled

struct PageState {
    UINT nHeadline;
    UINT nDescription;
    Timer timer;
    Bar bar;
    Show progress;
    BOOL bOfferLaunch;  // the install succeeded: the launch box is shown ticked
    Buttons buttons;
};

const PageState kInstallRunning = {IDS_INSTALL_RUNNING_HEADLINE, IDS_INSTALL_RUNNING_DESCRIPTION,
                                   Timer::Start, Bar::Restart, Show::Shown, FALSE, Buttons::Running};
const PageState kUninstallRunning = {IDS_UNINSTALL_RUNNING_HEADLINE, IDS_UNINSTALL_RUNNING_DESCRIPTION,
                                     Timer::Start, Bar::Restart, Show::Shown, FALSE, Buttons::Running};
const PageState kInstallSucceeded = {IDS_INSTALL_DONE_HEADLINE, IDS_END_DESCRIPTION,
                                     Timer::Stop, Bar::Fill, Show::Hidden, TRUE, Buttons::End};
const PageState kUninstallSucceeded = {IDS_UNINSTALL_DONE_HEADLINE, IDS_END_DESCRIPTION,
                                       Timer::Stop, Bar::Fill, Show::Keep, FALSE, Buttons::End};
// A done message with a failed result: the bar freezes where it was.
const PageState kInstallDoneFailed = {IDS_INSTALL_FAILED_HEADLINE, IDS_END_DESCRIPTION,
                                      Timer::Stop, Bar::Keep, Show::Keep, FALSE, Buttons::End};
const PageState kUninstallDoneFailed = {IDS_UNINSTALL_FAILED_HEADLINE, IDS_END_DESCRIPTION,
                                        Timer::Stop, Bar::Keep, Show::Keep, FALSE, Buttons::End};
// A failure message: the bar goes on creeping up to its ceiling.
const PageState kInstallFailed = {IDS_INSTALL_FAILED_HEADLINE, IDS_END_DESCRIPTION,
                                  Timer::Keep, Bar::Keep, Show::Keep, FALSE, Buttons::End};
const PageState kUninstallFailed = {IDS_UNINSTALL_FAILED_HEADLINE, IDS_END_DESCRIPTION,
                                    Timer::Keep, Bar::Keep, Show::Keep, FALSE, Buttons::End};

// The row for a message; NULL for a code outside 1-6 (ignored).
const PageState* PageStateFor(UINT nCode, LPARAM lResult)
{
    bool ok = lResult == 1;
    switch (nCode) {
    case PROGRESS_INSTALL_START: return &kInstallRunning;
    case PROGRESS_INSTALL_DONE: return ok ? &kInstallSucceeded : &kInstallDoneFailed;
    case PROGRESS_INSTALL_FAILED: return &kInstallFailed;
    case PROGRESS_UNINSTALL_START: return &kUninstallRunning;
    case PROGRESS_UNINSTALL_DONE: return ok ? &kUninstallSucceeded : &kUninstallDoneFailed;
    case PROGRESS_UNINSTALL_FAILED: return &kUninstallFailed;
    default: return NULL;
    }
}

constexpr int kProgressCeiling = 95;  // the creep waits here for the done message
constexpr int kProgressStep = 5;
constexpr int kTextChars = 1024;

}  // namespace

HANDLE CSetupDlg::StartSetupThread(BOOL bUninstall)
{
    return ::StartSetupThread(m_szSourceDir, GetSafeHwnd(), bUninstall);
}

void CSetupDlg::OnStartClicked()
{
    // The page's ways on are shut at once, not only when the worker's first message
    // arrives: a second click cannot start a second worker, and Cancel, the close
    // button or the Escape key cannot end the wizard under a worker that has just
    // begun. A click sent to the disabled button (BM_CLICK still reaches it) is not a
    // click either. If no worker could be started, the page is as it was.
    if (!m_btnStart.IsWindowEnabled())
        return;
    m_btnStart.EnableWindow(FALSE);
    m_btnCancel.EnableWindow(FALSE);
    m_btnClose.EnableWindow(FALSE);
    if (!StartSetupThread(m_bUninstallWizard)) {
        m_btnStart.EnableWindow(TRUE);
        m_btnCancel.EnableWindow(TRUE);
        m_btnClose.EnableWindow(TRUE);
    }
}

LRESULT CSetupDlg::OnSetupProgress(WPARAM wParam, LPARAM lParam)
{
    const PageState* state = PageStateFor(static_cast<UINT>(wParam & 0xFF), lParam);
    if (!state)
        return 0;

    if (state->timer == Timer::Stop)
        KillTimer(TIMER_PROGRESS);
    if (state->bar == Bar::Restart) {
        m_progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        m_progress.SendMessage(PBM_SETSTEP, kProgressStep);
        m_progress.SendMessage(PBM_SETPOS, 0);
    } else if (state->bar == Bar::Fill) {
        m_progress.SendMessage(PBM_SETPOS, 100);
    }
    if (state->progress != Show::Keep)
        m_progress.ShowWindow(state->progress == Show::Shown ? SW_SHOW : SW_HIDE);
    if (state->bOfferLaunch) {
        m_bInstallSucceeded = TRUE;
        m_chkLaunch.ShowWindow(SW_SHOW);
        m_chkLaunch.SetChecked(1);
    }
    if (state->buttons == Buttons::Running) {
        m_btnStart.EnableWindow(FALSE);
        m_btnCancel.EnableWindow(FALSE);
        m_btnClose.EnableWindow(FALSE);
    }

    WCHAR szHeadline[kTextChars] = {0};
    WCHAR szDescription[kTextChars] = {0};
    LoadStringW(g_hLangModule, state->nHeadline, szHeadline, kTextChars);
    LoadStringW(g_hLangModule, state->nDescription, szDescription, kTextChars);
    m_lblHeadline.SetCaption(CString(szHeadline));
    m_lblDescription.SetCaption(CString(szDescription));

    if (state->buttons == Buttons::End) {
        // Finish is the way out; Cancel stays visible but disabled.
        m_btnStart.ShowWindow(SW_HIDE);
        m_btnCancel.EnableWindow(FALSE);
        m_btnClose.EnableWindow(TRUE);
        m_btnFinish.ShowWindow(SW_SHOW);
    }
    if (state->timer == Timer::Start)
        SetTimer(TIMER_PROGRESS, kProgressPeriodMs, NULL);
    return 0;
}

void CSetupDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_PROGRESS) {
        if (m_progress.SendMessage(PBM_GETPOS) < kProgressCeiling)
            m_progress.SendMessage(PBM_STEPIT);
    }
    Default();
}

void CSetupDlg::OnOK()
{
    // Finish is the only way to end with IDOK: the Enter key while Finish is hidden
    // (the ready page, or while the worker runs) must not end the wizard.
    if (!m_btnFinish.IsWindowVisible())
        return;
    if (m_bInstallSucceeded)
        g_bLaunchApp = m_chkLaunch.GetChecked() ? 1 : 0;
    CDialog::OnOK();
}

void CSetupDlg::OnCancel()
{
    // The Escape key sends IDCANCEL even while Cancel is disabled; the wizard ends
    // through Cancel only while the button is enabled, never under a running worker.
    if (!m_btnCancel.IsWindowEnabled()) {
        MessageBeep(MB_OK);
        return;
    }
    CDialog::OnCancel();
}
