#include "fw/String.h"

#include "fw/App.h"

BOOL CString::LoadString(UINT nID)
{
    return LoadString(AfxGetResourceHandle(), nID);
}

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID)
{
    // With a zero buffer size LoadStringW hands out a pointer to the resource text
    // itself, so strings of any length load whole.
    const WCHAR* pText = NULL;
    int nLength = ::LoadStringW(hInstance, nID, reinterpret_cast<WCHAR*>(&pText), 0);
    if (nLength <= 0 || !pText) {
        m_str.clear();
        return FALSE;
    }
    m_str.assign(pText, nLength);
    return TRUE;
}

int CString::Find(WCHAR ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(ch, nStart);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const WCHAR* pszSub, int nStart) const
{
    if (!pszSub || nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(pszSub, nStart);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}
