// The text label: chained setters and the font they build, the DrawText format,
// painting see-through and double-buffered, gradient bands, emboss, links and
// the blink timer.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "SkinTestSupport.h"
#include "skin/SkinLabel.h"

using skintest::Canvas;

namespace {

// Opens the label's state for the tests.
class TestLabel : public CSkinLabel {
public:
    using CSkinLabel::m_bBlinkOn;
    using CSkinLabel::m_bGradient;
    using CSkinLabel::m_bNotifyParent;
    using CSkinLabel::m_bSeeThrough;
    using CSkinLabel::m_bTimerSet;
    using CSkinLabel::m_crFill;
    using CSkinLabel::m_crText;
    using CSkinLabel::m_font;
    using CSkinLabel::m_hbrFill;
    using CSkinLabel::m_lf;
    using CSkinLabel::m_nBlinkMode;
    using CSkinLabel::m_nLinkMode;
    using CSkinLabel::Paint;
};

// The parent: records label clicks, and erases its background in one colour.
class LabelParent : public CWnd {
public:
    static const COLORREF kBackground = RGB(0, 200, 0);
    std::vector<NMHDR> clicks;
    void OnLabelClick(NMHDR* pNMHDR, LRESULT* pResult)
    {
        clicks.push_back(*pNMHDR);
        *pResult = 0;
    }
    BOOL OnEraseBkgnd(CDC* pDC)
    {
        RECT rc;
        GetClientRect(&rc);
        CBrush brush(kBackground);
        pDC->FillRect(&rc, brush);
        return TRUE;
    }

protected:
    const MsgMap* GetMessageMap() const override { return &messageMap; }
    static const MsgMapEntry messageEntries[];
    static const MsgMap messageMap;
};
const MsgMapEntry LabelParent::messageEntries[] = {
    {MsgRoute::Notify, NM_LABELCLICK, 301, Handler<&LabelParent::OnLabelClick>},
    {MsgRoute::Message, WM_ERASEBKGND, 0, Handler<&LabelParent::OnEraseBkgnd>},
};
const MsgMap LabelParent::messageMap = {&CWnd::messageMap, messageEntries, std::size(messageEntries)};

class LabelTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, L"STATIC", skintest::UniqueTitle(L"labels").c_str(), WS_POPUP | WS_VISIBLE,
                                    0, 0, 400, 120, NULL, 0));
    }
    // A static control bound to label, nWidth x nHeight at (20, 10), with a bold font.
    void MakeLabel(TestLabel& label, const wchar_t* text, DWORD style = SS_LEFT, int nWidth = 250, int nHeight = 30)
    {
        HWND h = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, 20, 10, nWidth, nHeight, parent,
                                 reinterpret_cast<HMENU>(301), NULL, NULL);
        ASSERT_NE(nullptr, h);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont.m_hObject), FALSE);
        ASSERT_TRUE(label.SubclassWindow(h));
    }
    std::unique_ptr<Canvas> Paint(TestLabel& label, COLORREF under = RGB(1, 2, 3))
    {
        RECT rc;
        GetClientRect(label, &rc);
        auto canvas = std::make_unique<Canvas>(rc.right, rc.bottom, under);
        CDC dc;
        dc.Attach(canvas->dc());
        label.Paint(&dc);
        dc.Detach();
        return canvas;
    }
    // Bold, sharp-edged text, so a pixel is either text or not.
    void SharpFont(TestLabel& label)
    {
        LOGFONTW lf = label.m_lf;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        lf.lfHeight = -16;
        label.SetLogFont(lf);
    }

    struct BoldFont : CFont {
        BoldFont()
        {
            LOGFONTW lf = {};
            lf.lfHeight = -12;
            lf.lfWeight = 700;
            lstrcpyW(lf.lfFaceName, L"Tahoma");
            CreateFontIndirect(&lf);
        }
    } boldFont;
    LabelParent parent;
};

TEST(LabelRules, DrawTextFormatFromTheStaticStyle)
{
    const struct {
        DWORD style;
        const wchar_t* text;
        UINT format;
    } cases[] = {
        {SS_LEFT, L"a", 0x10},
        {SS_CENTER, L"a", 0x11},
        {SS_RIGHT, L"a", 0x12},
        {SS_LEFTNOWORDWRAP, L"a", 0},
        {SS_SIMPLE, L"a", 0x10},
        {SS_LEFT, L"a\tb", 0x50},
        {SS_CENTER | SS_NOTIFY, L"a", 0x11},
        {SS_RIGHT | SS_CENTERIMAGE, L"a\tb", 0x25},
        {SS_LEFT | SS_CENTERIMAGE, L"a\r\nb", 0x01},
        {SS_LEFT | SS_CENTERIMAGE, L"a\nb", 0x25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.style);
        EXPECT_EQ(c.format, LabelTextFormat(c.style, c.text));
    }
}

