// The skin bitmap: key-colour regions in scan and border mode, 1:1, scaled and
// sliced drawing, on real GDI bitmaps and memory DCs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "SkinTestIds.h"
#include "SkinTestSupport.h"
#include "skin/SkinBitmap.h"

using skintest::Canvas;
using skintest::Describe;
using skintest::MakeBitmap;
using skintest::RegionRects;

namespace {

const COLORREF K = RGB(255, 0, 255);  // the key of most cases
const COLORREF A = RGB(10, 20, 30);
const COLORREF B = RGB(200, 100, 50);

// A bitmap drawn from rows of letters: K key, '.' colour A, 'b' colour B.
HBITMAP FromRows(const std::vector<std::string>& rows)
{
    return MakeBitmap(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), [&](int x, int y) {
        char c = rows[y][x];
        return c == 'K' ? K : c == 'b' ? B : A;
    });
}

// The region built the slow, literal way: GetPixel on a memory DC, one
// CombineRgn per run (scan mode) or per visited key pixel (border mode), with the
// visit ranges unclipped.
HRGN LiteralRegion(HBITMAP bmp, COLORREF key, const RECT& keep)
{
    BITMAP bm;
    GetObjectW(bmp, sizeof bm, &bm);
    const int W = bm.bmWidth, H = bm.bmHeight;
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bmp);
    HRGN rgn;
    auto combine = [&](int l, int t, int r, int b, int mode) {
        HRGN tmp = CreateRectRgn(l, t, r, b);
        CombineRgn(rgn, rgn, tmp, mode);
        DeleteObject(tmp);
    };
    if (keep.left == 0 && keep.top == 0 && keep.right == 0 && keep.bottom == 0) {
        rgn = CreateRectRgn(0, 0, 0, 0);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W;) {
                int s = x;
                while (x < W && GetPixel(dc, x, y) != key)
                    ++x;
                if (x > s)
                    combine(s, y, x, y + 1, RGN_OR);
                ++x;
            }
    } else {
        rgn = CreateRectRgn(0, 0, W, H);
        auto visit = [&](int x, int y) {
            if (GetPixel(dc, x, y) == key)
                combine(x, y, x + 1, y + 1, RGN_XOR);
        };
        for (int x = 0; x <= keep.left - 1; ++x)
            for (int y = 0; y <= H; ++y)
                visit(x, y);
        for (int x = keep.left; x <= keep.right - 1; ++x) {
            for (int y = 0; y <= keep.top; ++y)
                visit(x, y);
            for (int y = keep.bottom; y <= H; ++y)
                visit(x, y);
        }
        if (keep.right <= W)
            for (int x = keep.right; x <= W; ++x)
                for (int y = 0; y <= H; ++y)
                    visit(x, y);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return rgn;
}

struct RegionCase {
    const char* name;
    std::vector<std::string> rows;
    COLORREF key;
    RECT keep;
    std::string expected;  // GetRegionData rectangles
};

TEST(SkinBitmapRegion, MatchesTheRuleRectangleByRectangle)
{
    const RegionCase cases[] = {
        {"4x1 K A K B", {"K.Kb"}, K, {0, 0, 0, 0}, "[1,0,2,1][3,0,4,1]"},
        {"rows without key: one run per row, joined", {"...", "..."}, K, {0, 0, 0, 0}, "[0,0,3,2]"},
        {"all key, scan", {"KKK", "KKK"}, K, {0, 0, 0, 0}, "(empty)"},
        {"no key, border", {"...", "..."}, K, {1, 1, 2, 2}, "[0,0,3,2]"},
        {"key pixel at x = 0 and at the row's end", {"K..K", "KK.."}, K, {0, 0, 0, 0}, "[1,0,3,1][2,1,4,2]"},
        // Scan and border mode differ on the same bitmap: the kept block survives.
        {"all key, border keeps x 1..2, y 2", {"KKKK", "KKKK", "KKKK", "KKKK"}, K, {1, 1, 3, 3}, "[1,2,3,3]"},
        // {0,0,1,0} is not all zero: border mode, and column 0 visits row 0 twice.
        {"keep {0,0,1,0} selects border mode", {"KK", "KK"}, K, {0, 0, 1, 0}, "[0,0,1,1]"},
        {"empty keep {3,3,3,3} is border mode", {"KKKK.", "K.KKK", "KKKKK", "KKKKK"}, K, {3, 3, 3, 3},
         "[4,0,5,1][1,1,2,2]"},
        {"keep.top == keep.bottom: that row stays", {"KKKKK", "KKKKK", "KKKKK", "KKKKK", "KKKKK"}, K,
         {1, 2, 4, 2}, "[1,2,4,3]"},
        {"keep.left > keep.right: those columns stay", {"KKKKK", "KKKKK", "KKKKK"}, K, {3, 1, 1, 2},
         "[1,0,3,3]"},
        {"keep.right > W skips the right columns", {"KKKK", "KKKK", "KKKK", "KKKK"}, K, {1, 1, 9, 3},
         "[1,2,4,3]"},
        {"key above 0xFFFFFF, scan", {"KbK", ".K."}, K | 0x01000000, {0, 0, 0, 0}, "[0,0,3,2]"},
        {"key above 0xFFFFFF, border", {"KbK", ".K."}, K | 0x01000000, {1, 0, 2, 1}, "[0,0,3,2]"},
    };
    for (const RegionCase& c : cases) {
        SCOPED_TRACE(c.name);
        CSkinBitmap skin;
        ASSERT_TRUE(skin.Attach(FromRows(c.rows)));
        HRGN rgn = skin.CreateRegion(c.key, &c.keep);
        ASSERT_NE(nullptr, rgn);
        EXPECT_EQ(rgn, static_cast<HRGN>(skin.m_rgn));
        EXPECT_EQ(c.expected, Describe(RegionRects(rgn)));
        HRGN literal = LiteralRegion(skin, c.key, c.keep);
        EXPECT_EQ(Describe(RegionRects(literal)), Describe(RegionRects(rgn)));
        EXPECT_TRUE(EqualRgn(literal, rgn));
        DeleteObject(literal);
    }
}

