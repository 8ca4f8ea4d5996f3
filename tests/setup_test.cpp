// The suite installer end to end: D:\SETUP.EXE operated as a user would; installed
// files are held against the sample products (P:) and the media.
#include "support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <regex>

namespace {
const struct {
    const char *caption, *intro, *dir, *browseTitle;
} Pages[3] = {
    {"SKYBuilder Setup - Installing Modelex",
     "The first step in installing SKYBuilder is to install Modelex.  Modelex is the 3D object builder for creating 3D "
     "objects for your custom screen saver.  Change the install directory below if desired, then hit Proceed below to run.",
     "c:\\modelex", "Choose a Folder to install Modelex:"},
    {"SKYBuilder Setup - Installing Skyloop",
     "The next step is to run the Skyloop setup.  This installs the Registered version of the 3D screen saver.  Change the "
     "install directory below if desired, then hit Proceed below to run Skyloop Setup.",
     "c:\\skyloop", "Choose a Folder to install Skyloop:"},
    {"SKYBuilder Setup - Installing SKY Builder Files",
     "The final step is to install the SKYBuilder files.  Change the install directory below if desired, then hit Proceed "
     "below to install.",
     "c:\\skybuild", "Choose a Folder to install SKY Builder:"},
};

enum { MODELLER, SAVER, BUILDER };
const char *const Succeeded[2] = {"SKYBuilder Setup - Sucessful",
                                  "Congratulations!   SKYBuilder has been succcesfully installed.  Shortcuts to SKY "
                                  "Builder Have been installed on your desktop."};
const char *const Failed[2] = {"SKYBuilder Setup", "Warning!  Errors have occurred in installing SKYBuilder.  Please "
                                                   "re-install from the beginning."};
const char *const CancelText = "Are you sure you want to exit SKYBuilder setup?";
const std::string Desktop95 = WindowsDir + "\\DESKTOP", DesktopNt = WindowsDir + "\\Profiles\\All Users\\DESKTOP",
                  BuilderSettings = WindowsDir + "\\skybuild.ini", SaverSettings = WindowsDir + "\\SKYLOOP.INI",
                  SystemIni = WindowsDir + "\\system.ini";
const char *const DesktopKey = "Control Panel\\Desktop", *const CommandKey = "Modelex.3DFile\\Shell\\Open\\Command";
std::string Prompt(const std::string &dir) { return "Directory " + dir + " doesn't seem to exist - create?"; }
// Empty when path holds the sample product's bytes.
std::string Product(const std::string &path, const std::string &name) { return Differs(path, ReadWhole("P:\\" + name)); }
const char *const ModellerFiles[] = {"MODELEX.EXE", "MODELEX.HLP", "READMEM.TXT", "MAPS\\BGROUND.BMP", "MAPS\\BRICKS.BMP",
                                     "MAPS\\WOOD.BMP", "SAMPLES\\BRAID.SKY", "SAMPLES\\CHALICE.SKY", "SAMPLES\\VENUS3.SKY"};
const char *const SaverFiles[] = {
    "SKYLOOP.HLP", "READMES.TXT", "MAPS\\BGROUND.BMP", "MAPS\\BRICKS.BMP", "MAPS\\WOOD.BMP", "MODELS\\3D.SKY",
    "MODELS\\HEARTFG.SKY", "MODELS\\SPHEREF.SKY", "MODELS\\TORUSF.SKY", "MODELS\\CUBE1.SKY", "MODELS\\CUBE2.SKY",
    "MODELS\\CNB.BMP", "MODELS\\CNF.BMP", "MODELS\\CNK.BMP", "MODELS\\CNL.BMP", "MODELS\\CNR.BMP", "MODELS\\CNT.BMP",
    "MODELS\\CSB.BMP", "MODELS\\CSF.BMP", "MODELS\\CSK.BMP", "MODELS\\CSL.BMP", "MODELS\\CSR.BMP", "MODELS\\CST.BMP",
    "MODELS\\3DCUBES.TXT"};
// The skeleton kit: each file's name on the media, and in the kit.
const char *const KitFiles[12][2] = {
    {"WING.DL_", "WING.DL_"}, {"WINGDE.DL_", "WINGDE.DL_"}, {"WINGDIB.DR_", "WINGDIB.DR_"}, {"WINGPAL.WN_", "WINGPAL.WN_"},
    {"DVA.38_", "DVA.38_"}, {"WING32.DL_", "WING32.DL_"}, {"SKYLOOPE.SC_", "SKYLOOP.SC_"}, {"SKYLOOPE.HL_", "SKYLOOP.HL_"},
    {"ORDER.FR_", "ORDER.FR_"}, {"BGROUND.BM_", "BGROUND.BM_"}, {"READMESE.TXT", "README.TXT"}, {"KITSETUP.EXE", "SETUP.EXE"},
};

class Setup : public InstallerTest {
protected:
    void SetUp() override {
        WritePrivateProfileStringA(NULL, NULL, NULL, SaverSettings.c_str());
        for (const std::string &path : std::vector<std::string>{"C:\\modelex", "C:\\skyloop", "C:\\skybuild", "C:\\A", "C:\\MODELEX.EXE",
             "C:\\MODELEX.HLP", "C:\\READMEM.TXT", "C:\\MAPS", "C:\\SAMPLES", "C:\\xxx.xxx", BuilderSettings, SaverSettings})
            RemoveTree(path);
        // Windows 95 and NT 4 have these; a fresh prefix does not.
        for (const char *dir : {"\\DESKTOP", "\\Profiles", "\\Profiles\\All Users", "\\Profiles\\All Users\\DESKTOP"})
            CreateDirectoryA((WindowsDir + dir).c_str(), NULL);
        for (const std::string &parent : {Desktop95, DesktopNt})
            for (const char *product : {"\\Modelex", "\\Skyloop", "\\SKY Builder"})
                RemoveTree(parent + product);
        SetEnvironmentVariableA("OS", NULL); // the installer inherits it
    }
    // The page in front; a later page or a finish box instead is a failure.
    HWND WaitPage(int page) {
        HWND found = NULL;
        driver::Poll(Timeout, [&] {
            for (int i = page; i < 5 && !found; i++)
                found = driver::FindVisible(i < 3 ? Pages[i].caption : i == 3 ? Succeeded[0] : Failed[0]);
            return found != NULL;
        });
        bool right = found && driver::ControlText(found, 0) == Pages[page].caption;
        EXPECT_TRUE(right) << "expected " << Pages[page].caption << "; windows: " << Windows();
        return right ? found : NULL;
    }
    // Types dir and proceeds, by the button or by Enter.
    void Proceed(HWND page, const std::string &dir, bool enter = false) {
        driver::SetControlText(page, 102, dir.c_str());
        enter ? driver::PressKey(page, 102, VK_RETURN) : driver::Click(page, IDOK);
    }
    // After everything posted so far, the page alone is shown, holding text.
    void ExpectPageAlone(HWND page, int index, const std::string &text) {
        ASSERT_TRUE(driver::Flush(GetDlgItem(page, 103), Timeout));
        EXPECT_EQ(std::vector<std::string>{Pages[index].caption}, driver::WindowsOf(program.id));
        EXPECT_EQ(text, driver::ControlText(page, 102));
    }
    void Cancel(HWND page) { driver::Click(page, IDCANCEL), Answer("Cancelling", CancelText, IDYES); }
    // The finish box: its text, then OK and exit code 0.
    void Finish(const char *const box[2]) {
        HWND w = Wait(box[0]);
        EXPECT_EQ(box[1], driver::ControlText(w, 7));
        driver::Click(w, IDOK);
        EXPECT_EQ(0, Exit());
    }
    // A run that proceeds into these directories, creating them when missing.
    void Install(const std::vector<std::string> &dirs) {
        Start("D:\\SETUP.EXE");
        for (int i = 0; i < 3; i++) {
            HWND page = WaitPage(i);
            ASSERT_TRUE(page);
            bool exists = DirectoryExists(dirs[i]);
            Proceed(page, dirs[i]);
            if (!exists)
                Answer("New Directory?", Prompt(dirs[i]), IDYES);
        }
        Finish(Succeeded);
    }
    std::string CreateDir() { return IniValue(BuilderSettings, "Misc", "CreateDir"); }
    void ExpectLinks(const std::string &folder, const std::vector<std::string> &links, const std::string &dir, const char *text) {
        std::vector<std::string> names;
        for (size_t i = 0; i < links.size(); i += 2) {
            names.push_back(links[i]);
            EXPECT_EQ(dir + "\\" + links[i + 1] + " | " + text, LinkText(folder + "\\" + links[i]));
        }
        EXPECT_EQ(names, FilesIn(folder));
    }
    void ExpectModeller(const std::string &dir, const std::string &desktop, const std::string &command) {
        for (std::string f : ModellerFiles)
            EXPECT_EQ("", Product(dir + "\\" + f, f.substr(f.find('\\') + 1)));
        EXPECT_EQ("Modelex.3DFile|Modelex 3D File|" + command, RegText(HKEY_CLASSES_ROOT, ".sky", NULL) + "|" +
                                                                   RegText(HKEY_CLASSES_ROOT, "Modelex.3DFile", NULL) + "|" +
                                                                   RegText(HKEY_CLASSES_ROOT, CommandKey, NULL));
        for (const char *name : WinGFiles)
            EXPECT_EQ("", Product(SystemDir + "\\" + name, name));
        EXPECT_FALSE(FileExists(WindowsDir + "\\SYSTEM32\\MODEFTST.QQQ") || FileExists(WindowsDir + "\\MODELEX.INI"))
            << "the probe file, or the modeller's old settings, left";
        ExpectLinks(desktop + "\\Modelex", {"Modelex Help.lnk", "modelex.hlp", "Modelex.lnk", "modelex.exe", "Read Me.lnk",
                                            "readmem.txt"}, dir, "Modelex");
    }
    void ExpectSaver(const std::string &dir, const std::string &desktop) {
        EXPECT_EQ("", Product(WindowsDir + "\\SKYLOOP.SCR", "SKYLOOP.SCR"));
        EXPECT_EQ("", Product(dir + "\\SKYLOOP.EXE", "SKYLOOP.SCR"));
        for (std::string f : SaverFiles)
            EXPECT_EQ("", Product(dir + "\\" + f, f.substr(f.find('\\') + 1)));
        ExpectLinks(desktop + "\\Skyloop", {"Read Me.lnk", "readmes.txt", "Skyloop Help.lnk", "skyloop.hlp",
                                            "Skyloop Settings.lnk", "skyloop.exe"}, dir, "Skyloop");
    }
    // The builder, its links, the kit byte for byte, and skybuild.ini.
    void ExpectBuilder(const std::string &dir, const std::string &desktop) {
        EXPECT_EQ("", Product(dir + "\\SKYBUILD.EXE", "SKYBUILD.EXE") + Product(dir + "\\README.TXT", "README.TXT"));
        EXPECT_EQ((std::vector<std::string>{"README.TXT", "SKEL", "SKYBUILD.EXE"}), FilesIn(dir)) << "no newsky";
        std::vector<std::string> kit;
        for (const auto &f : KitFiles) {
            kit.push_back(f[1]);
            EXPECT_EQ("", Differs(dir + "\\SKEL\\" + f[1], ReadWhole(std::string("D:\\") + f[0])));
        }
        std::sort(kit.begin(), kit.end());
        EXPECT_EQ(kit, FilesIn(dir + "\\SKEL"));
        EXPECT_EQ(dir + "|" + dir + "\\skel", IniValue(BuilderSettings, "Misc", "InstallDirectory") + "|" +
                                                  IniValue(BuilderSettings, "Misc", "SkeletonDirectory"));
        ExpectLinks(desktop + "\\SKY Builder", {"Read Me.lnk", "readme.txt", "SKY Builder.lnk", "skybuild.exe"}, dir, "SKYBuild");
    }
};

TEST_F(Setup, FullRunOnWindows95InstallsEveryProductAndTheKitInstallsADistribution) {
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\MODELEX.INI", "[Misc]\r\nLastModel=BRAID.SKY\r\n"));
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\OTHER.SCR", SystemIni.c_str());
    SetReg(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", REG_SZ, "C:\\OTHER.SCR");
    const std::vector<int> tabOrder[3] = {
        {IDOK, IDCANCEL, 7, 101, 102, 103}, {IDOK, IDCANCEL, 7, 102, 103, 101}, {IDOK, IDCANCEL, 7, 102, 103, 101}};
    Start("D:\\SETUP.EXE");
    long long before = time(nullptr);
    for (int i = 0; i < 3; i++) {
        HWND page = WaitPage(i);
        ASSERT_TRUE(page);
        ExpectPageAlone(page, i, Pages[i].dir);
        EXPECT_EQ(std::string(Pages[i].intro) + "||Proceed|Cancel|Browse",
                  driver::ControlText(page, 7) + "|" + driver::ControlText(page, 101) + "|" + driver::ControlText(page, IDOK) +
                      "|" + driver::ControlText(page, IDCANCEL) + "|" + driver::ControlText(page, 103));
        std::vector<int> ids; // in z-order, which is the tab order
        for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            ids.push_back(GetDlgCtrlID(c));
        EXPECT_EQ(tabOrder[i], ids);
        for (int id : {IDOK, IDCANCEL, 103})
            EXPECT_FALSE(driver::IsDefaultButton(GetDlgItem(page, id))) << i << " " << id;
        EXPECT_EQ(WS_TABSTOP, GetWindowLongA(GetDlgItem(page, 102), GWL_STYLE) & (ES_AUTOHSCROLL | WS_TABSTOP));
        EXPECT_EQ(DS_MODALFRAME | DS_CONTEXTHELP, GetWindowLongA(page, GWL_STYLE) & (DS_MODALFRAME | DS_CONTEXTHELP));
        driver::Click(page, IDOK);
        Answer("New Directory?", Prompt(Pages[i].dir), IDYES);
    }
    Finish(Succeeded);
    EXPECT_EQ("c:\\skybuild", CreateDir()) << "the builder page's directory, written on the way out";
    ExpectModeller("c:\\modelex", Desktop95, "c:\\modelex\\modelex.exe %1");
    EXPECT_EQ((std::vector<std::string>{"MAPS", "MODELEX.EXE", "MODELEX.HLP", "READMEM.TXT", "SAMPLES"}), FilesIn("c:\\modelex"));
    ExpectSaver("c:\\skyloop", Desktop95);
    EXPECT_EQ((std::vector<std::string>{"MAPS", "MODELS", "READMES.TXT", "SKYLOOP.EXE", "SKYLOOP.HLP"}), FilesIn("c:\\skyloop"));
    std::string seed = IniValue(SaverSettings, "Global", "TableOrder");
    EXPECT_TRUE(SeededSince(seed, before)) << seed;
    EXPECT_EQ(SaverDefaults("c:\\skyloop", seed), IniText(SaverSettings));
    EXPECT_EQ(WindowsDir + "\\SKYLOOP.SCR", IniValue(SystemIni, "boot", "SCRNSAVE.EXE"));
    EXPECT_EQ("C:\\OTHER.SCR", RegText(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE")) << "Windows 95: not the registry";
    ExpectBuilder("c:\\skybuild", Desktop95);
    EXPECT_EQ((std::vector<std::string>{"Modelex", "SKY Builder", "Skyloop"}), FilesIn(Desktop95));
    EXPECT_EQ(std::vector<std::string>{}, FilesIn(DesktopNt));
    // The kit it laid down, with the models, maps and description of a custom
    // distribution (E:), installs that edition of the screen saver.
    std::string dist = scratch + "\\dist";
    CreateDirectoryA(dist.c_str(), NULL);
    for (const std::string from : {"c:\\skybuild\\SKEL", "E:"}) // E: adds what the kit leaves to the user
        for (const std::string &name : FilesIn(from))
            CopyFileA((from + "\\" + name).c_str(), (dist + "\\" + name).c_str(), TRUE);
    InstallDistribution(dist + "\\SETUP.EXE");
    EXPECT_EQ("", Differs("C:\\SKYLOOP\\SAMPLES\\GLOBE.SKY", ReadWhole("O:\\GLOBE.SKY")) +
                      Product("C:\\SKYLOOP\\SKYLOOP.EXE", "SKYLOOPE.SCR"));
}

TEST_F(Setup, ReinstallOnWindowsNtReplacesEverythingButTableOrderAndExtraEntries) {
    SetEnvironmentVariableA("OS", "Windows_NT");
    // A user who once had another saver; the timeout value is absent.
    SetReg(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive", REG_SZ, "0");
    SetReg(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", REG_SZ, "C:\\OTHER.SCR");
    SetReg(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveTimeOut", REG_SZ, NULL);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\OTHER.SCR", SystemIni.c_str());
    // A blank in a parent folder quotes the program in the open command.
    std::string modeller = scratch + "\\Program Files\\Modelex", saver = scratch + "\\saver", builder = scratch + "\\b";
    ASSERT_TRUE(CreateDirectoryA((scratch + "\\Program Files").c_str(), NULL));
    Install({modeller, saver, builder});
    // What the user's time with the products, or other programs, changed since.
    std::vector<std::string> spoilt;
    for (const std::string &dir : {modeller, saver, builder, DesktopNt})
        for (const std::string &path : FilesBelow(dir))
            spoilt.push_back(path);
    for (const char *name : WinGFiles)
        spoilt.push_back(SystemDir + "\\" + name);
    for (const std::string &path : spoilt)
        ASSERT_TRUE(WriteWhole(path, "stale")) << path;
    for (const char *key : {".sky", "Modelex.3DFile", CommandKey})
        SetReg(HKEY_CLASSES_ROOT, key, NULL, REG_SZ, "other");
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\MODELEX.INI", "[Misc]\r\nSavedSince=1\r\n") &&
                WriteWhole(saver + "\\MAPS\\MINE.BMP", "the user's map"));
    // Every setting spoilt, and entries beyond the three.
    std::string ini = std::regex_replace(ReadWhole(SaverSettings), std::regex("=.*\r"), "=spoilt\r");
    ASSERT_TRUE(WriteWhole(SaverSettings, ini.insert(ini.find("[Global]"), "EntryFN003=spoilt\r\nEntryPM004=spoilt\r\n")) &&
                WriteWhole(BuilderSettings, "[Misc]\r\nInstallDirectory=spoilt\r\nSkeletonDirectory=spoilt\r\nCreateDir=spoilt\r\n"));
    Install({modeller, saver, builder});
    ExpectModeller(modeller, DesktopNt, "\"" + modeller + "\\modelex.exe\" %1");
    ExpectSaver(saver, DesktopNt);
    ExpectBuilder(builder, DesktopNt);
    EXPECT_EQ(builder, CreateDir());
    EXPECT_EQ("the user's map", ReadWhole(saver + "\\MAPS\\MINE.BMP"));
    std::string settings = SaverDefaults(saver, "spoilt");
    settings.insert(settings.find("[Global]"), "EntryFN003=spoilt\nEntryPM004=spoilt\n");
    EXPECT_EQ(settings, IniText(SaverSettings)) << "TableOrder and the entries beyond the three stay";
    EXPECT_EQ("1|" + WindowsDir + "\\SKYLOOP.SCR|" + Absent, RegText(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive") + "|" +
                                                               RegText(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE") + "|" +
                                                               RegText(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveTimeOut"));
    EXPECT_EQ("C:\\OTHER.SCR", IniValue(SystemIni, "boot", "SCRNSAVE.EXE")) << "Windows NT: not SYSTEM.INI";
    EXPECT_EQ(std::vector<std::string>{}, FilesIn(Desktop95));
}

TEST_F(Setup, MediaFilesThatCannotBeReadOrCopiedAreReportedAndTheStepsGoOn) {
    std::string media = scratch + "\\media", modeller = scratch + "\\Model Ex", builder = scratch + "\\builder";
    for (const std::string &d : {media, modeller, builder, builder + "\\SKEL"})
        ASSERT_TRUE(CreateDirectoryA(d.c_str(), NULL));
    for (const std::string &name : FilesIn("D:"))
        ASSERT_TRUE(name == "READMEM.TXT" || name == "ORDER.FR_" ||
                    CopyFileA(("D:\\" + name).c_str(), (media + "\\" + name).c_str(), FALSE));
    ASSERT_TRUE(WriteWhole(builder + "\\SKEL\\WING.DL_", "the user's"));
    SetFileAttributesA((builder + "\\SKEL\\WING.DL_").c_str(), FILE_ATTRIBUTE_READONLY);
    Start(media + "\\SETUP.EXE");
    HWND page = WaitPage(MODELLER);
    Proceed(page, modeller);
    // The box lets the page answer: it shows the step's label and the bar at 0.
    ASSERT_TRUE(Wait("Decomp Error"));
    DWORD_PTR position = 999;
    SendMessageTimeoutA(FindWindowExA(page, NULL, PROGRESS_CLASSA, NULL), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, Timeout, &position);
    EXPECT_EQ("Installing Modelex... at 0", driver::ControlText(page, 101) + " at " + std::to_string(position));
    Answer("Decomp Error", "Can't Find Source File " + media + "\\READMEM.TXT", IDOK); // the plain name
    Proceed(WaitPage(SAVER), scratch); // a second box would hold the first page open
    Proceed(WaitPage(BUILDER), builder);
    Answer("File Copy - To file - can't open", builder + "\\SKEL\\WING.DL_", IDOK);
    Answer("File Copy - From file - can't open", media + "\\ORDER.FR_", IDOK);
    Finish(Succeeded);
    // A blank in the last level quotes the program; the read-me's link is made all the same.
    EXPECT_EQ((std::vector<std::string>{"MAPS", "MODELEX.EXE", "MODELEX.HLP", "SAMPLES"}), FilesIn(modeller));
    EXPECT_EQ("\"" + modeller + "\\modelex.exe\" %1", RegText(HKEY_CLASSES_ROOT, CommandKey, NULL));
    EXPECT_EQ(modeller + "\\readmem.txt | Modelex", LinkText(Desktop95 + "\\Modelex\\Read Me.lnk"));
    SetFileAttributesA((builder + "\\SKEL\\WING.DL_").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("the user's", ReadWhole(builder + "\\SKEL\\WING.DL_"));
    EXPECT_EQ(11u, FilesIn(builder + "\\SKEL").size());
    EXPECT_EQ("", Differs(builder + "\\SKEL\\SETUP.EXE", ReadWhole("D:\\KITSETUP.EXE")));
    EXPECT_EQ(builder + "\\skel", IniValue(BuilderSettings, "Misc", "SkeletonDirectory"));
}

TEST_F(Setup, ConfirmedCancelOnAnyPageEndsWithTheErrorBox) {
    void (*cancels[3])(HWND) = {[](HWND p) { driver::Click(p, IDCANCEL); },
                                [](HWND p) { driver::PressKey(p, 102, VK_ESCAPE); },
                                [](HWND p) { driver::CloseWindow(p); }};
    // The pages before install: the modeller into the current drive's root (an empty
    // text), then into scratch (an existing directory: no prompt) with the saver in the
    // Windows directory itself.
    const std::vector<std::string> before[3] = {{}, {""}, {scratch, WindowsDir}};
    for (int cancelled = 0; cancelled < 3; cancelled++) {
        SCOPED_TRACE(Pages[cancelled].caption);
        Start("D:\\SETUP.EXE");
        HWND page = NULL;
        for (int i = 0; i <= cancelled; i++) {
            ASSERT_TRUE(page = WaitPage(i));
            if (i < cancelled)
                Proceed(page, before[cancelled][i], cancelled == 2 && i == 0);
        }
        // Cancel, Escape or the close button asks; No, the default answer, keeps the page as it was.
        driver::SetControlText(page, 102, "C:\\typed but not proceeded");
        cancels[cancelled](page);
        HWND box = Wait("Cancelling");
        EXPECT_TRUE(driver::IsDefaultButton(GetDlgItem(box, IDNO)) && !driver::IsDefaultButton(GetDlgItem(box, IDYES)));
        Answer("Cancelling", CancelText, IDNO);
        ExpectPageAlone(page, cancelled, "C:\\typed but not proceeded");
        Cancel(page);
        HWND finish = Wait(Failed[0]);
        EXPECT_EQ(Failed[1], driver::ControlText(finish, 7));
        EXPECT_FALSE(driver::IsDefaultButton(GetDlgItem(finish, IDOK)));
        driver::PressKey(finish, IDOK, VK_ESCAPE);
        driver::CloseWindow(finish);
        ASSERT_TRUE(driver::Flush(GetDlgItem(finish, IDOK), Timeout) && IsWindowVisible(finish))
            << "Escape or the close button ended the finish box";
        if (cancelled == 1)
            driver::PressKey(finish, IDOK, VK_RETURN);
        else
            driver::Click(finish, IDOK);
        EXPECT_EQ(0, Exit());
        EXPECT_EQ(Pages[cancelled].dir, CreateDir()) << "the page's directory as last taken, not the box's text";
        DeleteFileA(BuilderSettings.c_str());
        if (cancelled == 1) {
            EXPECT_EQ("", Product("C:\\MODELEX.EXE", "MODELEX.EXE") + Product("C:\\MAPS\\WOOD.BMP", "WOOD.BMP"));
            EXPECT_EQ("\\modelex.exe %1", RegText(HKEY_CLASSES_ROOT, CommandKey, NULL));
            EXPECT_FALSE(FileExists("C:\\xxx.xxx"));
        }
    }
    // The second copy is the first: copied, not moved away from under the setting.
    ExpectSaver(WindowsDir, Desktop95);
    EXPECT_EQ(WindowsDir + "\\MODELS\\TORUSF.SKY|" + WindowsDir + "\\SKYLOOP.SCR",
              IniValue(SaverSettings, "Entries", "EntryFN001") + "|" + IniValue(SystemIni, "boot", "SCRNSAVE.EXE"));
    EXPECT_EQ((std::vector<std::string>{"MAPS", "MODELEX.EXE", "MODELEX.HLP", "READMEM.TXT", "SAMPLES"}), FilesIn(scratch));
    EXPECT_FALSE(DirectoryExists("C:\\modelex") || DirectoryExists("C:\\skyloop") || DirectoryExists("C:\\skybuild"));
}

TEST_F(Setup, DirectoriesThatCannotBeTakenKeepThePage) {
    std::string taken = scratch + "\\taken", declined = scratch + "\\declined";
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), NULL) && WriteWhole(taken + "\\xxx.xxx", "the user's own file"));
    auto ofLength = [this](size_t n) { return scratch + "\\" + std::string(n - scratch.size() - 1, 'x'); };
    const struct {
        std::string typed;
        int answer;          // to the creation prompt
        std::string failure; // the box after Yes, if any
        size_t taken;        // characters of the text taken
    } rows[] = {
        {"C:\\A\\B", IDYES, "Can't create Directory C:\\A\\B", 6},        // only the last level is created
        {taken, IDYES, "Can't create Directory " + taken, taken.size()}, // holds a file xxx.xxx
        {declined, IDNO, "", declined.size()},   {ofLength(248), IDNO, "", 248}, {ofLength(249), IDNO, "", 249},
        {ofLength(250), IDNO, "", 249},          {ofLength(300), IDNO, "", 249},
    };
    Start("D:\\SETUP.EXE");
    HWND page = WaitPage(MODELLER);
    ASSERT_TRUE(page);
    for (const auto &r : rows) {
        Proceed(page, r.typed);
        Answer("New Directory?", Prompt(r.typed.substr(0, r.taken)), r.answer);
        if (!r.failure.empty())
            Answer("Error", r.failure, IDOK);
        ExpectPageAlone(page, MODELLER, r.typed);
    }
    EXPECT_FALSE(DirectoryExists("C:\\A") || DirectoryExists(declined));
    EXPECT_EQ("the user's own file", ReadWhole(taken + "\\xxx.xxx"));
    // The prompt has no owner: the page can be clicked meanwhile, and nothing starts.
    Proceed(page, declined);
    ASSERT_TRUE(Wait("New Directory?"));
    void (*acts[])(HWND) = {[](HWND p) { driver::Click(p, IDOK); }, [](HWND p) { driver::Click(p, 103); },
                            [](HWND p) { driver::Click(p, IDCANCEL); }, [](HWND p) { driver::PressKey(p, 102, VK_ESCAPE); },
                            [](HWND p) { driver::PressKey(p, 102, VK_RETURN); }, [](HWND p) { driver::CloseWindow(p); }};
    for (auto act : acts) {
        act(page);
        ASSERT_TRUE(driver::Flush(GetDlgItem(page, 103), Timeout));
        EXPECT_EQ((std::vector<std::string>{"New Directory?", Pages[MODELLER].caption}), driver::WindowsOf(program.id));
    }
    Answer("New Directory?", Prompt(declined), IDNO);
    // A cancelled folder browser changes nothing; a chosen folder (the desktop,
    // the tree's root) fills the box, which Proceed reads as edited.
    char desktop[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(NULL, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    for (int button : {IDCANCEL, IDOK}) {
        driver::Click(page, 103);
        HWND browser = Wait("Browse for Folder");
        bool titled = false;
        for (HWND c = GetWindow(browser, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            titled = titled || driver::ControlText(c, 0) == Pages[MODELLER].browseTitle;
        EXPECT_TRUE(titled);
        HWND tree = FindWindowExA(browser, NULL, WC_TREEVIEWA, NULL);
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        driver::Click(browser, button);
        ASSERT_TRUE(driver::WaitForWindowGone("Browse for Folder", Timeout));
        ExpectPageAlone(page, MODELLER, button == IDOK ? desktop : declined);
    }
    Cancel(page);
    Finish(Failed);
}
} // namespace
