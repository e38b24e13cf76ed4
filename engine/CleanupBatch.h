// The cleanup batch file that removes the install folder once the uninstaller has exited.
#pragma once
#include <windows.h>

// Room for the six lines of one batch file in the OEM code page: each line names the
// install folder at most twice ("%" doubled) and a double-byte code page takes two
// bytes a character.
enum { kCleanupBatchCap = 6 * (4 * MAX_PATH + 64) };

// Composes the batch for installDir (no trailing backslash) as the bytes the command
// interpreter reads: six lines, each ended by CR LF, in the OEM code page. "%" is
// doubled, since the interpreter would expand it. Returns the byte count, or 0 when the
// folder cannot be named exactly: a character the OEM code page cannot hold, a control
// character or one of the characters a folder name cannot hold ("*?<>|), or a line
// that would not fit. Then nothing at all may be written: a cut or altered line could
// make "rd /s /q" act on another folder.
int ComposeCleanupBatch(const WCHAR* installDir, char* out, int cap);

// Writes the batch as {installDir}\QvUninst.bat, whole or not at all. Returns FALSE
// (and leaves no file) when the folder cannot be named exactly or the write fails.
// batchPath receives the file's path.
BOOL WriteCleanupBatch(const WCHAR* installDir, WCHAR (&batchPath)[MAX_PATH]);
