// CString: a growable wide-character string, as the windows and controls use it.
#pragma once
#include <windows.h>

#include <string>

class CString {
public:
    CString() {}
    CString(const WCHAR* psz) : m_str(psz ? psz : L"") {}
    CString(const WCHAR* pch, int nLength) : m_str(pch ? pch : L"", pch && nLength > 0 ? nLength : 0) {}
    CString(WCHAR ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}

    // Loads string resource nID from the application's resource module (or from
    // hInstance); FALSE, leaving the string empty, when there is no such string.
    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    WCHAR GetAt(int i) const { return m_str[i]; }
    operator const WCHAR*() const { return m_str.c_str(); }
    const WCHAR* GetString() const { return m_str.c_str(); }

    // Index of the first occurrence, or -1.
    int Find(WCHAR ch, int nStart = 0) const;
    int Find(const WCHAR* pszSub, int nStart = 0) const;

    // Exact comparison (<0, 0, >0), and comparison without regard to case.
    int Compare(const WCHAR* psz) const { return m_str.compare(psz ? psz : L""); }
    int CompareNoCase(const WCHAR* psz) const { return lstrcmpiW(m_str.c_str(), psz ? psz : L""); }

    CString& operator=(const WCHAR* psz)
    {
        m_str = psz ? psz : L"";
        return *this;
    }
    CString& operator+=(const CString& s)
    {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(const WCHAR* psz)
    {
        if (psz)
            m_str += psz;
        return *this;
    }
    CString& operator+=(WCHAR ch)
    {
        m_str += ch;
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) { return CString(a) += b; }
    friend CString operator+(const CString& a, const WCHAR* b) { return CString(a) += b; }
    friend CString operator+(const WCHAR* a, const CString& b) { return CString(a) += b; }
    friend CString operator+(const CString& a, WCHAR b) { return CString(a) += b; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const WCHAR* b) { return a.Compare(b) == 0; }
    friend bool operator==(const WCHAR* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const WCHAR* b) { return !(a == b); }
    friend bool operator!=(const WCHAR* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

private:
    std::wstring m_str;
};
