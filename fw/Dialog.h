// CDialog: a modal dialog made from a dialog template in the program's resources.
//
// DoModal creates the dialog from its template and runs a modal loop of its own, so
// that bound controls see PreTranslateMessage before the dialog manager's keyboard
// handling. The dialog object is bound to its window at WM_INITDIALOG (see fw/Wnd.h);
// from then on its message map handles the dialog's messages, and whatever a
// handler does not take goes to the dialog manager's standard processing.
#pragma once
#include <windows.h>

#include "fw/Wnd.h"

class CDialog : public CWnd {
public:
    // nIDTemplate: the dialog template's resource id; pParentWnd: the owner, which is
    // disabled while the dialog runs (NULL: no owner).
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    ~CDialog() override;

    // Runs the dialog until EndDialog; returns its result, or -1 when the dialog
    // could not be created (no template, no display).
    virtual INT_PTR DoModal();
    // Ends the modal loop with nResult; the window is destroyed when the loop ends.
    void EndDialog(int nResult);
    // Runs DoDataExchange: TRUE to read the controls, FALSE to set them up.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // WM_INITDIALOG: binds the controls (UpdateData(FALSE)); TRUE lets the dialog
    // manager set the focus.
    virtual BOOL OnInitDialog();
    // The IDOK command: UpdateData(TRUE), then EndDialog(IDOK).
    virtual void OnOK();
    // The IDCANCEL command: EndDialog(IDCANCEL).
    virtual void OnCancel();

    UINT GetTemplateId() const { return m_nIDTemplate; }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCDialog; }
    static inline const CRuntimeClass classCDialog = {"CDialog", &CWnd::classCWnd};

    static const MsgMap messageMap;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    const MsgMap* GetMessageMap() const override { return &messageMap; }
    static const MsgMapEntry messageEntries[];

    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult;
    BOOL m_bEnded;  // EndDialog was called: the modal loop stops
};
