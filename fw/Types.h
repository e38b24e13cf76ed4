// Small value types of the framework layer: points, sizes, rectangles, and the
// run-time class record that windows and GDI objects report.
#pragma once
#include <windows.h>

struct CPoint : POINT {
    CPoint() { x = 0; y = 0; }
    CPoint(int ix, int iy) { x = ix; y = iy; }
    // A mouse message's lParam: signed client coordinates.
    explicit CPoint(LPARAM lParam)
    {
        x = static_cast<short>(LOWORD(lParam));
        y = static_cast<short>(HIWORD(lParam));
    }
};

struct CSize : SIZE {
    CSize() { cx = 0; cy = 0; }
    CSize(int icx, int icy) { cx = icx; cy = icy; }
    bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
    bool operator!=(const CSize& o) const { return !(*this == o); }
};

struct CRect : RECT {
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& rc) { left = rc.left; top = rc.top; right = rc.right; bottom = rc.bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const RECT& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const RECT& o) const { return !(*this == o); }
};

// What a window or GDI object reports as its class: a name and the base's record.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
};

// Root of the classes that report a run-time class.
class CObject {
public:
    virtual ~CObject() {}
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    BOOL IsKindOf(const CRuntimeClass* pClass) const
    {
        for (const CRuntimeClass* c = GetRuntimeClass(); c; c = c->m_pBaseClass)
            if (c == pClass)
                return TRUE;
        return FALSE;
    }
    static inline const CRuntimeClass classCObject = {"CObject", NULL};
};
