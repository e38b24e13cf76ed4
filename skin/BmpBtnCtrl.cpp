#include "skin/BmpBtnCtrl.h"

#include <commctrl.h>

#include "fw/App.h"

ButtonLook LookOfSavedStyle(int nSavedStyle)
{
    switch (nSavedStyle) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return ButtonLook::Push;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        return ButtonLook::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return ButtonLook::Radio;
    default:
        return ButtonLook::None;
    }
}

ButtonImage ChooseButtonImage(ButtonLook look, UINT nItemState, BOOL bHover, int nChecked, UINT nPresentMask)
{
    const bool bDisabled = (nItemState & ODS_DISABLED) != 0;
    const bool bSelected = (nItemState & ODS_SELECTED) != 0;
    ButtonImage image = kImageNormal;
    if (look == ButtonLook::Push) {
        if (bDisabled)
            image = kImageDisabled;
        else if (bSelected)
            image = kImagePressed;
        else if (bHover)
            image = kImageHover;
    } else {
        if (bDisabled && nChecked == 1)
            image = kImageDisabledChecked;
        else if (bDisabled)
            image = kImageDisabled;
        else if (nChecked == 1)
            image = kImageChecked;
        else if (bHover)
            image = kImageHover;
        else if (bSelected)
            image = kImagePressed;
    }
    return (nPresentMask & (1u << image)) ? image : kImageNormal;
}

bool PushFocusRectShown(UINT nItemState, BOOL bHover, bool bHoverImagePresent, DWORD dwStyle, BOOL bEnabled)
{
    if (bHover && !(nItemState & (ODS_SELECTED | ODS_DISABLED)) && !bHoverImagePresent)
        return false;
    return (dwStyle & WS_TABSTOP) && bEnabled && (nItemState & ODS_FOCUS);
}

CSize PlaceAtSize(int nSavedStyle, CSize image, int cxClient, int cxMenuCheck)
{
    ButtonLook look = LookOfSavedStyle(nSavedStyle);
    if (look == ButtonLook::CheckBox || look == ButtonLook::Radio)
        return CSize(image.cx + cxClient - cxMenuCheck + 2, image.cy + 4);
    return image;
}

RECT CheckBoxImageRect(const RECT& rcClient, SIZE image)
{
    int dy = (rcClient.top + rcClient.bottom) / 2 - image.cy / 2;
    return RECT{0, dy, image.cx, image.cy + dy};
}

RECT CheckBoxCaptionRect(const RECT& rcImage, int nMeasuredRight, int nTextHeight, bool bRadio)
{
    int nLeft = rcImage.right - rcImage.left + 4;
    RECT rc = {nLeft, rcImage.top, nMeasuredRight, rcImage.top + nTextHeight + 1};
    if (!bRadio)
        OffsetRect(&rc, 0, -1);
    return rc;
}

// Message map: one row per message, the handler beside it.
const MsgMapEntry CBmpBtnCtrl::messageEntries[] = {
    {MsgRoute::Message, WM_MOUSEMOVE, 0, Handler<&CBmpBtnCtrl::OnMouseMove>},
    {MsgRoute::Message, WM_SETCURSOR, 0, Handler<&CBmpBtnCtrl::OnSetCursor>},
    {MsgRoute::Message, WM_ERASEBKGND, 0, Handler<&CBmpBtnCtrl::OnEraseBkgnd>},
    {MsgRoute::Message, WM_HELP, 0, Handler<&CBmpBtnCtrl::OnHelpInfo>},
    {MsgRoute::Message, WM_MOUSELEAVE, 0, Handler<&CBmpBtnCtrl::OnMouseLeave>},
    {MsgRoute::Message, WM_MOUSEHOVER, 0, Handler<&CBmpBtnCtrl::OnMouseHover>},
    {MsgRoute::Message, WM_LBUTTONDOWN, 0, Handler<&CBmpBtnCtrl::OnLButtonDown>},
};
const MsgMap CBmpBtnCtrl::messageMap = {&CButton::messageMap, messageEntries, std::size(messageEntries)};

