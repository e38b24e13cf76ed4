#include "skin/SkinBitmap.h"

#include <algorithm>

#include "fw/App.h"

std::vector<RECT> ScanModeRuns(const PixelReader& read, int nWidth, int nHeight, COLORREF clrKey)
{
    std::vector<RECT> runs;
    for (int y = 0; y < nHeight; ++y) {
        int x = 0;
        while (x < nWidth) {
            int start = x;
            while (x < nWidth && read(x, y) != clrKey)
                ++x;
            if (x > start)
                runs.push_back(RECT{start, y, x, y + 1});
            ++x;  // past the key pixel that ended the run
        }
    }
    return runs;
}

void ForEachBorderModeVisit(int nWidth, int nHeight, const RECT& rcKeep, const std::function<void(int, int)>& visit)
{
    // Ranges are clipped to -..W and -..H: coordinates further out lie outside the
    // bitmap as x = W or y = H do, read as CLR_INVALID and never match, so leaving
    // them out changes nothing but the time a huge keep rectangle would take.
    auto rows = [&](int x, int yFirst, int yLast) {
        for (int y = std::max(yFirst, 0); y <= std::min(yLast, nHeight); ++y)
            visit(x, y);
    };
    const int left = rcKeep.left, top = rcKeep.top, right = rcKeep.right, bottom = rcKeep.bottom;
    for (int x = 0; x <= std::min(left - 1, nWidth); ++x)
        rows(x, 0, nHeight);
    for (int x = std::max(left, 0); x <= std::min(right - 1, nWidth); ++x) {
        rows(x, 0, top);
        rows(x, bottom, nHeight);
    }
    if (right <= nWidth)
        for (int x = std::max(right, 0); x <= nWidth; ++x)
            rows(x, 0, nHeight);
}

std::vector<RECT> BorderModeRuns(const PixelReader& read, int nWidth, int nHeight, COLORREF clrKey,
                                 const RECT& rcKeep)
{
    // Toggling a pixel out of the whole rectangle and back in leaves it in, so
    // only the parity of the matching visits counts.
    std::vector<unsigned char> out(static_cast<size_t>(std::max(nWidth, 0)) * std::max(nHeight, 0), 0);
    ForEachBorderModeVisit(nWidth, nHeight, rcKeep, [&](int x, int y) {
        if (x >= 0 && x < nWidth && y >= 0 && y < nHeight && read(x, y) == clrKey)
            out[static_cast<size_t>(y) * nWidth + x] ^= 1;
    });
    std::vector<RECT> runs;
    for (int y = 0; y < nHeight; ++y) {
        const unsigned char* row = &out[static_cast<size_t>(y) * nWidth];
        int x = 0;
        while (x < nWidth) {
            while (x < nWidth && row[x])
                ++x;
            int start = x;
            while (x < nWidth && !row[x])
                ++x;
            if (x > start)
                runs.push_back(RECT{start, y, x, y + 1});
        }
    }
    return runs;
}

std::vector<SlicedTransfer> SlicedTransfers(SIZE bitmap, const RECT& rcDest, SIZE border)
{
    const int W = bitmap.cx, H = bitmap.cy;
    const int DW = rcDest.right - rcDest.left, DH = rcDest.bottom - rcDest.top;
    const int cx = border.cx, cy = border.cy;
    if (!(DW > 2 * cx && DH > 2 * cy && W > 2 * cx && H > 2 * cy))
        return {};
    return {
        {false, 0, 0, cx, H, 0, 0, cx, H},
        {true, cx, 0, DW - 2 * cx, H, cx, 0, W - 2 * cx, H},
        {false, DW - cx, 0, cx, H, W - cx, 0, cx, H},
        {false, 0, 0, DW, cy, 0, 0, DW, cy},
        {true, 0, cy, DW, DH - 2 * cy, 0, cy, DW, H - 2 * cy},
        {false, 0, DH - cy, DW, cy, 0, H - cy, DW, cy},
    };
}

HRGN CreateRegionFromRuns(const std::vector<RECT>& runs)
{
    if (runs.empty())
        return ::CreateRectRgn(0, 0, 0, 0);
    // One call over the whole list instead of one union per run.
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    RGNDATA* pData = reinterpret_cast<RGNDATA*>(data.data());
    pData->rdh.dwSize = sizeof(RGNDATAHEADER);
    pData->rdh.iType = RDH_RECTANGLES;
    pData->rdh.nCount = static_cast<DWORD>(runs.size());
    pData->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    RECT bound = runs[0];
    for (const RECT& r : runs) {
        bound.left = std::min(bound.left, r.left);
        bound.top = std::min(bound.top, r.top);
        bound.right = std::max(bound.right, r.right);
        bound.bottom = std::max(bound.bottom, r.bottom);
    }
    pData->rdh.rcBound = bound;
    std::copy(runs.begin(), runs.end(), reinterpret_cast<RECT*>(pData->Buffer));
    return ExtCreateRegion(NULL, static_cast<DWORD>(data.size()), pData);
}

HRGN CopyRegion(HRGN hRgn)
{
    if (!hRgn)
        return NULL;
    HRGN hCopy = ::CreateRectRgn(0, 0, 0, 0);
    ::CombineRgn(hCopy, hRgn, NULL, RGN_COPY);
    return hCopy;
}

