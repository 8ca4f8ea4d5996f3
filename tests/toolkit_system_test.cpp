// The desktop folders and links, the WinG runtime, the current screen saver and the
// saver settings file in both installers' variants of the toolkit and their capacities.
#include <algorithm>
#include <regex>

#include "support.h"
#include "table_order.h"
#include "toolkit.h"

namespace {
const std::string Nt = "\\Profiles\\All Users\\DESKTOP", Ini = WindowsDir + "\\system.ini";
const ProductShortcut Links[] = {{"Modelex.lnk", "modelex.exe"}, {"Modelex Help.lnk", "modelex.hlp"}};

TEST(Desktop, TheOsNameChoosesTheFolderLinksAreRewrittenAndPathsThatDoNotFitAreNeverUsedCut) {
    CoInitialize(NULL);
    for (std::string dir : {"\\DESKTOP", "\\Profiles", "\\Profiles\\All Users", Nt.c_str()})
        CreateDirectoryA((WindowsDir + dir).c_str(), NULL);
    std::string longest(OsNameCapacity - 1, 'w'), tooLong(OsNameCapacity, 'w');
    const char *rows[][3] = {{"Windows_NT", "Windows_NT", Nt.c_str()},     {"windows_nt", "windows_nt", "\\DESKTOP"},
                             {"Windows_NT ", "Windows_NT ", "\\DESKTOP"}, {longest.c_str(), longest.c_str(), "\\DESKTOP"},
                             {tooLong.c_str(), "Windows_95", "\\DESKTOP"}, {nullptr, "Windows_95", "\\DESKTOP"}};
    for (const auto &r : rows) {
        SetEnvironmentVariableA("OS", r[0]);
        std::vector<char> name(OsNameCapacity, '#');
        GetOsName(name.data(), OsNameCapacity);
        EXPECT_STREQ(r[1], name.data());
        for (std::string parent : {"\\DESKTOP", Nt.c_str()})
            RemoveTree(WindowsDir + parent + "\\Modelex");
        // Twice, as a reinstall does; neither target exists.
        for (const char *dir : {"C:\\modelex", "D:\\tools\\model ex"}) {
            StringCchCopyA(InstallDir, InstallDirCapacity, dir);
            CreateProductShortcuts("Modelex", Links, 2, "Modelex", 500, 500);
        }
        std::string folder = WindowsDir + r[2] + "\\Modelex";
        EXPECT_EQ((std::vector<std::string>{"Modelex Help.lnk", "Modelex.lnk"}), FilesIn(folder)) << r[2];
        EXPECT_EQ("D:\\tools\\model ex\\modelex.hlp | Modelex", LinkText(folder + "\\Modelex Help.lnk"));
        EXPECT_EQ(2u, FilesIn(WindowsDir + "\\DESKTOP\\Modelex").size() + FilesIn(WindowsDir + Nt + "\\Modelex").size())
            << "links in both layouts";
    }
    std::string name(40, 'f'), fits = WindowsDir + "\\DESKTOP\\" + name;
    std::vector<std::string> before = FilesIn(WindowsDir + "\\DESKTOP");
    const int capacities[][2] = {{(int)fits.size() + 1, true}, {(int)fits.size(), false}, {(int)WindowsDir.size(), false}};
    for (const auto &r : capacities) {
        char folder[500];
        memset(folder, '#', sizeof folder);
        EXPECT_EQ(r[1], ResolveDesktopFolder(name.c_str(), folder, r[0])) << r[0];
        EXPECT_EQ(r[1] ? fits : "", folder) << r[0];
        EXPECT_EQ(r[1], RemoveDirectoryA(fits.c_str())) << r[0];
    }
    // A program's smaller buffers: no folder whose links would not fit, no link to a target that does not.
    StringCchCopyA(InstallDir, InstallDirCapacity, "C:\\m");
    CreateProductShortcuts(name.c_str(), Links, 2, "Modelex", (int)fits.size() + 12, 500);
    CreateProductShortcuts(name.c_str(), Links, 2, "Modelex", 500, 16);
    CreateProductShortcuts(name.c_str(), Links, 2, "Modelex", (int)fits.size() + 17, 17);
    EXPECT_EQ(std::vector<std::string>{"Modelex.lnk"}, FilesIn(fits));
    RemoveTree(fits);
    EXPECT_EQ(before, FilesIn(WindowsDir + "\\DESKTOP")) << "nothing under a cut-off name";
    std::string base = FreshDirectory("links") + "\\" + std::string(200, 'd') + "\\";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), NULL));
    std::string target = "C:\\modelex\\modelex.exe", longTarget = "C:\\" + std::string(MAX_PATH - 4, 't');
    const struct {
        std::string target, link;
        bool saved;
    } links[] = {
        {target, base + std::string(MAX_PATH - 5 - base.size(), 'n') + ".lnk", true},
        {target, base + std::string(MAX_PATH - 4 - base.size(), 'n') + ".lnk", false},
        {longTarget, base + "t259.lnk", true}, {longTarget + "t", base + "t260.lnk", false},
        {target, "\\rooted.lnk", false}, {target, "relative.lnk", false}, {target, "C:drive.lnk", false},
        {target, "", false},
    };
    for (const auto &l : links) {
        bool saved = SUCCEEDED(CreateShortcut(l.target.c_str(), l.link.c_str(), "Modelex"));
        EXPECT_EQ(l.saved ? l.target + " | Modelex" : "not saved", saved ? LinkText(l.link) : "not saved")
            << l.link.size() << " / " << l.target.size() << " characters: " << l.link.substr(0, 20);
    }
    EXPECT_EQ(2u, FilesIn(base).size()) << "nothing saved under another name";
    for (const char *stray : {"C:\\rooted.lnk", "relative.lnk", "C:drive.lnk"})
        EXPECT_FALSE(FileExists(stray)) << stray;
}

