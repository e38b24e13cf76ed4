#include "CleanupBatch.h"

#include "PathUtil.h"

namespace {

// Appends to a bounded wide text; once something did not fit, the text stays refused.
struct BatchText {
    WCHAR buf[kCleanupBatchCap];
    int len = 0;
    bool ok = true;

    void Put(WCHAR c)
    {
        if (!ok || len + 1 >= kCleanupBatchCap) {
            ok = false;
            return;
        }
        buf[len++] = c;
        buf[len] = 0;
    }
    void Text(const WCHAR* s)
    {
        for (; *s; ++s)
            Put(*s);
    }
    // A path inside double quotes. The interpreter expands "%" even there, so it is
    // written doubled; everything else stands for itself.
    void Path(const WCHAR* path)
    {
        for (const WCHAR* p = path; *p; ++p) {
            if (*p == L'%')
                Put(L'%');
            Put(*p);
        }
    }
    void EndLine()
    {
        Put(L'\r');
        Put(L'\n');
    }
};

// Characters that no folder name holds, or that would break the quoting or the line.
bool NamesFolderPlainly(const WCHAR* path)
{
    for (const WCHAR* p = path; *p; ++p) {
        if (*p < 0x20 || *p == 0x7F)
            return false;
        switch (*p) {
        case L'"': case L'*': case L'?': case L'<': case L'>': case L'|':
            return false;
        default:
            break;
        }
    }
    return true;
}

}  // namespace

int ComposeCleanupBatch(const WCHAR* installDir, char* out, int cap)
{
    if (!installDir || !installDir[0] || !NamesFolderPlainly(installDir) || cap <= 0)
        return 0;

    WCHAR uninstallDir[MAX_PATH], setupExe[MAX_PATH], setupIni[MAX_PATH], batch[MAX_PATH];
    if (!Concat(uninstallDir, {installDir, L"\\Uninstall"}) ||
        !Concat(setupExe, {installDir, L"\\Uninstall\\setup.exe"}) ||
        !Concat(setupIni, {installDir, L"\\Uninstall\\setup.ini"}) ||
        !Concat(batch, {installDir, L"\\QvUninst.bat"}))
        return 0;

    BatchText t;
    t.Text(L":DEL_DIR");
    t.EndLine();
    t.Text(L"rd /s /q \"");
    t.Path(uninstallDir);
    t.Text(L"\"");
    t.EndLine();
    t.Text(L"IF EXIST \"");
    t.Path(setupExe);
    t.Text(L"\" GOTO DEL_DIR");
    t.EndLine();
    t.Text(L"IF EXIST \"");
    t.Path(setupIni);
    t.Text(L"\" GOTO DEL_DIR");
    t.EndLine();
    t.Text(L"rd /s /q \"");
    t.Path(installDir);
    t.Text(L"\"");
    t.EndLine();
    t.Text(L"del \"");
    t.Path(batch);
    t.Text(L"\"");
    t.EndLine();
    if (!t.ok)
        return 0;

    // The interpreter reads the file in the OEM code page. A character that code page
    // cannot hold exactly (a default character or a best-fit look-alike) would name
    // another folder, so the whole batch is refused; converting back must give the
    // text unchanged.
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, t.buf, t.len, out, cap, NULL, &usedDefault);
    if (n <= 0 || usedDefault)
        return 0;
    WCHAR back[kCleanupBatchCap];
    int m = MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, out, n, back, kCleanupBatchCap);
    if (m != t.len)
        return 0;
    for (int i = 0; i < m; ++i)
        if (back[i] != t.buf[i])
            return 0;
    return n;
}

BOOL WriteCleanupBatch(const WCHAR* installDir, WCHAR (&batchPath)[MAX_PATH])
{
    if (!Concat(batchPath, {installDir, L"\\QvUninst.bat"}))
        return FALSE;
    char bytes[kCleanupBatchCap];
    int n = ComposeCleanupBatch(installDir, bytes, kCleanupBatchCap);
    if (n <= 0)
        return FALSE;

    HANDLE file = CreateFileW(batchPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes, static_cast<DWORD>(n), &written, NULL) && written == static_cast<DWORD>(n);
    ok = CloseHandle(file) && ok;
    if (!ok) {
        // A batch with a cut line must never run, nor stay behind to be run.
        DeleteFileW(batchPath);
        return FALSE;
    }
    return TRUE;
}
