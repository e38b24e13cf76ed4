#include "SkinTestSupport.h"

#include <cstdio>

namespace skintest {

Canvas::Canvas(int w, int h, COLORREF fill) : w_(w), h_(h), dc_(NULL), bmp_(NULL), old_(NULL), bits_(NULL)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(NULL);
    void* bits = NULL;
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    bits_ = static_cast<DWORD*>(bits);
    old_ = SelectObject(dc_, bmp_);
    Fill(fill);
}

Canvas::~Canvas()
{
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
}

COLORREF Canvas::At(int x, int y) const
{
    GdiFlush();
    DWORD p = bits_[y * w_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void Canvas::Fill(COLORREF c)
{
    GdiFlush();
    DWORD p = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    for (int i = 0; i < w_ * h_; ++i)
        bits_[i] = p;
}

std::vector<POINT> Canvas::PixelsOf(COLORREF c) const
{
    std::vector<POINT> out;
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            if (At(x, y) == c)
                out.push_back(POINT{x, y});
    return out;
}

int Canvas::DiffCount(const Canvas& other) const
{
    int n = 0;
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            if (At(x, y) != other.At(x, y))
                ++n;
    return n;
}

HBITMAP MakeBitmap(int w, int h, const std::function<COLORREF(int, int)>& pixel)
{
    std::vector<DWORD> bits(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = pixel(x, y);
            bits[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    HDC screen = GetDC(NULL);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetDIBits(screen, bmp, 0, h, bits.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    return bmp;
}

std::vector<RECT> RegionRects(HRGN rgn)
{
    std::vector<RECT> out;
    DWORD size = GetRegionData(rgn, 0, NULL);
    if (!size)
        return out;
    std::vector<BYTE> buf(size);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buf.data());
    if (!GetRegionData(rgn, size, data))
        return out;
    const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
    out.assign(r, r + data->rdh.nCount);
    return out;
}

std::string Describe(const std::vector<RECT>& rects)
{
    std::string s;
    char buf[64];
    for (const RECT& r : rects) {
        snprintf(buf, sizeof buf, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
        s += buf;
    }
    return s.empty() ? "(empty)" : s;
}

namespace {
INT_PTR CALLBACK AcceptInitDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

void Put(std::vector<WORD>& t, const wchar_t* s)
{
    for (; *s; ++s)
        t.push_back(*s);
    t.push_back(0);
}
void PutDword(std::vector<WORD>& t, DWORD v)
{
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
}
void AlignDword(std::vector<WORD>& t)
{
    if (t.size() % 2)
        t.push_back(0);
}
}  // namespace

HWND CreateTestDialog(const wchar_t* title, const std::vector<DialogItem>& items, short cx, short cy)
{
    // DLGTEMPLATE, then menu, class, title, font (DS_SETFONT), then DWORD-aligned items.
    std::vector<WORD> t;
    PutDword(t, WS_POPUP | WS_VISIBLE | DS_SETFONT | DS_MODALFRAME);
    PutDword(t, 0);
    t.push_back(static_cast<WORD>(items.size()));
    t.push_back(0);
    t.push_back(0);
    t.push_back(cx);
    t.push_back(cy);
    t.push_back(0);  // no menu
    t.push_back(0);  // standard class
    Put(t, title);
    t.push_back(8);
    Put(t, L"MS Shell Dlg");
    for (const DialogItem& it : items) {
        AlignDword(t);
        PutDword(t, WS_CHILD | WS_VISIBLE | it.style);
        PutDword(t, 0);
        t.push_back(it.x);
        t.push_back(it.y);
        t.push_back(it.cx);
        t.push_back(it.cy);
        t.push_back(it.id);
        Put(t, it.cls);
        Put(t, it.text);
        t.push_back(0);  // no creation data
    }
    AlignDword(t);
    return CreateDialogIndirectParamW(GetModuleHandleW(NULL), reinterpret_cast<const DLGTEMPLATE*>(t.data()), NULL,
                                      AcceptInitDialog, 0);
}

void PumpMessages(DWORD ms)
{
    DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

std::wstring UniqueTitle(const wchar_t* tag)
{
    static int counter = 0;
    wchar_t buf[128];
    swprintf(buf, 128, L"skin test %ls %lu-%d", tag, GetCurrentProcessId(), ++counter);
    return buf;
}

}  // namespace skintest
