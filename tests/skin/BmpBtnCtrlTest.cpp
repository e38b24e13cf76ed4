// The bitmap button on a real dialog: images per state and look, caption colour and
// offset, PlaceAt sizes and shape, clicks through the reflected notification,
// hover tracking, the fallback without a normal image.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "SkinTestIds.h"
#include "SkinTestSupport.h"
#include "skin/BmpBtnCtrl.h"

using skintest::Canvas;

namespace {

// State colours of testart.py.
const COLORREF kNormal = RGB(128, 0, 0), kPressed = RGB(0, 128, 0), kHover = RGB(0, 0, 128),
               kChecked = RGB(128, 128, 0), kDisabled = RGB(0, 128, 128), kDisabledChecked = RGB(128, 0, 128);
const COLORREF kWhite = RGB(255, 255, 255);

// Opens the control's state for the tests.
class TestButton : public CBmpBtnCtrl {
public:
    using CBmpBtnCtrl::m_bHover;
    using CBmpBtnCtrl::m_bTracking;
    using CBmpBtnCtrl::m_bmpNormal;
    using CBmpBtnCtrl::m_clrKey;
    using CBmpBtnCtrl::m_nChecked;
    using CBmpBtnCtrl::m_nTipTextId;
    using CBmpBtnCtrl::m_rcKeep;
    using CBmpBtnCtrl::m_ToolTip;
};

// The dialog object: reflects its children's notifications and counts clicks.
class TestDialog : public CWnd {
public:
    int nClicks = 0;
    void OnCheckClicked() { ++nClicks; }

protected:
    const MsgMap* GetMessageMap() const override { return &messageMap; }
    static const MsgMapEntry messageEntries[];
    static const MsgMap messageMap;
};
const MsgMapEntry TestDialog::messageEntries[] = {
    {MsgRoute::Command, BN_CLICKED, 203, Handler<&TestDialog::OnCheckClicked>},
};
const MsgMap TestDialog::messageMap = {&CWnd::messageMap, messageEntries, std::size(messageEntries)};

class ButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        hDlg = skintest::CreateTestDialog(skintest::UniqueTitle(L"buttons").c_str(),
                                          {
                                              {201, L"BUTTON", L"", BS_PUSHBUTTON, 10, 10, 50, 14},
                                              {202, L"BUTTON", L"", BS_DEFPUSHBUTTON, 70, 10, 50, 14},
                                              {203, L"BUTTON", L"", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 40, 120, 12},
                                              {204, L"BUTTON", L"", BS_AUTORADIOBUTTON, 10, 60, 120, 12},
                                              {205, L"BUTTON", L"", BS_PUSHBUTTON | WS_TABSTOP, 10, 80, 50, 14},
                                              {206, L"BUTTON", L"", BS_RADIOBUTTON, 70, 80, 80, 12},
                                          });
        ASSERT_NE(nullptr, hDlg);
        ASSERT_TRUE(dlg.SubclassWindow(hDlg));
        CDataExchange dx(&dlg, FALSE);
        DDX_Control(&dx, 201, push);
        DDX_Control(&dx, 202, defPush);
        DDX_Control(&dx, 203, check);
        DDX_Control(&dx, 204, radio);
        DDX_Control(&dx, 205, tabPush);
        DDX_Control(&dx, 206, plainRadio);
    }
    void TearDown() override
    {
        if (hDlg)
            DestroyWindow(hDlg);
    }

    void SetPushImages(CBmpBtnCtrl& b)
    {
        ASSERT_TRUE(b.SetBitmaps(IDB_T_PUSH_NORMAL, IDB_T_PUSH_PRESSED, IDB_T_PUSH_HOVER, IDB_T_PUSH_CHECKED,
                                 IDB_T_PUSH_DISABLED, IDB_T_PUSH_DISABLEDCHECKED));
    }
    void SetCheckImages(CBmpBtnCtrl& b)
    {
        ASSERT_TRUE(b.SetBitmaps(IDB_T_CHECK_NORMAL, IDB_T_CHECK_PRESSED, IDB_T_CHECK_HOVER, IDB_T_CHECK_CHECKED,
                                 IDB_T_CHECK_DISABLED, IDB_T_CHECK_DISABLEDCHECKED));
    }

    // Paints the button with DrawItem for an item state onto a fresh canvas.
    std::unique_ptr<Canvas> Paint(CBmpBtnCtrl& b, UINT state)
    {
        RECT rc;
        GetClientRect(b, &rc);
        auto canvas = std::make_unique<Canvas>(rc.right, rc.bottom, RGB(1, 2, 3));
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(b));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = b;
        dis.hDC = canvas->dc();
        dis.rcItem = rc;
        b.DrawItem(&dis);
        return canvas;
    }
    // Lets the button paint itself the way Windows asks: WM_PRINTCLIENT makes it
    // send WM_DRAWITEM to the dialog, which reflects it to the object.
    std::unique_ptr<Canvas> PaintThroughWindows(CBmpBtnCtrl& b)
    {
        RECT rc;
        GetClientRect(b, &rc);
        auto canvas = std::make_unique<Canvas>(rc.right, rc.bottom, RGB(1, 2, 3));
        SendMessageW(b, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
        return canvas;
    }
    // The pixel inside the image of a check-box look, away from the caption.
    static COLORREF CheckImagePixel(const Canvas& c) { return c.At(3, c.h() / 2); }

    HWND hDlg = NULL;
    TestDialog dlg;
    TestButton push, defPush, check, radio, tabPush, plainRadio;
};