CBmpBtnCtrl::CBmpBtnCtrl()
    : m_clrKey(CLR_INVALID),
      m_rcKeep(),
      m_bHover(FALSE),
      m_bTracking(FALSE),
      m_nChecked(0),
      m_hPrevCursor(NULL),
      m_hCursor(NULL),
      m_nSavedStyle(-1),
      m_nTipTextId(0)
{
}

CBmpBtnCtrl::~CBmpBtnCtrl() {}

BOOL CBmpBtnCtrl::SetBitmaps(UINT idNormal, UINT idPressed, UINT idHover, UINT idChecked, UINT idDisabled,
                             UINT idDisabledChecked)
{
    if (m_nSavedStyle == -1)
        m_nSavedStyle = GetWindowLongW(m_hWnd, GWL_STYLE) & 0xFF;
    // The button type becomes owner-drawn. Or-ing 0x0B in gives the same for every
    // type but 4 to 7 (and 12 to 15), which it would turn into 0x0F, a type the
    // standard control neither paints nor asks its parent to draw: so the type
    // bits are replaced instead.
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, 0);

    CSkinBitmap* images[] = {&m_bmpNormal, &m_bmpPressed, &m_bmpHover,
                             &m_bmpChecked, &m_bmpDisabled, &m_bmpDisabledChecked};
    for (CSkinBitmap* p : images)
        p->DeleteObject();
    m_clrKey = CLR_INVALID;
    SetRect(&m_rcKeep, 0, 0, 0, 0);

    auto load = [](CSkinBitmap& bmp, UINT id) {
        return bmp.Attach(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id & 0xFFFF)));
    };
    if (!load(m_bmpNormal, idNormal))
        return FALSE;
    BOOL bResult = TRUE;
    const UINT ids[] = {idPressed, idHover, idChecked, idDisabled, idDisabledChecked};
    for (int i = 0; i < 5; ++i)
        if (ids[i] != 0 && !load(*images[i + 1], ids[i]))
            bResult = FALSE;
    return bResult;
}

