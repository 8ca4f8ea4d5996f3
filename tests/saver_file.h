// Test side of SKYLOOP.INI in the Windows directory: a fixture that keeps the
// prefix's own copy aside, and the file read back as lines.
#ifndef SAVER_FILE_H
#define SAVER_FILE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

class SaverFileTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string path; // C:\windows\SKYLOOP.INI

private:
    std::string saved_;
    bool hadFile_ = false;
};

// Seconds since 1970 from the system clock, independent of the C library.
long long UnixNow();

// The file's non-blank lines, line ends stripped; empty when there is no file.
std::vector<std::string> SaverLines(const std::string &path);

// Replaces the TableOrder line with "TableOrder=<seed>" and returns its value
// ("<none>" when there is no such line).
std::string TakeTableOrder(std::vector<std::string> &lines);

// The value as a number within [from, to].
::testing::AssertionResult SeededBetween(const std::string &value, long long from, long long to);

std::string Joined(const std::vector<std::string> &lines);

#endif
