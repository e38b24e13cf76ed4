#include "WizardDriver.h"

#include <commctrl.h>

#include "tests/support/TestSupport.h"

namespace wz {

namespace {

struct FindData {
    DWORD pid;
    const wchar_t* caption;  // NULL: the wizard (holds the start button)
    HWND found;
};

BOOL CALLBACK FindProc(HWND h, LPARAM lp)
{
    FindData* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != d->pid || !IsWindowVisible(h))
        return TRUE;
    wchar_t cls[64] = {0};
    GetClassNameW(h, cls, 64);
    if (wcscmp(cls, L"#32770") != 0)
        return TRUE;
    if (d->caption ? WindowText(h) == d->caption : GetDlgItem(h, kStart) != NULL) {
        d->found = h;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindWizardOf(DWORD pid)
{
    FindData d = {pid, NULL, NULL};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

HWND FindBoxOf(DWORD pid, const wchar_t* caption)
{
    FindData d = {pid, caption, NULL};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs, DWORD stepMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (pred())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(stepMs);
    }
}

bool StartWizard(const std::wstring& dir, const std::wstring& args, Wizard* w, DWORD timeoutMs)
{
    std::wstring cmd = ts::Quote(dir + L"setup.exe");
    if (!args.empty())
        cmd += L" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(0);
    if (!CreateProcessW(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, dir.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    w->process = pi.hProcess;
    w->pid = pi.dwProcessId;
    return WaitUntil(
        [w] {
            w->dialog = FindWizardOf(w->pid);
            // Initialisation ends with the layout, which hides Finish: wait for it.
            return w->dialog && !IsWindowVisible(GetDlgItem(w->dialog, kFinish));
        },
        timeoutMs);
}

bool WaitExit(Wizard* w, DWORD timeoutMs)
{
    if (!w->process)
        return true;
    if (WaitForSingleObject(w->process, timeoutMs) == WAIT_OBJECT_0)
        return true;
    TerminateProcess(w->process, 1);
    WaitForSingleObject(w->process, 5000);
    return false;
}

void Stop(Wizard* w)
{
    if (!w->process)
        return;
    if (WaitForSingleObject(w->process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(w->process, 1);
        WaitForSingleObject(w->process, 5000);
    }
    CloseHandle(w->process);
    w->process = NULL;
}

std::wstring WindowText(HWND h)
{
    wchar_t buf[2048] = {0};
    GetWindowTextW(h, buf, 2048);
    return buf;
}

Control ReadControl(HWND dialog, int id)
{
    Control c;
    HWND h = GetDlgItem(dialog, id);
    if (!h)
        return c;
    c.exists = true;
    c.visible = IsWindowVisible(h) != 0;
    c.enabled = IsWindowEnabled(h) != 0;
    c.text = WindowText(h);
    GetWindowRect(h, &c.rect);
    MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
    return c;
}

int ProgressPos(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, kProgress, PBM_GETPOS, 0, 0));
}

void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

static void SendMouse(DWORD flags, int x, int y)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
    in.mi.dy = (y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void Drag(HWND dialog, POINT from, int dx, int dy)
{
    POINT p = from;
    ClientToScreen(dialog, &p);
    SetCursorPos(p.x, p.y);
    SendMouse(MOUSEEVENTF_MOVE, p.x, p.y);
    Sleep(100);
    SendMouse(MOUSEEVENTF_LEFTDOWN, p.x, p.y);
    Sleep(150);
    const int steps = 10;
    for (int i = 1; i <= steps; ++i) {
        SendMouse(MOUSEEVENTF_MOVE, p.x + dx * i / steps, p.y + dy * i / steps);
        Sleep(30);
    }
    Sleep(100);
    SendMouse(MOUSEEVENTF_LEFTUP, p.x + dx, p.y + dy);
    Sleep(200);
}

std::vector<RECT> WindowRegionRects(HWND h, int* type)
{
    std::vector<RECT> rects;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    *type = GetWindowRgn(h, rgn);
    if (*type != ERROR) {
        DWORD size = GetRegionData(rgn, 0, NULL);
        std::vector<BYTE> buf(size);
        RGNDATA* rd = reinterpret_cast<RGNDATA*>(buf.data());
        if (size && GetRegionData(rgn, size, rd)) {
            const RECT* r = reinterpret_cast<const RECT*>(rd->Buffer);
            rects.assign(r, r + rd->rdh.nCount);
        }
    }
    DeleteObject(rgn);
    return rects;
}

static void ReadPixels(HDC src, int x, int y, int w, int h, Pixels* out)
{
    HDC mem = CreateCompatibleDC(src);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, src, x, y, SRCCOPY);
    GdiFlush();
    out->width = w;
    out->height = h;
    out->px.resize(static_cast<size_t>(w) * h);
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (int i = 0; i < w * h; ++i)
        out->px[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
}

bool LoadExeBitmap(const std::wstring& exePath, int id, Pixels* out)
{
    HMODULE mod = LoadLibraryExW(exePath.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!mod)
        return false;
    HBITMAP bmp = static_cast<HBITMAP>(
        LoadImageW(mod, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    bool ok = false;
    if (bmp) {
        BITMAP bm = {};
        GetObjectW(bmp, sizeof bm, &bm);
        HDC mem = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(mem, bmp);
        ReadPixels(mem, 0, 0, bm.bmWidth, bm.bmHeight, out);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(bmp);
        ok = true;
    }
    FreeLibrary(mod);
    return ok;
}

Pixels CaptureScreen(const RECT& rc)
{
    Pixels p;
    HDC screen = GetDC(NULL);
    ReadPixels(screen, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, &p);
    ReleaseDC(NULL, screen);
    return p;
}

StandInPayload::StandInPayload(const std::wstring& title) : title_(title)
{
    ready_ = CreateEventW(NULL, TRUE, FALSE, NULL);
    thread_ = CreateThread(NULL, 0, Loop, this, 0, &threadId_);
    WaitForSingleObject(ready_, 5000);
}

StandInPayload::~StandInPayload()
{
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    CloseHandle(ready_);
}

LRESULT CALLBACK StandInPayload::WndProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_CLOSE) {
        StandInPayload* p = reinterpret_cast<StandInPayload*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (p)
            InterlockedExchange(&p->closed_, 1);
        DestroyWindow(h);
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

DWORD WINAPI StandInPayload::Loop(LPVOID param)
{
    StandInPayload* self = static_cast<StandInPayload*>(param);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"WizardTestStandInPayload";
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(0, wc.lpszClassName, self->title_.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                             wc.hInstance, NULL);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    MSG msg;
    PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here
    SetEvent(self->ready_);
    while (GetMessageW(&msg, NULL, 0, 0) > 0)
        DispatchMessageW(&msg);
    if (IsWindow(h))
        DestroyWindow(h);
    return 0;
}

}  // namespace wz