TEST(ButtonRules, ImageChoiceTables)
{
    const UINT all = 0x3F;
    const UINT pushSet = (1 << kImageNormal) | (1 << kImagePressed) | (1 << kImageHover);
    const UINT noDisabledChecked = all & ~(1u << kImageDisabledChecked);
    struct Case {
        const char* name;
        ButtonLook look;
        UINT state;
        BOOL hover;
        int checked;
        UINT present;
        ButtonImage expected;
    } cases[] = {
        {"push plain", ButtonLook::Push, 0, FALSE, 0, all, kImageNormal},
        {"push pressed", ButtonLook::Push, ODS_SELECTED, FALSE, 0, all, kImagePressed},
        {"push hover", ButtonLook::Push, 0, TRUE, 0, all, kImageHover},
        {"push pressed beats hover", ButtonLook::Push, ODS_SELECTED, TRUE, 0, all, kImagePressed},
        {"push disabled beats all", ButtonLook::Push, ODS_DISABLED | ODS_SELECTED, TRUE, 1, all, kImageDisabled},
        {"push checked means nothing", ButtonLook::Push, 0, FALSE, 1, all, kImageNormal},
        {"push disabled without image", ButtonLook::Push, ODS_DISABLED, FALSE, 0, pushSet, kImageNormal},
        {"push hover without image", ButtonLook::Push, 0, TRUE, 0, 1, kImageNormal},
        {"check disabled+checked", ButtonLook::CheckBox, ODS_DISABLED, FALSE, 1, all, kImageDisabledChecked},
        {"check disabled+checked, image missing", ButtonLook::CheckBox, ODS_DISABLED, FALSE, 1, noDisabledChecked,
         kImageNormal},
        {"check disabled", ButtonLook::CheckBox, ODS_DISABLED, TRUE, 0, all, kImageDisabled},
        {"check checked", ButtonLook::CheckBox, 0, FALSE, 1, all, kImageChecked},
        {"check checked while hovered", ButtonLook::CheckBox, 0, TRUE, 1, all, kImageChecked},
        {"check checked while pressed", ButtonLook::CheckBox, ODS_SELECTED, FALSE, 1, all, kImageChecked},
        {"check hover beats pressed", ButtonLook::CheckBox, ODS_SELECTED, TRUE, 0, all, kImageHover},
        {"check pressed", ButtonLook::CheckBox, ODS_SELECTED, FALSE, 0, all, kImagePressed},
        {"check state 2 is not checked", ButtonLook::CheckBox, 0, FALSE, 2, all, kImageNormal},
        {"radio checked", ButtonLook::Radio, 0, TRUE, 1, all, kImageChecked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, ChooseButtonImage(c.look, c.state, c.hover, c.checked, c.present));
    }
}

