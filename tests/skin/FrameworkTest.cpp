// The window layer: binding to an existing window, the message map, reflection of
// child notifications, Default(), unbinding at WM_NCDESTROY.
#include <gtest/gtest.h>

#include <vector>

#include "SkinTestIds.h"
#include "fw/Controls.h"
#include "fw/Wnd.h"

namespace {

// A parent that records which of its rows ran.
class CRecordingParent : public CWnd {
public:
    std::vector<UINT> seen;
    UINT nClicks = 0;

    LRESULT OnUser(WPARAM wParam, LPARAM lParam)
    {
        seen.push_back(WM_USER);
        return static_cast<LRESULT>(wParam + lParam);
    }
    void OnButtonClicked() { ++nClicks; }

protected:
    const MsgMap* GetMessageMap() const override { return &messageMap; }
    static const MsgMapEntry messageEntries[];
    static const MsgMap messageMap;
};

const MsgMapEntry CRecordingParent::messageEntries[] = {
    {MsgRoute::Message, WM_USER, 0, Handler<&CRecordingParent::OnUser>},
    {MsgRoute::Command, BN_CLICKED, 100, Handler<&CRecordingParent::OnButtonClicked>},
};
const MsgMap CRecordingParent::messageMap = {&CWnd::messageMap, messageEntries, std::size(messageEntries)};

// A button whose base row answers WM_USER + 1 and whose derived row overrides it;
// it also records reflected messages and its pre-subclass call.
class CBaseButton : public CButton {
public:
    LRESULT OnUserOne(WPARAM, LPARAM) { return 1; }
    LRESULT OnUserTwo(WPARAM, LPARAM) { return 2; }

protected:
    const MsgMap* GetMessageMap() const override { return &messageMap; }
    static const MsgMapEntry messageEntries[];

public:
    static const MsgMap messageMap;
};
const MsgMapEntry CBaseButton::messageEntries[] = {
    {MsgRoute::Message, WM_USER + 1, 0, Handler<&CBaseButton::OnUserOne>},
    {MsgRoute::Message, WM_USER + 2, 0, Handler<&CBaseButton::OnUserTwo>},
};
const MsgMap CBaseButton::messageMap = {&CButton::messageMap, messageEntries, std::size(messageEntries)};

class CDerivedButton : public CBaseButton {
public:
    int nPreSubclass = 0;
    std::vector<UINT> reflected;
    int nDrawItem = 0;
    BOOL bTakeCommand = FALSE;

    LRESULT OnUserOneAgain(WPARAM, LPARAM) { return 11; }
    LRESULT OnGetTextLength(WPARAM, LPARAM) { return 1000 + Default(); }

    void PreSubclassWindow() override { ++nPreSubclass; }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++nDrawItem; }
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        reflected.push_back(message);
        if (message == WM_COMMAND && bTakeCommand) {
            *pResult = 0;
            return TRUE;
        }
        return CBaseButton::OnChildNotify(message, wParam, lParam, pResult);
    }

protected:
    const MsgMap* GetMessageMap() const override { return &messageMap; }
    static const MsgMapEntry messageEntries[];
    static const MsgMap messageMap;
};
const MsgMapEntry CDerivedButton::messageEntries[] = {
    {MsgRoute::Message, WM_USER + 1, 0, Handler<&CDerivedButton::OnUserOneAgain>},
    {MsgRoute::Message, WM_GETTEXTLENGTH, 0, Handler<&CDerivedButton::OnGetTextLength>},
};
const MsgMap CDerivedButton::messageMap = {&CBaseButton::messageMap, messageEntries, std::size(messageEntries)};

struct Windows {
    HWND hParent = NULL;
    HWND hButton = NULL;
    Windows(DWORD buttonStyle)
    {
        hParent = CreateWindowExW(0, L"STATIC", L"fw test parent", WS_POPUP, 0, 0, 200, 100, NULL, NULL, NULL, NULL);
        hButton = CreateWindowExW(0, L"BUTTON", L"abc", WS_CHILD | WS_VISIBLE | buttonStyle, 0, 0, 50, 20, hParent,
                                  reinterpret_cast<HMENU>(100), NULL, NULL);
    }
    ~Windows()
    {
        if (IsWindow(hParent))
            DestroyWindow(hParent);
    }
};

TEST(Framework, RowsOfTheDerivedClassComeFirstAndTheBaseChainFollows)
{
    Windows w(BS_PUSHBUTTON);
    CDerivedButton btn;
    ASSERT_TRUE(btn.SubclassWindow(w.hButton));
    EXPECT_EQ(1, btn.nPreSubclass);
    EXPECT_EQ(&btn, CWnd::FromHandlePermanent(w.hButton));
    EXPECT_EQ(11, SendMessageW(w.hButton, WM_USER + 1, 0, 0));  // derived row wins
    EXPECT_EQ(2, SendMessageW(w.hButton, WM_USER + 2, 0, 0));   // base row reached
    // Default() runs the control's own procedure: the text "abc" has length 3.
    EXPECT_EQ(1003, SendMessageW(w.hButton, WM_GETTEXTLENGTH, 0, 0));
    // A second bind of the same window or object is refused.
    CDerivedButton other;
    EXPECT_FALSE(other.SubclassWindow(w.hButton));
    EXPECT_FALSE(btn.SubclassWindow(w.hParent));
}

