// The screen saver step, run from the second product page: the saver into the
// Windows directory and, as SKYLOOP.EXE, into the chosen directory, its files,
// its default settings, the current screen saver and the desktop links.
#include "suite.h"
#include "toolkit.h"


enum { StepPathCapacity = 500 };

static const char *const MapFiles[] = {"BGROUND.BMP", "BRICKS.BMP", "WOOD.BMP"};

// The six models, the cube faces and the cube description, in media order.
static const char *const ModelFiles[] = {
    "3D.SKY",  "HEARTFG.SKY", "SPHEREF.SKY", "TORUSF.SKY", "CUBE1.SKY", "CUBE2.SKY",
    "CNB.BMP", "CNF.BMP",     "CNK.BMP",     "CNL.BMP",    "CNR.BMP",   "CNT.BMP",
    "CSB.BMP", "CSF.BMP",     "CSK.BMP",     "CSL.BMP",    "CSR.BMP",   "CST.BMP",
    "3DCUBES.TXT",
};

static const ProductShortcut Shortcuts[] = {
    {"Skyloop Settings.lnk", "skyloop.exe"}, // the copy renamed from SKYLOOP.SCR
    {"Skyloop Help.lnk", "skyloop.hlp"},
    {"Read Me.lnk", "readmes.txt"},
};

static BOOL SameFile(const char *a, const char *b)
{
    BY_HANDLE_FILE_INFORMATION ia, ib;
    BOOL same = FALSE;
    HANDLE ha = CreateFileA(a, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            OPEN_EXISTING, 0, NULL);
    HANDLE hb = CreateFileA(b, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            OPEN_EXISTING, 0, NULL);
    if (ha != INVALID_HANDLE_VALUE && hb != INVALID_HANDLE_VALUE &&
        GetFileInformationByHandle(ha, &ia) && GetFileInformationByHandle(hb, &ib))
        same = ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    if (ha != INVALID_HANDLE_VALUE)
        CloseHandle(ha);
    if (hb != INVALID_HANDLE_VALUE)
        CloseHandle(hb);
    return same;
}

// The copy in InstallDir becomes SKYLOOP.EXE, replacing an older one.
static void RenameInstalledCopy(const char *saverInWindows)
{
    char scr[StepPathCapacity], exe[StepPathCapacity];
    if (!JoinPath(scr, sizeof scr, InstallDir, "\\SKYLOOP.SCR") ||
        !JoinPath(exe, sizeof exe, InstallDir, "\\SKYLOOP.EXE"))
        return;
    DeleteFileA(exe);
    // Installed into the Windows directory itself: that copy is the screen saver
    // the system is pointed at, so it must stay.
    if (saverInWindows[0] && SameFile(scr, saverInWindows))
        CopyFileA(scr, exe, FALSE);
    else
        MoveFileA(scr, exe);
}

void InstallSaver(HWND page)
{
    HWND bar = CreatePageProgressBar(page, "Installing Skyloop...");
    StringCchCopyA(InstallDir, InstallDirCapacity, TargetDir); // same capacity: fits

    // Where the system looks for screen savers.
    char saverInWindows[StepPathCapacity] = "";
    UINT n = GetWindowsDirectoryA(TargetDir, (UINT)TargetDirCapacity);
    if (n > 0 && n < (UINT)TargetDirCapacity) {
        ExpandFile("SKYLOOP.SCR");
        if (!JoinPath(saverInWindows, sizeof saverInWindows, TargetDir, "\\SKYLOOP.SCR"))
            saverInWindows[0] = '\0';
    }

    // The second copy, under an ordinary program's name for the settings link.
    StringCchCopyA(TargetDir, TargetDirCapacity, InstallDir);
    ExpandFile("SKYLOOP.SCR");
    RenameInstalledCopy(saverInWindows);

    StringCchCopyA(TargetDir, TargetDirCapacity, InstallDir);
    ExpandFile("SKYLOOP.HLP");
    PlainFileFlag = 1;
    ExpandFile("READMES.TXT");
    PlainFileFlag = 0;
    SetPageProgress(bar, 40);

    ExpandIntoSubdirectory("\\MAPS", MapFiles, (int)(sizeof MapFiles / sizeof MapFiles[0]));
    ExpandIntoSubdirectory("\\MODELS", ModelFiles, (int)(sizeof ModelFiles / sizeof ModelFiles[0]));
    SetPageProgress(bar, 60);

    StringCchCopyA(TargetDir, TargetDirCapacity, InstallDir);
    WriteSaverDefaultsHead();
    SetPageProgress(bar, 80);
    WriteSaverDefaultsTail();

    ActivateScreenSaver();
    CreateProductShortcuts("Skyloop", Shortcuts, (int)(sizeof Shortcuts / sizeof Shortcuts[0]), "Skyloop");
    SetPageProgress(bar, 100);
}
