// Operates another program's windows (or this process's own) as a user would,
// through Win32 messages. Every wait has a time limit.
#ifndef DRIVER_H
#define DRIVER_H

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// A visible top-level window whose caption equals caption, or NULL after timeoutMs.
HWND WaitForWindow(const char *caption, DWORD timeoutMs);
// Waits until no visible top-level window has this caption; false on time-out.
bool WaitForWindowGone(const char *caption, DWORD timeoutMs);
// The visible top-level windows' captions, for failure messages.
std::string VisibleCaptions();
// Waits until a visible top-level window has one of the captions; returns the
// index of the caption found (window through found, may be NULL), or -1 after timeoutMs.
int WaitForAnyWindow(const std::vector<std::string> &captions, DWORD timeoutMs, HWND *found);
// The visible top-level windows of one process.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// Their captions, sorted.
std::vector<std::string> WindowsOf(DWORD processId);

// Text of a control (or of the window itself when id is 0), read with WM_GETTEXT.
std::string ControlText(HWND window, int id);
void SetControlText(HWND window, int id, const char *text);
// Posts a click: the click may open modal loops in the operated program.
void Click(HWND window, int id);
// Posts WM_CLOSE, as the caption's close button does.
void CloseWindow(HWND window);
void PressKey(HWND window, int id, WORD virtualKey);
// Returns once the thread that owns button has handled everything posted to it
// before the call, and what that posted in turn (WM_CLOSE posts its Cancel
// command). Uses the button's pushed state as a marker. False on time-out.
bool Flush(HWND button, DWORD timeoutMs);
// Whether a push button is drawn as the default button.
bool IsDefaultButton(HWND button);

// Waits for a message box with this caption, returns its text through text
// (may be NULL) and presses the button with the given id (IDOK, IDYES, ...).
bool AnswerMessageBox(const char *caption, int buttonId, DWORD timeoutMs, std::string *text);

struct Process {
    HANDLE handle;
    DWORD id;
};
// Starts commandLine in directory (may be NULL). Returns handle NULL on failure.
Process Start(const char *commandLine, const char *directory);
// Waits for the process to end and returns its exit code; kills it and returns -1 on time-out.
int WaitForExit(Process &p, DWORD timeoutMs);
void Kill(Process &p);

} // namespace driver

#endif
