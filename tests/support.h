// What the tests share: files, INI and registry values and shell links read
// back, the driver that operates windows as a user would (every wait with a
// time limit), and the fixture for tests that operate an installer.
#ifndef SUPPORT_H
#define SUPPORT_H

#include <gtest/gtest.h>
#include <time.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

const char *const Absent = "<absent>";
const std::string WindowsDir = "C:\\windows", SystemDir = WindowsDir + "\\system32";
extern const char *const WinGFiles[6];

std::string ReadWhole(const std::string &path, bool *missing = nullptr); // missing: whether it could not be read
bool WriteWhole(const std::string &path, const std::string &data);
bool FileExists(const std::string &path);
bool DirectoryExists(const std::string &path);
void RemoveTree(const std::string &path); // a file or a directory, read-only files included
std::string FreshDirectory(const std::string &name); // C:\tests\<name>, new and empty
std::vector<std::string> FilesIn(const std::string &dir); // sorted, without "." and ".."
std::vector<std::string> FilesBelow(const std::string &dir, bool deep = true); // paths, subdirectories' too when deep
std::string Differs(const std::string &path, const std::string &expected); // empty when path holds expected
std::string IniValue(const std::string &path, const char *section, const char *key); // or Absent
std::string IniText(const std::string &path); // the non-blank lines, each ending in "\n"
std::string SaverDefaults(const std::string &dir, const std::string &tableOrder); // the suite's settings file
bool SeededSince(const std::string &value, long long from); // value: a time(), from from until now
// A registry value as text: Absent, or its data without its one terminating
// NUL ("<no NUL>" appended when it has none), after "<type N>" unless REG_SZ.
std::string RegText(HKEY root, const char *key, const char *name);
// Writes text, its NUL included, under this type; deletes the value when text is NULL.
void SetReg(HKEY root, const char *key, const char *name, DWORD type, const char *text);
std::string LinkText(const std::string &path); // "target | description", or "<unreadable>"

namespace driver {
bool Poll(DWORD timeoutMs, const std::function<bool()> &done); // false when done never returned true
HWND FindVisible(const char *caption); // a visible top-level window with this caption, or NULL
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
struct Process { HANDLE handle; DWORD id; };
Process Start(const std::string &commandLine, const char *directory); // handle NULL on failure
int WaitForExit(Process &p, DWORD timeoutMs); // the exit code, or -1 (and killed) on time-out
void Kill(Process &p);
// Answers, while it lives, this process's message boxes with this caption, recording their texts.
class BoxWatcher {
public:
    BoxWatcher(const char *caption, int buttonId);
    ~BoxWatcher();
    std::vector<std::string> Texts();
private:
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::thread thread_;
};
} // namespace driver

// Operates an installer in a clean scratch directory, C:\tests\run.
class InstallerTest : public ::testing::Test {
protected:
    void TearDown() override;
    void Start(const std::string &program);
    std::string Windows(); // the installer's windows, for failure messages
    HWND Wait(const char *caption, DWORD timeoutMs = Timeout);
    void Answer(const char *caption, const std::string &text, int button); // having checked its text
    int Exit() { return driver::WaitForExit(program, Timeout); }
    // A distribution's SETUP.EXE run to the end into dir (by default the one offered, existing).
    void InstallDistribution(const std::string &setup, const char *dir = nullptr);
    static const DWORD Timeout = 30000;
    driver::Process program = {NULL, 0};
    std::string scratch = FreshDirectory("run");
};

#endif