TEST(LabelRules, GradientBands)
{
    // 60 wide: 60 bands of width 1.
    std::vector<GradientBand> narrow = GradientBands(RECT{0, 0, 60, 10}, 0, 0x0000FF, 100);
    ASSERT_EQ(60u, narrow.size());
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(i, narrow[i].x);
        EXPECT_EQ(i + 1, narrow[i].x2);
    }
    // 250 wide: 100 bands of width 2, the last from x = 198 to the right edge; red
    // 652 * i / 256 (0, 2, 5, 7, 10, ...), the last 252.
    std::vector<GradientBand> wide = GradientBands(RECT{0, 0, 250, 10}, 0, 0x0000FF, 100);
    ASSERT_EQ(100u, wide.size());
    EXPECT_EQ(198, wide[99].x);
    EXPECT_EQ(250, wide[99].x2);
    const int reds[] = {0, 2, 5, 7, 10};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(RGB(reds[i], 0, 0), wide[i].cr);
    EXPECT_EQ(RGB(252, 0, 0), wide[99].cr);
    // Falling channels truncate toward zero as well; no bands without room.
    std::vector<GradientBand> down = GradientBands(RECT{10, 0, 13, 5}, RGB(0, 9, 200), RGB(0, 0, 100), 100);
    ASSERT_EQ(3u, down.size());
    // green step -2304 / 3 = -768: 1536 / 256 = 6; blue step -25600 / 3 = -8533:
    // 42667 / 256 = 166.
    EXPECT_EQ(RGB(0, 6, 166), down[1].cr);
    EXPECT_TRUE(GradientBands(RECT{0, 0, 0, 5}, 0, 0xFF, 100).empty());
    EXPECT_TRUE(GradientBands(RECT{0, 0, 50, 5}, 0, 0xFF, 0).empty());
    ASSERT_EQ(1u, GradientBands(RECT{0, 0, 50, 5}, 0, 0xFF, 1).size());
}

TEST(LabelRules, LinkRequests)
{
    LinkRequest url = LabelLinkRequest(1, CString(), L"http://a.example/");
    EXPECT_TRUE(url.bOpen);
    EXPECT_STREQ(L"open", url.pszVerb);
    EXPECT_STREQ(L"http://a.example/", url.strFile);
    LinkRequest target = LabelLinkRequest(1, L"http://b.example/", L"Home page");
    EXPECT_STREQ(L"http://b.example/", target.strFile);
    LinkRequest mail = LabelLinkRequest(2, L"http://b.example/", L"abc");
    EXPECT_TRUE(mail.bOpen);
    EXPECT_EQ(nullptr, mail.pszVerb);
    EXPECT_STREQ(L"mailto:abc", mail.strFile);
    EXPECT_FALSE(LabelLinkRequest(0, L"x", L"y").bOpen);
}

