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

// Calls done every few milliseconds until it returns true (true) or timeoutMs passed (false).
bool Poll(DWORD timeoutMs, const std::function<bool()> &done);
HWND FindVisible(const char *caption); // a visible top-level window with this caption, or NULL
HWND WaitForWindow(const char *caption, DWORD timeoutMs);
bool WaitForWindowGone(const char *caption, DWORD timeoutMs);
std::vector<std::string> WindowsOf(DWORD processId); // its visible windows' captions, sorted

std::string ControlText(HWND window, int id); // of the window itself when id is 0
void SetControlText(HWND window, int id, const char *text);
void Click(HWND window, int id); // posted: a click may open modal loops in the program
void CloseWindow(HWND window);   // as the caption's close button does
void PressKey(HWND window, int id, WORD virtualKey);
// Returns once button's thread has handled what was posted to it before, and what that posted in turn.
bool Flush(HWND button, DWORD timeoutMs);
bool IsDefaultButton(HWND button);
// Waits for a message box, gives its text and presses the button with this id.
bool AnswerMessageBox(const char *caption, int buttonId, DWORD timeoutMs, std::string *text);

struct Process {
    HANDLE handle;
    DWORD id;
};
Process Start(const std::string &commandLine, const char *directory); // handle NULL on failure
int WaitForExit(Process &p, DWORD timeoutMs); // the exit code, or -1 (and killed) on time-out
void Kill(Process &p);

// Answers, while it lives, the message boxes with this caption that code under
// test in this process shows, and records their texts.
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
