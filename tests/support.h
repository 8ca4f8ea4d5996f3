// What the tests share: files, INI and registry values, shell links read back,
// and the fixture for tests that operate an installer. Every test program runs
// in a prefix of its own.
#ifndef SUPPORT_H
#define SUPPORT_H

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"

const char *const Absent = "<absent>";
const std::string WindowsDir = "C:\\windows";
std::string SystemDir();

// The whole file; missing (when given) tells whether it could be read.
std::string ReadWhole(const std::string &path, bool *missing = nullptr);
bool WriteWhole(const std::string &path, const std::string &data);
bool FileExists(const std::string &path);
bool DirectoryExists(const std::string &path);
void RemoveTree(const std::string &path); // a file or a directory, read-only files included
std::string FreshDirectory(const std::string &name); // C:\tests\<name>, new and empty
std::vector<std::string> FilesIn(const std::string &dir); // sorted, without "." and ".."
// Empty when path holds expected's bytes, else what differs.
std::string Differs(const std::string &path, const std::string &expected);

// A key's value as the INI file holds it, or Absent.
std::string IniValue(const std::string &path, const char *section, const char *key);
// The file's non-blank lines, each followed by "\n".
std::string IniText(const std::string &path);
long long UnixNow(); // seconds since 1970 by the system clock
bool SeededBetween(const std::string &value, long long from, long long to);

// A registry value as text: Absent, or its data without its one terminating
// NUL ("<no NUL>" appended when it has none), after "<type N>" unless REG_SZ.
std::string RegText(HKEY root, const char *key, const char *name);
// Writes text, its NUL included, under this type; deletes the value when text is NULL.
void SetReg(HKEY root, const char *key, const char *name, DWORD type, const char *text);

// "target | description" of a shell link, or "<unreadable>"; COM initialised.
std::string LinkText(const std::string &path);

extern const char *const WinGFiles[6];

// Operates an installer in a clean scratch directory, C:\tests\<name>.
class InstallerTest : public ::testing::Test {
protected:
    void TearDown() override;
    void Start(const std::string &program);
    // The installer's windows, for failure messages.
    std::string Windows();
    HWND Wait(const char *caption, DWORD timeoutMs = Timeout);
    // Answers a message box, having checked its text.
    void Answer(const char *caption, const std::string &text, int button);
    int Exit() { return driver::WaitForExit(program, Timeout); }

    static const DWORD Timeout = 30000;
    driver::Process program = {NULL, 0};
    std::string scratch = FreshDirectory("run");
};

#endif
