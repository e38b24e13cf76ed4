#include "fw/Controls.h"

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    return CreateEx(0, TOOLTIPS_CLASSW, NULL, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : NULL, 0);
}

namespace {
// The tool record as the oldest comctl32 knows it, so that every version takes it.
TOOLINFOW MakeToolInfo(HWND hWndOwner, HWND hWndTool, UINT_PTR nIDTool, const WCHAR* pszText)
{
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.hwnd = hWndOwner;
    ti.uId = nIDTool ? nIDTool : reinterpret_cast<UINT_PTR>(hWndTool);
    // No TTF_SUBCLASS: the control relays its mouse messages itself (RelayEvent).
    ti.uFlags = nIDTool ? 0 : TTF_IDISHWND;
    ti.lpszText = const_cast<WCHAR*>(pszText);
    if (nIDTool)
        ::GetClientRect(hWndTool, &ti.rect);
    return ti;
}
}  // namespace

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const WCHAR* pszText, UINT_PTR nIDTool)
{
    if (!pWnd)
        return FALSE;
    HWND hOwner = nIDTool ? pWnd->m_hWnd : ::GetParent(pWnd->m_hWnd);
    TOOLINFOW ti = MakeToolInfo(hOwner ? hOwner : pWnd->m_hWnd, pWnd->m_hWnd, nIDTool, pszText);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::UpdateTipText(const WCHAR* pszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    if (!pWnd)
        return;
    HWND hOwner = nIDTool ? pWnd->m_hWnd : ::GetParent(pWnd->m_hWnd);
    TOOLINFOW ti = MakeToolInfo(hOwner ? hOwner : pWnd->m_hWnd, pWnd->m_hWnd, nIDTool, pszText);
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}
