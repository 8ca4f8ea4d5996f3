#include "saver_file.h"

#include <windows.h>

#include <stdlib.h>

#include "test_files.h"

static void FlushProfileCache()
{
    WritePrivateProfileStringA(NULL, NULL, NULL, "SKYLOOP.INI");
}

void SaverFileTest::SetUp()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    path = std::string(windows) + "\\SKYLOOP.INI";
    bool missing = true;
    saved_ = ReadWhole(path, &missing);
    hadFile_ = !missing;
    FlushProfileCache();
    DeleteFileA(path.c_str());
}

void SaverFileTest::TearDown()
{
    FlushProfileCache();
    DeleteFileA(path.c_str());
    if (hadFile_)
        WriteWhole(path, saved_);
}

long long UnixNow()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    unsigned long long ticks = ((unsigned long long)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (long long)((ticks - 116444736000000000ULL) / 10000000ULL);
}

std::vector<std::string> SaverLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string text = ReadWhole(path), line;
    for (char c : text + "\n") {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

std::string TakeTableOrder(std::vector<std::string> &lines)
{
    const std::string key = "TableOrder=";
    for (std::string &line : lines)
        if (line.compare(0, key.size(), key) == 0) {
            std::string value = line.substr(key.size());
            line = key + "<seed>";
            return value;
        }
    return "<none>";
}

::testing::AssertionResult SeededBetween(const std::string &value, long long from, long long to)
{
    char *end = nullptr;
    long long n = value.empty() ? 0 : strtoll(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0')
        return ::testing::AssertionFailure() << "TableOrder \"" << value << "\" is not a number";
    if (n < from || n > to)
        return ::testing::AssertionFailure()
               << "TableOrder " << n << " outside the clock window " << from << ".." << to;
    return ::testing::AssertionSuccess();
}

std::string Joined(const std::vector<std::string> &lines)
{
    std::string all;
    for (const std::string &line : lines)
        all += line + "\n";
    return all;
}