TEST(WinG, Wing32GoesToAWritableSystem32WhosePathsFit) {
    std::string root = FreshDirectory("wing"), system = root + "\\SYSTEM";
    StringCchCopyA(SourceDir, SourceDirCapacity, "D:"); // the media, made from the products (P:)
    const struct {
        size_t windowsLength; // 0: root\win
        bool system32, staleProbe, wing32There;
    } rows[] = {
        {0, false, false, false}, {0, true, false, true}, {0, true, true, true},
        {(size_t)TargetDirCapacity - 5, true, true, false}, // SYSTEM32 beyond TargetDir, its probe fits and opens
    };
    driver::BoxWatcher boxes("Decomp Error", IDOK);
    for (const auto &r : rows) {
        std::string windows = r.windowsLength ? root + "\\" + std::string(r.windowsLength - root.size() - 1, 'w')
                                              : root + "\\win", system32 = windows + "\\SYSTEM32";
        if (windows.size() + 22 >= MAX_PATH)
            continue; // beyond what directories can hold: only the smaller TargetDir is tried
        RemoveTree(system);
        CreateDirectoryA(system.c_str(), NULL);
        CreateDirectoryA(windows.c_str(), NULL);
        if (r.system32)
            CreateDirectoryA(system32.c_str(), NULL);
        ASSERT_TRUE(!r.staleProbe || WriteWhole(system32 + "\\MODEFTST.QQQ", "left over"));
        InstallWinGRuntimeInto(windows.c_str(), system.c_str());
        std::vector<std::string> inSystem(WinGFiles, WinGFiles + 5), inSystem32;
        (r.wing32There ? inSystem32 : inSystem).push_back("WING32.DLL");
        std::sort(inSystem.begin(), inSystem.end());
        EXPECT_EQ(inSystem, FilesIn(system)) << windows.size();
        EXPECT_EQ(inSystem32, FilesIn(system32)) << windows.size() << ": the probe file is gone";
        for (const char *name : WinGFiles)
            EXPECT_EQ("", Differs((r.wing32There && name == WinGFiles[5] ? system32 : system) + "\\" + name,
                                  ReadWhole(std::string("P:\\") + name)));
        EXPECT_EQ(r.wing32There ? system32 : system, TargetDir);
        RemoveTree(windows);
    }
    EXPECT_EQ(std::vector<std::string>{}, boxes.Texts());
}

TEST(ScreenSaver, Windows95WritesSystemIniAndNtOnlyExistingValues) {
    const char *key = "Control Panel\\Desktop", *names[3] = {"ScreenSaveActive", "ScreenSaveTimeOut", "SCRNSAVE.EXE"};
    const std::string saver = WindowsDir + "\\SKYLOOP.SCR", now[3] = {"1", "600", saver};
    std::string old(400, 'o');
    const struct {
        const char *os;
        DWORD type;
        const char *values[3]; // nullptr: absent
    } rows[] = {
        {nullptr, REG_SZ, {"0", "300", "C:\\WINDOWS\\OLD.SCR"}},  {"windows_nt", REG_SZ, {"0", "300", "OLD.SCR"}},
        {"Windows_95", REG_SZ, {"0", "300", "OLD.SCR"}},          {"Windows_NT", REG_SZ, {"0", nullptr, "OLD.SCR"}},
        {"Windows_NT", REG_SZ, {"0", "300", "OLD.SCR"}},          {"Windows_NT", REG_SZ, {nullptr, nullptr, nullptr}},
        {"Windows_NT", REG_SZ, {nullptr, nullptr, "OLD.SCR"}},    {"Windows_NT", REG_EXPAND_SZ, {"0", "300", "%windir%"}},
        {"Windows_NT", REG_BINARY, {"0", "300", "OLD.SCR"}},      {"Windows_NT", REG_DWORD, {"000", "000", "000"}},
        {"Windows_NT", REG_SZ, {old.c_str(), nullptr, old.c_str()}}, // longer than the buffers: rewritten all the same
    };
    for (const auto &r : rows) {
        SetEnvironmentVariableA("OS", r.os);
        bool nt = r.os && strcmp(r.os, "Windows_NT") == 0;
        for (int i = 0; i < 3; i++)
            SetReg(HKEY_CURRENT_USER, key, names[i], r.type, r.values[i]);
        WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "OLD.SCR", Ini.c_str());
        std::string iniBefore = IniText(Ini);
        ActivateScreenSaver();
        std::string type = r.type == REG_SZ ? "" : "<type " + std::to_string(r.type) + ">";
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(!r.values[i] ? Absent : type + (nt ? now[i] : std::string(r.values[i])),
                      RegText(HKEY_CURRENT_USER, key, names[i])) << (r.os ? r.os : "unset") << ": " << names[i];
        EXPECT_EQ(nt ? iniBefore : "", nt ? IniText(Ini) : "") << "Windows NT: SYSTEM.INI untouched";
        EXPECT_EQ(nt ? "OLD.SCR" : saver, IniValue(Ini, "boot", "SCRNSAVE.EXE")) << (r.os ? r.os : "unset");
    }
}

