// The screen saver's two copies, as both installers lay them down: the saver in
// the Windows directory, where the system looks for screen savers, and a second
// copy in the installation directory under an ordinary program's name,
// SKYLOOP.EXE, which the settings link opens.
#include <string.h>

#include "toolkit.h"

enum { LocalPathCapacity = 500 };

static size_t PathCapacity(void)
{
    return SystemPathCapacity < LocalPathCapacity ? (size_t)SystemPathCapacity : (size_t)LocalPathCapacity;
}

// Both spelled out in full, upper-cased: Windows 95's FAT volumes give no
// dependable file index.
static BOOL SamePath(const char *a, const char *b)
{
    char fullA[LocalPathCapacity], fullB[LocalPathCapacity];
    char *part;
    DWORD na = GetFullPathNameA(a, sizeof fullA, fullA, &part);
    DWORD nb = GetFullPathNameA(b, sizeof fullB, fullB, &part);
    if (na == 0 || na >= sizeof fullA || nb == 0 || nb >= sizeof fullB)
        return FALSE;
    CharUpperA(fullA);
    CharUpperA(fullB);
    return strcmp(fullA, fullB) == 0;
}

static BOOL SameFile(const char *a, const char *b)
{
    if (SamePath(a, b))
        return TRUE;
    if (OnWindows95())
        return FALSE;
    // NT also sees through other spellings of one file (a short name, another drive letter).
    BY_HANDLE_FILE_INFORMATION ia, ib;
    HANDLE ha = CreateFileA(a, 0, ShareAll(), NULL, OPEN_EXISTING, 0, NULL);
    HANDLE hb = CreateFileA(b, 0, ShareAll(), NULL, OPEN_EXISTING, 0, NULL);
    BOOL same = ha != INVALID_HANDLE_VALUE && hb != INVALID_HANDLE_VALUE && GetFileInformationByHandle(ha, &ia) &&
                GetFileInformationByHandle(hb, &ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
                ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    if (ha != INVALID_HANDLE_VALUE)
        CloseHandle(ha);
    if (hb != INVALID_HANDLE_VALUE)
        CloseHandle(hb);
    return same;
}

void ExpandSaverIntoWindows(void)
{
    UINT n = GetWindowsDirectoryA(TargetDir, (UINT)TargetDirCapacity);
    if (n > 0 && n < (UINT)TargetDirCapacity)
        ExpandFile("SKYLOOP.SCR");
}

void InstallSaverProgram(void)
{
    StringCchCopyA(TargetDir, TargetDirCapacity, InstallDir); // same capacity: fits
    char windows[LocalPathCapacity], saver[LocalPathCapacity], scr[LocalPathCapacity], exe[LocalPathCapacity];
    UINT n = GetWindowsDirectoryA(windows, (UINT)PathCapacity());
    if (!JoinPath(scr, PathCapacity(), InstallDir, "\\SKYLOOP.SCR") ||
        !JoinPath(exe, PathCapacity(), InstallDir, "\\SKYLOOP.EXE")) {
        ExpandFile("SKYLOOP.SCR");
        return;
    }
    BOOL expanded = ExpandFileFor("SKYLOOP.SCR", exe);
    DeleteFileA(exe);
    if (!expanded)
        return;
    // Installed into the Windows directory itself: that copy is the screen
    // saver the system is pointed at, so it must stay.
    BOOL placed;
    if (n > 0 && n < PathCapacity() && JoinPath(saver, PathCapacity(), windows, "\\SKYLOOP.SCR") &&
        SameFile(scr, saver))
        placed = CopyFileA(scr, exe, FALSE);
    else
        placed = MoveFileA(scr, exe);
    if (!placed)
        NoteMissedFile(exe);
}
