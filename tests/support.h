// What the tests read back and set up: files, INI values, registry values,
// shell links. Every test program runs in a prefix of its own.
#ifndef SUPPORT_H
#define SUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

const char *const Absent = "<absent>";

// The whole file; missing (when given) tells whether it could be read.
std::string ReadWhole(const std::string &path, bool *missing = nullptr);
bool WriteWhole(const std::string &path, const std::string &data);
bool FileExists(const std::string &path);
bool DirectoryExists(const std::string &path);
// Removes a file or a directory tree, read-only files included.
void RemoveTree(const std::string &path);
// C:\tests\<name>, new and empty.
std::string FreshDirectory(const std::string &name);
// Names in a directory, sorted, without "." and "..".
std::vector<std::string> FilesIn(const std::string &dir);
// Empty when path holds expected's bytes, else what differs.
std::string Differs(const std::string &path, const std::string &expected);

const std::string WindowsDir = "C:\\windows";
std::string SystemDir();

// A key's value as the INI file holds it, or Absent.
std::string IniValue(const std::string &path, const char *section, const char *key);
// The file's non-blank lines, each followed by "\n".
std::string IniText(const std::string &path);
// Seconds since 1970 by the system clock.
long long UnixNow();
// value is a number within [from, to].
bool SeededBetween(const std::string &value, long long from, long long to);

// A registry value as text: Absent, or its data without its one terminating
// NUL ("<no NUL>" appended when it has none), after "<type N>" unless REG_SZ.
std::string RegText(HKEY root, const char *key, const char *name);
void SetReg(HKEY root, const char *key, const char *name, DWORD type, const std::string &data);
void DeleteReg(HKEY root, const char *key, const char *name);

// "target | description" of a shell link, or "<unreadable>"; COM initialised.
std::string LinkText(const std::string &path);

// The WinG stand-ins: compressed as the media hold them (T:\wing), and
// what each must become (T:\wing\orig).
extern const char *const WinGFiles[6];
void StageWinGMedia(const std::string &dir);

#endif