TEST(ButtonRules, LooksAndSizes)
{
    const struct {
        int style;
        ButtonLook look;
    } looks[] = {{0, ButtonLook::Push},     {1, ButtonLook::Push},  {2, ButtonLook::CheckBox},
                 {3, ButtonLook::CheckBox}, {4, ButtonLook::Radio}, {9, ButtonLook::Radio},
                 {-1, ButtonLook::None},    {0x23, ButtonLook::None}, {11, ButtonLook::None}};
    for (const auto& l : looks) {
        SCOPED_TRACE(l.style);
        EXPECT_EQ(l.look, LookOfSavedStyle(l.style));
    }
    EXPECT_EQ(CSize(111, 22), PlaceAtSize(0, CSize(111, 22), 80, 13));
    EXPECT_EQ(CSize(21 + 300 - 13 + 2, 28), PlaceAtSize(3, CSize(21, 24), 300, 13));
    EXPECT_EQ(CSize(21 + 300 - 13 + 2, 28), PlaceAtSize(9, CSize(21, 24), 300, 13));

    // Check-box geometry: image centred, caption at W + 4, t + 1 high, up by one
    // for the check box only.
    RECT img = CheckBoxImageRect(RECT{0, 0, 200, 28}, SIZE{21, 24});
    EXPECT_EQ(2, img.top);
    EXPECT_EQ(26, img.bottom);
    RECT cap = CheckBoxCaptionRect(img, 90, 13, false);
    EXPECT_EQ(25, cap.left);
    EXPECT_EQ(1, cap.top);
    EXPECT_EQ(15, cap.bottom);
    EXPECT_EQ(90, cap.right);
    EXPECT_EQ(2, CheckBoxCaptionRect(img, 90, 13, true).top);

    // Focus rectangle of the push look.
    EXPECT_FALSE(PushFocusRectShown(ODS_FOCUS, FALSE, true, 0, TRUE));  // no WS_TABSTOP
    EXPECT_TRUE(PushFocusRectShown(ODS_FOCUS, FALSE, true, WS_TABSTOP, TRUE));
    EXPECT_FALSE(PushFocusRectShown(ODS_FOCUS, TRUE, false, WS_TABSTOP, TRUE));  // hovering, no hover image
    EXPECT_TRUE(PushFocusRectShown(ODS_FOCUS | ODS_SELECTED, TRUE, false, WS_TABSTOP, TRUE));
    EXPECT_FALSE(PushFocusRectShown(ODS_FOCUS, FALSE, true, WS_TABSTOP, FALSE));
}

TEST_F(ButtonTest, PushImagesPerStateOnTheRealButton)
{
    SetPushImages(push);
    push.PlaceAt(0, 0);
    const struct {
        UINT state;
        BOOL hover;
        COLORREF expected;
    } cases[] = {
        {0, FALSE, kNormal},          {ODS_SELECTED, FALSE, kPressed},  {0, TRUE, kHover},
        {ODS_SELECTED, TRUE, kPressed}, {ODS_DISABLED, TRUE, kDisabled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << " hover " << c.hover);
        push.m_bHover = c.hover;
        auto canvas = Paint(push, c.state);
        EXPECT_EQ(c.expected, canvas->At(1, 1));
        EXPECT_EQ(c.expected, canvas->At(39, 19));
    }
}

