// The desktop folders and links, the WinG runtime, the current screen saver
// and the saver settings file, built into both installers' variants of the
// toolkit: expectations follow the variant's capacities.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.h"
#include "support.h"
#include "table_order.h"
#include "toolkit.h"

namespace {

const char *const DesktopKey = "Control Panel\\Desktop";
const char *const SaverValues[3] = {"ScreenSaveActive", "ScreenSaveTimeOut", "SCRNSAVE.EXE"};

void SetOs(const char *value)
{
    SetEnvironmentVariableA("OS", value);
}

TEST(OsName, IsTheVariableWholeOrWindows95)
{
    std::string longest(OsNameCapacity - 1, 'w'), tooLong(OsNameCapacity, 'w');
    const char *rows[][2] = {{nullptr, "Windows_95"}, {"Windows_NT", "Windows_NT"},
                             {"windows_nt", "windows_nt"}, {longest.c_str(), longest.c_str()},
                             {tooLong.c_str(), "Windows_95"}};
    for (const auto &r : rows) {
        SetOs(r[0]);
        std::vector<char> buffer(OsNameCapacity, '#');
        GetOsName(buffer.data(), OsNameCapacity);
        EXPECT_STREQ(r[1], buffer.data()) << (r[0] ? strlen(r[0]) : 0) << " characters";
    }
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        for (const char *dir : {"\\DESKTOP", "\\Profiles", "\\Profiles\\All Users", NtDesktop})
            CreateDirectoryA((WindowsDir + dir).c_str(), NULL);
    }
    static constexpr const char *NtDesktop = "\\Profiles\\All Users\\DESKTOP";
};

TEST_F(Desktop, FolderFollowsTheExactOsNameAndLinksAreRewritten)
{
    const ProductShortcut links[] = {{"Modelex.lnk", "modelex.exe"},
                                     {"Modelex Help.lnk", "modelex.hlp"},
                                     {"Read Me.lnk", "readmem.txt"}};
    const char *rows[][2] = {{nullptr, "\\DESKTOP"}, {"Windows_NT", NtDesktop},
                             {"windows_nt", "\\DESKTOP"}, {"Windows_NT ", "\\DESKTOP"}};
    for (const auto &r : rows) {
        for (const char *parent : {"\\DESKTOP", NtDesktop})
            RemoveTree(WindowsDir + parent + "\\Modelex");
        SetOs(r[0]);
        // Twice, as a reinstall does; neither target exists.
        for (const char *dir : {"C:\\modelex", "D:\\tools\\model ex"}) {
            StringCchCopyA(InstallDir, InstallDirCapacity, dir);
            CreateProductShortcuts("Modelex", links, 3, "Modelex", 500, 500);
        }
        std::string folder = WindowsDir + r[1] + "\\Modelex";
        EXPECT_EQ(std::vector<std::string>{"Modelex"}, FilesIn(WindowsDir + r[1])) << r[1];
        EXPECT_EQ((std::vector<std::string>{"Modelex Help.lnk", "Modelex.lnk", "Read Me.lnk"}),
                  FilesIn(folder));
        for (const ProductShortcut &l : links)
            EXPECT_EQ(std::string("D:\\tools\\model ex\\") + l.target + " | Modelex",
                      LinkText(folder + "\\" + l.linkFile));
        for (const char *other : {"\\DESKTOP", NtDesktop})
            EXPECT_EQ(strcmp(other, r[1]) == 0, DirectoryExists(WindowsDir + other + "\\Modelex")) << other;
    }
}

