// CProgressCtrl: the standard progress bar ("msctls_progress32").
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "fw/Wnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange(short nLower, short nUpper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
    int SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, nStep)); }
    int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, nPos)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCProgressCtrl; }
    static inline const CRuntimeClass classCProgressCtrl = {"CProgressCtrl", &CWnd::classCWnd};
};
