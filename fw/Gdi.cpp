#include "fw/Gdi.h"

BOOL CGdiObject::Attach(HGDIOBJ h)
{
    if (h == m_hObject)
        return h != NULL;
    DeleteObject();
    m_hObject = h;
    return h != NULL;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    m_hObject = NULL;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    BOOL bOk = ::DeleteObject(m_hObject);
    m_hObject = NULL;
    return bOk;
}

LOGFONTW MakePointFontLogFont(int nTenthsOfPoint, const WCHAR* pszFaceName, int nPixelsPerInchY)
{
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    if (pszFaceName)
        lstrcpynW(lf.lfFaceName, pszFaceName, LF_FACESIZE);  // at most 31 characters
    lf.lfHeight = -(nPixelsPerInchY * nTenthsOfPoint / 720);
    return lf;
}

BOOL CFont::CreatePointFont(int nPointSize, const WCHAR* pszFaceName, CDC* pDC)
{
    HDC hDC = pDC ? pDC->m_hDC : GetDC(NULL);
    int nDpi = GetDeviceCaps(hDC, LOGPIXELSY);
    if (!pDC)
        ReleaseDC(NULL, hDC);
    LOGFONTW lf = MakePointFontLogFont(nPointSize, pszFaceName, nDpi);
    return CreateFontIndirect(&lf);
}

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == m_hDC)
        return hDC != NULL;
    DeleteDC();
    m_hDC = hDC;
    return hDC != NULL;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    m_hDC = NULL;
    return h;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    BOOL bOk = ::DeleteDC(m_hDC);
    m_hDC = NULL;
    return bOk;
}

CPoint CDC::GetViewportOrg() const
{
    POINT pt = {0, 0};
    GetViewportOrgEx(m_hDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT pt = {0, 0};
    SetViewportOrgEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPaintDC::CPaintDC(HWND hWnd) : m_ps(), m_hWndPaint(hWnd)
{
    m_hDC = BeginPaint(hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    EndPaint(m_hWndPaint, &m_ps);
    m_hDC = NULL;  // the paint DC belongs to the system
}
