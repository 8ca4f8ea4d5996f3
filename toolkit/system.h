// The desktop and the system: desktop folders and shortcuts, the screen saver's
// two copies, the WinG runtime, the current screen saver, and system files
// replaced whole.
#ifndef SYSTEM_H
#define SYSTEM_H

#include <windows.h>

// How this program's desktop and system routines size their buffers.
extern const int OsNameCapacity;     // the OS name they look up
extern const int SystemPathCapacity; // probe, screen-saver and SYSTEM.INI paths, registry text

// The environment variable OS, or "Windows_95" when it is unset or does not fit
// (only an exact "Windows_NT" means Windows NT, and a longer value cannot be that).
void GetOsName(char *osName, int capacity);
// Windows directory + the running system's desktop folder + "\" + folderName,
// created one level deep. FALSE, and an empty buffer, when the path does not fit.
BOOL ResolveDesktopFolder(const char *folderName, char *desktopFolder, int capacity);
// Writes a shell link; COM is initialised by the caller. An error HRESULT and
// nothing saved when either path is not whole or the link path is not a full path.
HRESULT CreateShortcut(const char *targetPath, const char *linkPath, const char *description);

struct ProductShortcut {
    const char *linkFile; // in the product's desktop folder
    const char *target;   // in InstallDir
};
// The product's desktop folder and its links to files in InstallDir, the folder
// and link paths built within folderCapacity, the targets within targetCapacity
// (at most 500 each); COM is initialised by the caller. A link whose paths do
// not fit is left out.
void CreateProductShortcuts(const char *folderName, const ProductShortcut *links, int count,
                            const char *description, int folderCapacity, int targetCapacity);

// Expands SKYLOOP.SCR into the Windows directory, where the system looks for
// screen savers; TargetDir is left there.
void ExpandSaverIntoWindows(void);
// Expands it into InstallDir again, as SKYLOOP.EXE, replacing an older one: the
// saver's settings program. Where InstallDir is the Windows directory itself,
// the saver the system runs stays and is copied. TargetDir is left at InstallDir.
void InstallSaverProgram(void);

// Expands the WinG files into the system directory, WING32.DLL into the Windows
// directory's SYSTEM32 when that is writable. Leaves TargetDir at WING32.DLL's directory.
void InstallWinGRuntime(void);
// Makes the Windows directory's SKYLOOP.SCR the current screen saver: SYSTEM.INI
// on Windows 95, the existing values of the user's desktop key on Windows NT.
void ActivateScreenSaver(void);

// Writes bytes to a new file at path, through to the disk; FALSE, and no file
// left there, when it cannot be written whole.
BOOL WriteWholeFile(const char *path, const char *bytes, size_t size);
// Puts newPath in the place of path (which need not exist) in one step, or,
// where the system cannot do that (Windows 95), keeping path as backupPath
// until the new file is in place. TRUE on success; on failure newPath is
// removed and path left as it was (or, should even putting it back fail,
// backupPath holds it).
BOOL ReplaceWholeFile(const char *newPath, const char *path, const char *backupPath);
// What SYSTEM.INI is kept as while it is replaced that way.
#define SYSTEM_INI_BACKUP "SYSTEM.QQB"
// An interrupted replacement may leave only the backup: each program, as it
// starts, puts SYSTEM.INI and SKYLOOP.INI back from theirs where they are missing.
void RestoreInterruptedReplacements(void);

#endif
