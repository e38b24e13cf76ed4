#include "fw/Dialog.h"

#include <commctrl.h>

#include "fw/App.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd), m_nModalResult(-1), m_bEnded(FALSE)
{
}

CDialog::~CDialog()
{
    if (IsWindow())
        DestroyWindow();
}

const MsgMapEntry CDialog::messageEntries[] = {
    {MsgRoute::Command, BN_CLICKED, IDOK, Handler<&CDialog::OnOK>},          // void ()
    {MsgRoute::Command, BN_CLICKED, IDCANCEL, Handler<&CDialog::OnCancel>},  // void ()
};
const MsgMap CDialog::messageMap = {&CWnd::messageMap, messageEntries, std::size(messageEntries)};

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam)
{
    // Only WM_INITDIALOG is answered here; once bound, the dialog's messages run
    // through its message map and reach this procedure only through the dialog
    // manager's standard processing, which must go on (FALSE).
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
    if (!pDlg || !pDlg->SubclassWindow(hDlg))
        return TRUE;
    return pDlg->OnInitDialog();
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = FindResourceW(hInst, MAKEINTRESOURCEW(m_nIDTemplate), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL hTemplate = hRes ? LoadResource(hInst, hRes) : NULL;
    const DLGTEMPLATE* pTemplate = hTemplate ? static_cast<const DLGTEMPLATE*>(LockResource(hTemplate)) : NULL;
    if (!pTemplate || m_hWnd)
        return -1;

    // The template may hold common controls (a progress bar): their classes first.
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    HWND hParent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : NULL;
    BOOL bParentEnabled = hParent && ::IsWindowEnabled(hParent);
    if (bParentEnabled)
        ::EnableWindow(hParent, FALSE);

    m_nModalResult = -1;
    m_bEnded = FALSE;
    HWND hDlg = CreateDialogIndirectParamW(hInst, pTemplate, hParent, &CDialog::DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (hDlg && !m_bEnded) {
        MSG msg;
        while (!m_bEnded && ::IsWindow(hDlg)) {
            BOOL r = GetMessageW(&msg, NULL, 0, 0);
            if (r == -1)
                break;
            if (r == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
                break;
            }
            if (WalkPreTranslateTree(hDlg, &msg) || IsDialogMessageW(hDlg, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    // The owner comes back before the dialog goes, so that it gets the activation.
    if (bParentEnabled)
        ::EnableWindow(hParent, TRUE);
    if (hDlg && ::IsWindow(hDlg)) {
        ::SetWindowPos(hDlg, NULL, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(hDlg);
    }
    return hDlg ? m_nModalResult : -1;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEnded = TRUE;
    if (m_hWnd)
        PostMessage(WM_NULL);  // wakes the modal loop when called from outside it
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
