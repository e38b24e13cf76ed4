// CSkinLabel: a static text control that draws its own text, with chained setters
// for font, colours, see-through, solid or gradient fill, emboss, rotation,
// blinking and links.
//
// The rules without a window are small functions: LabelTextFormat (the DrawText
// format from the static style), GradientBands, LabelLinkRequest.
#pragma once
#include <windows.h>

#include <vector>

#include "fw/Controls.h"

// The WM_NOTIFY code a label in notify mode sends its parent on a click.
const UINT NM_LABELCLICK = 0x8200;
// The blink timer.
const UINT_PTR TIMER_BLINK = 1;
const UINT kBlinkPeriod = 500;

// The DrawText format of a label with static style dwStyle and text pszText.
UINT LabelTextFormat(DWORD dwStyle, const WCHAR* pszText);

// One vertical band of the gradient from x up to x2 (where the next band starts,
// or the right edge), in one colour.
struct GradientBand {
    int x;
    int x2;
    COLORREF cr;
};
// The bands of a left-to-right gradient over rc from crFrom towards crTo with at
// most nMaxBands bands (none when that is 0 or less, or rc is empty).
std::vector<GradientBand> GradientBands(const RECT& rc, COLORREF crFrom, COLORREF crTo, int nMaxBands);

// What a click on a label in link mode opens: verb (NULL: the default verb) and
// file, for ShellExecuteW. bOpen is false when nothing is opened (link mode 0).
struct LinkRequest {
    bool bOpen;
    const WCHAR* pszVerb;
    CString strFile;
};
LinkRequest LabelLinkRequest(int nLinkMode, const CString& strLinkTarget, const CString& strText);

class CSkinLabel : public CStatic {
public:
    CSkinLabel();
    ~CSkinLabel() override;

    // The setters, each returning the label so that calls can be chained.
    virtual CSkinLabel* SetFillColors(COLORREF crFill, COLORREF crGradientEnd, BOOL bGradient);
    virtual CSkinLabel* SetForeColor(COLORREF crText);
    virtual CSkinLabel* SetCaption(const CString& strText);
    virtual CSkinLabel* SetBold(BOOL bBold);
    // The face is cut at 31 characters, what LOGFONT holds.
    virtual CSkinLabel* SetFaceName(const CString& strFace, BYTE nCharSet);
    virtual CSkinLabel* SetUnderline(BOOL bUnderline);
    virtual CSkinLabel* SetItalic(BOOL bItalic);
    // Converted for the current face: set the face first.
    virtual CSkinLabel* SetPointSize(int nPoints);
    virtual CSkinLabel* SetStaticEdge(BOOL bEdge);
    virtual CSkinLabel* SetThinBorder(BOOL bBorder);
    // Adds WS_EX_TRANSPARENT for either value; FALSE brings the fill back.
    virtual CSkinLabel* SetSeeThrough(BOOL bSeeThrough);
    virtual CSkinLabel* SetTextBlink(BOOL bBlink);
    virtual CSkinLabel* SetBackBlink(BOOL bBlink);
    virtual CSkinLabel* SetUrlLink(BOOL bLink, BOOL bNotifyParent);
    virtual CSkinLabel* SetHoverCursor(HCURSOR hCursor);
    virtual CSkinLabel* SetEmbossed(BOOL bEmbossed, BOOL bRaised);
    virtual CSkinLabel* SetRotation(int nDegrees, BOOL bRotated);
    virtual CSkinLabel* SetEmbossColor(COLORREF crEmboss);
    virtual CSkinLabel* SetLogFont(LOGFONTW lf);
    virtual CSkinLabel* SetMailtoLink(BOOL bLink, BOOL bNotifyParent);
    virtual CSkinLabel* SetLinkTarget(const CString& strTarget);

    // Redraws the label together with the part of the parent under it.
    void Repaint();
    // Recreates m_font from m_lf.
    void RebuildFont();
    // Left-to-right gradient in vertical bands (see GradientBands).
    void FillGradient(CDC* pDC, const RECT* pRect, COLORREF crFrom, COLORREF crTo, int nMaxBands);

    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

protected:
    void OnTimer(UINT_PTR nIDEvent);
    void OnLButtonDown(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnSysColorChange();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);

    // Draws the label onto pTarget, the paint DC of OnPaint: double-buffered
    // unless see-through.
    void Paint(CDC* pTarget);

    // The background blink mode's hidden phase: what the parent paints under the
    // label, asked for with WM_ERASEBKGND on pDC moved to the label's place.
    void FillWithParentBackground(CDC* pDC, const RECT& rc);
    void StartBlink(int nMode);

    const MsgMap* GetMessageMap() const override { return &messageMap; }
    static const MsgMapEntry messageEntries[];
    static const MsgMap messageMap;

    COLORREF m_crText;
    COLORREF m_crEmboss;
    HBRUSH m_hbrFace;
    HBRUSH m_hbrFill;
    LOGFONTW m_lf;
    CFont m_font;
    BOOL m_bBlinkOn;
    BOOL m_bTimerSet;
    int m_nLinkMode;
    BOOL m_bSeeThrough;
    BOOL m_bEmbossed;
    BOOL m_bNotifyParent;
    BOOL m_bRotated;
    int m_nBlinkMode;
    HCURSOR m_hHoverCursor;
    BOOL m_bRaised;
    BOOL m_bGradient;
    COLORREF m_crGradientEnd;
    COLORREF m_crFill;
    CString m_strLinkTarget;
};
