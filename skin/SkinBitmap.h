// CSkinBitmap: one bitmap of the skin, drawn 1:1, scaled, or scaled with fixed
// borders, and turned into a window region by a key colour.
//
// The rules are kept apart from GDI as small functions over the pixel grid
// (ScanModeRuns, ForEachBorderModeVisit, BorderModeRuns, SlicedTransfers), so
// tests can check them against any pixel source.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "fw/Gdi.h"

// The colour at (x, y), CLR_INVALID for a point outside the bitmap.
typedef std::function<COLORREF(int x, int y)> PixelReader;

// Scan mode (keep rectangle all zero): every maximal run of non-key pixels of a
// row as a one-pixel-high rectangle, rows top to bottom, runs left to right.
std::vector<RECT> ScanModeRuns(const PixelReader& read, int nWidth, int nHeight, COLORREF clrKey);

// Border mode: calls visit(x, y) for every pixel visited, in the order of visiting:
// the columns left of keep over rows 0..H; the columns of keep over rows
// 0..keep.top and keep.bottom..H; when keep.right <= W, the columns keep.right..W
// over rows 0..H (every range includes both ends; an inverted range is empty).
void ForEachBorderModeVisit(int nWidth, int nHeight, const RECT& rcKeep, const std::function<void(int, int)>& visit);

// Border mode's result as row runs: the whole bitmap, with every visited key pixel
// toggled once per visit (a pixel visited twice stays in).
std::vector<RECT> BorderModeRuns(const PixelReader& read, int nWidth, int nHeight, COLORREF clrKey,
                                 const RECT& rcKeep);

// One transfer of DrawSliced: a copy or a scaled copy, destination and source.
struct SlicedTransfer {
    bool bScale;
    int xDst, yDst, cxDst, cyDst;
    int xSrc, ySrc, cxSrc, cySrc;
};

// The six transfers of DrawSliced (three columns from the bitmap into the first
// intermediate bitmap, three rows from it into the second), or an empty list when
// the guard fails: the destination and the bitmap must both be more than twice
// the border in each direction.
std::vector<SlicedTransfer> SlicedTransfers(SIZE bitmap, const RECT& rcDest, SIZE border);

// A new region with the union of the rectangles; the caller owns it.
HRGN CreateRegionFromRuns(const std::vector<RECT>& runs);

// A copy of hRgn that the caller owns (NULL when hRgn is NULL).
HRGN CopyRegion(HRGN hRgn);

// Reads every pixel of a bitmap in one GetDIBits call (32 bits, top-down) and
// answers as GetPixel on a memory DC holding the bitmap would: the colour inside,
// CLR_INVALID outside. Bitmaps of fewer than 24 bits per pixel are read with
// GetPixel instead, where the two could round colours differently.
class BitmapPixels {
public:
    explicit BitmapPixels(HBITMAP hBitmap);
    ~BitmapPixels();
    BitmapPixels(const BitmapPixels&) = delete;
    BitmapPixels& operator=(const BitmapPixels&) = delete;

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    COLORREF Get(int x, int y) const;
    PixelReader Reader() const
    {
        return [this](int x, int y) { return Get(x, y); };
    }

private:
    int m_nWidth;
    int m_nHeight;
    std::vector<DWORD> m_bits;  // 0x00RRGGBB per pixel, rows top to bottom
    HDC m_hMemDC;               // only for the GetPixel fallback
    HGDIOBJ m_hOldBitmap;
};

class CSkinBitmap : public CBitmap {
public:
    // Loads resource pszName from the application's resources when it is given; a
    // failed load leaves the object empty.
    explicit CSkinBitmap(const WCHAR* pszName = NULL);
    ~CSkinBitmap() override;

    // Width and height in pixels; 0 x 0 while the object is empty.
    CSize GetSize() const;
    // 1:1 copy at (x, y); the copy's result, FALSE for an empty object.
    BOOL Draw(HDC hDC, int x, int y);
    // The whole bitmap scaled into *pRect; always TRUE (nothing drawn when empty).
    BOOL DrawStretched(HDC hDC, const RECT* pRect);
    // Borders of pBorder's size kept, the middle scaled; FALSE and nothing drawn
    // when the guard of SlicedTransfers fails.
    BOOL DrawSliced(HDC hDC, const RECT* pRect, const SIZE* pBorder);
    // Key (COLORREF)-1: the region built last (or NULL). Any other key: rebuilds
    // the region, in scan mode for a keep rectangle {0,0,0,0}, else in border mode.
    // The region stays the bitmap's: a window that is to own it gets a CopyRegion.
    HRGN CreateRegion(COLORREF clrKey, const RECT* pKeep);

    CRgn m_rgn;
};
