#include "CommandLine.h"

namespace {

// Case-blind in the ASCII letters only, whole string.
bool EqualsAsciiNoCase(const WCHAR* a, const WCHAR* b)
{
    for (;; ++a, ++b) {
        WCHAR ca = *a, cb = *b;
        if (ca >= L'A' && ca <= L'Z')
            ca = static_cast<WCHAR>(ca - L'A' + L'a');
        if (cb >= L'A' && cb <= L'Z')
            cb = static_cast<WCHAR>(cb - L'A' + L'a');
        if (ca != cb)
            return false;
        if (ca == 0)
            return true;
    }
}

}  // namespace

CSetupCommandLineInfo::CSetupCommandLineInfo()
    : m_bUninstall(0), m_bSilentDel(0), m_bSilent(0), m_szParams(), m_nParamCount(0)
{
}

CSetupCommandLineInfo::~CSetupCommandLineInfo() {}

void CSetupCommandLineInfo::ParseParam(const WCHAR* pszParam, BOOL bFlag, BOOL)
{
    if (EqualsAsciiNoCase(pszParam, L"delpkg"))
        m_bUninstall = 1;
    else if (EqualsAsciiNoCase(pszParam, L"SilentDel"))
        m_bSilentDel = 1;
    else if (EqualsAsciiNoCase(pszParam, L"s"))
        m_bSilent = 1;

    // Only the first four parameters are kept, each cut to fit its entry; every
    // parameter is still counted and compared above.
    if (m_nParamCount >= 0 && m_nParamCount < kMaxStoredParams) {
        WCHAR* entry = m_szParams[m_nParamCount];
        int at = 0;
        if (bFlag)
            entry[at++] = L'-';
        for (const WCHAR* p = pszParam; *p && at < MAX_PATH - 1; ++p)
            entry[at++] = *p;
        entry[at] = 0;
    }
    if (m_nParamCount < 0x7FFFFFFF)
        ++m_nParamCount;
}
