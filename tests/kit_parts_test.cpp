// The distribution installer's parts in-process: the progress edge, the DVA.386 device line in
// SYSTEM.INI, and the WinG runtime where its TargetDir is shorter than a directory can be.
#include <limits.h>
#include <stdio.h>

#include "kit.h"
#include "progress_edge.h"
#include "support.h"
#include "test_seams.h"
#include "toolkit.h"

namespace {
TEST(ProgressEdge, TruncatedSinglePrecisionEdges) {
    const int rows[][3] = {{1, 45, 4}, {10, 45, 43}, {14, 45, 60}, {18, 45, 78}, {28, 45, 121}, {42, 45, 182},
                           {45, 45, 195}, {1, 3, 65}, {16777216, 16777217, 195}}; // the quotient rounds to 1
    for (const auto &r : rows)
        EXPECT_EQ(r[2], ProgressEdge(r[0], r[1])) << r[0] << " of " << r[1];
}

const std::string Ini = WindowsDir + "\\system.ini", Copy = WindowsDir + "\\SYSTEM.QQQ",
                  Backup = WindowsDir + "\\SYSTEM.QQB", Dev = "Device=DVA.386";

const std::string Raw("a\rb\r\r\n[386enh]\r\nc\0d\r\n\x1a", 22);

std::string Crlf(const Strings &lines) {
    std::string all;
    for (const std::string &l : lines)
        all += l + "\r\n";
    return all;
}

// SYSTEM.INI as two registrations leave it (the second must find the line), or why not.
std::string Registered(const std::string &ini) {
    EXPECT_TRUE(WriteWhole(Ini, ini));
    if (RegisterVirtualDevice() != DEVICE_REGISTERED)
        return "<failed>";
    std::string once = ReadWhole(Ini);
    if (RegisterVirtualDevice() != DEVICE_REGISTERED || ReadWhole(Ini) != once)
        return "<changed again>";
    return FileExists(Copy) || FileExists(Backup) ? "<copy left>" : once;
}

TEST(DeviceLine, GoesAfterEachHeaderLineAndNowhereElse) {
    const std::string a(600, 'a');
    std::vector<std::pair<std::string, std::string>> rows = {
        // SYSTEM.INI, what it becomes ("": as it was)
        {Crlf({"[boot]", "a=b", "[386enh]", Dev, "x=y"}), ""},
        {Crlf({"[boot]", Dev, "[386enh]", "x=y"}), ""},
        {Crlf({"[386enh]", "Device=DVA.386,old"}), ""},
        {Crlf({"[386Enh]", "DEVICE=dva.386"}), ""},
        {Crlf({"[386enh]"}) + Dev, ""},
        {Crlf({a, "[386enh]", Dev}), ""},
        {Crlf({"[boot]", "[386enhanced]", " [386enh]", a}), ""},
        {"", ""},
        {Crlf({"[boot]", "[386enh]", "w=d", "[drivers]"}),
         Crlf({"[boot]", "[386enh]", Dev, "w=d", "[drivers]"})},
        {Crlf({"[386enh] ; devices", "x=y"}), Crlf({"[386enh] ; devices", Dev, "x=y"})},
        {"[boot]\na=b\n[386Enh]\nx=y\n", Crlf({"[boot]", "a=b", "[386Enh]", Dev, "x=y"})},
        {Crlf({"[386enh];" + a, "x=y"}), Crlf({"[386enh];" + a, Dev, "x=y"})},
        {Crlf({"[386enh", "Device=DVA.38", "[386enH]"}), Crlf({"[386enh", "Device=DVA.38", "[386enH]", Dev})},
        {Crlf({"[386enh]", "; " + Dev, "x=" + Dev}), Crlf({"[386enh]", Dev, "; " + Dev, "x=" + Dev})},
        {Crlf({"[386enh]", "a=1", "[386ENH]"}), Crlf({"[386enh]", Dev, "a=1", "[386ENH]", Dev})},
        {"x\r\n[386enh]", Crlf({"x", "[386enh]", Dev})},
        {"[386enh]\r", "[386enh]\r\r\n" + Dev + "\r\n"},
        {"\r\n\n[386enh]\n\n", "\r\n\r\n[386enh]\r\n" + Dev + "\r\n\r\n"},
        // Stray CR, CR CR LF, NUL and Ctrl-Z are kept.
        {Raw, std::string(Raw).insert(16, Dev + "\r\n")},
    };
    for (size_t i = 0; i < rows.size(); i++)
        EXPECT_EQ(rows[i].second.empty() ? rows[i].first : rows[i].second, Registered(rows[i].first))
            << "row " << i;
}

TEST(DeviceLine, FailuresLeaveSystemIniAsItWas) {
    const std::string ini = Crlf({"[boot]", "[386enh]", "x=y"});
    const struct {
        int result;
        DWORD share; // of a handle another program holds on SYSTEM.INI; ~0: none
        bool missing, copyIsDirectory;
    } rows[] = {
        {SYSTEM_INI_UNREADABLE, ~0u, true, false}, {SYSTEM_INI_UNREADABLE, 0, false, false},
        {SYSTEM_INI_NOT_UPDATED, ~0u, false, true},
        {SYSTEM_INI_NOT_UPDATED, FILE_SHARE_READ | FILE_SHARE_WRITE, false, false}, // no delete sharing
    };
    for (const auto &r : rows) {
        ASSERT_TRUE(r.missing ? DeleteFileA(Ini.c_str()) : WriteWhole(Ini, ini));
        if (r.copyIsDirectory)
            CreateDirectoryA(Copy.c_str(), NULL);
        HANDLE held = r.share == ~0u
                          ? INVALID_HANDLE_VALUE
                          : CreateFileA(Ini.c_str(), GENERIC_READ, r.share, NULL, OPEN_EXISTING, 0, NULL);
        EXPECT_EQ(r.result, RegisterVirtualDevice()) << r.share;
        CloseHandle(held);
        EXPECT_EQ(r.missing ? Absent : ini, FileExists(Ini) ? ReadWhole(Ini) : Absent) << r.share;
        EXPECT_TRUE(DirectoryExists(Copy) == r.copyIsDirectory && !FileExists(Copy) && !FileExists(Backup))
            << r.share;
        RemoveDirectoryA(Copy.c_str());
    }
    // One read short of its size (scripts/test links a host file there) is refused.
    EXPECT_EQ(SYSTEM_INI_UNREADABLE, RegisterVirtualDeviceIn("C:\\short-read"));
    EXPECT_EQ(Strings{"SYSTEM.INI"}, FilesIn("C:\\short-read"));
}

// Where the system cannot replace a file in one step: the old file stays the backup until the
// new one is in place.
TEST(DeviceLine, ReplacementKeepsTheOldFileUntilTheNewOneIsInPlace) {
    std::string root = FreshDirectory("replace"), path = root + "\\SYSTEM.INI", next = root + "\\SYSTEM.QQQ",
                backup = root + "\\SYSTEM.QQB";
    for (const char *held : {"", "SYSTEM.INI", "SYSTEM.QQQ"}) {
        ASSERT_TRUE(WriteWhole(path, "old") && WriteWhole(next, "new") && WriteWhole(backup, "stale"));
        HANDLE h = CreateFileA((root + "\\" + held).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               NULL, OPEN_EXISTING, 0, NULL);
        EXPECT_EQ(!*held, ReplaceKeepingBackup(next.c_str(), path.c_str(), backup.c_str()) != FALSE) << held;
        CloseHandle(h);
        EXPECT_EQ(*held ? "old" : "new", ReadWhole(path));
        EXPECT_TRUE(!FileExists(backup) && (!strcmp(held, "SYSTEM.QQQ") || !FileExists(next))) << held;
    }
}

TEST(WinG, Wing32GoesToTheSystemDirectoryWhenSystem32DoesNotFitTargetDir) {
    std::string root = FreshDirectory("far"),
                windows = root + "\\" + std::string(TargetDirCapacity - 18, 'w');
    for (const std::string &dir : {root + "\\S", windows, windows + "\\SYSTEM32"})
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    StringCchCopyA(SourceDir, SourceDirCapacity, "D:");
    InstallWinGRuntimeInto(windows.c_str(), (root + "\\S").c_str());
    EXPECT_EQ(6u, FilesIn(root + "\\S").size());
    EXPECT_EQ(Strings{}, FilesIn(windows + "\\SYSTEM32")) << "the probe is gone";
}
} // namespace
