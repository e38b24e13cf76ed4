// Drives a running setup.exe wizard from another process: finds its dialog, reads its
// real controls, clicks, drags, and reads what the screen shows.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace wz {

// Control ids of the wizard's dialog.
enum {
    kFinish = IDOK,
    kCancel = IDCANCEL,
    kStart = 1000,
    kHeadline = 1001,
    kDescription = 1002,
    kProgress = 1003,
    kClose = 1004,
    kTitle = 1005,
    kLaunch = 1008,
};

struct Wizard {
    HANDLE process = NULL;
    DWORD pid = 0;
    HWND dialog = NULL;
};

// Starts {dir}setup.exe with args and waits for its wizard dialog (a visible #32770 of
// that process holding the start button). FALSE when no dialog came within timeoutMs;
// the process, if started, is kept in w.
bool StartWizard(const std::wstring& dir, const std::wstring& args, Wizard* w, DWORD timeoutMs = 30000);
// The visible wizard dialog of process pid, or NULL.
HWND FindWizardOf(DWORD pid);
// Visible top-level #32770 windows of process pid with exactly this caption (message boxes).
HWND FindBoxOf(DWORD pid, const wchar_t* caption);
// Waits for the process to end; kills it after timeoutMs. TRUE when it ended by itself.
bool WaitExit(Wizard* w, DWORD timeoutMs = 15000);
// Kills the process if it still runs and closes its handle.
void Stop(Wizard* w);

struct Control {
    bool exists = false;
    bool visible = false;
    bool enabled = false;
    std::wstring text;
    RECT rect = {0, 0, 0, 0};  // in the dialog's client coordinates
};
Control ReadControl(HWND dialog, int id);
std::wstring WindowText(HWND h);
int ProgressPos(HWND dialog);

// BM_CLICK to a control of the dialog (synchronous).
void Click(HWND dialog, int id);
// Presses the left button at a client point of the dialog, moves by (dx, dy) in small
// steps and releases, through the system's input queue.
void Drag(HWND dialog, POINT from, int dx, int dy);

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs, DWORD stepMs = 20);

// The rectangles of the window's region (window coordinates), from GetWindowRgn; the
// call's result in *type (ERROR when the window has no region).
std::vector<RECT> WindowRegionRects(HWND h, int* type);

// A bitmap of setup.exe's resources (exePath) as rows of COLORREF, top-down.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> px;
    COLORREF at(int x, int y) const { return px[y * width + x]; }
};
bool LoadExeBitmap(const std::wstring& exePath, int id, Pixels* out);
// What the screen shows in a rectangle of screen coordinates.
Pixels CaptureScreen(const RECT& rc);

// A hidden top-level window with the payload's title, on a thread of its own, that
// goes away when asked to close: the install closes a running payload first and
// pauses after it, which keeps the running page up for a moment.
class StandInPayload {
public:
    explicit StandInPayload(const std::wstring& title);
    ~StandInPayload();
    bool Closed() const { return closed_ != 0; }

private:
    static DWORD WINAPI Loop(LPVOID self);
    static LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l);
    std::wstring title_;
    HANDLE thread_ = NULL;
    HANDLE ready_ = NULL;
    DWORD threadId_ = 0;
    volatile LONG closed_ = 0;
};

}  // namespace wz
