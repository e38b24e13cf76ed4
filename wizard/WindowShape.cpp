#include "wizard/WindowShape.h"

std::vector<RECT> RowRunsWithoutKey(int width, int height, const std::function<COLORREF(int x, int y)>& pixelAt,
                                    COLORREF key)
{
    std::vector<RECT> runs;
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            int start = x;
            while (x < width && pixelAt(x, y) != key)
                ++x;
            if (x > start)
                runs.push_back(RECT{start, y, x, y + 1});
            ++x;  // the key pixel that ended the run, or past the row's end
        }
    }
    return runs;
}

HRGN RegionFromRects(const std::vector<RECT>& rects)
{
    if (rects.empty())
        return CreateRectRgn(0, 0, 0, 0);
    // One call from the whole list instead of a join per run: the same region.
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATA* rd = reinterpret_cast<RGNDATA*>(data.data());
    rd->rdh.dwSize = sizeof(RGNDATAHEADER);
    rd->rdh.iType = RDH_RECTANGLES;
    rd->rdh.nCount = static_cast<DWORD>(rects.size());
    rd->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    RECT bound = {0, 0, 0, 0};
    for (size_t i = 0; i < rects.size(); ++i) {
        const RECT& r = rects[i];
        if (i == 0) {
            bound = r;
        } else {
            bound.left = r.left < bound.left ? r.left : bound.left;
            bound.top = r.top < bound.top ? r.top : bound.top;
            bound.right = r.right > bound.right ? r.right : bound.right;
            bound.bottom = r.bottom > bound.bottom ? r.bottom : bound.bottom;
        }
    }
    rd->rdh.rcBound = bound;
    memcpy(rd->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return ExtCreateRegion(NULL, static_cast<DWORD>(data.size()), rd);
}
