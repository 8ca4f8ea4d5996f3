// The distribution installer's screens and steps.
#ifndef KIT_H
#define KIT_H

#include <windows.h>

extern HINSTANCE AppInstance; // this program's module, for its dialogs and windows
extern UINT_PTR StartTimer;   // the one-shot timer that starts the installation
extern int CancelFlag;        // 1 once Cancel was pressed in a directory dialog
extern int StatusCode;        // how the last pass ended, shown by the directory dialog

// Outcomes of a pass shown in the install-directory dialog, besides the
// failures of RegisterVirtualDevice.
enum {
    STATUS_NONE = 0,
    STATUS_NO_DIRECTORY = 1, // "Error in creating Directory"
    STATUS_DECLINED = 99     // "Ready to Install" answered with Cancel: no text
};

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The install driver, run once from the start timer; posts the quit message
// when the program is to end: exit code 1 when a dialog could not be made or
// files could not be installed, else 0.
void RunInstall(HWND mainWindow);
INT_PTR CALLBACK InstallDirDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CreateDirDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK EndMsgDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Progress panel: a child of the main window with a caption and a blue bar.
// Creating it again (a later installation pass) replaces the earlier panel.
void CreateProgressPanel(HWND mainWindow);
// Draws the bar for step out of total on mainWindow's panel; the bar only grows.
void DrawProgress(HWND mainWindow, int step, int total);

// Results of RegisterVirtualDevice; the failures are also status codes.
enum {
    DEVICE_REGISTERED = 0,
    SYSTEM_INI_UNREADABLE = 2,  // "Can't find SYSTEM.INI !!!"
    SYSTEM_INI_NOT_UPDATED = 4  // "Can't update SYSTEM.INI !!!"; SYSTEM.INI left as it was
};
// Makes sure SYSTEM.INI's [386enh] section holds the DVA.386 device line.
int RegisterVirtualDevice(void);
// The same for the SYSTEM.INI of windowsDir, so it need not be the running system's.
int RegisterVirtualDeviceIn(const char *windowsDir);

// Reads SKYSETUP.INI beside the installer: expands the models it lists and its
// private maps into InstallDir\SAMPLES, its public maps into InstallDir\MAPS
// (both made by the caller), and writes the models and its settings into the
// saver settings file; TargetDir is left as it was. A listed name that is no
// plain file name, or whose path does not fit, is neither expanded nor written
// as a path: its entry's path is written empty. Files that are not there whole
// afterwards, a name whose path does not fit among them, are noted as missed.
void TransferDistributionSettings(void);

#endif
