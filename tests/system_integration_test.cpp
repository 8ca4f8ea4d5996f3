// The WinG runtime in the system directories and the current screen saver,
// through SYSTEM.INI or the user's desktop values.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "box_watcher.h"
#include "prefix_state.h"
#include "test_files.h"
#include "toolkit.h"

namespace {

class WinGTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = FreshDirectory("wing");
        media = root + "\\media";
        CreateDirectoryA(media.c_str(), NULL);
        StageWinGMedia(media);
        StringCchCopyA(SourceDir, SourceDirCapacity, media.c_str());
        PlainFileFlag = 0;
    }
    void TearDown() override { RemoveTree(root); }

    static void ExpectInstalled(const std::string &dir, const char *name, const char *what)
    {
        bool missing;
        std::string got = ReadWhole(dir + "\\" + name, &missing);
        EXPECT_FALSE(missing) << what << ": " << name << " not in " << dir;
        EXPECT_TRUE(missing || got == WinGOriginal(name)) << what << ": " << name << " differs";
    }
    std::string root, media;
};

TEST_F(WinGTest, Wing32GoesToAWritableSystem32)
{
    struct Row {
        const char *what;
        bool hasSystem32, staleProbe;
    } rows[] = {
        {"no SYSTEM32", false, false},
        {"SYSTEM32", true, false},
        {"SYSTEM32 holding an old MODEFTST.QQQ", true, true},
    };
    BoxWatcher boxes("Decomp Error", IDOK);
    const std::string windows = root + "\\win", system = windows + "\\SYSTEM",
                      system32 = windows + "\\SYSTEM32";
    for (const Row &r : rows) {
        RemoveTree(windows);
        CreateDirectoryA(windows.c_str(), NULL);
        CreateDirectoryA(system.c_str(), NULL);
        if (r.hasSystem32)
            CreateDirectoryA(system32.c_str(), NULL);
        if (r.staleProbe) {
            ASSERT_TRUE(WriteWhole(system32 + "\\MODEFTST.QQQ", "left over"));
        }

        InstallWinGRuntimeInto(windows.c_str(), system.c_str());

        std::vector<std::string> inSystem(kWinGFiles, kWinGFiles + 5), inSystem32;
        (r.hasSystem32 ? inSystem32 : inSystem).push_back("WING32.DLL");
        std::sort(inSystem.begin(), inSystem.end());
        EXPECT_EQ(inSystem, FilesIn(system)) << r.what;
        EXPECT_EQ(inSystem32, FilesIn(system32)) << r.what << ": the probe file is gone";
        for (const char *name : kWinGFiles)
            ExpectInstalled(name == std::string("WING32.DLL") && r.hasSystem32 ? system32 : system,
                            name, r.what);
        EXPECT_EQ(r.hasSystem32 ? system32 : system, TargetDir) << r.what;
        EXPECT_EQ(r.hasSystem32, DirectoryExists(system32)) << r.what;
    }
    EXPECT_EQ(std::vector<std::string>(), boxes.Texts());
}

TEST_F(WinGTest, InstallsIntoTheRunningSystem)
{
    const std::string system = SystemDirectory(), system32 = WindowsDirectory() + "\\SYSTEM32";
    std::vector<std::unique_ptr<SavedFile>> saved;
    for (const char *name : kWinGFiles)
        saved.emplace_back(new SavedFile(system + "\\" + name));
    if (_stricmp(system.c_str(), system32.c_str()) != 0)
        saved.emplace_back(new SavedFile(system32 + "\\WING32.DLL"));
    SavedFile probe(system32 + "\\MODEFTST.QQQ");
    ASSERT_TRUE(WriteWhole(system32 + "\\MODEFTST.QQQ", "left over"));
    BoxWatcher boxes("Decomp Error", IDOK);

    InstallWinGRuntime();

    for (int i = 0; i < 5; i++)
        ExpectInstalled(system, kWinGFiles[i], "system directory");
    ExpectInstalled(system32, "WING32.DLL", "a writable SYSTEM32 under the Windows directory");
    EXPECT_EQ(system32, TargetDir);
    EXPECT_FALSE(FileExists(system32 + "\\MODEFTST.QQQ")) << "probe left behind";
    EXPECT_EQ(std::vector<std::string>(), boxes.Texts());
}

const char kDesktopKey[] = "Control Panel\\Desktop";