TEST_F(Desktop, PathsThatDoNotFitAreNeverUsedCut)
{
    SetOs(nullptr);
    std::string name(40, 'f'), fits = WindowsDir + "\\DESKTOP\\" + name;
    std::vector<std::string> before = FilesIn(WindowsDir + "\\DESKTOP");
    struct Row {
        int capacity;
        bool built;
    } rows[] = {{(int)fits.size() + 1, true}, {(int)fits.size(), false}, {(int)WindowsDir.size(), false}};
    for (const Row &r : rows) {
        char folder[500];
        memset(folder, '#', sizeof folder);
        EXPECT_EQ(r.built, ResolveDesktopFolder(name.c_str(), folder, r.capacity) != FALSE) << r.capacity;
        EXPECT_EQ(r.built ? fits : "", folder) << r.capacity;
        EXPECT_EQ(r.built, RemoveDirectoryA(fits.c_str()) != FALSE) << r.capacity;
    }
    EXPECT_EQ(before, FilesIn(WindowsDir + "\\DESKTOP")) << "nothing under a cut-off name";

    std::string dir = FreshDirectory("links"), base = dir + "\\" + std::string(200, 'd') + "\\";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), NULL));
    std::string target = "C:\\modelex\\modelex.exe", longTarget = "C:\\" + std::string(MAX_PATH - 4, 't');
    struct Link {
        std::string target, link;
        bool saved;
    } links[] = {
        {target, base + std::string(MAX_PATH - 5 - base.size(), 'n') + ".lnk", true},
        {target, base + std::string(MAX_PATH - 4 - base.size(), 'n') + ".lnk", false},
        {longTarget, base + "t259.lnk", true},
        {longTarget + "t", base + "t260.lnk", false},
        {target, "\\rooted.lnk", false}, {target, "relative.lnk", false},
        {target, "C:drive.lnk", false},  {target, "", false},
    };
    std::vector<std::string> saved;
    for (const Link &l : links) {
        EXPECT_EQ(l.saved, SUCCEEDED(CreateShortcut(l.target.c_str(), l.link.c_str(), "Modelex")))
            << l.link.size() << " / " << l.target.size() << " characters: " << l.link.substr(0, 20);
        if (l.saved) {
            saved.push_back(l.link.substr(base.size()));
            EXPECT_EQ(l.target + " | Modelex", LinkText(l.link));
        }
    }
    std::sort(saved.begin(), saved.end());
    EXPECT_EQ(saved, FilesIn(base)) << "nothing saved under another name";
    for (const char *stray : {"C:\\rooted.lnk", "relative.lnk", "C:drive.lnk"})
        EXPECT_FALSE(FileExists(stray)) << stray;
    RemoveTree(dir);
}

TEST(WinG, Wing32GoesToAWritableSystem32WhosePathsFit)
{
    std::string root = FreshDirectory("wing"), media = root + "\\media", system = root + "\\SYSTEM";
    CreateDirectoryA(media.c_str(), NULL);
    StageWinGMedia(media);
    StringCchCopyA(SourceDir, SourceDirCapacity, media.c_str());
    PlainFileFlag = 0;
    struct Row {
        size_t windowsLength; // 0: root\win
        bool system32, staleProbe, wing32There;
    } rows[] = {
        {0, false, false, false},
        {0, true, false, true},
        {0, true, true, true},
        // SYSTEM32 beyond TargetDir, with a probe that still fits and opens.
        {(size_t)TargetDirCapacity - 5, true, true, false},
        // The probe path beyond its buffer.
        {(size_t)SystemPathCapacity - 16, true, false, false},
    };
    driver::BoxWatcher boxes("Decomp Error", IDOK);
    for (const Row &r : rows) {
        std::string windows = r.windowsLength ? root + "\\" + std::string(r.windowsLength - root.size() - 1, 'w')
                                              : root + "\\win";
        if (windows.size() + 22 >= MAX_PATH)
            continue; // beyond what the file system holds: only the smaller buffers are tried
        std::string system32 = windows + "\\SYSTEM32";
        RemoveTree(system);
        CreateDirectoryA(system.c_str(), NULL);
        CreateDirectoryA(windows.c_str(), NULL);
        if (r.system32)
            CreateDirectoryA(system32.c_str(), NULL);
        ASSERT_TRUE(!r.staleProbe || WriteWhole(system32 + "\\MODEFTST.QQQ", "left over"));

        InstallWinGRuntimeInto(windows.c_str(), system.c_str());

        std::string what = std::to_string(windows.size()) + (r.system32 ? " with SYSTEM32" : "");
        std::vector<std::string> inSystem(WinGFiles, WinGFiles + 5), inSystem32;
        (r.wing32There ? inSystem32 : inSystem).push_back("WING32.DLL");
        std::sort(inSystem.begin(), inSystem.end());
        EXPECT_EQ(inSystem, FilesIn(system)) << what;
        EXPECT_EQ(inSystem32, FilesIn(system32)) << what << ": the probe file is gone";
        for (const char *name : WinGFiles)
            EXPECT_EQ("", Differs((r.wing32There && name == WinGFiles[5] ? system32 : system) + "\\" + name,
                                  ReadWhole(std::string("T:\\wing\\orig\\") + name)))
                << what;
        EXPECT_EQ(r.wing32There ? system32 : system, TargetDir) << what;
        RemoveTree(windows);
    }
    EXPECT_EQ(std::vector<std::string>{}, boxes.Texts());
    RemoveTree(root);
}