TEST_F(ButtonTest, HoverComesFromTheTrackingMessages)
{
    SetPushImages(push);
    push.PlaceAt(0, 0);
    EXPECT_EQ(kNormal, PaintThroughWindows(push)->At(2, 2));
    SendMessageW(push, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(push.m_bTracking);
    SendMessageW(push, WM_MOUSEHOVER, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(push.m_bHover);
    EXPECT_EQ(kHover, PaintThroughWindows(push)->At(2, 2));
    SendMessageW(push, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(push.m_bHover);
    EXPECT_FALSE(push.m_bTracking);
    EXPECT_EQ(kNormal, PaintThroughWindows(push)->At(2, 2));
    // Disabled: Windows reports ODS_DISABLED itself.
    EnableWindow(push, FALSE);
    EXPECT_EQ(kDisabled, PaintThroughWindows(push)->At(2, 2));
}

TEST_F(ButtonTest, CheckBoxImagesPerState)
{
    SetCheckImages(check);
    check.PlaceAt(0, 0);
    const struct {
        const char* name;
        UINT state;
        BOOL hover;
        int checked;
        COLORREF expected;
    } cases[] = {
        {"normal", 0, FALSE, 0, kNormal},
        {"pressed", ODS_SELECTED, FALSE, 0, kPressed},
        {"hover", 0, TRUE, 0, kHover},
        {"checked", 0, FALSE, 1, kChecked},
        {"checked, hovered and pressed", ODS_SELECTED, TRUE, 1, kChecked},
        {"disabled", ODS_DISABLED, FALSE, 0, kDisabled},
        {"disabled and checked", ODS_DISABLED, FALSE, 1, kDisabledChecked},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        check.m_bHover = c.hover;
        check.m_nChecked = c.checked;
        auto canvas = Paint(check, c.state);
        EXPECT_EQ(c.expected, CheckImagePixel(*canvas));
        // The rest of the button is the look's fill.
        EXPECT_EQ(kCheckBoxFill, canvas->At(canvas->w() - 1, 0));
    }
    // Without its own disabled+checked image the box shows the normal one.
    ASSERT_FALSE(check.SetBitmaps(IDB_T_CHECK_NORMAL, 0, 0, IDB_T_CHECK_CHECKED, IDB_T_CHECK_DISABLED, IDB_T_MISSING));
    check.m_nChecked = 1;
    EXPECT_EQ(kNormal, CheckImagePixel(*Paint(check, ODS_DISABLED)));
}

TEST_F(ButtonTest, PushCaptionIsWhiteGreyWhenDisabledAndMovedWhenPressed)
{
    SetWindowTextW(push, L"II");
    SetPushImages(push);
    push.PlaceAt(0, 0);
    auto bbox = [](const Canvas& c, COLORREF background) {
        RECT r = {1000, 1000, -1, -1};
        for (int y = 0; y < c.h(); ++y)
            for (int x = 0; x < c.w(); ++x)
                if (c.At(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = std::max<LONG>(r.bottom, y);
                }
        return r;
    };
    auto normal = Paint(push, 0);
    auto pressed = Paint(push, ODS_SELECTED);
    EXPECT_FALSE(normal->PixelsOf(kWhite).empty());
    RECT a = bbox(*normal, kNormal), b = bbox(*pressed, kPressed);
    ASSERT_LT(a.left, a.right);
    EXPECT_EQ(a.left + 1, b.left);
    EXPECT_EQ(a.top + 1, b.top);
    EXPECT_EQ(a.right + 1, b.right);
    EXPECT_EQ(a.bottom + 1, b.bottom);

    EnableWindow(push, FALSE);
    auto disabled = Paint(push, ODS_DISABLED);
    EXPECT_TRUE(disabled->PixelsOf(kWhite).empty());
    EXPECT_FALSE(disabled->PixelsOf(GetSysColor(COLOR_GRAYTEXT)).empty());
    RECT c = bbox(*disabled, kDisabled);
    EXPECT_EQ(a.left, c.left);
    EXPECT_EQ(a.top, c.top);

    // The check-box look writes its caption in white beside the image.
    SetWindowTextW(check, L"Launch");
    SetCheckImages(check);
    check.PlaceAt(0, 0);
    auto box = Paint(check, 0);
    std::vector<POINT> white = box->PixelsOf(kWhite);
    ASSERT_FALSE(white.empty());
    for (const POINT& p : white)
        EXPECT_GE(p.x, 21 + 4);
}

TEST_F(ButtonTest, PlaceAtSizesMovesAndResizesOnly)
{
    SetPushImages(push);
    SetCheckImages(check);
    RECT rcClient;
    GetClientRect(check, &rcClient);
    const int cw = rcClient.right;

    push.PlaceAt(30, 40);
    RECT r;
    GetWindowRect(push, &r);
    MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(30, r.left);
    EXPECT_EQ(40, r.top);
    EXPECT_EQ(40, r.right - r.left);
    EXPECT_EQ(20, r.bottom - r.top);

    RECT before;
    GetWindowRect(check, &before);
    check.PlaceAt(0, 0);
    GetWindowRect(check, &r);
    EXPECT_EQ(before.left, r.left);  // not moved to the origin
    EXPECT_EQ(before.top, r.top);
    EXPECT_EQ(21 + cw - GetSystemMetrics(SM_CXMENUCHECK) + 2, r.right - r.left);
    EXPECT_EQ(24 + 4, r.bottom - r.top);
}

TEST_F(ButtonTest, OnlyAPlainPushButtonWithAKeyGetsAWindowRegionOfItsOwn)
{
    for (TestButton* b : {&push, &defPush}) {
        ASSERT_TRUE(b->SetBitmaps(IDB_T_PUSH_KEYED, 0, 0, 0, 0, 0));
        b->m_clrKey = RGB(255, 0, 255);
        b->PlaceAt(0, 0);
    }
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(COMPLEXREGION, GetWindowRgn(push, rgn));
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, 3, 0));
    EXPECT_FALSE(PtInRegion(rgn, 39, 19));
    EXPECT_EQ(ERROR, GetWindowRgn(defPush, rgn));  // style 1: never shaped
    // The window got a copy: the bitmap's own region outlives the window.
    HRGN held = push.m_bmpNormal.CreateRegion(CLR_INVALID, NULL);
    ASSERT_NE(nullptr, held);
    DestroyWindow(push);
    RECT box;
    EXPECT_EQ(COMPLEXREGION, GetRgnBox(held, &box));
    DeleteObject(rgn);
}

TEST_F(ButtonTest, ClicksToggleThroughTheReflectedNotification)
{
    SetCheckImages(check);
    SetCheckImages(radio);
    EXPECT_EQ(0, check.GetChecked());
    SendMessageW(check, BM_CLICK, 0, 0);
    EXPECT_EQ(1, check.GetChecked());
    SendMessageW(check, BM_CLICK, 0, 0);
    EXPECT_EQ(0, check.GetChecked());
    EXPECT_EQ(2, dlg.nClicks);  // the dialog still handles the click
    check.SetChecked(5);
    SendMessageW(check, BM_CLICK, 0, 0);
    EXPECT_EQ(0, check.GetChecked());  // any non-zero state becomes 0

    SendMessageW(radio, BM_CLICK, 0, 0);
    SendMessageW(radio, BM_CLICK, 0, 0);
    EXPECT_EQ(1, radio.GetChecked());  // a radio click never clears
}

TEST_F(ButtonTest, SetCheckedChangesOnlyAnEnabledButtonAndRepaintsOnlyAChange)
{
    SetCheckImages(check);
    ValidateRect(check, NULL);
    check.SetChecked(0);
    EXPECT_FALSE(GetUpdateRect(check, NULL, FALSE));
    check.SetChecked(1);
    EXPECT_EQ(1, check.GetChecked());
    EXPECT_TRUE(GetUpdateRect(check, NULL, FALSE));

    ValidateRect(check, NULL);
    EnableWindow(check, FALSE);
    ValidateRect(check, NULL);
    check.SetChecked(0);
    EXPECT_EQ(1, check.GetChecked());
    EXPECT_FALSE(GetUpdateRect(check, NULL, FALSE));
    SendMessageW(check, BM_CLICK, 0, 0);  // a disabled button ignores clicks
    EXPECT_EQ(1, check.GetChecked());
}

TEST_F(ButtonTest, EveryLookBecomesOwnerDrawnAndIsAskedToPaint)
{
    for (TestButton* b : {&push, &defPush, &check, &radio, &plainRadio}) {
        int style = GetWindowLongW(*b, GWL_STYLE) & 0xFF;
        SCOPED_TRACE(style);
        if (b == &check || b == &radio || b == &plainRadio)
            SetCheckImages(*b);
        else
            SetPushImages(*b);
        b->PlaceAt(0, 0);
        EXPECT_EQ(style, b->GetSavedStyle());
        EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW), GetWindowLongW(*b, GWL_STYLE) & BS_TYPEMASK);
        auto canvas = PaintThroughWindows(*b);
        EXPECT_EQ(kNormal, b == &push || b == &defPush ? canvas->At(2, 2) : CheckImagePixel(*canvas));
    }
}