BitmapPixels::BitmapPixels(HBITMAP hBitmap) : m_nWidth(0), m_nHeight(0), m_hMemDC(NULL), m_hOldBitmap(NULL)
{
    BITMAP bm = {};
    if (!hBitmap || !::GetObjectW(hBitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return;
    m_nWidth = bm.bmWidth;
    m_nHeight = bm.bmHeight;
    m_hMemDC = ::CreateCompatibleDC(NULL);
    if (bm.bmBitsPixel >= 24) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = m_nWidth;
        bi.bmiHeader.biHeight = -m_nHeight;  // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        m_bits.resize(static_cast<size_t>(m_nWidth) * m_nHeight);
        if (GetDIBits(m_hMemDC, hBitmap, 0, m_nHeight, m_bits.data(), &bi, DIB_RGB_COLORS) == m_nHeight) {
            ::DeleteDC(m_hMemDC);
            m_hMemDC = NULL;
            return;
        }
        m_bits.clear();
    }
    m_hOldBitmap = ::SelectObject(m_hMemDC, hBitmap);
}

BitmapPixels::~BitmapPixels()
{
    if (m_hMemDC) {
        if (m_hOldBitmap)
            ::SelectObject(m_hMemDC, m_hOldBitmap);
        ::DeleteDC(m_hMemDC);
    }
}

COLORREF BitmapPixels::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return CLR_INVALID;
    if (m_bits.empty())
        return m_hMemDC ? ::GetPixel(m_hMemDC, x, y) : CLR_INVALID;
    DWORD p = m_bits[static_cast<size_t>(y) * m_nWidth + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

CSkinBitmap::CSkinBitmap(const WCHAR* pszName)
{
    if (pszName)
        Attach(::LoadBitmapW(AfxGetResourceHandle(), pszName));
}

CSkinBitmap::~CSkinBitmap()
{
    m_rgn.DeleteObject();
    DeleteObject();
}

CSize CSkinBitmap::GetSize() const
{
    BITMAP bm = {};
    if (!m_hObject || !::GetObjectW(m_hObject, sizeof bm, &bm))
        return CSize(0, 0);
    return CSize(bm.bmWidth, bm.bmHeight);
}

BOOL CSkinBitmap::Draw(HDC hDC, int x, int y)
{
    if (!m_hObject)
        return FALSE;
    CSize size = GetSize();
    CDC mem;
    mem.Attach(::CreateCompatibleDC(hDC));
    ScopedSelect sel(mem, m_hObject);
    return ::BitBlt(hDC, x, y, size.cx, size.cy, mem, 0, 0, SRCCOPY);
}

BOOL CSkinBitmap::DrawStretched(HDC hDC, const RECT* pRect)
{
    if (!m_hObject)
        return TRUE;
    CSize size = GetSize();
    CDC mem;
    mem.Attach(::CreateCompatibleDC(hDC));
    ScopedSelect sel(mem, m_hObject);
    ::StretchBlt(hDC, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top, mem, 0, 0,
                 size.cx, size.cy, SRCCOPY);
    return TRUE;
}

BOOL CSkinBitmap::DrawSliced(HDC hDC, const RECT* pRect, const SIZE* pBorder)
{
    const CSize size = GetSize();
    const std::vector<SlicedTransfer> steps = SlicedTransfers(size, *pRect, *pBorder);
    if (steps.empty())
        return FALSE;
    const int DW = pRect->right - pRect->left, DH = pRect->bottom - pRect->top;

    CBitmap A, B;  // declared first: deleted after the DCs
    CDC M, S;
    M.Attach(::CreateCompatibleDC(hDC));
    S.Attach(::CreateCompatibleDC(hDC));
    A.CreateCompatibleBitmap(hDC, DW, size.cy);
    B.CreateCompatibleBitmap(hDC, DW, DH);

    auto transfer = [](HDC hDst, HDC hSrc, const SlicedTransfer& t) {
        if (t.bScale)
            ::StretchBlt(hDst, t.xDst, t.yDst, t.cxDst, t.cyDst, hSrc, t.xSrc, t.ySrc, t.cxSrc, t.cySrc, SRCCOPY);
        else
            ::BitBlt(hDst, t.xDst, t.yDst, t.cxDst, t.cyDst, hSrc, t.xSrc, t.ySrc, SRCCOPY);
    };
    HGDIOBJ hOldM = M.SelectObject(&A);
    HGDIOBJ hOldS = S.SelectObject(m_hObject);
    for (int i = 0; i < 3; ++i)
        transfer(M, S, steps[i]);
    M.SelectObject(&B);
    S.SelectObject(&A);
    for (int i = 3; i < 6; ++i)
        transfer(M, S, steps[i]);
    ::BitBlt(hDC, pRect->left, pRect->top, DW, DH, M, 0, 0, SRCCOPY);
    M.SelectObject(hOldM);
    S.SelectObject(hOldS);
    return TRUE;
}

HRGN CSkinBitmap::CreateRegion(COLORREF clrKey, const RECT* pKeep)
{
    if (clrKey == CLR_INVALID)
        return m_rgn;
    const CSize size = GetSize();
    m_rgn.DeleteObject();
    // The pixels are read in one GetDIBits call; the result is the same as one
    // GetPixel per pixel visited on a memory DC holding the bitmap.
    BitmapPixels pixels(static_cast<HBITMAP>(m_hObject));
    static const RECT kScanMode = {0, 0, 0, 0};
    const RECT keep = pKeep ? *pKeep : kScanMode;
    std::vector<RECT> runs = EqualRect(&keep, &kScanMode)
                                 ? ScanModeRuns(pixels.Reader(), size.cx, size.cy, clrKey)
                                 : BorderModeRuns(pixels.Reader(), size.cx, size.cy, clrKey, keep);
    m_rgn.Attach(CreateRegionFromRuns(runs));
    return m_rgn;
}
