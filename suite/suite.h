// The suite installer: wizard, product pages and finish boxes.
#ifndef SUITE_H
#define SUITE_H

#include <windows.h>

extern HINSTANCE AppInstance;     // this program's module, for dialogs and the progress bars
enum { DirEntryCapacity = MAX_PATH };
extern char DirEntry[DirEntryCapacity]; // directory of the page in front; written as CreateDir at exit
extern int CancelFlag;            // 1 once the user confirmed Cancel on a page; never reset

LRESULT CALLBACK SuiteWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ModellerPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SaverPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BuilderPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Puts label into the page's status line and lays a 0..100 progress bar along
// the page's bottom edge; the step moves it with PBM_SETPOS.
HWND CreatePageProgressBar(HWND page, const char *label);
// Moves that bar to percent.
void SetPageProgress(HWND bar, int percent);

// The product steps, run by their pages once TargetDir holds the chosen directory.
void InstallModeller(HWND page);
// The screen saver step: the saver, its files, settings, activation and links.
void InstallSaver(HWND page);
// The builder step: the builder, its links, the skeleton kit and skybuild.ini.
void InstallBuilder(HWND page);

#endif
