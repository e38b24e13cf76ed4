// The window shape's row runs, from small pixel pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wizard/WindowShape.h"

namespace {

// Rows of a picture: '#' key colour, anything else a face pixel.
std::vector<RECT> RunsOf(const std::vector<std::string>& rows)
{
    int h = static_cast<int>(rows.size());
    int w = h ? static_cast<int>(rows[0].size()) : 0;
    return RowRunsWithoutKey(w, h, [&](int x, int y) {
        return rows[y][x] == '#' ? kShapeKeyColor : RGB(10, 20, 30);
    });
}

std::string Describe(const std::vector<RECT>& runs)
{
    std::string s;
    for (const RECT& r : runs)
        s += "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
             std::to_string(r.bottom) + ")";
    return s;
}

TEST(WindowShape, RowRuns)
{
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        std::string runs;
    };
    const Case cases[] = {
        {"no key pixels: one run per row", {"....", "...."}, "(0,0-4,1)(0,1-4,2)"},
        {"key at the row's start", {"#..."}, "(1,0-4,1)"},
        {"key at the row's end", {"...#"}, "(0,0-3,1)"},
        {"two keys side by side leave no empty run", {".##."}, "(0,0-1,1)(3,0-4,1)"},
        {"a row of key pixels only gives nothing", {"###", "...", "###"}, "(0,1-3,2)"},
        {"rounded corners", {"##..##", "#....#", "......"}, "(2,0-4,1)(1,1-5,2)(0,2-6,3)"},
        {"single pixels", {".#.#."}, "(0,0-1,1)(2,0-3,1)(4,0-5,1)"},
        {"empty picture", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.runs, Describe(RunsOf(c.rows)));
    }
}

TEST(WindowShape, RegionFromRunsEqualsJoinedRuns)
{
    std::vector<std::string> rows = {"###......###", "#..........#", "............", "....##......",
                                     "............", "##........##"};
    std::vector<RECT> runs = RunsOf(rows);
    HRGN joined = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : runs) {
        HRGN one = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(joined, joined, one, RGN_OR);
        DeleteObject(one);
    }
    HRGN made = RegionFromRects(runs);
    ASSERT_TRUE(made != NULL);
    EXPECT_TRUE(EqualRgn(made, joined));
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(rows[y][x] != '#', PtInRegion(made, x, y) != 0);
        }
    DeleteObject(made);
    DeleteObject(joined);

    HRGN empty = RegionFromRects({});
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(empty, &box));
    DeleteObject(empty);
}

}  // namespace
