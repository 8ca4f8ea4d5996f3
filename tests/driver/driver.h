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

// Calls done every few milliseconds until it returns true (true) or timeoutMs has passed (false).
bool Poll(DWORD timeoutMs, const std::function<bool()> &done);
// A visible top-level window whose caption equals caption, or NULL.
HWND FindVisible(const char *caption);
HWND WaitForWindow(const char *caption, DWORD timeoutMs);
bool WaitForWindowGone(const char *caption, DWORD timeoutMs);
// Captions of a process's visible top-level windows, sorted.
std::vector<std::string> WindowsOf(DWORD processId);

// Text of a control (of the window itself when id is 0), read with WM_GETTEXT.
std::string ControlText(HWND window, int id);
void SetControlText(HWND window, int id, const char *text);
// Posted, as a click may open modal loops in the operated program.
void Click(HWND window, int id);
void CloseWindow(HWND window); // as the caption's close button does
void PressKey(HWND window, int id, WORD virtualKey);
// Returns once the thread that owns button has handled what was posted to it
// before, and what that posted in turn. False on time-out.
bool Flush(HWND button, DWORD timeoutMs);
bool IsDefaultButton(HWND button);
// Waits for a message box, gives its text and presses the button with this id.
bool AnswerMessageBox(const char *caption, int buttonId, DWORD timeoutMs, std::string *text);

struct Process {
    HANDLE handle;
    DWORD id;
};
Process Start(const std::string &commandLine, const char *directory); // handle NULL on failure
// The exit code; kills the process and returns -1 on time-out.
int WaitForExit(Process &p, DWORD timeoutMs);
void Kill(Process &p);

// Answers the message boxes with this caption that appear while it lives, and
// records their texts: for code under test that runs in this process.
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