TEST(SkinBitmapRegion, ScanRunsAreTheRowRunsOfNonKeyPixels)
{
    const std::vector<std::string> rows = {"K.Kb", "....", "KKKK", "bKKb"};
    PixelReader read = [&](int x, int y) -> COLORREF {
        if (x < 0 || y < 0 || y >= 4 || x >= 4)
            return CLR_INVALID;
        return rows[y][x] == 'K' ? K : A;
    };
    EXPECT_EQ("[1,0,2,1][3,0,4,1][0,1,4,2][0,3,1,4][3,3,4,4]", Describe(ScanModeRuns(read, 4, 4, K)));
}

TEST(SkinBitmapRegion, BorderModeVisitsColumnByColumnInOrder)
{
    // 2 x 2 bitmap, keep {1, 0, 2, 1}: column 0 over rows 0..2, column 1 over rows
    // 0..0 then 1..2, then columns 2..2 over rows 0..2 (x = W and y = H included).
    std::string order;
    ForEachBorderModeVisit(2, 2, RECT{1, 0, 2, 1}, [&](int x, int y) {
        order += std::to_string(x) + std::to_string(y) + " ";
    });
    EXPECT_EQ("00 01 02 10 11 12 20 21 22 ", order);

    // Twice visited: row keep.top == keep.bottom in the middle columns, and the
    // columns keep.right .. keep.left-1 when keep.left > keep.right.
    std::map<std::pair<int, int>, int> visits;
    ForEachBorderModeVisit(3, 3, RECT{1, 1, 2, 1}, [&](int x, int y) { ++visits[{x, y}]; });
    EXPECT_EQ(2, (visits[{1, 1}]));
    EXPECT_EQ(1, (visits[{1, 0}]));
    visits.clear();
    ForEachBorderModeVisit(4, 2, RECT{3, 0, 1, 2}, [&](int x, int y) { ++visits[{x, y}]; });
    EXPECT_EQ(1, (visits[{0, 0}]));
    EXPECT_EQ(2, (visits[{1, 0}]));
    EXPECT_EQ(2, (visits[{2, 1}]));
    EXPECT_EQ(1, (visits[{3, 0}]));
}

TEST(SkinBitmapRegion, KeyMinusOneReturnsTheHeldRegionUnchanged)
{
    CSkinBitmap skin;
    ASSERT_TRUE(skin.Attach(FromRows({"K.", ".."})));
    EXPECT_EQ(nullptr, skin.CreateRegion(CLR_INVALID, NULL));
    RECT zero = {0, 0, 0, 0};
    HRGN built = skin.CreateRegion(K, &zero);
    std::string before = Describe(RegionRects(built));
    EXPECT_EQ(built, skin.CreateRegion(CLR_INVALID, &zero));
    EXPECT_EQ(before, Describe(RegionRects(built)));
    // A rebuild deletes the old region and holds a new one.
    HRGN rebuilt = skin.CreateRegion(A, &zero);
    EXPECT_EQ("[0,0,1,1]", Describe(RegionRects(rebuilt)));
}

