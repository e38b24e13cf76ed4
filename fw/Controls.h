// Wrappers of the standard controls: button, static text, tooltip.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "fw/Wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }

    // Owner-drawn buttons paint here; the parent reflects WM_DRAWITEM to it.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    // Takes the reflected WM_DRAWITEM (result TRUE); anything else goes to CWnd.
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    const CRuntimeClass* GetRuntimeClass() const override { return &classCButton; }
    static inline const CRuntimeClass classCButton = {"CButton", &CWnd::classCWnd};
};

class CStatic : public CWnd {
public:
    const CRuntimeClass* GetRuntimeClass() const override { return &classCStatic; }
    static inline const CRuntimeClass classCStatic = {"CStatic", &CWnd::classCWnd};
};

class CToolTipCtrl : public CWnd {
public:
    // Creates the tooltip window, owned by pParentWnd.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // Adds a tool for the whole of pWnd's window, id nIDTool; text may be
    // LPSTR_TEXTCALLBACK.
    BOOL AddTool(CWnd* pWnd, const WCHAR* pszText, UINT_PTR nIDTool = 0);
    void UpdateTipText(const WCHAR* pszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    // Hands a mouse message to the tooltip (TTM_RELAYEVENT) so it can show itself.
    void RelayEvent(MSG* pMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg)); }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCToolTipCtrl; }
    static inline const CRuntimeClass classCToolTipCtrl = {"CToolTipCtrl", &CWnd::classCWnd};
};
