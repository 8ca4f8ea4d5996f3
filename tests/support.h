// Files, INI and registry values and links read back, and a driver that operates windows as a user
// would. Every wait has a time limit; a window that does not come ends its test (an exception).
#ifndef SUPPORT_H
#define SUPPORT_H

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
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
long long FileSize(const std::string &path); // -1 when missing
bool DirectoryExists(const std::string &path);
void RemoveTree(const std::string &path);
std::string FreshDirectory(const std::string &name); // C:\tests\<name>, new and empty
Strings FilesIn(const std::string &dir);             // names, sorted
Strings FilesBelow(const std::string &dir);          // paths, sorted, subdirectories' too
std::string Differs(const std::string &path, const std::string &expected); // "" when it holds that
Strings Split(const std::string &text, char separator);
// The blank-separated files below dir, each a copy of the product (P:) of its name, or of the file
// after "=" ("D:" the same name on D:, "P:X" product X); when only, no other file.
void ExpectFiles(const std::string &dir, const std::string &names, bool only = true);
std::string IniValue(const std::string &path, const char *section, const char *key); // or Absent
std::string IniText(const std::string &path); // the lines that are not blank, trimmed
bool SeededSince(const std::string &value, long long from); // a time() from then until now
// Absent, or the data without its NUL ("<no NUL>" when it has none), after "<type N>" unless REG_SZ.
std::string RegText(HKEY root, const char *key, const char *name);
void SetReg(HKEY root, const char *key, const char *name, DWORD type, const char *text); // NULL deletes
std::string LinkText(const std::string &path); // "target | description"
typedef std::map<std::string, std::string> Snapshot;
Snapshot Contents(const Strings &paths);                   // bytes, a link's LinkText, or Absent
Strings Differences(const Snapshot &a, const Snapshot &b); // paths they differ in
typedef std::vector<std::function<bool()>> Points;
std::string LargeSystemIni(); // [boot], [386Enh], and enough to be seen being written

namespace driver {
const DWORD Timeout = 30000;
bool Poll(DWORD timeoutMs, const std::function<bool()> &done); // false when done never was
// A visible top-level window with this caption (any when NULL), of this process (any when 0),
// having this control (any when 0; a message box's text is 0xFFFF).
HWND FindVisible(const char *caption, DWORD processId = 0, int control = 0);
Strings WindowsOf(DWORD processId); // the captions, sorted
std::string ControlText(HWND window, int id); // the window's own when id is 0
void SetControlText(HWND window, int id, const char *text);
void Click(HWND window, int id); // posted: a click may open modal loops
void Close(HWND window);         // as the caption's close button does
void PressKey(HWND window, int id, WORD virtualKey);
bool Flush(HWND button); // once what was posted to button's thread is handled
bool IsDefaultButton(HWND button);
// Answers message boxes with this caption (any when NULL) with OK while it lives, recording
// "caption: text" of each.
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
    void TearDown() override; // kills one still running: a failure
    void Start(const std::string &program);
    HWND Wait(const char *caption, int control = 0);
    void Answer(const char *caption, const std::string &text, int button); // having checked the text
    int Exit(); // the exit code, or -1 (killed) when it does not end in time
    // A distribution's SETUP.EXE through a pass into dir (by default the one offered, existing):
    // the box listing what it could not install (exit code 1), "" for the end message (0).
    std::string InstallDistribution(const std::string &setup, const char *dir = nullptr);
    // Kills the pass start() begins (the installer suspended before its last click) once each of points
    // or a later one holds, from empty dirs, no files and initial: these stay initial, or as finish() (a
    // whole pass) or also has them; finish() then leaves all as if never killed.
    void KillPasses(const Points &points, const Strings &dirs, const Strings &files, const Snapshot &initial,
                    const Snapshot &also, const std::function<void()> &start,
                    const std::function<void()> &finish);
    HANDLE process = NULL, thread = NULL; // thread: its main thread
    DWORD processId = 0;
    std::string scratch = FreshDirectory("run");
};

#endif
