// CBmpBtnCtrl: an owner-drawn button painted from up to six skin bitmaps, one per
// visual state, in a push-button, check-box or radio-button look.
//
// The state rules are small functions without a window (LookOfSavedStyle,
// ChooseButtonImage, PushFocusRectShown, PlaceAtSize, CheckBoxImageRect,
// CheckBoxCaptionRect); the control applies them to the platform's calls.
#pragma once
#include <windows.h>

#include "fw/Controls.h"
#include "skin/SkinBitmap.h"

enum class ButtonLook { None, Push, CheckBox, Radio };

// Styles 0, 1 push; 2, 3 check box; 4, 9 radio; anything else (-1 included) none.
ButtonLook LookOfSavedStyle(int nSavedStyle);

enum ButtonImage {
    kImageNormal,
    kImagePressed,
    kImageChecked,
    kImageHover,
    kImageDisabled,
    kImageDisabledChecked,
};

// The image for an item state (ODS_ bits), the hover flag and the check state;
// an image whose bit is missing from nPresentMask (bit 1 << image) falls back to
// the normal image, never to another state's.
ButtonImage ChooseButtonImage(ButtonLook look, UINT nItemState, BOOL bHover, int nChecked, UINT nPresentMask);

// Whether the push look draws its focus rectangle.
bool PushFocusRectShown(UINT nItemState, BOOL bHover, bool bHoverImagePresent, DWORD dwStyle, BOOL bEnabled);

// The size PlaceAt gives the button: the normal image's, and for the check-box
// and radio looks W + cxClient - cxMenuCheck + 2 by H + 4.
CSize PlaceAtSize(int nSavedStyle, CSize image, int cxClient, int cxMenuCheck);

// Check-box and radio looks: the image rectangle, vertically centred in rcClient.
RECT CheckBoxImageRect(const RECT& rcClient, SIZE image);
// The caption's rectangle from the image rectangle, the right edge DT_CALCRECT
// found and the text height: left at W + 4, nTextHeight + 1 high, one pixel
// higher up for the check-box look (not for the radio look).
RECT CheckBoxCaptionRect(const RECT& rcImage, int nMeasuredRight, int nTextHeight, bool bRadio);

// Colours of the looks.
const COLORREF kCheckBoxFill = 0x00AD5D47;   // RGB 71, 93, 173
const COLORREF kCaptionEnabled = 0x00FFFFFF;  // white; disabled: COLOR_GRAYTEXT

class CBmpBtnCtrl : public CButton {
public:
    CBmpBtnCtrl();
    ~CBmpBtnCtrl() override;

    // Resource ids of the six images; every one but the first may be 0 (no image
    // of its own). FALSE when an image fails to load (the others still load).
    BOOL SetBitmaps(UINT idNormal, UINT idPressed, UINT idHover, UINT idChecked, UINT idDisabled,
                    UINT idDisabledChecked);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // Sizes the button to its normal image (see PlaceAtSize) and moves it to
    // (x, y) in the parent's client coordinates; (0, 0) only resizes.
    virtual void PlaceAt(int x, int y);
    virtual int GetChecked();
    // Only while enabled, and only a change repaints.
    virtual void SetChecked(int nState);
    virtual int GetSavedStyle();

    const CRuntimeClass* GetRuntimeClass() const override { return &classCBmpBtnCtrl; }
    static inline const CRuntimeClass classCBmpBtnCtrl = {"CBmpBtnCtrl", &CButton::classCButton};

protected:
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    BOOL OnEraseBkgnd(CDC* pDC);
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, CPoint point);

    void DrawPushButton(CDC* pDC, const RECT& rc, UINT nItemState);
    void DrawCheckBox(CDC* pDC, const RECT& rc, UINT nItemState);
    void DrawRadioButton(CDC* pDC, const RECT& rc, UINT nItemState);
    // The image chosen for the state, with the fallback to the normal image.
    CSkinBitmap& ImageForState(UINT nItemState);
    // The check-box and radio looks, apart from the caption's font and focus rule.
    void DrawCheckLook(CDC* pDC, const RECT& rc, UINT nItemState, bool bRadio);

    const MsgMap* GetMessageMap() const override { return &messageMap; }
    static const MsgMapEntry messageEntries[];
    static const MsgMap messageMap;

    CSkinBitmap m_bmpNormal;
    CSkinBitmap m_bmpPressed;
    CSkinBitmap m_bmpChecked;
    CSkinBitmap m_bmpHover;
    CSkinBitmap m_bmpDisabled;
    CSkinBitmap m_bmpDisabledChecked;
    COLORREF m_clrKey;
    RECT m_rcKeep;
    BOOL m_bHover;
    BOOL m_bTracking;
    int m_nChecked;
    HCURSOR m_hPrevCursor;
    HCURSOR m_hCursor;
    int m_nSavedStyle;
    UINT m_nTipTextId;
    CToolTipCtrl m_ToolTip;
};