void CBmpBtnCtrl::PlaceAt(int x, int y)
{
    CSize image = m_bmpNormal.GetSize();
    CSize size;
    if (image.cx == 0 && image.cy == 0) {
        // No normal image: keep the size the button has, so its plain face shows.
        RECT rcWindow;
        GetWindowRect(&rcWindow);
        size = CSize(rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top);
    } else {
        RECT rcClient;
        GetClientRect(&rcClient);
        size = PlaceAtSize(m_nSavedStyle, image, rcClient.right - rcClient.left, GetSystemMetrics(SM_CXMENUCHECK));
        if (m_nSavedStyle == BS_PUSHBUTTON && m_clrKey <= 0x00FFFFFF) {
            // The window owns what SetWindowRgn receives; the bitmap keeps its own.
            HRGN hRgn = CopyRegion(m_bmpNormal.CreateRegion(m_clrKey, &m_rcKeep));
            if (hRgn && !SetWindowRgn(hRgn, TRUE))
                ::DeleteObject(hRgn);
        }
    }
    if (x == 0 && y == 0)
        SetWindowPos(NULL, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    else
        SetWindowPos(NULL, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

int CBmpBtnCtrl::GetChecked() { return m_nChecked; }

void CBmpBtnCtrl::SetChecked(int nState)
{
    if (IsWindowEnabled() && nState != m_nChecked) {
        m_nChecked = nState;
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    }
}

int CBmpBtnCtrl::GetSavedStyle() { return m_nSavedStyle; }

BOOL CBmpBtnCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        ButtonLook look = LookOfSavedStyle(m_nSavedStyle);
        if (look == ButtonLook::CheckBox)
            SetChecked(GetChecked() == 0 ? 1 : 0);
        else if (look == ButtonLook::Radio)
            SetChecked(1);
    }
    return CButton::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CBmpBtnCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (m_ToolTip.IsWindow())
        ::SendMessageW(m_ToolTip.m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    return CButton::PreTranslateMessage(pMsg);
}

CSkinBitmap& CBmpBtnCtrl::ImageForState(UINT nItemState)
{
    CSkinBitmap* images[] = {&m_bmpNormal, &m_bmpPressed, &m_bmpChecked,
                             &m_bmpHover, &m_bmpDisabled, &m_bmpDisabledChecked};
    UINT nPresent = 0;
    for (int i = 0; i < 6; ++i)
        if (images[i]->GetSafeHandle())
            nPresent |= 1u << i;
    return *images[ChooseButtonImage(LookOfSavedStyle(m_nSavedStyle), nItemState, m_bHover, m_nChecked, nPresent)];
}

void CBmpBtnCtrl::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    RECT rc;
    GetClientRect(&rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;

    CBitmap bmp;
    CDC mem;  // deleted before the bitmap
    mem.Attach(::CreateCompatibleDC(lpDIS->hDC));
    bmp.CreateCompatibleBitmap(lpDIS->hDC, w, h);
    if (!mem.GetSafeHdc() || !bmp.GetSafeHandle())
        return;  // the wrappers free whichever of the two was made
    int nSaved = mem.SaveDC();
    mem.SelectObject(&bmp);
    // A new bitmap's content is undefined: start from the button face, so a look
    // that paints nothing (or only part) never shows garbage.
    ::FillRect(mem, &rc, GetSysColorBrush(COLOR_BTNFACE));

    HWND hParent = GetParent();
    if (hParent) {
        HFONT hFont = reinterpret_cast<HFONT>(::SendMessageW(hParent, WM_GETFONT, 0, 0));
        if (hFont)
            mem.SelectObject(hFont);
    }

    switch (LookOfSavedStyle(m_nSavedStyle)) {
    case ButtonLook::Push:
        DrawPushButton(&mem, rc, lpDIS->itemState);
        break;
    case ButtonLook::CheckBox:
        DrawCheckBox(&mem, rc, lpDIS->itemState);
        break;
    case ButtonLook::Radio:
        DrawRadioButton(&mem, rc, lpDIS->itemState);
        break;
    case ButtonLook::None:
        break;
    }

    ::BitBlt(lpDIS->hDC, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    mem.RestoreDC(nSaved);
}

void CBmpBtnCtrl::DrawPushButton(CDC* pDC, const RECT& rc, UINT nItemState)
{
    RECT r = rc;
    CSkinBitmap& image = ImageForState(nItemState);
    const bool bPlain = image.GetSafeHandle() == NULL;  // the normal image failed to load
    if (bPlain) {
        UINT nFrame = DFCS_BUTTONPUSH;
        if (nItemState & ODS_SELECTED)
            nFrame |= DFCS_PUSHED;
        if (nItemState & ODS_DISABLED)
            nFrame |= DFCS_INACTIVE;
        DrawFrameControl(*pDC, &r, DFC_BUTTON, nFrame);
    } else {
        CSize size = image.GetSize();
        if (size.cx == r.right - r.left && size.cy == r.bottom - r.top) {
            image.Draw(*pDC, 0, 0);
        } else {
            SIZE border = {5, 5};
            image.DrawSliced(*pDC, &r, &border);
        }
    }

    const BOOL bEnabled = IsWindowEnabled();
    if (PushFocusRectShown(nItemState, m_bHover, m_bmpHover.GetSafeHandle() != NULL, GetStyle(), bEnabled)) {
        InflateRect(&r, -1, -1);
        pDC->DrawFocusRect(&r);
    }

    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    CString caption;
    GetWindowText(caption);
    if (!caption.IsEmpty()) {
        if (nItemState & ODS_SELECTED)
            OffsetRect(&r, 1, 1);
        // White reads on the skin's images; the plain face takes the system's colour.
        COLORREF crEnabled = bPlain ? GetSysColor(COLOR_BTNTEXT) : kCaptionEnabled;
        pDC->SetTextColor(bEnabled ? crEnabled : GetSysColor(COLOR_GRAYTEXT));
        pDC->DrawText(caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    pDC->SetBkMode(nOldMode);
}

void CBmpBtnCtrl::DrawCheckBox(CDC* pDC, const RECT& rc, UINT nItemState)
{
    DrawCheckLook(pDC, rc, nItemState, false);
}

void CBmpBtnCtrl::DrawRadioButton(CDC* pDC, const RECT& rc, UINT nItemState)
{
    DrawCheckLook(pDC, rc, nItemState, true);
}

void CBmpBtnCtrl::DrawCheckLook(CDC* pDC, const RECT& rc, UINT nItemState, bool bRadio)
{
    {
        CBrush fill(kCheckBoxFill);
        pDC->FillRect(&rc, fill);
    }

    CSkinBitmap& image = ImageForState(nItemState);
    const bool bPlain = image.GetSafeHandle() == NULL;
    // Without its images the box is drawn as the system's own check mark.
    SIZE size = bPlain ? SIZE{GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)} : image.GetSize();
    RECT rcImage = CheckBoxImageRect(rc, size);
    if (bPlain) {
        UINT nFrame = (bRadio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK) | (m_nChecked == 1 ? DFCS_CHECKED : 0) |
                      ((nItemState & ODS_DISABLED) ? DFCS_INACTIVE : 0);
        DrawFrameControl(*pDC, &rcImage, DFC_BUTTON, nFrame);
    } else {
        image.DrawStretched(*pDC, &rcImage);
    }

    const BOOL bEnabled = IsWindowEnabled();
    const bool bFocus = bEnabled && (nItemState & ODS_FOCUS) && (bRadio || (GetStyle() & WS_TABSTOP));
    CString caption;
    GetWindowText(caption);
    if (caption.IsEmpty()) {
        if (bRadio && bFocus)
            pDC->DrawFocusRect(&rcImage);
        return;
    }

    CFont radioFont;
    HGDIOBJ hOldFont = NULL;
    if (bRadio) {
        radioFont.CreatePointFont(90, L"Arial", NULL);
        hOldFont = pDC->SelectObject(&radioFont);
    }
    COLORREF crOld = pDC->SetTextColor(bEnabled ? kCaptionEnabled : GetSysColor(COLOR_GRAYTEXT));
    RECT rcCaption = rcImage;
    rcCaption.left = size.cx + 4;
    int nTextHeight = pDC->DrawText(caption, -1, &rcCaption, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    rcCaption = CheckBoxCaptionRect(rcImage, rcCaption.right, nTextHeight, bRadio);
    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(caption, -1, &rcCaption, DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(crOld);
    if (bRadio)
        pDC->SelectObject(hOldFont);
    if (bFocus) {
        InflateRect(&rcCaption, 2, 1);
        pDC->DrawFocusRect(&rcCaption);
    }
}

void CBmpBtnCtrl::OnMouseMove(UINT, CPoint)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof tme;
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = 1;
        m_bTracking = _TrackMouseEvent(&tme);
    }
    Default();
}

BOOL CBmpBtnCtrl::OnSetCursor(CWnd* pWnd, UINT, UINT)
{
    if (pWnd == this && m_hCursor) {
        m_hPrevCursor = ::SetCursor(m_hCursor);
        return TRUE;
    }
    m_hPrevCursor = NULL;
    return static_cast<BOOL>(Default());
}

BOOL CBmpBtnCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

BOOL CBmpBtnCtrl::OnHelpInfo(HELPINFO*) { return static_cast<BOOL>(Default()); }

LRESULT CBmpBtnCtrl::OnMouseHover(WPARAM, LPARAM)
{
    m_bHover = TRUE;
    if (m_ToolTip.IsWindow() && m_nTipTextId != 0) {
        CString text;
        text.LoadString(m_nTipTextId);
        m_ToolTip.UpdateTipText(text, this, 0);
    }
    if (IsWindowEnabled())
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    return 0;
}

LRESULT CBmpBtnCtrl::OnMouseLeave(WPARAM, LPARAM)
{
    m_bHover = FALSE;
    m_bTracking = FALSE;
    if (m_hPrevCursor)
        ::SetCursor(m_hPrevCursor);
    if (IsWindowEnabled())
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    return 0;
}

void CBmpBtnCtrl::OnLButtonDown(UINT, CPoint) { Default(); }
