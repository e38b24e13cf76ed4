#include "skin/SkinLabel.h"

#include <shellapi.h>

#include <algorithm>

UINT LabelTextFormat(DWORD dwStyle, const WCHAR* pszText)
{
    const WCHAR* pszSafe = pszText ? pszText : L"";
    UINT nFormat;
    switch (dwStyle & 0x1F) {
    case SS_CENTER:
        nFormat = DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        nFormat = DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_LEFTNOWORDWRAP:
        nFormat = 0;
        break;
    default:
        nFormat = DT_LEFT | DT_WORDBREAK;
        break;
    }
    if (wcschr(pszSafe, L'\t'))
        nFormat |= DT_EXPANDTABS;
    if (dwStyle & SS_CENTERIMAGE)
        nFormat = wcsstr(pszSafe, L"\r\n") ? DT_CENTER : DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    return nFormat;
}

std::vector<GradientBand> GradientBands(const RECT& rc, COLORREF crFrom, COLORREF crTo, int nMaxBands)
{
    const int W = rc.right - rc.left;
    const int n = std::min(nMaxBands, W);
    if (n <= 0)
        return {};
    const int d = n > 1 ? n : 1;
    const int from[3] = {GetRValue(crFrom), GetGValue(crFrom), GetBValue(crFrom)};
    const int to[3] = {GetRValue(crTo), GetGValue(crTo), GetBValue(crTo)};
    int step[3], acc[3];
    for (int c = 0; c < 3; ++c) {
        step[c] = ((to[c] - from[c]) * 256) / d;  // truncates toward zero
        acc[c] = from[c] * 256;
    }
    const int nBandWidth = W / d;
    std::vector<GradientBand> bands;
    bands.reserve(n);
    int x = rc.left;
    for (int i = 0; i < n; ++i) {
        int x2 = i == n - 1 ? rc.right : x + nBandWidth;
        bands.push_back({x, x2, RGB((acc[0] / 256) & 0xFF, (acc[1] / 256) & 0xFF, (acc[2] / 256) & 0xFF)});
        for (int c = 0; c < 3; ++c)
            acc[c] += step[c];
        x = x2;
    }
    return bands;
}

LinkRequest LabelLinkRequest(int nLinkMode, const CString& strLinkTarget, const CString& strText)
{
    switch (nLinkMode) {
    case 1:
        return {true, L"open", strLinkTarget.IsEmpty() ? strText : strLinkTarget};
    case 2:
        return {true, NULL, CString(L"mailto:") + strText};
    default:
        return {false, NULL, CString()};
    }
}

// Message map: one row per message, the handler beside it.
const MsgMapEntry CSkinLabel::messageEntries[] = {
    {MsgRoute::Message, WM_TIMER, 0, Handler<&CSkinLabel::OnTimer>},
    {MsgRoute::Message, WM_LBUTTONDOWN, 0, Handler<&CSkinLabel::OnLButtonDown>},
    {MsgRoute::Message, WM_SETCURSOR, 0, Handler<&CSkinLabel::OnSetCursor>},
    {MsgRoute::Message, WM_SYSCOLORCHANGE, 0, Handler<&CSkinLabel::OnSysColorChange>},
    {MsgRoute::Message, WM_PAINT, 0, Handler<&CSkinLabel::OnPaint>},
    {MsgRoute::Message, WM_ERASEBKGND, 0, Handler<&CSkinLabel::OnEraseBkgnd>},
};
const MsgMap CSkinLabel::messageMap = {&CStatic::messageMap, messageEntries, std::size(messageEntries)};

CSkinLabel::CSkinLabel()
    : m_crText(GetSysColor(COLOR_WINDOWTEXT)),
      m_crEmboss(0x00FFFFFF),
      m_hbrFace(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))),
      m_hbrFill(NULL),
      m_lf(),
      m_bBlinkOn(FALSE),
      m_bTimerSet(FALSE),
      m_nLinkMode(0),
      m_bSeeThrough(FALSE),
      m_bEmbossed(FALSE),
      m_bNotifyParent(FALSE),
      m_bRotated(FALSE),
      m_nBlinkMode(0),
      m_hHoverCursor(NULL),
      m_bRaised(FALSE),
      m_bGradient(FALSE),
      m_crGradientEnd(0),
      m_crFill(0)
{
}