TEST_F(LabelTest, SettersChainAndBuildTheFont)
{
    TestLabel label;
    MakeLabel(label, L"Title");
    EXPECT_EQ(700, label.m_lf.lfWeight);  // taken over from the window's font
    CSkinLabel* p = label.SetCaption(L"New")
                        ->SetForeColor(RGB(0, 0, 85))
                        ->SetFaceName(L"Arial", ANSI_CHARSET)
                        ->SetPointSize(11)
                        ->SetBold(TRUE)
                        ->SetSeeThrough(TRUE)
                        ->SetUnderline(TRUE)
                        ->SetItalic(TRUE)
                        ->SetRotation(90, FALSE)
                        ->SetBold(FALSE);
    EXPECT_EQ(&label, p);
    EXPECT_EQ(400, label.m_lf.lfWeight);  // not the attached font's 700
    EXPECT_STREQ(L"Arial", label.m_lf.lfFaceName);
    EXPECT_EQ(ANSI_CHARSET, label.m_lf.lfCharSet);
    EXPECT_EQ(1, label.m_lf.lfUnderline);
    EXPECT_EQ(1, label.m_lf.lfItalic);
    EXPECT_EQ(900, label.m_lf.lfEscapement);
    EXPECT_EQ(900, label.m_lf.lfOrientation);
    EXPECT_EQ(RGB(0, 0, 85), label.m_crText);
    wchar_t text[32];
    GetWindowTextW(label, text, 32);
    EXPECT_STREQ(L"New", text);
    // The font object follows m_lf.
    LOGFONTW built = {};
    GetObjectW(reinterpret_cast<HFONT>(label.SendMessage(WM_GETFONT)), sizeof built, &built);
    EXPECT_EQ(700, built.lfWeight);  // the window's own font is left alone
    LOGFONTW own = {};
    label.m_font.GetLogFont(&own);
    EXPECT_EQ(400, own.lfWeight);
    EXPECT_STREQ(L"Arial", own.lfFaceName);
    EXPECT_TRUE(label.GetExStyle() & WS_EX_TRANSPARENT);

    // Style setters.
    label.SetStaticEdge(TRUE)->SetThinBorder(TRUE);
    EXPECT_TRUE(label.GetExStyle() & WS_EX_STATICEDGE);
    EXPECT_TRUE(label.GetStyle() & WS_BORDER);
    label.SetStaticEdge(FALSE)->SetThinBorder(FALSE)->SetSeeThrough(FALSE);
    EXPECT_FALSE(label.GetExStyle() & WS_EX_STATICEDGE);
    EXPECT_FALSE(label.GetStyle() & WS_BORDER);
    EXPECT_FALSE(label.m_bSeeThrough);
    EXPECT_TRUE(label.GetExStyle() & WS_EX_TRANSPARENT);  // added, never removed
}

TEST_F(LabelTest, PointSizeAfterTheFaceAt96Dpi)
{
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    if (dpi != 96)
        GTEST_SKIP() << "screen has " << dpi << " pixels per inch";
    TestLabel label;
    MakeLabel(label, L"x");
    const int sizes[][2] = {{11, -14}, {10, -13}, {9, -12}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(s[0]);
        label.SetFaceName(L"Arial", ANSI_CHARSET)->SetPointSize(s[0]);
        EXPECT_EQ(s[1], label.m_lf.lfHeight);
        EXPECT_EQ(0, label.m_lf.lfWidth);
    }
    // The conversion itself, at another density.
    EXPECT_EQ(-18, MakePointFontLogFont(110, L"Arial", 120).lfHeight);
    EXPECT_EQ(-15, MakePointFontLogFont(90, L"Arial", 120).lfHeight);
    EXPECT_EQ(DEFAULT_CHARSET, MakePointFontLogFont(90, L"Arial", 96).lfCharSet);
}

TEST_F(LabelTest, OverLongFaceIsCutAt31Characters)
{
    TestLabel label;
    MakeLabel(label, L"x");
    const wchar_t* longFace = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";  // 40
    label.SetFaceName(longFace, DEFAULT_CHARSET);
    EXPECT_EQ(31, lstrlenW(label.m_lf.lfFaceName));
    EXPECT_EQ(0, wcsncmp(longFace, label.m_lf.lfFaceName, 31));
    EXPECT_EQ(31, lstrlenW(MakePointFontLogFont(90, longFace, 96).lfFaceName));
}

TEST_F(LabelTest, SeeThroughDrawsOnlyTheTextDoubleBufferedFillsFirst)
{
    TestLabel label;
    MakeLabel(label, L"IIII");
    SharpFont(label);
    const COLORREF text = RGB(250, 250, 0), fill = RGB(0, 0, 160), under = RGB(1, 2, 3);
    label.SetForeColor(text)->SetSeeThrough(TRUE);
    auto seeThrough = Paint(label, under);
    size_t nText = seeThrough->PixelsOf(text).size();
    ASSERT_GT(nText, 0u);
    EXPECT_EQ(static_cast<size_t>(seeThrough->w() * seeThrough->h()) - nText, seeThrough->PixelsOf(under).size());

    label.SetSeeThrough(FALSE)->SetFillColors(fill, 0, FALSE);
    auto buffered = Paint(label, under);
    EXPECT_TRUE(buffered->PixelsOf(under).empty());
    EXPECT_EQ(nText, buffered->PixelsOf(text).size());
    EXPECT_EQ(static_cast<size_t>(buffered->w() * buffered->h()) - nText, buffered->PixelsOf(fill).size());
    // Without fill colours the button-face brush fills.
    TestLabel plain;
    MakeLabel(plain, L"");
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Paint(plain)->At(0, 0));
}

