// Times the wizard's window-shape computation for its background bitmap (resource
// IDB_BACKGROUND, linked into this program), without a window:
//   bench_shape <runs>
// Prints one line per run and way, in milliseconds:
//   shape_getpixel   GetPixel reads on a memory DC, row runs and one region, the way
//                    the wizard's dialog computes its shape
//   shape_skin       CSkinBitmap::CreateRegion in scan mode (one GetDIBits read)
// and once "shape_rects <n>", the number of row runs of the bitmap.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "res/resource.h"
#include "skin/SkinBitmap.h"
#include "wizard/WindowShape.h"

static double NowMs()
{
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

int wmain(int argc, wchar_t** argv)
{
    int runs = argc > 1 ? _wtoi(argv[1]) : 15;
    HINSTANCE self = GetModuleHandleW(NULL);
    HBITMAP background = LoadBitmapW(self, MAKEINTRESOURCEW(IDB_BACKGROUND));
    BITMAP bm = {};
    if (!background || !GetObjectW(background, sizeof bm, &bm)) {
        std::fprintf(stderr, "bench_shape: no background bitmap\n");
        return 1;
    }
    std::printf("shape_size %ldx%ld\n", bm.bmWidth, bm.bmHeight);
    for (int i = -1; i < runs; ++i) {  // run -1 warms the caches and is not printed
        double t0 = NowMs();
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, background);
        std::vector<RECT> runsOfRows =
            RowRunsWithoutKey(bm.bmWidth, bm.bmHeight, [dc](int x, int y) { return GetPixel(dc, x, y); });
        SelectObject(dc, old);
        DeleteDC(dc);
        HRGN rgn = RegionFromRects(runsOfRows);
        double t1 = NowMs();
        if (rgn)
            DeleteObject(rgn);
        if (i == -1)
            std::printf("shape_rects %u\n", static_cast<unsigned>(runsOfRows.size()));
        else
            std::printf("shape_getpixel %.3f\n", t1 - t0);
    }
    for (int i = -1; i < runs; ++i) {
        CSkinBitmap skin;
        skin.LoadBitmap(self, MAKEINTRESOURCEW(IDB_BACKGROUND));
        RECT keep = {0, 0, 0, 0};
        double t0 = NowMs();
        HRGN rgn = skin.CreateRegion(kShapeKeyColor, &keep);
        double t1 = NowMs();
        if (!rgn) {
            std::fprintf(stderr, "bench_shape: CreateRegion gave no region\n");
            return 1;
        }
        if (i >= 0)
            std::printf("shape_skin %.3f\n", t1 - t0);
    }
    DeleteObject(background);
    return 0;
}
