// The distribution installer's progress edge, and the DVA.386 device line.
#include <limits.h>
#include <stdio.h>

#include "kit.h"
#include "progress_edge.h"
#include "support.h"
#include "system_ini_lines.h"
#include "toolkit.h"

namespace {
TEST(ProgressEdge, EdgesForTheInstallStepsAndBeyond) {
    const int rows[][3] = {
        {1, 3, 65}, {2, 3, 130}, {2, 45, 8}, // truncated, never rounded
        {16777216, 16777217, 195}, // single precision: the quotient rounds to 1 although step < total
        {-3, 45, 0}, {INT_MIN, 45, 0}, {46, 45, 195}, {INT_MAX, 45, 195}, {INT_MAX, INT_MAX, 195}, // held to the ends
        {1, 0, 0}, {1, -5, 0}, {INT_MIN, INT_MIN, 0},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r[2], ProgressEdge(r[0], r[1])) << r[0] << " of " << r[1];
}

const std::string Ini = WindowsDir + "\\system.ini", Copy = WindowsDir + "\\SYSTEM.QQQ",
                  Backup = WindowsDir + "\\SYSTEM.QQB";
// SYSTEM.INI as RegisterVirtualDevice leaves it, run twice (the second run
// must find the line), or why not.
std::string Registered(const std::string &ini) {
    EXPECT_TRUE(WriteWhole(Ini, ini));
    WritePrivateProfileStringA(NULL, NULL, NULL, Ini.c_str());
    if (RegisterVirtualDevice() != DEVICE_REGISTERED)
        return "<failed>";
    std::string once = ReadWhole(Ini);
    if (RegisterVirtualDevice() != DEVICE_REGISTERED || ReadWhole(Ini) != once)
        return "<changed again>";
    return FileExists(Copy) || FileExists(Backup) ? "<copy left>" : once;
}

std::string Crlf(const std::vector<std::string> &lines) {
    std::string all;
    for (const std::string &l : lines)
        all += l + "\r\n";
    return all;
}

TEST(DeviceLine, GoesAfterEachHeaderLineAndNowhereElse) {
    const std::string a(600, 'a'), dev = "Device=DVA.386";
    std::vector<std::pair<std::string, std::string>> rows = {
        // SYSTEM.INI, and what it becomes (empty: left as it is)
        {Crlf({"[boot]", "a=b", "[386enh]", dev, "x=y"}), ""}, {Crlf({"[boot]", dev, "[386enh]", "x=y"}), ""},
        {Crlf({"[386enh]", "Device=DVA.386,old"}), ""}, {Crlf({"[386Enh]", "DEVICE=dva.386"}), ""},
        {Crlf({"[386enh]"}) + dev, ""}, {Crlf({a, "[386enh]", dev}), ""},
        {Crlf({"[boot]", "[386enhanced]", " [386enh]", a}), ""}, {"", ""},
        {Crlf({"[boot]", "s=e", "[386enh]", "w=d", "[drivers]"}), Crlf({"[boot]", "s=e", "[386enh]", dev, "w=d", "[drivers]"})},
        {Crlf({"[386Enh]", "E=C"}), Crlf({"[386Enh]", dev, "E=C"})},
        {Crlf({"[386enh] ; devices", "x=y"}), Crlf({"[386enh] ; devices", dev, "x=y"})},
        {"[boot]\na=b\n[386enh]\nx=y\n", Crlf({"[boot]", "a=b", "[386enh]", dev, "x=y"})},
        {Crlf({"[386enh];" + a, "x=y"}), Crlf({"[386enh];" + a, dev, "x=y"})},
        {Crlf({"[386enh", "Device=DVA.38", "[386enH]"}), Crlf({"[386enh", "Device=DVA.38", "[386enH]", dev})},
        {Crlf({"[386enh]", "; " + dev, "x=" + dev}), Crlf({"[386enh]", dev, "; " + dev, "x=" + dev})},
        {Crlf({"[386enh]", "a=1", "[386ENH]", "b=2"}), Crlf({"[386enh]", dev, "a=1", "[386ENH]", dev, "b=2"})},
        {"x\r\n[386enh]", Crlf({"x", "[386enh]", dev})}, {"[386enh]\r", "[386enh]\r\r\n" + dev + "\r\n"},
        {"\r\n\n[386enh]\n\n", "\r\n\r\n[386enh]\r\n" + dev + "\r\n\r\n"},
        // Stray CR, CR CR LF, NUL and Ctrl-Z are kept.
        {std::string("a\rb\r\r\n[386enh]\r\nc\0d\r\n\x1a", 23), std::string("a\rb\r\r\n[386enh]\r\nDevice=DVA.386\r\nc\0d\r\n\x1a", 39)},
    };
    // Around the size of the pieces lines are read in: a device line or header
    // inside a long line is only text, and a CR LF split between pieces is one line end.
    for (int n = LinePieceCapacity - 4; n <= LinePieceCapacity + 1; n++) {
        std::string f(n, 'a');
        rows.push_back({"[386enh]\r\n" + f + dev + "\r\n", Crlf({"[386enh]", dev, f + dev})});
        rows.push_back({"[386enh]\r\n" + f + "[386enh]\r\n", Crlf({"[386enh]", dev, f + "[386enh]"})});
        rows.push_back({f + "\r\n[386enh]" + f + "\r\nx\r\n", Crlf({f, "[386enh]" + f, dev, "x"})});
        rows.push_back({f + "\n[386enh]" + f + "\nx", Crlf({f, "[386enh]" + f, dev}) + "x"});
    }
    for (size_t i = 0; i < rows.size(); i++)
        EXPECT_EQ(rows[i].second.empty() ? rows[i].first : rows[i].second, Registered(rows[i].first)) << "row " << i;
}

TEST(DeviceLine, FailuresLeaveSystemIniAsItWas) {
    const std::string ini = Crlf({"[boot]", "[386enh]", "x=y"});
    const struct {
        int result;
        DWORD share; // of a handle another program holds on SYSTEM.INI; ~0: none
        bool missing, copyIsDirectory;
    } rows[] = {
        {SYSTEM_INI_UNREADABLE, ~0u, true, false},
        {SYSTEM_INI_UNREADABLE, 0, false, false},
        {SYSTEM_INI_NOT_UPDATED, ~0u, false, true},
        {SYSTEM_INI_NOT_UPDATED, FILE_SHARE_READ | FILE_SHARE_WRITE, false, false}, // no delete sharing
    };
    for (const auto &r : rows) {
        WritePrivateProfileStringA(NULL, NULL, NULL, Ini.c_str());
        ASSERT_TRUE(r.missing ? DeleteFileA(Ini.c_str()) : WriteWhole(Ini, ini));
        if (r.copyIsDirectory)
            CreateDirectoryA(Copy.c_str(), NULL);
        HANDLE held = r.share == ~0u ? INVALID_HANDLE_VALUE
                                     : CreateFileA(Ini.c_str(), GENERIC_READ, r.share, NULL, OPEN_EXISTING, 0, NULL);
        EXPECT_EQ(r.result, RegisterVirtualDevice()) << r.share;
        CloseHandle(held);
        EXPECT_EQ(r.missing ? "" : ini, ReadWhole(Ini)) << r.share;
        EXPECT_TRUE(DirectoryExists(Copy) == r.copyIsDirectory && !FileExists(Copy) && !FileExists(Backup)) << r.share;
        RemoveDirectoryA(Copy.c_str());
    }
    // After an interrupted replacement only the backup is left: it is put back first.
    DeleteFileA(Ini.c_str());
    ASSERT_TRUE(WriteWhole(Backup, Crlf({"[386Enh]", "x=y"})));
    EXPECT_EQ(DEVICE_REGISTERED, RegisterVirtualDevice());
    EXPECT_EQ(Crlf({"[386Enh]", "Device=DVA.386", "x=y"}), ReadWhole(Ini));
    EXPECT_FALSE(FileExists(Backup));
    FILE *in = fopen(Ini.c_str(), "rb"), *readOnly = fopen(Ini.c_str(), "rb");
    EXPECT_EQ(-1, CopyWithDeviceLine(in, readOnly)) << "a stream that cannot be written";
    fclose(readOnly);
    fclose(in);
}

// Where the system cannot replace a file in one step: the old file is kept as
// a backup until the new one is in place.
TEST(DeviceLine, ReplacementKeepsTheOldFileUntilTheNewOneIsInPlace) {
    std::string root = FreshDirectory("replace"), path = root + "\\SYSTEM.INI", newPath = root + "\\SYSTEM.QQQ",
                backup = root + "\\SYSTEM.QQB";
    for (const char *held : {(const char *)nullptr, "SYSTEM.INI", "SYSTEM.QQQ"}) {
        ASSERT_TRUE(WriteWhole(path, "old") && WriteWhole(newPath, "new") && WriteWhole(backup, "stale"));
        HANDLE h = held ? CreateFileA((root + "\\" + held).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      NULL, OPEN_EXISTING, 0, NULL)
                        : INVALID_HANDLE_VALUE;
        EXPECT_EQ(!held, ReplaceKeepingBackup(newPath.c_str(), path.c_str(), backup.c_str()) != FALSE) << held;
        CloseHandle(h);
        EXPECT_EQ(held ? "old" : "new", ReadWhole(path));
        EXPECT_TRUE(!FileExists(backup) && ((held && strcmp(held, "SYSTEM.QQQ") == 0) || !FileExists(newPath))) << held;
    }
}
} // namespace