TEST_F(LabelTest, GradientFillIsPaintedInBands)
{
    TestLabel label;
    MakeLabel(label, L"", SS_LEFT, 250);
    label.SetFillColors(0x000000, 0x0000FF, TRUE);
    EXPECT_EQ(nullptr, label.m_hbrFill);
    auto canvas = Paint(label);
    std::vector<GradientBand> bands = GradientBands(RECT{0, 0, 250, 30}, 0, 0xFF, 100);
    for (size_t i = 0; i < bands.size(); ++i) {
        SCOPED_TRACE(i);
        int last = i + 1 == bands.size() ? 249 : bands[i].x2 - 1;  // the next band overlaps x2
        for (int x = bands[i].x; x <= last; ++x) {
            ASSERT_EQ(bands[i].cr, canvas->At(x, 0));
            ASSERT_EQ(bands[i].cr, canvas->At(x, 29));
        }
    }

    TestLabel narrow;
    HWND h = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 50, 60, 10, parent, NULL, NULL, NULL);
    ASSERT_TRUE(narrow.SubclassWindow(h));
    narrow.SetFillColors(0x000000, 0x0000FF, TRUE);
    auto small = Paint(narrow);
    std::vector<GradientBand> b60 = GradientBands(RECT{0, 0, 60, 10}, 0, 0xFF, 100);
    for (int x = 0; x < 60; ++x)
        ASSERT_EQ(b60[x].cr, small->At(x, 5)) << x;
}

TEST_F(LabelTest, EmbossedCopyLiesOnTopOffsetByOnePixel)
{
    TestLabel label;
    MakeLabel(label, L"IIII");
    SharpFont(label);
    const COLORREF text = RGB(250, 250, 0), emboss = RGB(255, 255, 255), fill = RGB(0, 0, 160);
    label.SetForeColor(text)->SetFillColors(fill, 0, FALSE)->SetEmbossColor(emboss);
    std::vector<POINT> plain = Paint(label)->PixelsOf(text);
    ASSERT_FALSE(plain.empty());
    for (BOOL raised : {TRUE, FALSE}) {
        SCOPED_TRACE(raised ? "raised" : "sunken");
        label.SetEmbossed(TRUE, raised);
        auto canvas = Paint(label);
        const int d = raised ? 1 : -1;
        for (const POINT& p : plain) {
            int x = p.x + d, y = p.y + d;
            if (x >= 0 && y >= 0 && x < canvas->w() && y < canvas->h()) {
                ASSERT_EQ(emboss, canvas->At(x, y)) << x << "," << y;
            }
        }
        // Nothing else turned the emboss colour, and every text pixel is text or emboss.
        size_t nShifted = std::count_if(plain.begin(), plain.end(), [&](const POINT& p) {
            int x = p.x + d, y = p.y + d;
            return x >= 0 && y >= 0 && x < canvas->w() && y < canvas->h();
        });
        EXPECT_EQ(nShifted, canvas->PixelsOf(emboss).size());
        for (const POINT& p : plain) {
            EXPECT_TRUE(canvas->At(p.x, p.y) == text || canvas->At(p.x, p.y) == emboss);
        }
    }
}

TEST_F(LabelTest, LinkModesSetNotifyStyleAndNotifyModeSendsLabelClick)
{
    TestLabel label;
    MakeLabel(label, L"Home page");
    label.SetUrlLink(TRUE, TRUE);
    EXPECT_EQ(1, label.m_nLinkMode);
    EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ASSERT_EQ(1u, parent.clicks.size());
    EXPECT_EQ(label.m_hWnd, parent.clicks[0].hwndFrom);
    EXPECT_EQ(301u, parent.clicks[0].idFrom);
    EXPECT_EQ(NM_LABELCLICK, parent.clicks[0].code);

    // Only with SS_NOTIFY does the label take clicks; without, they go to the parent.
    EXPECT_EQ(HTCLIENT, SendMessageW(label, WM_NCHITTEST, 0, MAKELPARAM(25, 15)));

    label.SetMailtoLink(TRUE, FALSE);
    EXPECT_EQ(2, label.m_nLinkMode);
    EXPECT_FALSE(label.m_bNotifyParent);
    label.SetUrlLink(FALSE, FALSE);  // switches the mail link off too
    EXPECT_EQ(0, label.m_nLinkMode);
    EXPECT_FALSE(label.GetStyle() & SS_NOTIFY);
    EXPECT_EQ(HTTRANSPARENT, SendMessageW(label, WM_NCHITTEST, 0, MAKELPARAM(25, 15)));
}