TEST(Framework, ParentReflectsCommandAndDrawItemToTheChildObject)
{
    Windows w(BS_OWNERDRAW);
    CRecordingParent parent;
    CDerivedButton btn;
    ASSERT_TRUE(parent.SubclassWindow(w.hParent));
    ASSERT_TRUE(btn.SubclassWindow(w.hButton));
    EXPECT_EQ(7, SendMessageW(w.hParent, WM_USER, 3, 4));

    SendMessageW(w.hButton, BM_CLICK, 0, 0);
    ASSERT_EQ(1u, btn.reflected.size());
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), btn.reflected[0]);
    EXPECT_EQ(1u, parent.nClicks);  // the child did not take it: the parent's row ran

    btn.bTakeCommand = TRUE;
    SendMessageW(w.hButton, BM_CLICK, 0, 0);
    EXPECT_EQ(1u, parent.nClicks);  // taken by the child

    ShowWindow(w.hParent, SW_SHOWNA);
    RedrawWindow(w.hButton, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(btn.nDrawItem, 1);
}

TEST(Framework, WindowDestructionUnbindsAndObjectDeathRestoresTheProcedure)
{
    Windows w(BS_PUSHBUTTON);
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w.hButton, GWLP_WNDPROC));
    {
        CDerivedButton btn;
        ASSERT_TRUE(btn.SubclassWindow(w.hButton));
        EXPECT_NE(original, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w.hButton, GWLP_WNDPROC)));
    }
    EXPECT_EQ(original, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w.hButton, GWLP_WNDPROC)));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(w.hButton));

    CDerivedButton btn;
    ASSERT_TRUE(btn.SubclassWindow(w.hButton));
    DestroyWindow(w.hParent);
    EXPECT_EQ(nullptr, btn.m_hWnd);
}

TEST(Framework, DdxControlBindsTheDialogsControl)
{
    Windows w(BS_PUSHBUTTON);
    CWnd dlg;
    dlg.Attach(w.hParent);
    CDataExchange dx(&dlg, FALSE);
    CDerivedButton btn, missing;
    DDX_Control(&dx, 100, btn);
    DDX_Control(&dx, 555, missing);
    EXPECT_EQ(w.hButton, btn.m_hWnd);
    EXPECT_EQ(1, btn.nPreSubclass);
    EXPECT_EQ(nullptr, missing.m_hWnd);
    dlg.Detach();
}

TEST(Framework, ModifyStyleReportsAChange)
{
    Windows w(BS_PUSHBUTTON);
    CWnd wnd;
    wnd.Attach(w.hButton);
    EXPECT_TRUE(wnd.ModifyStyle(0, WS_BORDER, SWP_DRAWFRAME));
    EXPECT_TRUE(wnd.GetStyle() & WS_BORDER);
    EXPECT_FALSE(wnd.ModifyStyle(0, WS_BORDER));
    EXPECT_TRUE(wnd.ModifyStyleEx(0, WS_EX_TRANSPARENT));
    EXPECT_TRUE(wnd.GetExStyle() & WS_EX_TRANSPARENT);
    wnd.Detach();
}

TEST(Framework, WrappersOwnTheirHandles)
{
    HBRUSH first = CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH second = CreateSolidBrush(RGB(4, 5, 6));
    {
        CBrush brush;
        EXPECT_TRUE(brush.Attach(first));
        EXPECT_TRUE(brush.Attach(second));  // deletes the first
        EXPECT_EQ(0u, GetObjectType(first));
        CBrush moved(std::move(brush));
        EXPECT_EQ(nullptr, brush.GetSafeHandle());
        EXPECT_EQ(second, moved.GetSafeHandle());
    }
    EXPECT_EQ(0u, GetObjectType(second));  // the destructor deleted it

    HRGN kept = NULL;
    {
        CRgn rgn;
        rgn.CreateRectRgn(0, 0, 5, 5);
        kept = static_cast<HRGN>(rgn.Detach());
        EXPECT_FALSE(rgn.DeleteObject());
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_REGION), GetObjectType(kept));
    DeleteObject(kept);

    HDC mem = NULL;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
        mem = dc.GetSafeHdc();
        EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(mem));
    }
    EXPECT_EQ(0u, GetObjectType(mem));

    // A window that accepts a region owns it: the wrapper lets go.
    HWND h = CreateWindowExW(0, L"STATIC", L"fw region", WS_POPUP, 0, 0, 20, 20, NULL, NULL, NULL, NULL);
    CWnd wnd;
    wnd.Attach(h);
    CRgn shape;
    shape.CreateRectRgn(0, 0, 10, 10);
    EXPECT_TRUE(wnd.SetWindowRgn(shape, FALSE));
    EXPECT_EQ(nullptr, shape.GetSafeHandle());
    wnd.DestroyWindow();
    EXPECT_EQ(nullptr, wnd.m_hWnd);
}

TEST(Framework, StringBasics)
{
    CString a(L"abc");
    CString b = a + L"def";
    b += L'g';
    b += CString(L"h");
    EXPECT_STREQ(L"abcdefgh", b);
    EXPECT_EQ(8, b.GetLength());
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_TRUE(CString(static_cast<const WCHAR*>(NULL)).IsEmpty());
    EXPECT_TRUE(a == L"abc");
    EXPECT_TRUE(L"abc" == a);
    EXPECT_TRUE(a != CString(L"ABC"));
    EXPECT_EQ(0, a.CompareNoCase(L"ABC"));
    EXPECT_EQ(3, b.Find(L"def"));
    EXPECT_EQ(-1, b.Find(L'\t'));
    EXPECT_STREQ(L"x:abc", L"x:" + a);

    CString tip;
    EXPECT_TRUE(tip.LoadString(IDS_T_TIP));
    EXPECT_STREQ(L"Starts the installation", tip);
    EXPECT_FALSE(tip.LoadString(12345));
    EXPECT_TRUE(tip.IsEmpty());
}

}  // namespace
