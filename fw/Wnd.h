// CWnd: a C++ object bound to one window, with a readable message map.
//
// How a message reaches its handler
//   1. A bound window's procedure is CWnd::SubclassProc. It finds the object
//      through a window property (no global map), remembers the message for
//      Default() and calls the virtual WindowProc.
//   2. WindowProc calls OnWndMsg; when that finds no handler, DefWindowProc runs
//      the window's previous procedure (the control's class, the dialog manager).
//   3. OnWndMsg first reflects WM_COMMAND, WM_DRAWITEM and WM_NOTIFY from a child
//      control to the child's own object (OnChildNotify). If the child does not
//      take the message, the class's table is searched, then its base's, and so on.
//   4. A row of the table names the message (or the command/notification code and
//      control id) and the handler, wrapped by Handler<&Class::OnXxx>, which cracks
//      wParam/lParam according to the handler's shape (table below).
//   A handler that wants the standard behaviour as well calls Default() itself.
//
// Declaring a map (one static table per class, chained to the base's map):
//
//   class CMyCtrl : public CButton {
//   protected:
//       void OnMouseMove(UINT nFlags, CPoint point);
//       const MsgMap* GetMessageMap() const override { return &messageMap; }
//       static const MsgMapEntry messageEntries[];
//       static const MsgMap messageMap;
//   };
//   const MsgMapEntry CMyCtrl::messageEntries[] = {
//       {MsgRoute::Message, WM_MOUSEMOVE, 0, Handler<&CMyCtrl::OnMouseMove>},
//       {MsgRoute::Command, BN_CLICKED, IDC_X, Handler<&CMyCtrl::OnXClicked>},
//   };
//   const MsgMap CMyCtrl::messageMap = {&CButton::messageMap, messageEntries, std::size(messageEntries)};
//
// Handler shapes and how each is cracked (Handler<> picks the row by the shape):
//   void ()                                   result 0 (WM_PAINT, commands, ...)
//   LRESULT (WPARAM, LPARAM)                  the raw message, result as returned
//   void (UINT nFlags, CPoint point)          mouse messages: wParam, lParam as x, y
//   BOOL (CDC* pDC)                           WM_ERASEBKGND: the DC in wParam, lent
//   BOOL (CWnd* pWnd, UINT nHitTest, UINT message)
//                                             WM_SETCURSOR: pWnd is the bound object
//                                             of the window in wParam, or NULL
//   void (UINT_PTR nIDEvent)                  WM_TIMER
//   BOOL (HELPINFO* pHelpInfo)                WM_HELP
//   HCURSOR ()                                WM_QUERYDRAGICON
//   void (NMHDR* pNMHDR, LRESULT* pResult)    notification rows (WM_NOTIFY)
//
// How a dialog hooks in (CDialog)
//   The dialog procedure binds the dialog object at WM_INITDIALOG with
//   SubclassWindow(hDlg), then calls OnInitDialog and returns its result; for every
//   other message it returns FALSE. From then on every message of the dialog runs
//   through SubclassProc -> WindowProc -> OnWndMsg -> the dialog's map, exactly as
//   for a control, and the result a handler returns is the window procedure's
//   result, so no handler writes DWLP_MSGRESULT: the dialog manager's procedure is
//   the previous procedure that Default() calls, and it calls the dialog procedure
//   (which says FALSE) before doing the standard dialog processing. A modal loop
//   of the dialog's own gives each message to WalkPreTranslateTree(hDlg, &msg) and
//   then IsDialogMessageW, so controls (tooltips) see PreTranslateMessage.
//   At WM_NCDESTROY the object is unbound and PostNcDestroy called.
#pragma once
#include <windows.h>

#include <iterator>

#include "fw/Gdi.h"
#include "fw/String.h"
#include "fw/Types.h"

class CWnd;

// The function a table row calls: the object and the message's parameters.
typedef LRESULT (*MsgHandler)(CWnd* pWnd, WPARAM wParam, LPARAM lParam);

enum class MsgRoute : UINT {
    Message,  // nCode: the message
    Command,  // WM_COMMAND with HIWORD(wParam) == nCode and LOWORD(wParam) == nId
    Notify,   // WM_NOTIFY with NMHDR::code == nCode and NMHDR::idFrom == nId
};

struct MsgMapEntry {
    MsgRoute route;
    UINT nCode;
    UINT nId;
    MsgHandler pfn;
};

struct MsgMap {
    const MsgMap* pBase;
    const MsgMapEntry* pEntries;
    size_t nCount;
};

class CWnd : public CObject {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to hWnd by SubclassWindow (or CreateEx), or NULL.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Attach: the object refers to hWnd without receiving its messages.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Binds the object to an existing window: PreSubclassWindow, then the window's
    // procedure becomes SubclassProc. FALSE when hWnd is no window or the object or
    // the window is bound already.
    BOOL SubclassWindow(HWND hWnd);
    // Gives the window its previous procedure back and unbinds the object.
    HWND UnsubclassWindow();
    // Creates a window and binds it; the object destroys it if it outlives it.
    BOOL CreateEx(DWORD dwExStyle, const WCHAR* pszClass, const WCHAR* pszName, DWORD dwStyle, int x, int y,
                  int cx, int cy, HWND hWndParent, UINT_PTR nIdOrMenu, void* pParam = NULL);
    BOOL DestroyWindow();

