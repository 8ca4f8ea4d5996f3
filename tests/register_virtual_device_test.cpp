// The device registration on the prefix's own SYSTEM.INI, which every test
// puts back as it found it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit.h"
#include "test_files.h"

namespace {

const std::string Windows = "C:\\windows";
const std::string Ini = Windows + "\\system.ini";
const std::string Copy = Windows + "\\SYSTEM.QQQ";
const std::string Backup = Windows + "\\SYSTEM.QQB";

std::string Lines(const std::vector<std::string> &lines)
{
    std::string all;
    for (const std::string &l : lines)
        all += l + "\r\n";
    return all;
}

class RegisterVirtualDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bool missing;
        original = ReadWhole(Ini, &missing);
        hadIni = !missing;
        Clean();
    }
    void TearDown() override
    {
        Clean();
        if (hadIni)
            WriteWhole(Ini, original);
        else
            DeleteFileA(Ini.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, Ini.c_str());
    }
    static void Clean()
    {
        RemoveTree(Copy); // a file or the directory a test put in its way
        DeleteFileA(Copy.c_str());
        DeleteFileA(Backup.c_str());
    }

    std::string original;
    bool hadIni = false;
};

TEST_F(RegisterVirtualDeviceTest, LeavesTheFileAloneWhenThereIsNothingToDo)
{
    std::string longLine(600, 'q');
    struct Row {
        const char *what;
        std::string ini;
    } rows[] = {
        {"device line in the section", Lines({"[boot]", "a=b", "[386enh]", "Device=DVA.386", "x=y"})},
        {"device line in another section", Lines({"[boot]", "Device=DVA.386", "[386enh]", "x=y"})},
        {"longer line beginning with it", Lines({"[386enh]", "Device=DVA.386,old", "x=y"})},
        {"device line in other case", Lines({"[386Enh]", "DEVICE=dva.386"})},
        {"device line last, no line end", Lines({"[386enh]"}) + "Device=DVA.386"},
        {"bare LF line ends", "[386enh]\nDevice=DVA.386\nx=y\n"},
        {"long line before the device line", Lines({longLine, "[386enh]", "Device=DVA.386"})},
        {"no section", Lines({"[boot]", "shell=Explorer.exe", "[386enhanced]", " [386enh]"})},
        {"no section, long line", Lines({"[boot]", longLine})},
        {"empty file", ""},
    };
    for (const Row &r : rows) {
        ASSERT_TRUE(WriteWhole(Ini, r.ini)) << r.what;
        EXPECT_EQ(DEVICE_REGISTERED, RegisterVirtualDevice()) << r.what;
        EXPECT_TRUE(ReadWhole(Ini) == r.ini) << r.what;
        EXPECT_FALSE(FileExists(Copy)) << r.what;
    }
}

TEST_F(RegisterVirtualDeviceTest, AddsTheDeviceLineAfterTheSectionHeader)
{
    std::string longA(600, 'a'), longB(600, 'b');
    struct Row {
        const char *what;
        std::string ini, expected;
    } rows[] = {
        {"lower-case header",
         Lines({"[boot]", "shell=Explorer.exe", "[386enh]", "woafont=dosapp.fon", "[drivers]"}),
         Lines({"[boot]", "shell=Explorer.exe", "[386enh]", "Device=DVA.386", "woafont=dosapp.fon",
                "[drivers]"})},
        {"mixed-case header", Lines({"[386Enh]", "EMMExclude=C000-CFFF"}),
         Lines({"[386Enh]", "Device=DVA.386", "EMMExclude=C000-CFFF"})},
        {"header with a comment", Lines({"[386enh] ; devices", "x=y"}),
         Lines({"[386enh] ; devices", "Device=DVA.386", "x=y"})},
        {"bare LF line ends", "[boot]\na=b\n[386enh]\nx=y\n",
         Lines({"[boot]", "a=b", "[386enh]", "Device=DVA.386", "x=y"})},
        {"600-character lines before and after the header", Lines({longA, "[386enh]", longB}),
         Lines({longA, "[386enh]", "Device=DVA.386", longB})},
        {"600-character header line", Lines({"[386enh];" + longA, "x=y"}),
         Lines({"[386enh];" + longA, "Device=DVA.386", "x=y"})},
        {"device line not at the start of a line", Lines({"[386enh]", "; Device=DVA.386", "x=Device=DVA.386"}),
         Lines({"[386enh]", "Device=DVA.386", "; Device=DVA.386", "x=Device=DVA.386"})},
        {"several headers", Lines({"[386enh]", "a=1", "[boot]", "[386ENH]", "b=2"}),
         Lines({"[386enh]", "Device=DVA.386", "a=1", "[boot]", "[386ENH]", "Device=DVA.386", "b=2"})},
        {"header last, without a line end", "[boot]\r\n[386enh]",
         Lines({"[boot]", "[386enh]", "Device=DVA.386"})},
    };
    for (const Row &r : rows) {
        ASSERT_TRUE(WriteWhole(Ini, r.ini)) << r.what;
        EXPECT_EQ(DEVICE_REGISTERED, RegisterVirtualDevice()) << r.what;
        bool missing;
        std::string now = ReadWhole(Ini, &missing);
        EXPECT_FALSE(missing) << r.what;
        EXPECT_TRUE(now == r.expected) << r.what << ":\n" << now;
        EXPECT_FALSE(FileExists(Copy)) << r.what;
        EXPECT_FALSE(FileExists(Backup)) << r.what;
        // A second run finds the line and changes nothing.
        EXPECT_EQ(DEVICE_REGISTERED, RegisterVirtualDevice()) << r.what;
        EXPECT_TRUE(ReadWhole(Ini) == r.expected) << r.what << " (second run)";
    }
}