TEST(SkinBitmapRegion, EmptyBitmapIsZeroByZeroWithAnEmptyRegion)
{
    CSkinBitmap skin;
    EXPECT_EQ(CSize(0, 0), skin.GetSize());
    RECT zero = {0, 0, 0, 0}, keep = {1, 1, 2, 2};
    EXPECT_EQ("(empty)", Describe(RegionRects(skin.CreateRegion(K, &zero))));
    EXPECT_EQ("(empty)", Describe(RegionRects(skin.CreateRegion(K, &keep))));
    CSkinBitmap missing(MAKEINTRESOURCEW(IDB_T_MISSING));
    EXPECT_EQ(nullptr, missing.GetSafeHandle());
    CSkinBitmap loaded(MAKEINTRESOURCEW(IDB_T_PUSH_NORMAL));
    EXPECT_EQ(CSize(40, 20), loaded.GetSize());
}

// The wizard's 584 x 411 background: the one-GetDIBits read gives the region the
// per-pixel GetPixel read gives; both are timed.
TEST(SkinBitmapRegion, OneGetDIBitsEqualsGetPixelOnTheBackground)
{
    CSkinBitmap skin(MAKEINTRESOURCEW(IDB_T_BACKGROUND));
    ASSERT_EQ(CSize(584, 411), skin.GetSize());
    const COLORREF key = RGB(255, 0, 255);

    // Each read three times; the quickest run counts (the machine may be busy).
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    auto timed = [&](const std::function<void()>& run) {
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            run();
            QueryPerformanceCounter(&b);
            best = std::min(best, 1000.0 * (b.QuadPart - a.QuadPart) / f.QuadPart);
        }
        return best;
    };
    std::vector<RECT> byGetPixel, byDib;
    double msGetPixel = timed([&] {
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, skin);
        byGetPixel = ScanModeRuns([dc](int x, int y) { return GetPixel(dc, x, y); }, 584, 411, key);
        SelectObject(dc, old);
        DeleteDC(dc);
    });
    double msDib = timed([&] {
        BitmapPixels pixels(skin);
        byDib = ScanModeRuns(pixels.Reader(), 584, 411, key);
    });
    RECT zero = {0, 0, 0, 0};
    HRGN rgn = NULL;
    double msRegion = timed([&] { rgn = skin.CreateRegion(key, &zero); });
    printf("584x411 scan: GetPixel %.1f ms, one GetDIBits %.1f ms, whole CreateRegion %.1f ms, %u runs\n",
           msGetPixel, msDib, msRegion, static_cast<unsigned>(byDib.size()));
    RecordProperty("GetPixelMs", static_cast<int>(msGetPixel));
    RecordProperty("GetDIBitsMs", static_cast<int>(msDib));

    EXPECT_EQ(Describe(byGetPixel), Describe(byDib));
    HRGN literal = LiteralRegion(skin, key, zero);
    EXPECT_EQ(Describe(RegionRects(literal)), Describe(RegionRects(rgn)));
    DeleteObject(literal);
    // Border mode over the same pixels, with the middle kept.
    RECT keep = {20, 20, 560, 390};
    HRGN border = skin.CreateRegion(key, &keep);
    HRGN literalBorder = LiteralRegion(skin, key, keep);
    EXPECT_TRUE(EqualRgn(literalBorder, border));
    DeleteObject(literalBorder);
}

// A pattern where every pixel differs from its neighbours.
COLORREF Pattern(int x, int y) { return RGB(x * 13 % 256, y * 17 % 256, (x * y + 7) % 256); }

TEST(SkinBitmapDraw, DrawCopiesOneToOneAtThePoint)
{
    CSkinBitmap skin;
    ASSERT_TRUE(skin.Attach(MakeBitmap(7, 5, Pattern)));
    Canvas canvas(20, 12);
    EXPECT_TRUE(skin.Draw(canvas.dc(), 3, 2));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            bool inside = x >= 3 && x < 10 && y >= 2 && y < 7;
            ASSERT_EQ(inside ? Pattern(x - 3, y - 2) : RGB(255, 255, 255), canvas.At(x, y)) << x << "," << y;
        }
}

TEST(SkinBitmapDraw, EmptyBitmapDrawsNothing)
{
    CSkinBitmap skin;
    Canvas canvas(10, 10, RGB(1, 2, 3));
    RECT rc = {0, 0, 10, 10};
    SIZE border = {1, 1};
    EXPECT_FALSE(skin.Draw(canvas.dc(), 0, 0));
    EXPECT_TRUE(skin.DrawStretched(canvas.dc(), &rc));
    EXPECT_FALSE(skin.DrawSliced(canvas.dc(), &rc, &border));
    EXPECT_EQ(100u, canvas.PixelsOf(RGB(1, 2, 3)).size());
}

