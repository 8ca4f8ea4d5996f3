// File helpers for tests that check what landed on disk.
#ifndef TEST_FILES_H
#define TEST_FILES_H

#include <string>

// Whole file, or missing set when it cannot be read.
std::string ReadWhole(const std::string &path, bool *missing = nullptr);
bool WriteWhole(const std::string &path, const std::string &data);
bool FileExists(const std::string &path);
bool DirectoryExists(const std::string &path);
// Removes a directory tree, read-only files included.
void RemoveTree(const std::string &path);
// A clean scratch directory C:\tests\<name>, removed again by the caller.
std::string FreshDirectory(const std::string &name);

#endif