TEST(ScreenSaver, Windows95WritesSystemIniAndNtOnlyExistingValues)
{
    const std::string ini = WindowsDir + "\\system.ini", saver = WindowsDir + "\\SKYLOOP.SCR";
    std::string old(400, 'o');
    struct Row {
        const char *os;
        DWORD type;
        const char *values[3]; // nullptr: absent
    } rows[] = {
        {nullptr, REG_SZ, {"0", "300", "C:\\WINDOWS\\OLD.SCR"}},
        {"windows_nt", REG_SZ, {"0", "300", "OLD.SCR"}},
        {"Windows_95", REG_SZ, {"0", "300", "OLD.SCR"}},
        {"Windows_NT", REG_SZ, {"0", nullptr, "C:\\WINDOWS\\OLD.SCR"}},
        {"Windows_NT", REG_SZ, {"0", "300", "OLD.SCR"}},
        {"Windows_NT", REG_SZ, {nullptr, nullptr, nullptr}},
        {"Windows_NT", REG_SZ, {nullptr, nullptr, "OLD.SCR"}},
        {"Windows_NT", REG_EXPAND_SZ, {"0", "300", "%windir%\\OLD.SCR"}},
        {"Windows_NT", REG_BINARY, {"0", "300", "OLD.SCR"}},
        {"Windows_NT", REG_DWORD, {"000", "000", "000"}},
        // Longer than the buffers: still rewritten.
        {"Windows_NT", REG_SZ, {old.c_str(), nullptr, old.c_str()}},
    };
    for (const Row &r : rows) {
        SetOs(r.os);
        bool nt = r.os && strcmp(r.os, "Windows_NT") == 0;
        for (int i = 0; i < 3; i++) {
            if (r.values[i])
                SetReg(HKEY_CURRENT_USER, DesktopKey, SaverValues[i], r.type,
                       std::string(r.values[i], strlen(r.values[i]) + 1));
            else
                DeleteReg(HKEY_CURRENT_USER, DesktopKey, SaverValues[i]);
        }
        WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "OLD.SCR", ini.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
        std::string iniBefore = ReadWhole(ini);

        ActivateScreenSaver();

        std::string what = std::string(r.os ? r.os : "unset") + ", type " + std::to_string(r.type);
        const std::string now[3] = {"1", "600", saver};
        std::string prefix = r.type == REG_SZ ? "" : "<type " + std::to_string(r.type) + ">";
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(!r.values[i] ? Absent : prefix + (nt ? now[i] : std::string(r.values[i])),
                      RegText(HKEY_CURRENT_USER, DesktopKey, SaverValues[i]))
                << what << ": " << SaverValues[i];
        if (nt)
            EXPECT_EQ(iniBefore, ReadWhole(ini)) << what << ": SYSTEM.INI is not touched";
        else
            EXPECT_EQ(saver, IniValue(ini, "boot", "SCRNSAVE.EXE")) << what;
    }
    // An interrupted replacement left only SYSTEM.INI's backup: it is put back first.
    SetOs(nullptr);
    DeleteFileA(ini.c_str());
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\SYSTEM.QQB", "[boot]\r\nshell=Explorer.exe\r\n"));
    ActivateScreenSaver();
    EXPECT_EQ("[boot]\nshell=Explorer.exe\nSCRNSAVE.EXE=" + saver + "\n", IniText(ini));
    EXPECT_FALSE(FileExists(WindowsDir + "\\SYSTEM.QQB"));
}

class SaverSettings : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    void Clear()
    {
        WritePrivateProfileStringA(NULL, NULL, NULL, SAVER_SETTINGS_FILE);
        DeleteFileA(path.c_str());
    }
    const std::string path = WindowsDir + "\\SKYLOOP.INI";
};