CSkinLabel::~CSkinLabel()
{
    m_font.DeleteObject();
    ::DeleteObject(m_hbrFace);
    if (m_hbrFill)
        ::DeleteObject(m_hbrFill);
}

void CSkinLabel::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    HFONT hFont = GetFont();
    if (!hFont || !::GetObjectW(hFont, sizeof m_lf, &m_lf))
        ::GetObjectW(GetStockObject(SYSTEM_FONT), sizeof m_lf, &m_lf);
    RebuildFont();
}

BOOL CSkinLabel::PreCreateWindow(CREATESTRUCTW& cs) { return CWnd::PreCreateWindow(cs); }

void CSkinLabel::RebuildFont()
{
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_lf);
}

void CSkinLabel::Repaint()
{
    if (!IsWindow())
        return;
    RECT rc;
    GetWindowRect(&rc);
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HWND hParent = GetParent();
    if (!hParent)
        return;
    ::ScreenToClient(hParent, reinterpret_cast<POINT*>(&rc.left));
    ::ScreenToClient(hParent, reinterpret_cast<POINT*>(&rc.right));
    ::InvalidateRect(hParent, &rc, TRUE);
    ::UpdateWindow(hParent);
}

CSkinLabel* CSkinLabel::SetFillColors(COLORREF crFill, COLORREF crGradientEnd, BOOL bGradient)
{
    m_crGradientEnd = crGradientEnd;
    m_crFill = crFill;
    m_bGradient = bGradient;
    if (m_hbrFill) {
        ::DeleteObject(m_hbrFill);
        m_hbrFill = NULL;
    }
    if (!bGradient)
        m_hbrFill = CreateSolidBrush(crFill);
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetForeColor(COLORREF crText)
{
    m_crText = crText;
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetCaption(const CString& strText)
{
    if (IsWindow()) {
        SetWindowText(strText);
        Repaint();
    }
    return this;
}

CSkinLabel* CSkinLabel::SetBold(BOOL bBold)
{
    m_lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetFaceName(const CString& strFace, BYTE nCharSet)
{
    m_lf.lfCharSet = nCharSet;
    lstrcpynW(m_lf.lfFaceName, strFace, LF_FACESIZE);  // cut at 31 characters
    RebuildFont();
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetUnderline(BOOL bUnderline)
{
    m_lf.lfUnderline = static_cast<BYTE>(bUnderline);
    RebuildFont();
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetItalic(BOOL bItalic)
{
    m_lf.lfItalic = static_cast<BYTE>(bItalic);
    RebuildFont();
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetPointSize(int nPoints)
{
    CFont pointFont;
    pointFont.CreatePointFont(nPoints * 10, m_lf.lfFaceName, NULL);
    LOGFONTW lf = {};
    pointFont.GetLogFont(&lf);
    m_lf.lfHeight = lf.lfHeight;
    m_lf.lfWidth = lf.lfWidth;
    RebuildFont();
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetStaticEdge(BOOL bEdge)
{
    if (bEdge)
        ModifyStyleEx(0, WS_EX_STATICEDGE, SWP_DRAWFRAME);
    else
        ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_DRAWFRAME);
    return this;
}

CSkinLabel* CSkinLabel::SetThinBorder(BOOL bBorder)
{
    if (bBorder)
        ModifyStyle(0, WS_BORDER, SWP_DRAWFRAME);
    else
        ModifyStyle(WS_BORDER, 0, SWP_DRAWFRAME);
    return this;
}

CSkinLabel* CSkinLabel::SetSeeThrough(BOOL bSeeThrough)
{
    m_bSeeThrough = bSeeThrough;
    ModifyStyleEx(0, WS_EX_TRANSPARENT, 0);
    Repaint();
    return this;
}

void CSkinLabel::StartBlink(int nMode)
{
    m_bBlinkOn = FALSE;
    m_bTimerSet = TRUE;
    SetTimer(TIMER_BLINK, kBlinkPeriod, NULL);
    m_nBlinkMode = nMode;
}

CSkinLabel* CSkinLabel::SetTextBlink(BOOL bBlink)
{
    if (m_bTimerSet)
        KillTimer(TIMER_BLINK);
    if (bBlink)
        StartBlink(1);
    else
        m_nBlinkMode = 0;
    return this;
}

CSkinLabel* CSkinLabel::SetBackBlink(BOOL bBlink)
{
    if (m_bTimerSet)
        KillTimer(TIMER_BLINK);
    if (bBlink)
        StartBlink(2);
    return this;
}

CSkinLabel* CSkinLabel::SetUrlLink(BOOL bLink, BOOL bNotifyParent)
{
    m_nLinkMode = bLink ? 1 : 0;
    m_bNotifyParent = bNotifyParent;
    if (m_nLinkMode != 0)
        ModifyStyle(0, SS_NOTIFY, 0);
    else
        ModifyStyle(SS_NOTIFY, 0, 0);
    return this;
}

CSkinLabel* CSkinLabel::SetMailtoLink(BOOL bLink, BOOL bNotifyParent)
{
    m_nLinkMode = bLink ? 2 : 0;
    m_bNotifyParent = bNotifyParent;
    if (m_nLinkMode != 0)
        ModifyStyle(0, SS_NOTIFY, 0);
    else
        ModifyStyle(SS_NOTIFY, 0, 0);
    return this;
}

CSkinLabel* CSkinLabel::SetHoverCursor(HCURSOR hCursor)
{
    m_hHoverCursor = hCursor;
    return this;
}

CSkinLabel* CSkinLabel::SetEmbossed(BOOL bEmbossed, BOOL bRaised)
{
    m_bRaised = bRaised;
    m_bEmbossed = bEmbossed;
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetRotation(int nDegrees, BOOL bRotated)
{
    m_lf.lfEscapement = m_lf.lfOrientation = nDegrees * 10;
    m_bRotated = bRotated;
    RebuildFont();
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetEmbossColor(COLORREF crEmboss)
{
    m_crEmboss = crEmboss;
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetLogFont(LOGFONTW lf)
{
    m_lf = lf;
    RebuildFont();
    Repaint();
    return this;
}

CSkinLabel* CSkinLabel::SetLinkTarget(const CString& strTarget)
{
    m_strLinkTarget = strTarget;
    return this;
}

void CSkinLabel::FillGradient(CDC* pDC, const RECT* pRect, COLORREF crFrom, COLORREF crTo, int nMaxBands)
{
    const std::vector<GradientBand> bands = GradientBands(*pRect, crFrom, crTo, nMaxBands);
    if (bands.empty())
        return;
    pDC->SelectStockObject(NULL_PEN);  // stays selected
    for (const GradientBand& band : bands) {
        CBrush brush(band.cr);
        HGDIOBJ hOld = pDC->SelectObject(&brush);
        // With the null pen Rectangle fills one pixel short of its right and bottom
        // edges: the band covers x .. x2 - 1 (the next band starts at x2) and, with
        // the bottom one further down, every row of the rectangle.
        pDC->Rectangle(band.x, pRect->top, band.x2 + 1, pRect->bottom + 1);
        pDC->SelectObject(hOld);
    }
}

void CSkinLabel::FillWithParentBackground(CDC* pDC, const RECT& rc)
{
    HWND hParent = GetParent();
    LRESULT bErased = 0;
    if (hParent) {
        RECT rcWindow;
        GetWindowRect(&rcWindow);
        POINT pt = {rcWindow.left, rcWindow.top};
        ::ScreenToClient(hParent, &pt);
        CPoint old = pDC->SetViewportOrg(-pt.x, -pt.y);
        bErased = ::SendMessageW(hParent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(pDC->m_hDC), 0);
        pDC->SetViewportOrg(old.x, old.y);
    }
    if (!bErased)
        pDC->FillRect(&rc, m_hbrFace);
}

void CSkinLabel::OnPaint()
{
    CPaintDC paintDC(m_hWnd);
    Paint(&paintDC);
}

void CSkinLabel::Paint(CDC* pTarget)
{
    CDC& paintDC = *pTarget;
    RECT R;
    GetClientRect(&R);
    const int w = R.right - R.left, h = R.bottom - R.top;
    CString T;
    GetWindowText(T);

    CBitmap memBitmap;
    CDC memDC;
    CDC* pDC = &paintDC;
    HGDIOBJ hOldBitmap = NULL;
    if (!m_bSeeThrough) {
        memDC.Attach(::CreateCompatibleDC(paintDC));
        memBitmap.CreateCompatibleBitmap(paintDC, w, h);
        hOldBitmap = memDC.SelectObject(&memBitmap);
        pDC = &memDC;
    }

    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF crOldText = pDC->SetTextColor(m_crText);
    HGDIOBJ hOldFont = m_font.GetSafeHandle() ? pDC->SelectObject(&m_font) : NULL;

    if (!m_bSeeThrough) {
        if (m_nBlinkMode == 2 && !m_bBlinkOn)
            FillWithParentBackground(pDC, R);
        else if (m_bGradient)
            FillGradient(pDC, &R, m_crFill, m_crGradientEnd, 100);
        else
            pDC->FillRect(&R, m_hbrFill ? m_hbrFill : m_hbrFace);
    }

    if (m_nBlinkMode == 1 && !m_bBlinkOn) {
        COLORREF crHidden = 0;
        LOGBRUSH lb = {};
        if (m_hbrFill && ::GetObjectW(m_hbrFill, sizeof lb, &lb))
            crHidden = lb.lbColor;
        pDC->SetTextColor(crHidden);
    }

    const UINT nFormat = LabelTextFormat(GetStyle(), T);
    if (m_bRotated) {
        UINT nOldAlign = pDC->SetTextAlign(TA_BASELINE);
        CPoint oldOrg = pDC->GetViewportOrg();
        pDC->SetViewportOrg(w / 2, h / 2);
        pDC->TextOut(0, 0, T);
        pDC->SetViewportOrg(oldOrg.x, oldOrg.y);
        pDC->SetTextAlign(nOldAlign);
    } else {
        RECT rcText = R;
        pDC->DrawText(T, &rcText, nFormat);
        if (m_bEmbossed) {
            pDC->SetTextColor(m_crEmboss);
            if (m_bRaised)
                OffsetRect(&rcText, 1, 1);
            else
                OffsetRect(&rcText, -1, -1);
            pDC->DrawText(T, &rcText, nFormat);
        }
    }

    pDC->SetBkMode(nOldMode);
    if (hOldFont)
        pDC->SelectObject(hOldFont);
    pDC->SetTextColor(crOldText);

    if (!m_bSeeThrough) {
        paintDC.BitBlt(0, 0, w, h, memDC, 0, 0, SRCCOPY);
        memDC.SelectObject(hOldBitmap);
    }
}

void CSkinLabel::OnTimer(UINT_PTR)
{
    m_bBlinkOn = !m_bBlinkOn;
    Repaint();
    Default();
}

void CSkinLabel::OnLButtonDown(UINT, CPoint)
{
    if (m_bNotifyParent) {
        NMHDR nm = {};
        nm.hwndFrom = m_hWnd;
        nm.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
        nm.code = NM_LABELCLICK;
        ::SendMessageW(GetParent(), WM_NOTIFY, static_cast<WPARAM>(nm.idFrom), reinterpret_cast<LPARAM>(&nm));
    } else {
        CString T;
        GetWindowText(T);
        LinkRequest request = LabelLinkRequest(m_nLinkMode, m_strLinkTarget, T);
        if (request.bOpen)
            ShellExecuteW(NULL, request.pszVerb, request.strFile, NULL, NULL, SW_SHOWNORMAL);
    }
    Default();
}

BOOL CSkinLabel::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_hHoverCursor) {
        ::SetCursor(m_hHoverCursor);
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}

void CSkinLabel::OnSysColorChange()
{
    ::DeleteObject(m_hbrFace);
    m_hbrFace = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    Repaint();
}

BOOL CSkinLabel::OnEraseBkgnd(CDC*) { return TRUE; }
