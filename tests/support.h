// What the tests share: files, INI and registry values and links read back, and the driver that
// operates windows as a user would. Every wait has a time limit; a window that does not come
// ends its test there (an exception, which the test framework reports as the failure).
#ifndef SUPPORT_H
#define SUPPORT_H

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

typedef std::vector<std::string> Strings;
const char *const Absent = "<absent>";
const std::string WindowsDir = "C:\\windows", SystemDir = WindowsDir + "\\system32";
extern const char *const WinGFiles[6];

std::string ReadWhole(const std::string &path, bool *missing = nullptr);
bool WriteWhole(const std::string &path, const std::string &data);
bool FileExists(const std::string &path);
bool DirectoryExists(const std::string &path);
void RemoveTree(const std::string &path);             // read-only files too
std::string FreshDirectory(const std::string &name);  // C:\tests\<name>, new and empty
Strings FilesIn(const std::string &dir);              // names, sorted
Strings FilesBelow(const std::string &dir);           // paths, in subdirectories too
std::string Differs(const std::string &path, const std::string &expected); // "" when it holds that
std::string IniValue(const std::string &path, const char *section, const char *key); // or Absent
std::string IniText(const std::string &path);         // the lines that are not blank, trimmed
bool SeededSince(const std::string &value, long long from); // a time() from then until now
// Absent, or the data without its terminating NUL ("<no NUL>" when it has none), after
// "<type N>" unless REG_SZ.
std::string RegText(HKEY root, const char *key, const char *name);
void SetReg(HKEY root, const char *key, const char *name, DWORD type, const char *text); // NULL deletes
std::string LinkText(const std::string &path);        // "target | description", or "<unreadable>"

namespace driver {
const DWORD Timeout = 30000;
bool Poll(DWORD timeoutMs, const std::function<bool()> &done); // false when done never was
// A top-level window with this caption (any when NULL), of this process (any when 0), having
// a control with this id (any when 0; 0xFFFF: a message box's text).
HWND FindVisible(const char *caption, DWORD processId = 0, int control = 0);
Strings WindowsOf(DWORD processId);                             // its visible windows' captions
std::string ControlText(HWND window, int id);                   // the window's own when id is 0
void SetControlText(HWND window, int id, const char *text);
void Click(HWND window, int id); // posted: a click may open modal loops in the program
void CloseWindow(HWND window);   // as the caption's close button does
void PressKey(HWND window, int id, WORD virtualKey);
bool Flush(HWND button);         // true once what was posted to button's thread is handled
bool IsDefaultButton(HWND button);
struct Process { HANDLE handle; DWORD id; };
Process Start(const std::string &commandLine, const char *directory);
int WaitForExit(Process &p);     // the exit code, or -1 (killed) when it does not end in time
void Kill(Process &p);
// While it lives, answers the message boxes with this caption (any when NULL) with OK,
// recording "caption: text" of each.
class BoxWatcher {
public:
    explicit BoxWatcher(const char *caption = nullptr);
    ~BoxWatcher();
    Strings Texts();
private:
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    Strings texts_;
    std::thread thread_;
};
} // namespace driver

// Operates an installer started in a clean scratch directory, C:\tests\run.
class InstallerTest : public ::testing::Test {
protected:
    void TearDown() override;
    void Start(const std::string &program);
    HWND Wait(const char *caption, int control = 0); // of the program; see driver::FindVisible
    void Answer(const char *caption, const std::string &text, int button); // having checked its text
    int Exit() { return driver::WaitForExit(program); }
    // A distribution's SETUP.EXE through a pass into dir (by default the one offered, existing): the
    // box that lists what it could not install, answered, exit code 1; "" for the end message, 0.
    std::string InstallDistribution(const std::string &setup, const char *dir = nullptr);
    driver::Process program = {NULL, 0};
    std::string scratch = FreshDirectory("run");
};

#endif
