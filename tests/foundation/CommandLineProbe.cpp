// Exit code: bit 0 delpkg, bit 1 SilentDel, bit 2 s, bits 3 and up the parameter count.
#include "app/CommandLine.h"

class CProbeApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        CSetupCommandLineInfo info;
        ParseCommandLine(info);
        m_nExitCode = info.m_bUninstall | info.m_bSilentDel << 1 | info.m_bSilent << 2 | info.m_nParamCount << 3;
        return FALSE;
    }
};

CProbeApp theProbe;