TEST(SkinBitmapDraw, DrawStretchedScalesTheWholeBitmap)
{
    CSkinBitmap skin;
    ASSERT_TRUE(skin.Attach(MakeBitmap(4, 3, Pattern)));
    Canvas canvas(12, 10);
    RECT rc = {1, 2, 9, 8};  // twice the size
    EXPECT_TRUE(skin.DrawStretched(canvas.dc(), &rc));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            bool inside = x >= 1 && x < 9 && y >= 2 && y < 8;
            ASSERT_EQ(inside ? Pattern((x - 1) / 2, (y - 2) / 2) : RGB(255, 255, 255), canvas.At(x, y))
                << x << "," << y;
        }
}

TEST(SkinBitmapDraw, SlicedTransferTable)
{
    // 20 x 16 bitmap into 30 x 24 with borders 4 x 3.
    std::vector<SlicedTransfer> t = SlicedTransfers(SIZE{20, 16}, RECT{5, 5, 35, 29}, SIZE{4, 3});
    ASSERT_EQ(6u, t.size());
    const int expected[6][9] = {
        {0, 0, 0, 4, 16, 0, 0, 4, 16},     {1, 4, 0, 22, 16, 4, 0, 12, 16}, {0, 26, 0, 4, 16, 16, 0, 4, 16},
        {0, 0, 0, 30, 3, 0, 0, 30, 3},     {1, 0, 3, 30, 18, 0, 3, 30, 10}, {0, 0, 21, 30, 3, 0, 13, 30, 3},
    };
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i + 1);
        const SlicedTransfer& s = t[i];
        int got[9] = {s.bScale, s.xDst, s.yDst, s.cxDst, s.cyDst, s.xSrc, s.ySrc, s.cxSrc, s.cySrc};
        for (int j = 0; j < 9; ++j)
            EXPECT_EQ(expected[i][j], got[j]) << "field " << j;
    }
}

TEST(SkinBitmapDraw, SlicedGuardRefusesWhatIsNotMoreThanTwiceTheBorder)
{
    struct Case {
        int W, H, DW, DH;
        bool drawn;
    } cases[] = {
        {20, 20, 10, 20, false},  // 10 is not more than 10
        {20, 20, 20, 10, false},
        {10, 20, 30, 30, false},
        {20, 10, 30, 30, false},
        {11, 11, 11, 11, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.W << "x" << c.H << " into " << c.DW << "x" << c.DH);
        CSkinBitmap skin;
        ASSERT_TRUE(skin.Attach(MakeBitmap(c.W, c.H, Pattern)));
        Canvas canvas(40, 40, RGB(1, 2, 3));
        RECT rc = {0, 0, c.DW, c.DH};
        SIZE border = {5, 5};
        EXPECT_EQ(c.drawn, skin.DrawSliced(canvas.dc(), &rc, &border) != FALSE);
        EXPECT_EQ(c.drawn, canvas.PixelsOf(RGB(1, 2, 3)).size() < 1600u);
        EXPECT_TRUE(SlicedTransfers(SIZE{c.W, c.H}, rc, border).empty() != c.drawn);
    }
}

TEST(SkinBitmapDraw, SlicedKeepsBordersAndSameSizeEqualsTheOneToOneCopy)
{
    CSkinBitmap skin;
    ASSERT_TRUE(skin.Attach(MakeBitmap(16, 14, Pattern)));
    SIZE border = {5, 5};

    Canvas sliced(24, 22), copied(24, 22);
    RECT same = {2, 3, 18, 17};
    EXPECT_TRUE(skin.DrawSliced(sliced.dc(), &same, &border));
    EXPECT_TRUE(skin.Draw(copied.dc(), 2, 3));
    EXPECT_EQ(0, sliced.DiffCount(copied));

    // Larger: the four 5 x 5 corners are the bitmap's own.
    Canvas big(40, 30);
    RECT rc = {0, 0, 40, 30};
    EXPECT_TRUE(skin.DrawSliced(big.dc(), &rc, &border));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            ASSERT_EQ(Pattern(x, y), big.At(x, y));
            ASSERT_EQ(Pattern(11 + x, y), big.At(35 + x, y));
            ASSERT_EQ(Pattern(x, 9 + y), big.At(x, 25 + y));
            ASSERT_EQ(Pattern(11 + x, 9 + y), big.At(35 + x, 25 + y));
        }
}

TEST(SkinBitmapRegion, CopyRegionIsIndependentOfTheOriginal)
{
    HRGN a = CreateRectRgn(1, 2, 3, 4);
    HRGN copy = CopyRegion(a);
    EXPECT_NE(a, copy);
    EXPECT_TRUE(EqualRgn(a, copy));
    DeleteObject(a);
    RECT box;
    EXPECT_EQ(SIMPLEREGION, GetRgnBox(copy, &box));
    DeleteObject(copy);
    EXPECT_EQ(nullptr, CopyRegion(NULL));
}

}  // namespace
