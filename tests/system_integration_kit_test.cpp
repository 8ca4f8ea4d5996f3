// The distribution installer's copies of the desktop and system routines:
// the same behaviour within its smaller buffers.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "prefix_state.h"
#include "test_files.h"
#include "toolkit.h"

namespace {

TEST(KitOsName, FitsIn256)
{
    ASSERT_EQ(256, OsNameCapacity);
    ASSERT_EQ(256, SystemPathCapacity);
    OsVariable os;
    std::string longest(255, 'w'), tooLong(256, 'w');
    struct Row {
        const std::string &set, expected;
    } rows[] = {{longest, longest}, {tooLong, "Windows_95"}};
    for (const Row &r : rows) {
        os.Set(r.set.c_str());
        char buffer[256];
        GetOsName(buffer, OsNameCapacity);
        EXPECT_EQ(r.expected, buffer) << r.set.size() << " characters";
    }
}

class KitWinGTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = FreshDirectory("kitwing");
        media = root + "\\media";
        system = root + "\\sys";
        CreateDirectoryA(media.c_str(), NULL);
        CreateDirectoryA(system.c_str(), NULL);
        StringCchCopyA(SourceDir, SourceDirCapacity, media.c_str());
        PlainFileFlag = 0;
    }
    void TearDown() override { RemoveTree(root); }
    std::string root, media, system;
};

TEST_F(KitWinGTest, System32BeyondTheBuffersFallsBackToTheSystemDirectory)
{
    StageWinGMedia(media);
    struct Row {
        const char *what;
        size_t windowsLength;
    } rows[] = {
        // TargetDir holds 200 characters, the probe path 256.
        {"SYSTEM32 path too long for TargetDir", 195},
        {"probe path too long", 240},
    };
    for (const Row &r : rows) {
        std::string windows = root + "\\" + std::string(r.windowsLength - root.size() - 1, 'w');
        std::string system32 = windows + "\\SYSTEM32";
        ASSERT_TRUE(CreateDirectoryA(windows.c_str(), NULL)) << r.what;
        ASSERT_TRUE(CreateDirectoryA(system32.c_str(), NULL)) << r.what;
        if (r.windowsLength + 22 <= 255) {
            ASSERT_TRUE(WriteWhole(system32 + "\\MODEFTST.QQQ", "left over"));
        }

        InstallWinGRuntimeInto(windows.c_str(), system.c_str());

        EXPECT_EQ(std::vector<std::string>(), FilesIn(system32)) << r.what;
        std::vector<std::string> all(kWinGFiles, kWinGFiles + 6);
        std::sort(all.begin(), all.end());
        EXPECT_EQ(all, FilesIn(system)) << r.what;
        EXPECT_TRUE(ReadWhole(system + "\\WING32.DLL") == WinGOriginal("WING32.DLL")) << r.what;
        EXPECT_EQ(system, TargetDir) << r.what;
        RemoveTree(windows);
        for (const char *name : kWinGFiles)
            DeleteFileA((system + "\\" + name).c_str());
    }
}

TEST(KitScreenSaver, LongExistingValueIsStillRewritten)
{
    const char key[] = "Control Panel\\Desktop";
    OsVariable os;
    SavedValue active(key, "ScreenSaveActive"), timeout(key, "ScreenSaveTimeOut"),
        saver(key, "SCRNSAVE.EXE");
    os.Set("Windows_NT");
    std::string old = "C:\\" + std::string(400, 'o') + ".SCR";
    WriteValue(key, "ScreenSaveActive", REG_SZ, std::string(300, '0') + '\0');
    DeleteValue(key, "ScreenSaveTimeOut");
    WriteValue(key, "SCRNSAVE.EXE", REG_SZ, old + '\0');

    ActivateScreenSaver();

    std::string saverPath = WindowsDirectory() + "\\SKYLOOP.SCR";
    EXPECT_EQ(std::string("1", 2), ReadValue(key, "ScreenSaveActive").data);
    EXPECT_FALSE(ReadValue(key, "ScreenSaveTimeOut").exists);
    EXPECT_EQ(saverPath + '\0', ReadValue(key, "SCRNSAVE.EXE").data);
}

} // namespace