TEST_F(SaverSettings, PathsThatDoNotFitTargetDirAreLeftOut)
{
    // "\MODELS\3D.SKY" just fits behind this InstallDir, "\MAPS\BGROUND.BMP"
    // does not; an older value stays.
    ASSERT_TRUE(WriteWhole(path, "[Misc]\r\nBackgroundMap=OLD\r\n"));
    std::string dir = "C:\\" + std::string(TargetDirCapacity - 18, 'd');
    StringCchCopyA(InstallDir, InstallDirCapacity, dir.c_str());
    long long from = UnixNow();
    WriteSaverDefaultsHead();
    WriteSaverDefaultsTail();
    std::string seed = IniValue(path, "Global", "TableOrder");
    EXPECT_TRUE(SeededBetween(seed, from, UnixNow())) << seed;
    EXPECT_EQ("[Misc]\nBackgroundMap=OLD\nNormal=1\nInstallDirectory=" + dir + "\nMapsDirectory=" +
                  dir + "\\MAPS\n[Entries]\nEntryFN000=" + dir + "\\MODELS\\3D.SKY\n"
                  "EntryPM000=2,350,350,1,0,3,0,0,10,0,270,10,45\n"
                  "EntryPM001=2,400,400,1,0,1,1,0,10,0,270,10,45\n"
                  "EntryPM002=2,450,450,1,0,3,1,0,10,10,0,0,0\n"
                  "[Global]\nNoOfEntries=3\nSpeed=10\nSequence=0\nTableOrder=" + seed + "\n"
                  "[Reminder]\nActivated=1\nCaption1=It's been a while since you visited\n"
                  "Caption2=Zentrix- you may be missing out on\n"
                  "Caption3=lots of new stuff - would you like to visit it now?\n"
                  "ExecFile=http://www.example.com/\nReminderPeriod=1209600\n",
              IniText(path));
    EXPECT_EQ(dir + "\\MODELS\\3D.SKY", TargetDir) << "the last path that fitted";
}

TEST_F(SaverSettings, TableOrderIsSeededOnlyWhenItFoldsToZero)
{
    const char *rows[][2] = {
        // file (NULL: none), kept
        {"[Global]\r\nTableOrder=17\r\n", "kept"}, {"[Global]\r\nTableOrder=-5\r\n", "kept"},
        {"[Global]\r\nTableOrder=x\r\n", "kept"},  {"[Global]\r\nTableOrder=0\r\n", nullptr},
        {"[Global]\r\nTableOrder=00\r\n", nullptr}, {"[Global]\r\nTableOrder=\r\n", nullptr},
        {"[Global]\r\nTableOrder=4294967296\r\n", nullptr}, {"[Global]\r\nSpeed=10\r\n", nullptr},
        {"[Misc]\r\nTableOrder=17\r\n", nullptr},  {nullptr, nullptr},
    };
    for (const auto &r : rows) {
        Clear();
        ASSERT_TRUE(!r[0] || WriteWhole(path, r[0]));
        long long from = UnixNow();
        SeedTableOrder();
        std::string value = IniValue(path, "Global", "TableOrder"), text = IniText(path);
        if (r[1])
            EXPECT_EQ(r[0], ReadWhole(path));
        else
            EXPECT_TRUE(SeededBetween(value, from, UnixNow()) &&
                        text.find("TableOrder=" + value + "\n") == text.rfind("TableOrder="))
                << (r[0] ? r[0] : "no file") << " gave\n" << text;
    }

    struct Fold {
        std::string text;
        int32_t value;
    } folds[] = {
        {"", 0}, {"0", 0}, {"00", 0}, {"17", 17}, {"-5", -25}, {"x", 72}, {" ", -16}, {"+0", -50},
        {"0x10", 7210}, {"2147483647", 2147483647}, {"2147483648", INT32_MIN}, {"4294967295", -1},
        {"4294967296", 0}, {"4294967297", 1}, {"99999999999999999999", 1661992959},
        {"12345678901234567890123456789012345678901234567890", -834729262},
        {std::string(127, '9'), -1},
        // Codes above 127 count as negative.
        {"\xff", -49}, {"\x80", -176}, {"1\xe9", -61},
    };
    for (const Fold &f : folds)
        EXPECT_EQ(f.value, FoldTableOrder(f.text.c_str())) << '"' << f.text << '"';
}

} // namespace
