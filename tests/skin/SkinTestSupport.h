// Helpers of the skin tests: a DIB canvas to read painted pixels back, bitmaps made
// from a pixel function, region rectangles, and a dialog built from a template in
// memory.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace skintest {

// A 32-bit top-down DIB section selected into a memory DC.
class Canvas {
public:
    Canvas(int w, int h, COLORREF fill = RGB(255, 255, 255));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int w() const { return w_; }
    int h() const { return h_; }
    COLORREF At(int x, int y) const;
    void Fill(COLORREF c);
    // Positions of the pixels of exactly colour c.
    std::vector<POINT> PixelsOf(COLORREF c) const;
    // Count of pixels that differ between two canvases of the same size.
    int DiffCount(const Canvas& other) const;

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bmp_;
    HGDIOBJ old_;
    DWORD* bits_;
};

// A device-dependent bitmap compatible with the screen, as LoadBitmap gives one.
HBITMAP MakeBitmap(int w, int h, const std::function<COLORREF(int, int)>& pixel);

// The rectangles of a region (GetRegionData).
std::vector<RECT> RegionRects(HRGN rgn);
std::string Describe(const std::vector<RECT>& rects);

// A dialog made from a template in memory, with a dialog procedure that does
// nothing but accept WM_INITDIALOG.
struct DialogItem {
    WORD id;
    const wchar_t* cls;  // "BUTTON", "STATIC"
    const wchar_t* text;
    DWORD style;         // WS_CHILD | WS_VISIBLE are added
    short x, y, cx, cy;  // dialog units
};
HWND CreateTestDialog(const wchar_t* title, const std::vector<DialogItem>& items, short cx = 200, short cy = 120);

// Runs the message loop for ms milliseconds.
void PumpMessages(DWORD ms);

// A title unique on the display (both prefixes share it).
std::wstring UniqueTitle(const wchar_t* tag);

}  // namespace skintest
