#include "fw/Wnd.h"

namespace {
// The window properties that hold the bound object's address, and the procedure
// the window had before; the second outlives the binding when the procedure could
// not be given back (someone subclassed the window on top of us), so that the
// window's messages still reach its own procedure.
const WCHAR kObjectProp[] = L"fw.CWnd";
const WCHAR kPrevProcProp[] = L"fw.CWnd.prev";
}

const MsgMap CWnd::messageMap = {NULL, NULL, 0};

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL), m_msgCur(), m_bSubclassed(FALSE), m_bCreated(FALSE) {}

CWnd::~CWnd()
{
    // An object that dies before its window lets the window go: the window gets
    // its own procedure back, and only a window the object created is destroyed.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        if (m_bCreated) {
            DestroyWindow();
        } else if (m_bSubclassed) {
            UnsubclassWindow();
        }
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return NULL;
    // The property holds an address in the binding process only.
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess != GetCurrentProcessId())
        return NULL;
    return static_cast<CWnd*>(GetPropW(hWnd, kObjectProp));
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (m_hWnd || !hWnd)
        return FALSE;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (m_bSubclassed)
        return UnsubclassWindow();
    m_hWnd = NULL;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    // A window still holding a previous procedure from an earlier binding that
    // could not be undone is refused: binding it again would make a loop.
    if (m_hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd) || GetPropW(hWnd, kPrevProcProp))
        return FALSE;
    m_hWnd = hWnd;
    SetPropW(hWnd, kObjectProp, this);
    m_bSubclassed = TRUE;
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    SetPropW(hWnd, kPrevProcProp, reinterpret_cast<HANDLE>(m_pfnSuper));
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND h = m_hWnd;
    if (!h || !m_bSubclassed)
        return NULL;
    // Only restore when nobody subclassed the window on top of us since; otherwise
    // SubclassProc goes on passing the messages to the previous procedure.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC)) == &CWnd::SubclassProc && m_pfnSuper) {
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        RemovePropW(h, kPrevProcProp);
    }
    RemovePropW(h, kObjectProp);
    m_hWnd = NULL;
    m_pfnSuper = NULL;
    m_bSubclassed = FALSE;
    m_bCreated = FALSE;
    return h;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const WCHAR* pszClass, const WCHAR* pszName, DWORD dwStyle, int x, int y,
                    int cx, int cy, HWND hWndParent, UINT_PTR nIdOrMenu, void* pParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCTW cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = pszClass;
    cs.lpszName = pszName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = cx;
    cs.cy = cy;
    cs.hwndParent = hWndParent;
    cs.hMenu = reinterpret_cast<HMENU>(nIdOrMenu);
    cs.hInstance = GetModuleHandleW(NULL);
    cs.lpCreateParams = pParam;
    if (!PreCreateWindow(cs))
        return FALSE;
    HWND h = CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                             cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (!h)
        return FALSE;
    if (!SubclassWindow(h)) {
        ::DestroyWindow(h);
        return FALSE;
    }
    m_bCreated = TRUE;
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HWND h = m_hWnd;
    BOOL bOk = ::DestroyWindow(h);
    // A window that was only attached does not pass WM_NCDESTROY through us.
    if (m_hWnd == h && !m_bSubclassed)
        m_hWnd = NULL;
    return bOk;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        CWnd* pWnd = FromHandlePermanent(h);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (h == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW&) { return TRUE; }
BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }
void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd) {
        WNDPROC pfnPrev = reinterpret_cast<WNDPROC>(GetPropW(hWnd, kPrevProcProp));
        if (message == WM_NCDESTROY)
            RemovePropW(hWnd, kPrevProcProp);
        if (pfnPrev)
            return CallWindowProcW(pfnPrev, hWnd, message, wParam, lParam);
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }

    MSG saved = pWnd->m_msgCur;
    pWnd->m_msgCur.hwnd = hWnd;
    pWnd->m_msgCur.message = message;
    pWnd->m_msgCur.wParam = wParam;
    pWnd->m_msgCur.lParam = lParam;
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    pWnd->m_msgCur = saved;

    if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd) {
        pWnd->UnsubclassWindow();
        pWnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // Reflection: the child's object has the first word on its own notifications.
    HWND hWndChild = NULL;
    if (message == WM_COMMAND && lParam != 0)
        hWndChild = reinterpret_cast<HWND>(lParam);
    else if (message == WM_DRAWITEM && lParam != 0 &&
             reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlType != ODT_MENU)
        hWndChild = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    else if (message == WM_NOTIFY && lParam != 0)
        hWndChild = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    if (hWndChild && hWndChild != m_hWnd) {
        CWnd* pChild = FromHandlePermanent(hWndChild);
        LRESULT childResult = 0;
        if (pChild && pChild->OnChildNotify(message, wParam, lParam, &childResult)) {
            *pResult = childResult;
            return TRUE;
        }
    }

    for (const MsgMap* pMap = GetMessageMap(); pMap; pMap = pMap->pBase) {
        for (size_t i = 0; i < pMap->nCount; ++i) {
            const MsgMapEntry& e = pMap->pEntries[i];
            bool bMatch = false;
            switch (e.route) {
            case MsgRoute::Message:
                bMatch = e.nCode == message;
                break;
            case MsgRoute::Command:
                bMatch = message == WM_COMMAND && HIWORD(wParam) == e.nCode && LOWORD(wParam) == e.nId;
                break;
            case MsgRoute::Notify:
                bMatch = message == WM_NOTIFY && lParam != 0 &&
                         reinterpret_cast<const NMHDR*>(lParam)->code == e.nCode &&
                         reinterpret_cast<const NMHDR*>(lParam)->idFrom == e.nId;
                break;
            }
            if (bMatch) {
                *pResult = e.pfn(this, wParam, lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_msgCur.message, m_msgCur.wParam, m_msgCur.lParam);
}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLengthW(m_hWnd);
    if (n <= 0) {
        rString.Empty();
        return;
    }
    WCHAR* buf = new WCHAR[n + 1];
    int got = ::GetWindowTextW(m_hWnd, buf, n + 1);
    rString = CString(buf, got);
    delete[] buf;
}

void CWnd::ScreenToClient(RECT* pRect) const
{
    POINT* pts = reinterpret_cast<POINT*>(pRect);
    ::ScreenToClient(m_hWnd, &pts[0]);
    ::ScreenToClient(m_hWnd, &pts[1]);
}

void CWnd::ClientToScreen(RECT* pRect) const
{
    POINT* pts = reinterpret_cast<POINT*>(pRect);
    ::ClientToScreen(m_hWnd, &pts[0]);
    ::ClientToScreen(m_hWnd, &pts[1]);
}

namespace {
BOOL ModifyLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    if (!hWnd)
        return FALSE;
    DWORD dwOld = static_cast<DWORD>(GetWindowLongW(hWnd, nIndex));
    DWORD dwNew = (dwOld & ~dwRemove) | dwAdd;
    if (dwOld == dwNew)
        return FALSE;
    SetWindowLongW(hWnd, nIndex, static_cast<LONG>(dwNew));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

int CWnd::SetWindowRgn(CRgn& rRgn, BOOL bRedraw)
{
    int r = ::SetWindowRgn(m_hWnd, rRgn, bRedraw);
    if (r)
        rRgn.Detach();  // the window owns it now
    return r;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd || !pDX || !pDX->m_pDlgWnd)
        return;
    HWND hCtl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (hCtl)
        rControl.SubclassWindow(hCtl);
}