TEST_F(RegisterVirtualDeviceTest, ProfileFunctionsSeeTheRewrittenFile)
{
    ASSERT_TRUE(WriteWhole(Ini, Lines({"[boot]", "a=b", "[386Enh]", "x=y"})));
    // Read and written through the profile functions first, so they hold the file in their cache.
    char value[64];
    GetPrivateProfileStringA("boot", "a", "", value, sizeof value, "SYSTEM.INI");
    ASSERT_STREQ("b", value);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\WINDOWS\\SKYLOOP.SCR", "SYSTEM.INI");

    EXPECT_EQ(DEVICE_REGISTERED, RegisterVirtualDevice());
    GetPrivateProfileStringA("386Enh", "device", "", value, sizeof value, "SYSTEM.INI");
    EXPECT_STREQ("DVA.386", value);
    GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", value, sizeof value, "SYSTEM.INI");
    EXPECT_STREQ("C:\\WINDOWS\\SKYLOOP.SCR", value);
    GetPrivateProfileStringA("386enh", "x", "", value, sizeof value, "SYSTEM.INI");
    EXPECT_STREQ("y", value);
}

TEST_F(RegisterVirtualDeviceTest, MissingOrLockedSystemIniCannotBeFound)
{
    DeleteFileA(Ini.c_str());
    EXPECT_EQ(SYSTEM_INI_UNREADABLE, RegisterVirtualDevice());
    EXPECT_FALSE(FileExists(Ini));
    EXPECT_FALSE(FileExists(Copy));

    const std::string ini = Lines({"[386enh]", "x=y"});
    ASSERT_TRUE(WriteWhole(Ini, ini));
    HANDLE locked = CreateFileA(Ini.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    EXPECT_EQ(SYSTEM_INI_UNREADABLE, RegisterVirtualDevice());
    CloseHandle(locked);
    EXPECT_TRUE(ReadWhole(Ini) == ini);
    EXPECT_FALSE(FileExists(Copy));
}

TEST_F(RegisterVirtualDeviceTest, CopyThatCannotBeCreatedLeavesSystemIniAsItWas)
{
    const std::string ini = Lines({"[boot]", "[386enh]", "x=y"});
    ASSERT_TRUE(WriteWhole(Ini, ini));
    ASSERT_TRUE(CreateDirectoryA(Copy.c_str(), NULL));
    EXPECT_EQ(SYSTEM_INI_NOT_UPDATED, RegisterVirtualDevice());
    EXPECT_TRUE(ReadWhole(Ini) == ini);
    EXPECT_TRUE(DirectoryExists(Copy));
}

TEST_F(RegisterVirtualDeviceTest, FailedReplacementLeavesSystemIniAsItWasAndNoCopy)
{
    const std::string ini = Lines({"[boot]", "[386enh]", "x=y"});
    ASSERT_TRUE(WriteWhole(Ini, ini));
    // Another program has it open and does not allow it to be deleted.
    HANDLE held = CreateFileA(Ini.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    int result = RegisterVirtualDevice();
    CloseHandle(held);
    EXPECT_EQ(SYSTEM_INI_NOT_UPDATED, result);
    EXPECT_TRUE(ReadWhole(Ini) == ini);
    EXPECT_FALSE(FileExists(Copy));
    EXPECT_FALSE(FileExists(Backup));
}

// Where the system cannot replace a file in one step.
class ReplaceKeepingBackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = FreshDirectory("replace");
        path = root + "\\SYSTEM.INI";
        newPath = root + "\\SYSTEM.QQQ";
        backup = root + "\\SYSTEM.QQB";
        ASSERT_TRUE(WriteWhole(path, "old"));
        ASSERT_TRUE(WriteWhole(newPath, "new"));
    }
    void TearDown() override { RemoveTree(root); }

    BOOL Replace() { return ReplaceKeepingBackup(newPath.c_str(), path.c_str(), backup.c_str()); }

    std::string root, path, newPath, backup;
};

TEST_F(ReplaceKeepingBackupTest, PutsTheNewFileInPlaceOverAStaleBackup)
{
    ASSERT_TRUE(WriteWhole(backup, "stale"));
    EXPECT_TRUE(Replace());
    EXPECT_EQ("new", ReadWhole(path));
    EXPECT_FALSE(FileExists(newPath));
    EXPECT_FALSE(FileExists(backup));
}

TEST_F(ReplaceKeepingBackupTest, OldFileThatCannotBeMovedStays)
{
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    BOOL replaced = Replace();
    CloseHandle(held);
    EXPECT_FALSE(replaced);
    EXPECT_EQ("old", ReadWhole(path));
    EXPECT_FALSE(FileExists(newPath));
    EXPECT_FALSE(FileExists(backup));
}

TEST_F(ReplaceKeepingBackupTest, OldFileIsPutBackWhenTheNewOneCannotBeMoved)
{
    HANDLE held = CreateFileA(newPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    BOOL replaced = Replace();
    CloseHandle(held);
    EXPECT_FALSE(replaced);
    EXPECT_EQ("old", ReadWhole(path));
    EXPECT_FALSE(FileExists(backup));
}

} // namespace