TEST_F(ButtonTest, SecondSetBitmapsKeepsTheFirstSavedStyle)
{
    SetCheckImages(check);
    EXPECT_EQ(BS_AUTOCHECKBOX, check.GetSavedStyle());
    EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW | BS_AUTOCHECKBOX), GetWindowLongW(check, GWL_STYLE) & 0xFF);
    SetCheckImages(check);
    EXPECT_EQ(BS_AUTOCHECKBOX, check.GetSavedStyle());
}

TEST_F(ButtonTest, WithoutItsNormalImageTheButtonPaintsAPlainFace)
{
    SetWindowTextW(push, L"OK");
    RECT before;
    GetWindowRect(push, &before);
    EXPECT_FALSE(push.SetBitmaps(IDB_T_MISSING, IDB_T_PUSH_PRESSED, 0, 0, 0, 0));
    EXPECT_EQ(nullptr, push.m_bmpNormal.GetSafeHandle());
    push.PlaceAt(0, 0);
    RECT r;
    GetWindowRect(push, &r);
    EXPECT_EQ(before.right - before.left, r.right - r.left);  // keeps a usable size
    EXPECT_EQ(before.bottom - before.top, r.bottom - r.top);
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        auto canvas = Paint(push, state);
        EXPECT_TRUE(canvas->PixelsOf(RGB(1, 2, 3)).empty());  // every pixel painted
        EXPECT_FALSE(canvas->PixelsOf(GetSysColor(COLOR_BTNTEXT)).empty());
        EXPECT_FALSE(canvas->PixelsOf(GetSysColor(COLOR_BTNFACE)).empty());
    }
    // A style without a look still copies a defined face, never stale memory.
    TestButton odd;
    ASSERT_TRUE(odd.SubclassWindow(CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_GROUPBOX, 0, 0, 30, 20, hDlg,
                                                    NULL, NULL, NULL)));
    odd.SetBitmaps(IDB_T_PUSH_NORMAL, 0, 0, 0, 0, 0);
    auto canvas = Paint(odd, 0);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), canvas->At(5, 5));
}