    // Offers pMsg to the bound objects from pMsg->hwnd up to hWndStop (included);
    // TRUE when one of them took it.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A message the parent reflected to this control; TRUE when the control handled
    // it completely (the parent then skips its own handling), with *pResult set.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PreSubclassWindow();
    virtual void PostNcDestroy();

    // The standard processing of the message being handled now.
    LRESULT Default();

    // Thin wrappers, in the API's own argument order.
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    void SetWindowText(const WCHAR* psz) { ::SetWindowTextW(m_hWnd, psz); }
    int GetWindowText(WCHAR* psz, int nMax) const { return ::GetWindowTextW(m_hWnd, psz, nMax); }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    BOOL MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE)
    {
        return ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint);
    }
    void GetClientRect(RECT* pRect) const { ::GetClientRect(m_hWnd, pRect); }
    void GetWindowRect(RECT* pRect) const { ::GetWindowRect(m_hWnd, pRect); }
    void ScreenToClient(POINT* pPoint) const { ::ScreenToClient(m_hWnd, pPoint); }
    void ScreenToClient(RECT* pRect) const;
    void ClientToScreen(POINT* pPoint) const { ::ClientToScreen(m_hWnd, pPoint); }
    void ClientToScreen(RECT* pRect) const;
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, NULL, bErase); }
    void InvalidateRect(const RECT* pRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, pRect, bErase); }
    BOOL RedrawWindow(const RECT* pRect = NULL, HRGN hRgn = NULL,
                      UINT nFlags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        return ::RedrawWindow(m_hWnd, pRect, hRgn, nFlags);
    }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
    // Removes, then adds style bits; with nFlags != 0 also SetWindowPos(nFlags |
    // SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) so the frame follows.
    // FALSE when the style did not change.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    // The parent's window (not an object: the parent need not be bound).
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    // Without a window these do nothing (a NULL window would mean a thread timer).
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC pfnTimer)
    {
        return m_hWnd ? ::SetTimer(m_hWnd, nIDEvent, nElapse, pfnTimer) : 0;
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return m_hWnd ? ::KillTimer(m_hWnd, nIDEvent) : FALSE; }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE)
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
    }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    // The window owns the region after a successful call: rRgn lets it go then.
    int SetWindowRgn(CRgn& rRgn, BOOL bRedraw);
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCWnd; }
    static inline const CRuntimeClass classCWnd = {"CWnd", &CObject::classCObject};

    static const MsgMap messageMap;

protected:
    virtual const MsgMap* GetMessageMap() const { return &messageMap; }

    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnSuper;  // the procedure the window had before it was bound
    MSG m_msgCur;        // the message being handled, for Default()
    BOOL m_bSubclassed;
    BOOL m_bCreated;     // made by CreateEx: destroyed with the object
};

// Handler<&Class::OnXxx>: the row function for a handler of one of the shapes
// listed at the top of this file.
namespace fw_detail {
template <class T>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
    typedef C type;
};

template <class C>
LRESULT Call(C* p, void (C::*f)(), WPARAM, LPARAM)
{
    (p->*f)();
    return 0;
}
template <class C>
LRESULT Call(C* p, LRESULT (C::*f)(WPARAM, LPARAM), WPARAM w, LPARAM l)
{
    return (p->*f)(w, l);
}
template <class C>
LRESULT Call(C* p, void (C::*f)(UINT, CPoint), WPARAM w, LPARAM l)
{
    (p->*f)(static_cast<UINT>(w), CPoint(l));
    return 0;
}
template <class C>
LRESULT Call(C* p, BOOL (C::*f)(CDC*), WPARAM w, LPARAM)
{
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(w));
    BOOL b = (p->*f)(&dc);
    dc.Detach();  // lent by the sender
    return b;
}
template <class C>
LRESULT Call(C* p, BOOL (C::*f)(CWnd*, UINT, UINT), WPARAM w, LPARAM l)
{
    return (p->*f)(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(w)), LOWORD(l), HIWORD(l));
}
template <class C>
LRESULT Call(C* p, void (C::*f)(UINT_PTR), WPARAM w, LPARAM)
{
    (p->*f)(static_cast<UINT_PTR>(w));
    return 0;
}
template <class C>
LRESULT Call(C* p, BOOL (C::*f)(HELPINFO*), WPARAM, LPARAM l)
{
    return (p->*f)(reinterpret_cast<HELPINFO*>(l));
}
template <class C>
LRESULT Call(C* p, HCURSOR (C::*f)(), WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>((p->*f)());
}
template <class C>
LRESULT Call(C* p, void (C::*f)(NMHDR*, LRESULT*), WPARAM, LPARAM l)
{
    LRESULT r = 0;
    (p->*f)(reinterpret_cast<NMHDR*>(l), &r);
    return r;
}
}  // namespace fw_detail

template <auto F>
LRESULT Handler(CWnd* pWnd, WPARAM wParam, LPARAM lParam)
{
    typedef typename fw_detail::MemberOf<decltype(F)>::type C;
    return fw_detail::Call(static_cast<C*>(pWnd), F, wParam, lParam);
}

// Data exchange between a dialog and its member objects.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate)
    {
    }
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds the dialog's control nIDC to rControl (SubclassWindow) unless rControl is
// bound already; a missing control leaves rControl without a window.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
