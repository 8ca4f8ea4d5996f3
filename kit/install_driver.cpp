// The install driver: asks for the directory until a pass can be made or the
// user cancels, then installs the screen saver with what the distribution
// lists, registers its device, the runtime, makes it current, links it on the
// desktop and shows the end message, or what it could not install.
#include "kit.h"
#include "toolkit.h"

enum { ScratchCapacity = 256, KitPathCapacity = 256, ProgressTotal = 45 };

static void Draw(HWND mainWindow, int step)
{
    DrawProgress(mainWindow, step, ProgressTotal);
}

// A modal dialog owned by the main window, which is repainted where it was.
// FALSE when the dialog could not be made.
static BOOL Ask(HWND mainWindow, const char *templateName, DLGPROC procedure)
{
    INT_PTR made = DialogBoxParamA(AppInstance, templateName, mainWindow, procedure, 0);
    InvalidateRect(mainWindow, NULL, TRUE);
    return made != -1;
}

// TargetDir exists and takes a file.
static BOOL TargetWritable(void)
{
    char probe[ScratchCapacity];
    if (FAILED(StringCchPrintfA(probe, sizeof probe, "%s\\MODEFTST.QQQ", TargetDir)))
        return FALSE;
    HANDLE h = OpenProbeFile(probe, PROBE_OPEN);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    CloseHandle(h);
    DeleteFileA(probe);
    return TRUE;
}

enum Readiness { TARGET_READY, TARGET_NOT_READY, NO_DIALOG };

// Makes sure TargetDir can be installed into, creating it when the user
// agrees. TARGET_NOT_READY, with StatusCode set for the next directory dialog,
// otherwise.
static Readiness PrepareTarget(HWND mainWindow)
{
    // Relative only when its full path did not fit: no directory to install into.
    if (TargetDir[0] != '\0' && !IsFullPath(TargetDir)) {
        StatusCode = STATUS_NO_DIRECTORY;
        return TARGET_NOT_READY;
    }
    if (TargetWritable())
        return TARGET_READY;
    CancelFlag = 0;
    if (!Ask(mainWindow, "crdir", CreateDirDlgProc))
        return NO_DIALOG;
    if (CancelFlag)
        return TARGET_NOT_READY;
    if (MakeDirectory(TargetDir) != 0 || !TargetWritable()) {
        StatusCode = STATUS_NO_DIRECTORY;
        return TARGET_NOT_READY;
    }
    return TARGET_READY;
}

// The product files up to the distribution's own models and maps.
static void InstallFiles(HWND mainWindow)
{
    ForgetMissedFiles();
    CreateProgressPanel(mainWindow);
    Draw(mainWindow, 1);
    StringCchCopyA(InstallDir, InstallDirCapacity, TargetDir); // same capacity: fits
    ExpandSaverIntoWindows();
    Draw(mainWindow, 10);
    InstallSaverProgram();
    Draw(mainWindow, 14);
    ExpandFile("SKYLOOP.HLP");
    ExpandFile("ORDER.FRM");
    PlainFileFlag = 1;
    ExpandFile("README.TXT");
    PlainFileFlag = 0;
    if (TargetBelowInstallDir("\\MAPS"))
        MakeDirectory(TargetDir); // it may exist already
    Draw(mainWindow, 18);
    ExpandFile("BGROUND.BMP");
    Draw(mainWindow, 28);
    if (TargetBelowInstallDir("\\SAMPLES"))
        MakeDirectory(TargetDir);
}

static void LinkOnDesktop(void)
{
    static const ProductShortcut links[] = {
        {"Skyloop Settings.lnk", "skyloop.exe"},
        {"Skyloop Help.lnk", "skyloop.hlp"},
        {"Read Me.lnk", "readme.txt"},
    };
    CreateProductShortcuts("Skyloop", links, 3, "Skyloop", KitPathCapacity, KitPathCapacity);
}

// Instead of the end message: the files that are not there whole.
static void ShowMissedFiles(HWND mainWindow)
{
    char text[100 + MissedFilesKept * 501], more[32];
    StringCchCopyA(text, sizeof text, "Setup could not install these files:\n");
    for (int i = 0; i < MissedFileCount && i < MissedFilesKept; i++) {
        StringCchCatA(text, sizeof text, "\n");
        StringCchCatA(text, sizeof text, MissedFile(i)); // room for every kept path
    }
    if (MissedFileCount > MissedFilesKept) {
        StringCchPrintfA(more, sizeof more, "\nand %d more", MissedFileCount - MissedFilesKept);
        StringCchCatA(text, sizeof text, more);
    }
    MessageBoxA(mainWindow, text, "Skyloop Setup", MB_OK | MB_ICONEXCLAMATION);
}

// Runs passes until one gets through or the user cancels; the exit code.
static int Install(HWND mainWindow)
{
    for (;;) {
        CancelFlag = 0;
        if (!Ask(mainWindow, "idir", InstallDirDlgProc))
            return 1;
        if (CancelFlag)
            return 0;
        StatusCode = STATUS_NONE;
        Readiness ready = PrepareTarget(mainWindow);
        if (ready == NO_DIALOG)
            return 1;
        if (ready == TARGET_NOT_READY)
            continue;
        // A box that could not be shown answers Cancel.
        if (MessageBoxA(mainWindow, "Setup will now install all files.", "Ready to Install",
                        MB_OKCANCEL | MB_ICONINFORMATION) != IDOK) {
            StatusCode = STATUS_DECLINED;
            continue;
        }
        InstallFiles(mainWindow);
        TransferDistributionSettings();
        int registered = RegisterVirtualDevice();
        if (registered != DEVICE_REGISTERED) {
            StatusCode = registered;
            // Offer the directory this pass installed into, not where the
            // transfer left TargetDir, so that Continue repeats the same pass.
            StringCchCopyA(TargetDir, TargetDirCapacity, InstallDir);
            continue;
        }
        Draw(mainWindow, 42);
        InstallWinGRuntime();
        ActivateScreenSaver();
        LinkOnDesktop();
        Draw(mainWindow, 45);
        if (MissedFileCount > 0) {
            ShowMissedFiles(mainWindow);
            return 1;
        }
        return Ask(mainWindow, "endmsgr", EndMsgDlgProc) ? 0 : 1;
    }
}

void RunInstall(HWND mainWindow)
{
    // A replacement cut short where the system cannot replace a file in one
    // step may have left only the backup: the file comes back before anything.
    RestoreSystemIni();
    char settings[MAX_PATH], backup[MAX_PATH];
    if (WindowsFilePath(settings, sizeof settings, SAVER_SETTINGS_FILE) &&
        WindowsFilePath(backup, sizeof backup, SAVER_SETTINGS_BACKUP))
        RestoreFromBackup(settings, backup);
    DeriveSourceDir();
    StatusCode = STATUS_NONE;
    PostQuitMessage(Install(mainWindow));
}
