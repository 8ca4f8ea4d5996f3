// Operates another program's windows (or this process's own) as a user would,
// through Win32 messages. Every wait has a time limit.
#ifndef DRIVER_H
#define DRIVER_H

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace driver {

// Calls done every few milliseconds until it returns true (then true) or
// timeoutMs has passed (then false).
bool Poll(DWORD timeoutMs, const std::function<bool()> &done);

// A visible top-level window whose caption equals caption, or NULL.
HWND FindVisible(const char *caption);
HWND WaitForWindow(const char *caption, DWORD timeoutMs);
bool WaitForWindowGone(const char *caption, DWORD timeoutMs);
// The index of the first caption that a visible window shows (the window
// through found), or -1 after timeoutMs.
int WaitForAnyWindow(const std::vector<std::string> &captions, DWORD timeoutMs, HWND *found);
// Captions of a process's visible top-level windows, sorted; all when processId is 0.
std::vector<std::string> WindowsOf(DWORD processId);

// Text of a control (of the window itself when id is 0), read with WM_GETTEXT.
std::string ControlText(HWND window, int id);
void SetControlText(HWND window, int id, const char *text);
// Posted: a click may open modal loops in the operated program.
void Click(HWND window, int id);
// As the caption's close button does.
void CloseWindow(HWND window);
void PressKey(HWND window, int id, WORD virtualKey);
// Returns once the thread that owns button has handled everything posted to
// it before the call, and what that posted in turn. False on time-out.
bool Flush(HWND button, DWORD timeoutMs);
bool IsDefaultButton(HWND button);

// Waits for a message box, returns its text through text (may be NULL) and
// presses the button with the given id (IDOK, IDYES, ...).
bool AnswerMessageBox(const char *caption, int buttonId, DWORD timeoutMs, std::string *text);

struct Process {
    HANDLE handle;
    DWORD id;
};
// Starts commandLine in directory (may be NULL); handle NULL on failure.
Process Start(const std::string &commandLine, const char *directory);
// The exit code; kills the process and returns -1 on time-out.
int WaitForExit(Process &p, DWORD timeoutMs);
void Kill(Process &p);

// Answers the message boxes with this caption that this process shows while a
// test calls code that may show them, and records their texts.
class BoxWatcher {
public:
    BoxWatcher(const char *caption, int buttonId);
    ~BoxWatcher();
    std::vector<std::string> Texts();

private:
    std::string caption_;
    int button_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::thread thread_;
};

} // namespace driver

#endif
