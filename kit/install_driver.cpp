// The install driver: asks for the directory until a pass can be made or the
// user cancels, then installs the screen saver with what the distribution
// lists, registers its device, the runtime, makes it current, links it on the
// desktop and shows the end message.
#include "kit.h"
#include "toolkit.h"

enum { ScratchCapacity = 256, KitPathCapacity = 256, ProgressTotal = 45 };

static void Draw(HWND mainWindow, int step)
{
    DrawProgress(mainWindow, step, ProgressTotal);
}

// A modal dialog owned by the main window, which is repainted where it was.
static void Ask(HWND mainWindow, const char *templateName, DLGPROC procedure)
{
    DialogBoxParamA(AppInstance, templateName, mainWindow, procedure, 0);
    InvalidateRect(mainWindow, NULL, TRUE);
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

// Makes sure TargetDir can be installed into, creating it when the user
// agrees. FALSE, with StatusCode set for the next directory dialog, otherwise.
static BOOL PrepareTarget(HWND mainWindow)
{
    if (TargetWritable())
        return TRUE;
    CancelFlag = 0;
    Ask(mainWindow, "crdir", CreateDirDlgProc);
    if (CancelFlag)
        return FALSE;
    if (MakeDirectory(TargetDir) != 0 || !TargetWritable()) {
        StatusCode = STATUS_NO_DIRECTORY;
        return FALSE;
    }
    return TRUE;
}

// The product files up to the distribution's own models and maps.
static void InstallFiles(HWND mainWindow)
{
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

void RunInstall(HWND mainWindow)
{
    DeriveSourceDir();
    StatusCode = STATUS_NONE;
    for (;;) {
        CancelFlag = 0;
        Ask(mainWindow, "idir", InstallDirDlgProc);
        if (CancelFlag)
            break;
        StatusCode = STATUS_NONE;
        if (!PrepareTarget(mainWindow))
            continue;
        if (MessageBoxA(mainWindow, "Setup will now install all files.", "Ready to Install",
                        MB_OKCANCEL | MB_ICONINFORMATION) == IDCANCEL) {
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
        Ask(mainWindow, "endmsgr", EndMsgDlgProc);
        break;
    }
    PostQuitMessage(0);
}