TEST_F(ButtonTest, ReportsItsRunTimeClass)
{
    EXPECT_STREQ("CBmpBtnCtrl", push.GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(push.IsKindOf(&CButton::classCButton));
    EXPECT_STREQ("CBitmap", push.m_bmpNormal.GetRuntimeClass()->m_lpszClassName);
}

TEST_F(ButtonTest, HoverUpdatesTheTooltipTextAndMessagesAreRelayed)
{
    SetPushImages(push);
    ASSERT_TRUE(push.m_ToolTip.Create(&dlg));
    ASSERT_TRUE(push.m_ToolTip.AddTool(&push, L"old"));
    push.m_nTipTextId = IDS_T_TIP;
    SendMessageW(push, WM_MOUSEHOVER, 0, 0);

    wchar_t text[80] = {};
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.hwnd = hDlg;
    ti.uId = reinterpret_cast<UINT_PTR>(push.m_hWnd);
    ti.lpszText = text;
    SendMessageW(push.m_ToolTip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(L"Starts the installation", text);

    MSG msg = {push.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2), GetTickCount(), {0, 0}};
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(hDlg, &msg));  // relayed, not taken
}

// The window's own painting: WM_PAINT, WM_DRAWITEM to the dialog, reflected.
TEST_F(ButtonTest, PaintsThroughItsWindow)
{
    SetPushImages(push);
    push.PlaceAt(0, 0);
    RedrawWindow(push, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(push);
    COLORREF c = GetPixel(dc, 2, 2);
    ReleaseDC(push, dc);
    EXPECT_EQ(kNormal, c);
}

// Where a focus rectangle shows: the push look with WS_TABSTOP and not while
// hovering without a hover image; the check box around its caption with
// WS_TABSTOP; the radio look without WS_TABSTOP, around its image when the
// caption is empty.
TEST_F(ButtonTest, FocusRectangles)
{
    SetWindowTextW(check, L"Launch");
    SetWindowTextW(radio, L"");
    ASSERT_TRUE(push.SetBitmaps(IDB_T_PUSH_NORMAL, IDB_T_PUSH_PRESSED, 0, 0, 0, 0));
    ASSERT_TRUE(tabPush.SetBitmaps(IDB_T_PUSH_NORMAL, IDB_T_PUSH_PRESSED, 0, 0, 0, 0));
    SetCheckImages(check);
    SetCheckImages(radio);
    for (TestButton* b : {&push, &tabPush, &check, &radio})
        b->PlaceAt(0, 0);
    auto focusShows = [&](TestButton& b, BOOL hover) {
        b.m_bHover = hover;
        int n = Paint(b, ODS_FOCUS)->DiffCount(*Paint(b, 0));
        b.m_bHover = FALSE;
        return n > 0;
    };
    EXPECT_FALSE(focusShows(push, FALSE));    // no WS_TABSTOP
    EXPECT_TRUE(focusShows(tabPush, FALSE));
    EXPECT_FALSE(focusShows(tabPush, TRUE));  // hovering, no hover image
    EXPECT_TRUE(focusShows(check, FALSE));
    EXPECT_TRUE(focusShows(radio, FALSE));

    // The radio's rectangle lies on its image; the check box's around the caption.
    RECT rc;
    GetClientRect(radio, &rc);
    RECT img = CheckBoxImageRect(rc, SIZE{21, 24});
    auto focused = Paint(radio, ODS_FOCUS);
    int changedOnImageEdge = 0;
    for (int x = img.left; x < img.right; ++x)
        changedOnImageEdge += focused->At(x, img.top) != kNormal;
    EXPECT_GT(changedOnImageEdge, 0);
    auto boxFocused = Paint(check, ODS_FOCUS);
    for (int x = 0; x < 21; ++x)
        EXPECT_EQ(kNormal, boxFocused->At(x, CheckBoxImageRect(rc, SIZE{21, 24}).top)) << x;

    SetWindowLongW(check, GWL_STYLE, GetWindowLongW(check, GWL_STYLE) & ~WS_TABSTOP);
    EXPECT_FALSE(focusShows(check, FALSE));
    SetWindowTextW(check, L"");
    SetWindowLongW(check, GWL_STYLE, GetWindowLongW(check, GWL_STYLE) | WS_TABSTOP);
    EXPECT_FALSE(focusShows(check, FALSE));  // no caption, no rectangle
}

}  // namespace