TEST_F(LabelTest, TextBlinkStartsHiddenAndFlipsWithTheTimer)
{
    TestLabel label;
    MakeLabel(label, L"IIII");
    SharpFont(label);
    const COLORREF text = RGB(250, 250, 0), fill = RGB(0, 0, 160);
    label.SetForeColor(text)->SetFillColors(fill, 0, FALSE)->SetTextBlink(TRUE);
    EXPECT_EQ(1, label.m_nBlinkMode);
    EXPECT_TRUE(label.m_bTimerSet);
    EXPECT_FALSE(label.m_bBlinkOn);
    EXPECT_TRUE(Paint(label)->PixelsOf(text).empty());  // hidden in the fill colour

    skintest::PumpMessages(700);  // one 500 ms tick
    EXPECT_TRUE(label.m_bBlinkOn);
    EXPECT_FALSE(Paint(label)->PixelsOf(text).empty());
    SendMessageW(label, WM_TIMER, TIMER_BLINK, 0);
    EXPECT_FALSE(label.m_bBlinkOn);

    // With a gradient there is no fill brush: the hidden text is black.
    label.SetFillColors(RGB(0, 0, 160), RGB(0, 0, 161), TRUE);
    EXPECT_FALSE(Paint(label)->PixelsOf(RGB(0, 0, 0)).empty());

    label.SetTextBlink(FALSE);
    EXPECT_EQ(0, label.m_nBlinkMode);
    BOOL phase = label.m_bBlinkOn;
    skintest::PumpMessages(700);
    EXPECT_EQ(phase, label.m_bBlinkOn);  // the timer is gone
}

TEST_F(LabelTest, BackgroundBlinkAlternatesTheFillWithTheParentsBackground)
{
    TestLabel label;
    MakeLabel(label, L"");
    const COLORREF fill = RGB(0, 0, 160);
    label.SetFillColors(fill, 0, FALSE)->SetBackBlink(TRUE);
    EXPECT_EQ(2, label.m_nBlinkMode);
    EXPECT_FALSE(label.m_bBlinkOn);
    auto hidden = Paint(label);
    EXPECT_EQ(static_cast<size_t>(hidden->w() * hidden->h()), hidden->PixelsOf(LabelParent::kBackground).size());
    SendMessageW(label, WM_TIMER, TIMER_BLINK, 0);
    auto shown = Paint(label);
    EXPECT_EQ(static_cast<size_t>(shown->w() * shown->h()), shown->PixelsOf(fill).size());
    // Switching it off keeps the mode and the phase; only the timer stops.
    label.SetBackBlink(FALSE);
    EXPECT_EQ(2, label.m_nBlinkMode);
    EXPECT_TRUE(label.m_bBlinkOn);
}

// The window's own painting: WM_PAINT through the map into the paint DC.
TEST_F(LabelTest, PaintsThroughItsWindow)
{
    TestLabel label;
    MakeLabel(label, L"");
    label.SetFillColors(RGB(0, 0, 160), 0, FALSE);
    RedrawWindow(label, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(label);
    COLORREF c = GetPixel(dc, 5, 5);
    ReleaseDC(label, dc);
    EXPECT_EQ(RGB(0, 0, 160), c);
}

TEST_F(LabelTest, RotatedTextStartsAtTheCentreAndRunsUpwards)
{
    TestLabel label;
    MakeLabel(label, L"IIIIIIII", SS_LEFT, 60, 120);
    SharpFont(label);
    const COLORREF text = RGB(250, 250, 0);
    label.SetForeColor(text)->SetSeeThrough(TRUE)->SetRotation(90, TRUE);
    std::vector<POINT> pixels = Paint(label)->PixelsOf(text);
    ASSERT_FALSE(pixels.empty());
    RECT box = {1000, 1000, -1, -1};
    for (const POINT& p : pixels) {
        box.left = std::min<LONG>(box.left, p.x);
        box.top = std::min<LONG>(box.top, p.y);
        box.right = std::max<LONG>(box.right, p.x);
        box.bottom = std::max<LONG>(box.bottom, p.y);
    }
    EXPECT_GT(box.bottom - box.top, box.right - box.left);  // vertical
    EXPECT_LE(box.bottom, 60 + 1);                          // from the centre up
    EXPECT_LE(box.right, 30 + 4);                           // left of the baseline
}

}  // namespace
