// Owning wrappers of GDI objects and device contexts.
//
// Each wrapper owns at most one handle and frees it in its destructor; wrappers
// move but never copy. Attach takes over a handle (freeing the one held before),
// Detach hands the handle back to the caller, DeleteObject frees it now.
// Where a handle is only lent (a paint DC, a DC in WM_ERASEBKGND), attach it and
// detach it again before the wrapper goes out of scope.
#pragma once
#include <windows.h>

#include "fw/String.h"
#include "fw/Types.h"

class CGdiObject : public CObject {
public:
    CGdiObject() : m_hObject(NULL) {}
    explicit CGdiObject(HGDIOBJ h) : m_hObject(h) {}
    ~CGdiObject() override { DeleteObject(); }
    CGdiObject(CGdiObject&& o) noexcept : m_hObject(o.Detach()) {}
    CGdiObject& operator=(CGdiObject&& o) noexcept
    {
        if (this != &o)
            Attach(o.Detach());
        return *this;
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    // Takes ownership of h; a handle held before is deleted first. FALSE for NULL.
    BOOL Attach(HGDIOBJ h);
    HGDIOBJ Detach();
    // Deletes the held object; FALSE when there was none.
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    int GetObject(int nCount, void* pObject) const
    {
        return m_hObject ? ::GetObjectW(m_hObject, nCount, pObject) : 0;
    }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCGdiObject; }
    static inline const CRuntimeClass classCGdiObject = {"CGdiObject", &CObject::classCObject};

    HGDIOBJ m_hObject;
};

class CBitmap : public CGdiObject {
public:
    CBitmap() {}
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    BOOL LoadBitmap(HINSTANCE hInstance, const WCHAR* pszName) { return Attach(::LoadBitmapW(hInstance, pszName)); }
    BOOL CreateCompatibleBitmap(HDC hdc, int cx, int cy) { return Attach(::CreateCompatibleBitmap(hdc, cx, cy)); }
    int GetBitmap(BITMAP* pBitmap) const { return GetObject(sizeof(BITMAP), pBitmap); }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCBitmap; }
    static inline const CRuntimeClass classCBitmap = {"CBitmap", &CGdiObject::classCGdiObject};
};

class CRgn : public CGdiObject {
public:
    CRgn() {}
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
    // CombineRgn into this region, which must exist already.
    int CombineRgn(HRGN hSrc1, HRGN hSrc2, int nMode) { return ::CombineRgn(*this, hSrc1, hSrc2, nMode); }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCRgn; }
    static inline const CRuntimeClass classCRgn = {"CRgn", &CGdiObject::classCGdiObject};
};

class CBrush : public CGdiObject {
public:
    CBrush() {}
    explicit CBrush(COLORREF cr) { CreateSolidBrush(cr); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF cr) { return Attach(::CreateSolidBrush(cr)); }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCBrush; }
    static inline const CRuntimeClass classCBrush = {"CBrush", &CGdiObject::classCGdiObject};
};

class CDC;

class CFont : public CGdiObject {
public:
    CFont() {}
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTW* pLogFont) { return Attach(::CreateFontIndirectW(pLogFont)); }
    // A font of nPointSize tenths of a point in face pszFaceName, the height
    // converted on pDC (the screen when NULL); see MakePointFontLogFont.
    BOOL CreatePointFont(int nPointSize, const WCHAR* pszFaceName, CDC* pDC = NULL);
    int GetLogFont(LOGFONTW* pLogFont) const { return GetObject(sizeof(LOGFONTW), pLogFont); }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCFont; }
    static inline const CRuntimeClass classCFont = {"CFont", &CGdiObject::classCGdiObject};
};

// The LOGFONT of a point font: all zeros but DEFAULT_CHARSET, the face (cut at 31
// characters) and lfHeight = -(nPixelsPerInchY * nTenthsOfPoint / 720), the
// integer division truncating toward zero.
LOGFONTW MakePointFontLogFont(int nTenthsOfPoint, const WCHAR* pszFaceName, int nPixelsPerInchY);

// A device context. Created DCs (CreateCompatibleDC) are deleted by the destructor;
// an attached DC is deleted too unless it is detached first.
class CDC : public CObject {
public:
    CDC() : m_hDC(NULL) {}
    ~CDC() override { DeleteDC(); }
    CDC(CDC&& o) noexcept : m_hDC(o.Detach()) {}
    CDC& operator=(CDC&& o) noexcept
    {
        if (this != &o) {
            DeleteDC();
            m_hDC = o.Detach();
        }
        return *this;
    }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL DeleteDC();
    // A memory DC compatible with pDC (with the screen when pDC is NULL).
    BOOL CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : NULL)); }

    HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }
    HGDIOBJ SelectObject(const CGdiObject* p) { return ::SelectObject(m_hDC, p->m_hObject); }
    HGDIOBJ SelectStockObject(int nIndex) { return ::SelectObject(m_hDC, GetStockObject(nIndex)); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSaved) { return ::RestoreDC(m_hDC, nSaved); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }

    int SetBkMode(int nMode) { return ::SetBkMode(m_hDC, nMode); }
    COLORREF SetTextColor(COLORREF cr) { return ::SetTextColor(m_hDC, cr); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    UINT SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
    CPoint GetViewportOrg() const;
    CPoint SetViewportOrg(int x, int y);

    void FillRect(const RECT* pRect, HBRUSH hBrush) { ::FillRect(m_hDC, pRect, hBrush); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    void DrawFocusRect(const RECT* pRect) { ::DrawFocusRect(m_hDC, pRect); }
    int DrawText(const WCHAR* psz, int nCount, RECT* pRect, UINT nFormat)
    {
        return ::DrawTextW(m_hDC, psz, nCount, pRect, nFormat);
    }
    int DrawText(const CString& s, RECT* pRect, UINT nFormat) { return DrawText(s, s.GetLength(), pRect, nFormat); }
    BOOL TextOut(int x, int y, const CString& s) { return ::TextOutW(m_hDC, x, y, s, s.GetLength()); }
    BOOL BitBlt(int x, int y, int cx, int cy, HDC hSrc, int xSrc, int ySrc, DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, cx, cy, hSrc, xSrc, ySrc, dwRop);
    }
    BOOL StretchBlt(int x, int y, int cx, int cy, HDC hSrc, int xSrc, int ySrc, int cxSrc, int cySrc, DWORD dwRop)
    {
        return ::StretchBlt(m_hDC, x, y, cx, cy, hSrc, xSrc, ySrc, cxSrc, cySrc, dwRop);
    }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCDC; }
    static inline const CRuntimeClass classCDC = {"CDC", &CObject::classCObject};

    HDC m_hDC;
};

// BeginPaint in the constructor, EndPaint in the destructor; the paint DC is the
// system's and is never deleted.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd);
    ~CPaintDC() override;
    CPaintDC(CPaintDC&&) = delete;

    PAINTSTRUCT m_ps;

private:
    HWND m_hWndPaint;
};

// Selects an object into a DC for one scope and selects the previous one back on
// every way out.
class ScopedSelect {
public:
    ScopedSelect(HDC hDC, HGDIOBJ h) : m_hDC(hDC), m_hOld(h ? ::SelectObject(hDC, h) : NULL) {}
    ~ScopedSelect()
    {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};