// SYSTEM.INI's [boot] SCRNSAVE.EXE as the file holds it, or "(none)".
std::string BootScreenSaver(const std::string &ini)
{
    std::string section, value = "(none)";
    size_t at = 0;
    while (at < ini.size()) {
        size_t end = ini.find('\n', at);
        if (end == std::string::npos)
            end = ini.size();
        std::string line = ini.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[')
            section = line;
        else if (_stricmp(section.c_str(), "[boot]") == 0 &&
                 _strnicmp(line.c_str(), "SCRNSAVE.EXE=", 13) == 0)
            value = line.substr(13);
        at = end + 1;
    }
    return value;
}

class ScreenSaverTest : public ::testing::Test {
protected:
    void SetValues(DWORD type, const char *active, const char *timeout, const char *saver)
    {
        const char *data[] = {active, timeout, saver};
        for (int i = 0; i < 3; i++) {
            if (data[i])
                WriteValue(kDesktopKey, kNames[i], type, std::string(data[i], strlen(data[i]) + 1));
            else
                DeleteValue(kDesktopKey, kNames[i]);
        }
    }
    static std::string Text(const char *s) { return std::string(s, strlen(s) + 1); }

    static constexpr const char *kNames[3] = {"ScreenSaveActive", "ScreenSaveTimeOut",
                                              "SCRNSAVE.EXE"};
    const std::string windows = WindowsDirectory();
    const std::string iniPath = windows + "\\system.ini";
    const std::string saverPath = windows + "\\SKYLOOP.SCR";
    OsVariable os;
    SavedFile ini{iniPath};
    SavedValue active{kDesktopKey, kNames[0]}, timeout{kDesktopKey, kNames[1]},
        saver{kDesktopKey, kNames[2]};
};

TEST_F(ScreenSaverTest, Windows95WritesSystemIniOnly)
{
    for (const char *value : {(const char *)nullptr, "windows_nt", "Windows_95"}) {
        const char *what = value ? value : "(unset)";
        os.Set(value);
        SetValues(REG_SZ, "0", "300", "C:\\WINDOWS\\OLD.SCR");
        ASSERT_TRUE(WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "OLD.SCR", iniPath.c_str()));

        ActivateScreenSaver();

        EXPECT_EQ(saverPath, BootScreenSaver(ReadWhole(iniPath))) << what;
        const char *kept[] = {"0", "300", "C:\\WINDOWS\\OLD.SCR"};
        for (int i = 0; i < 3; i++) {
            RegValue v = ReadValue(kDesktopKey, kNames[i]);
            EXPECT_TRUE(v.exists && v.type == REG_SZ && v.data == Text(kept[i]))
                << what << ": " << kNames[i] << " changed to " << v.data;
        }
    }
}

TEST_F(ScreenSaverTest, WindowsNtRewritesOnlyExistingValues)
{
    os.Set("Windows_NT");
    const std::string iniBefore = ReadWhole(iniPath);
    struct Row {
        const char *what;
        DWORD type;
        const char *active, *timeout, *saver; // nullptr: absent
    } rows[] = {
        {"timeout absent", REG_SZ, "0", nullptr, "C:\\WINDOWS\\OLD.SCR"},
        {"all present", REG_SZ, "0", "300", "OLD.SCR"},
        {"none present", REG_SZ, nullptr, nullptr, nullptr},
        {"only the saver", REG_SZ, nullptr, nullptr, "OLD.SCR"},
        {"expandable text", REG_EXPAND_SZ, "0", "300", "%windir%\\OLD.SCR"},
        {"binary values", REG_BINARY, "0", "300", "OLD.SCR"},
        {"numbers", REG_DWORD, "000", "000", "000"},
    };
    for (const Row &r : rows) {
        SetValues(r.type, r.active, r.timeout, r.saver);

        ActivateScreenSaver();

        const char *before[] = {r.active, r.timeout, r.saver};
        const std::string after[] = {Text("1"), Text("600"), Text(saverPath.c_str())};
        for (int i = 0; i < 3; i++) {
            RegValue v = ReadValue(kDesktopKey, kNames[i]);
            EXPECT_EQ(before[i] != nullptr, v.exists) << r.what << ": " << kNames[i];
            if (before[i] && v.exists) {
                EXPECT_EQ(r.type, v.type) << r.what << ": " << kNames[i] << " keeps its type";
                EXPECT_EQ(after[i], v.data) << r.what << ": " << kNames[i];
            }
        }
    }
    EXPECT_EQ(iniBefore, ReadWhole(iniPath)) << "SYSTEM.INI is not touched on Windows NT";
}

} // namespace