const std::string Settings = WindowsDir + "\\SKYLOOP.INI";

void ClearSettings() {
    WritePrivateProfileStringA(NULL, NULL, NULL, SAVER_SETTINGS_FILE);
    DeleteFileA(Settings.c_str());
}

TEST(SaverSettings, PathsThatDoNotFitTargetDirAreLeftOut) {
    // "\MODELS\3D.SKY" just fits behind this InstallDir, "\MAPS\BGROUND.BMP" does not; an older value stays.
    ClearSettings();
    ASSERT_TRUE(WriteWhole(Settings, "[Misc]\r\nBackgroundMap=OLD\r\n"));
    std::string dir = "C:\\" + std::string(TargetDirCapacity - 18, 'd');
    StringCchCopyA(InstallDir, InstallDirCapacity, dir.c_str());
    long long from = time(nullptr);
    WriteSaverDefaultsHead();
    WriteSaverDefaultsTail();
    std::string seed = IniValue(Settings, "Global", "TableOrder");
    EXPECT_TRUE(SeededSince(seed, from)) << seed;
    std::string expected = std::regex_replace(SaverDefaults(dir, seed), std::regex("BackgroundMap=.*\n|EntryFN00[12]=.*\n"), "");
    EXPECT_EQ(expected.insert(7, "BackgroundMap=OLD\n"), IniText(Settings));
    EXPECT_EQ(dir + "\\MODELS\\3D.SKY", TargetDir) << "the last path that fitted";
}

TEST(SaverSettings, TableOrderIsSeededOnlyWhenItFoldsToZero) {
    const char *rows[][2] = {
        {"[Global]\r\nTableOrder=17\r\n", "kept"}, {"[Global]\r\nTableOrder=-5\r\n", "kept"},
        {"[Global]\r\nTableOrder=x\r\n", "kept"},  {"[Global]\r\nTableOrder=0\r\n", nullptr},
        {"[Global]\r\nTableOrder=00\r\n", nullptr}, {"[Global]\r\nTableOrder=\r\n", nullptr},
        {"[Global]\r\nTableOrder=4294967296\r\n", nullptr}, {"[Global]\r\nSpeed=10\r\n", nullptr},
        {"[Misc]\r\nTableOrder=17\r\n", nullptr}, {nullptr, nullptr}, // no file at all
    };
    for (const auto &r : rows) {
        ClearSettings();
        ASSERT_TRUE(!r[0] || WriteWhole(Settings, r[0]));
        long long from = time(nullptr);
        SeedTableOrder();
        std::string value = IniValue(Settings, "Global", "TableOrder"), text = IniText(Settings);
        if (r[1])
            EXPECT_EQ(r[0], ReadWhole(Settings));
        else
            EXPECT_TRUE(SeededSince(value, from) && text.find("TableOrder=" + value + "\n") == text.rfind("TableOrder="))
                << (r[0] ? r[0] : "no file") << " gave\n" << text;
    }
    const struct {
        std::string text;
        int32_t value;
    } folds[] = {
        {"", 0}, {"0", 0}, {"00", 0}, {"17", 17}, {"-5", -25}, {"x", 72}, {" ", -16}, {"+0", -50}, {"0x10", 7210},
        {"2147483647", 2147483647}, {"2147483648", INT32_MIN}, {"4294967295", -1}, {"4294967296", 0},
        {"4294967297", 1}, {"99999999999999999999", 1661992959},
        {"12345678901234567890123456789012345678901234567890", -834729262}, {std::string(127, '9'), -1},
        {"\xff", -49}, {"\x80", -176}, {"1\xe9", -61}, // codes above 127 count as negative
    };
    for (const auto &f : folds)
        EXPECT_EQ(f.value, FoldTableOrder(f.text.c_str())) << '"' << f.text << '"';
}
} // namespace
