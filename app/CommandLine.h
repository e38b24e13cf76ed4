// The program's command-line words: "delpkg", "SilentDel", "s".
#pragma once
#include "fw/App.h"

class CSetupCommandLineInfo : public CCommandLineInfo {
public:
    enum { kMaxStoredParams = 4 };

    CSetupCommandLineInfo();
    ~CSetupCommandLineInfo() override;
    using CCommandLineInfo::ParseParam;
    void ParseParam(const WCHAR* pszParam, BOOL bFlag, BOOL bLast) override;

    int m_bUninstall;
    int m_bSilentDel;
    int m_bSilent;
    WCHAR m_szParams[kMaxStoredParams][MAX_PATH];
    int m_nParamCount;
};
