// The suite installer end to end: D:\SETUP.EXE operated as a user would; what it installs is
// held against the sample products (P:) and the media.
#include "support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <regex>

namespace {
const struct {
    const char *caption, *intro, *dir, *browseTitle;
    std::vector<int> tabOrder;
} Pages[3] = {
    {"SKYBuilder Setup - Installing Modelex",
     "The first step in installing SKYBuilder is to install Modelex.  Modelex is the 3D object builder for "
     "creating 3D objects for your custom screen saver.  Change the install directory below if desired, then "
     "hit Proceed below to run.",
     "c:\\modelex", "Choose a Folder to install Modelex:", {IDOK, IDCANCEL, 7, 101, 102, 103}},
    {"SKYBuilder Setup - Installing Skyloop",
     "The next step is to run the Skyloop setup.  This installs the Registered version of the 3D screen saver.  "
     "Change the install directory below if desired, then hit Proceed below to run Skyloop Setup.",
     "c:\\skyloop", "Choose a Folder to install Skyloop:", {IDOK, IDCANCEL, 7, 102, 103, 101}},
    {"SKYBuilder Setup - Installing SKY Builder Files",
     "The final step is to install the SKYBuilder files.  Change the install directory below if desired, then "
     "hit Proceed below to install.",
     "c:\\skybuild", "Choose a Folder to install SKY Builder:", {IDOK, IDCANCEL, 7, 102, 103, 101}},
};
const char *const Succeeded[2] = {"SKYBuilder Setup - Sucessful",
                                  "Congratulations!   SKYBuilder has been succcesfully installed.  Shortcuts to "
                                  "SKY Builder Have been installed on your desktop."};
const char *const Failed[2] = {"SKYBuilder Setup", "Warning!  Errors have occurred in installing SKYBuilder.  "
                                                   "Please re-install from the beginning."};
const std::string Desktop95 = WindowsDir + "\\DESKTOP", DesktopNt = WindowsDir + "\\Profiles\\All Users\\DESKTOP",
                  BuilderIni = WindowsDir + "\\skybuild.ini", SaverIni = WindowsDir + "\\SKYLOOP.INI",
                  SystemIni = WindowsDir + "\\system.ini", Cancelling = "Are you sure you want to exit SKYBuilder setup?";
const char *const DesktopKey = "Control Panel\\Desktop", *const CommandKey = "Modelex.3DFile\\Shell\\Open\\Command";
std::string Prompt(const std::string &dir) { return "Directory " + dir + " doesn't seem to exist - create?"; }
std::string Product(const std::string &path, const std::string &name) { return Differs(path, ReadWhole("P:\\" + name)); }
std::string BuilderKeys() {
    return IniValue(BuilderIni, "Misc", "InstallDirectory") + "|" + IniValue(BuilderIni, "Misc", "SkeletonDirectory") +
           "|" + IniValue(BuilderIni, "Misc", "CreateDir");
}
// The suite's saver settings for dir.
std::string SaverDefaults(const std::string &dir, const std::string &tableOrder) {
    return "[Misc]\nNormal=1\nInstallDirectory=" + dir + "\nMapsDirectory=" + dir + "\\MAPS\nBackgroundMap=" + dir +
           "\\MAPS\\BGROUND.BMP\n[Entries]\nEntryFN000=" + dir + "\\MODELS\\3D.SKY\nEntryPM000=2,350,350,1,0,3,0,0,10,"
           "0,270,10,45\nEntryFN001=" + dir + "\\MODELS\\TORUSF.SKY\nEntryPM001=2,400,400,1,0,1,1,0,10,0,270,10,45\n"
           "EntryFN002=" + dir + "\\MODELS\\HEARTFG.SKY\nEntryPM002=2,450,450,1,0,3,1,0,10,10,0,0,0\n[Global]\n"
           "NoOfEntries=3\nSpeed=10\nSequence=0\nTableOrder=" + tableOrder + "\n[Reminder]\nActivated=1\nCaption1=It's "
           "been a while since you visited\nCaption2=Zentrix- you may be missing out on\nCaption3=lots of new stuff - "
           "would you like to visit it now?\nExecFile=http://www.example.com/\nReminderPeriod=1209600\n";
}

class Setup : public InstallerTest {
protected:
    void SetUp() override {
        for (std::string path : {"C:\\modelex", "C:\\skyloop", "C:\\skybuild", "C:\\A", "C:\\MODELEX.EXE", "C:\\MAPS",
                                 "C:\\MODELEX.HLP", "C:\\READMEM.TXT", "C:\\SAMPLES", "C:\\xxx.xxx"})
            RemoveTree(path);
        for (const std::string &path : {BuilderIni, SaverIni})
            DeleteFileA(path.c_str());
        // Windows 95 and NT 4 have these; a fresh prefix does not.
        for (const char *dir : {"\\DESKTOP", "\\Profiles", "\\Profiles\\All Users", "\\Profiles\\All Users\\DESKTOP"})
            CreateDirectoryA((WindowsDir + dir).c_str(), NULL);
        for (const std::string &parent : {Desktop95, DesktopNt})
            for (const char *product : {"\\Modelex", "\\Skyloop", "\\SKY Builder"})
                RemoveTree(parent + product);
        SetEnvironmentVariableA("OS", NULL); // the installer inherits it
    }
    // Types dir and proceeds, by the button or by Enter.
    void Proceed(HWND page, const std::string &dir, bool enter = false) {
        driver::SetControlText(page, 102, dir.c_str());
        enter ? driver::PressKey(page, 102, VK_RETURN) : driver::Click(page, IDOK);
    }
    // After everything posted so far, the page alone is shown, holding text.
    void ExpectAlone(HWND page, int index, const std::string &text) {
        ASSERT_TRUE(driver::Flush(GetDlgItem(page, 103)));
        EXPECT_EQ(Strings{Pages[index].caption}, driver::WindowsOf(program.id));
        EXPECT_EQ(text, driver::ControlText(page, 102));
    }
    void Finish(const char *const box[2]) {
        HWND w = Wait(box[0]);
        EXPECT_EQ(box[1], driver::ControlText(w, 7));
        driver::Click(w, IDOK);
        EXPECT_EQ(0, Exit());
    }
    // A run into these directories, which it creates when missing.
    void Install(const Strings &dirs) {
        Start("D:\\SETUP.EXE");
        for (int i = 0; i < 3; i++) {
            bool exists = DirectoryExists(dirs[i]);
            Proceed(Wait(Pages[i].caption), dirs[i]);
            if (!exists)
                Answer("New Directory?", Prompt(dirs[i]), IDYES);
        }
        Finish(Succeeded);
    }
    void ExpectLinks(const std::string &folder, const Strings &links, const std::string &dir, const char *text) {
        Strings names;
        for (size_t i = 0; i < links.size(); i += 2) {
            names.push_back(links[i]);
            EXPECT_EQ(dir + "\\" + links[i + 1] + " | " + text, LinkText(folder + "\\" + links[i]));
        }
        EXPECT_EQ(names, FilesIn(folder));
    }
    void ExpectModeller(const std::string &dir, const std::string &desktop, const std::string &command) {
        for (std::string f : {"MODELEX.EXE", "MODELEX.HLP", "READMEM.TXT", "MAPS\\BGROUND.BMP", "MAPS\\BRICKS.BMP",
                              "MAPS\\WOOD.BMP", "SAMPLES\\BRAID.SKY", "SAMPLES\\CHALICE.SKY", "SAMPLES\\VENUS3.SKY"})
            EXPECT_EQ("", Product(dir + "\\" + f, f.substr(f.find('\\') + 1)));
        EXPECT_EQ("Modelex.3DFile|Modelex 3D File|" + command,
                  RegText(HKEY_CLASSES_ROOT, ".sky", NULL) + "|" + RegText(HKEY_CLASSES_ROOT, "Modelex.3DFile", NULL) +
                      "|" + RegText(HKEY_CLASSES_ROOT, CommandKey, NULL));
        for (const char *name : WinGFiles)
            EXPECT_EQ("", Product(SystemDir + "\\" + name, name));
        EXPECT_FALSE(FileExists(SystemDir + "\\MODEFTST.QQQ") || FileExists(WindowsDir + "\\MODELEX.INI"));
        ExpectLinks(desktop + "\\Modelex", {"Modelex Help.lnk", "modelex.hlp", "Modelex.lnk", "modelex.exe",
                                            "Read Me.lnk", "readmem.txt"}, dir, "Modelex");
    }
    void ExpectSaver(const std::string &dir, const std::string &desktop) {
        EXPECT_EQ("", Product(WindowsDir + "\\SKYLOOP.SCR", "SKYLOOP.SCR") + Product(dir + "\\SKYLOOP.EXE", "SKYLOOP.SCR"));
        for (std::string f : {"SKYLOOP.HLP", "READMES.TXT", "MAPS\\BGROUND.BMP", "MAPS\\BRICKS.BMP", "MAPS\\WOOD.BMP"})
            EXPECT_EQ("", Product(dir + "\\" + f, f.substr(f.find('\\') + 1)));
        std::string models = dir + "\\MODELS";
        for (std::string f : {"3D.SKY", "HEARTFG.SKY", "SPHEREF.SKY", "TORUSF.SKY", "CUBE1.SKY", "CUBE2.SKY", "CNB.BMP",
                              "CNF.BMP", "CNK.BMP", "CNL.BMP", "CNR.BMP", "CNT.BMP", "CSB.BMP", "CSF.BMP", "CSK.BMP",
                              "CSL.BMP", "CSR.BMP", "CST.BMP", "3DCUBES.TXT"})
            EXPECT_EQ("", Product(models + "\\" + f, f));
        EXPECT_EQ(19u, FilesIn(models).size());
        ExpectLinks(desktop + "\\Skyloop", {"Read Me.lnk", "readmes.txt", "Skyloop Help.lnk", "skyloop.hlp",
                                            "Skyloop Settings.lnk", "skyloop.exe"}, dir, "Skyloop");
    }
    // The builder, its links and the kit, each file a copy of the media's of its name there.
    void ExpectBuilder(const std::string &dir, const std::string &desktop) {
        EXPECT_EQ("", Product(dir + "\\SKYBUILD.EXE", "SKYBUILD.EXE") + Product(dir + "\\README.TXT", "README.TXT"));
        EXPECT_EQ((Strings{"README.TXT", "SKEL", "SKYBUILD.EXE"}), FilesIn(dir)) << "no newsky";
        const char *kit[12][2] = {{"WING.DL_", ""}, {"WINGDE.DL_", ""}, {"WINGDIB.DR_", ""}, {"WINGPAL.WN_", ""},
                                  {"DVA.38_", ""}, {"WING32.DL_", ""}, {"SKYLOOP.SC_", "SKYLOOPE.SC_"},
                                  {"SKYLOOP.HL_", "SKYLOOPE.HL_"}, {"ORDER.FR_", ""}, {"BGROUND.BM_", ""},
                                  {"README.TXT", "READMESE.TXT"}, {"SETUP.EXE", "KITSETUP.EXE"}};
        Strings names;
        for (const auto &f : kit) {
            names.push_back(f[0]);
            EXPECT_EQ("", Differs(dir + "\\SKEL\\" + f[0], ReadWhole(std::string("D:\\") + (*f[1] ? f[1] : f[0]))));
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, FilesIn(dir + "\\SKEL"));
        ExpectLinks(desktop + "\\SKY Builder", {"Read Me.lnk", "readme.txt", "SKY Builder.lnk", "skybuild.exe"}, dir,
                    "SKYBuild");
    }
};

TEST_F(Setup, FullRunOnWindows95InstallsEveryProduct) {
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\MODELEX.INI", "[Misc]\r\nLastModel=BRAID.SKY\r\n"));
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\OTHER.SCR", SystemIni.c_str());
    SetReg(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", REG_SZ, "C:\\OTHER.SCR");
    const std::string builder = scratch + "\\SB";
    Start("D:\\SETUP.EXE");
    long long before = time(nullptr);
    for (int i = 0; i < 3; i++) {
        HWND page = Wait(Pages[i].caption);
        ExpectAlone(page, i, Pages[i].dir);
        std::vector<int> ids; // in z-order, which is the tab order
        for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            ids.push_back(GetDlgCtrlID(c));
            EXPECT_FALSE(driver::IsDefaultButton(c)) << i;
        }
        EXPECT_EQ(Pages[i].tabOrder, ids);
        EXPECT_EQ(std::string("Proceed|Cancel|") + Pages[i].intro + "||Browse",
                  driver::ControlText(page, IDOK) + "|" + driver::ControlText(page, IDCANCEL) + "|" +
                      driver::ControlText(page, 7) + "|" + driver::ControlText(page, 101) + "|" +
                      driver::ControlText(page, 103));
        EXPECT_EQ(WS_TABSTOP, GetWindowLongA(GetDlgItem(page, 102), GWL_STYLE) & (ES_AUTOHSCROLL | WS_TABSTOP));
        EXPECT_EQ(DS_MODALFRAME | DS_CONTEXTHELP, GetWindowLongA(page, GWL_STYLE) & (DS_MODALFRAME | DS_CONTEXTHELP));
        if (i < 2) {
            driver::Click(page, IDOK);
            Answer("New Directory?", Prompt(Pages[i].dir), IDYES);
        } else {
            Proceed(page, "SB"); // relative to the current directory, scratch
            Answer("New Directory?", Prompt(builder), IDYES);
        }
    }
    Finish(Succeeded);
    ExpectModeller("c:\\modelex", Desktop95, "c:\\modelex\\modelex.exe %1");
    ExpectSaver("c:\\skyloop", Desktop95);
    ExpectBuilder(builder, Desktop95);
    EXPECT_EQ((Strings{"MAPS", "MODELEX.EXE", "MODELEX.HLP", "READMEM.TXT", "SAMPLES"}), FilesIn("c:\\modelex"));
    EXPECT_EQ((Strings{"MAPS", "MODELS", "READMES.TXT", "SKYLOOP.EXE", "SKYLOOP.HLP"}), FilesIn("c:\\skyloop"));
    std::string seed = IniValue(SaverIni, "Global", "TableOrder");
    EXPECT_TRUE(SeededSince(seed, before)) << seed;
    EXPECT_EQ(SaverDefaults("c:\\skyloop", seed), IniText(SaverIni));
    EXPECT_EQ(WindowsDir + "\\SKYLOOP.SCR", IniValue(SystemIni, "boot", "SCRNSAVE.EXE"));
    EXPECT_EQ("C:\\OTHER.SCR", RegText(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE")) << "not the registry";
    EXPECT_EQ(builder + "|" + builder + "\\skel|" + builder, BuilderKeys()) << "CreateDir as written on the way out";
    EXPECT_EQ((Strings{"Modelex", "SKY Builder", "Skyloop"}), FilesIn(Desktop95));
    EXPECT_EQ(Strings{}, FilesIn(DesktopNt));
}

TEST_F(Setup, ReinstallOnWindowsNtReplacesEverythingButTableOrderAndExtraEntries) {
    SetEnvironmentVariableA("OS", "Windows_NT");
    // A user who once had another saver; the time-out value is absent.
    SetReg(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive", REG_SZ, "0");
    SetReg(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", REG_SZ, "C:\\OTHER.SCR");
    SetReg(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveTimeOut", REG_SZ, NULL);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\OTHER.SCR", SystemIni.c_str());
    // A blank in a parent folder quotes the program in the open command.
    std::string modeller = scratch + "\\Program Files\\Modelex", saver = scratch + "\\saver", builder = scratch + "\\b";
    ASSERT_TRUE(CreateDirectoryA((scratch + "\\Program Files").c_str(), NULL));
    Install({modeller, saver, builder});
    // What the user's time with the products, or other programs, changed since.
    Strings spoilt;
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
    std::string ini = std::regex_replace(ReadWhole(SaverIni), std::regex("=.*\r"), "=spoilt\r");
    ASSERT_TRUE(WriteWhole(SaverIni, ini.insert(ini.find("[Global]"), "EntryFN003=x\r\nEntryPM004=y\r\n")) &&
                WriteWhole(BuilderIni, "[Misc]\r\nInstallDirectory=x\r\nSkeletonDirectory=x\r\nCreateDir=x\r\n"));
    Install({modeller, saver, builder});
    ExpectModeller(modeller, DesktopNt, "\"" + modeller + "\\modelex.exe\" %1");
    ExpectSaver(saver, DesktopNt);
    ExpectBuilder(builder, DesktopNt);
    EXPECT_EQ(builder + "|" + builder + "\\skel|" + builder, BuilderKeys());
    EXPECT_EQ("the user's map", ReadWhole(saver + "\\MAPS\\MINE.BMP"));
    std::string settings = SaverDefaults(saver, "spoilt");
    EXPECT_EQ(settings.insert(settings.find("[Global]"), "EntryFN003=x\nEntryPM004=y\n"), IniText(SaverIni));
    EXPECT_EQ("1|" + WindowsDir + "\\SKYLOOP.SCR|" + Absent,
              RegText(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive") + "|" +
                  RegText(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE") + "|" +
                  RegText(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveTimeOut"));
    EXPECT_EQ("C:\\OTHER.SCR", IniValue(SystemIni, "boot", "SCRNSAVE.EXE")) << "Windows NT: not SYSTEM.INI";
    EXPECT_EQ(Strings{}, FilesIn(Desktop95));
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
    HWND page = Wait(Pages[0].caption);
    Proceed(page, modeller);
    // The box lets the page answer: it shows the step's label and the bar at 0.
    Wait("Decomp Error");
    DWORD_PTR at = 99;
    SendMessageTimeoutA(FindWindowExA(page, NULL, PROGRESS_CLASSA, NULL), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &at);
    EXPECT_EQ("Installing Modelex... at 0", driver::ControlText(page, 101) + " at " + std::to_string(at));
    Answer("Decomp Error", "Can't Find Source File " + media + "\\READMEM.TXT", IDOK); // the plain name
    Proceed(Wait(Pages[1].caption), scratch); // a second box would hold the first page open
    Proceed(Wait(Pages[2].caption), builder);
    Answer("File Copy - To file - can't open", builder + "\\SKEL\\WING.DL_", IDOK);
    Answer("File Copy - From file - can't open", media + "\\ORDER.FR_", IDOK);
    Finish(Succeeded);
    // A blank in the last level quotes the program; the read-me's link is made all the same.
    EXPECT_EQ((Strings{"MAPS", "MODELEX.EXE", "MODELEX.HLP", "SAMPLES"}), FilesIn(modeller));
    EXPECT_EQ("\"" + modeller + "\\modelex.exe\" %1", RegText(HKEY_CLASSES_ROOT, CommandKey, NULL));
    EXPECT_EQ(modeller + "\\readmem.txt | Modelex", LinkText(Desktop95 + "\\Modelex\\Read Me.lnk"));
    SetFileAttributesA((builder + "\\SKEL\\WING.DL_").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("the user's", ReadWhole(builder + "\\SKEL\\WING.DL_"));
    EXPECT_EQ(11u, FilesIn(builder + "\\SKEL").size());
    EXPECT_EQ(builder + "\\skel", IniValue(BuilderIni, "Misc", "SkeletonDirectory"));
}

TEST_F(Setup, ConfirmedCancelOnAnyPageEndsWithTheErrorBox) {
    void (*cancels[3])(HWND) = {[](HWND p) { driver::Click(p, IDCANCEL); },
                                [](HWND p) { driver::PressKey(p, 102, VK_ESCAPE); },
                                [](HWND p) { driver::CloseWindow(p); }};
    // The pages before: the modeller into the current drive's root (an empty text); then,
    // typed relative, into a new mdx below the current directory (by Enter) and the saver into
    // the Windows directory itself.
    const Strings before[3] = {{}, {""}, {"mdx", "..\\..\\windows"}};
    const std::string mdx = scratch + "\\mdx";
    for (int cancelled = 0; cancelled < 3; cancelled++) {
        SCOPED_TRACE(Pages[cancelled].caption);
        Start("D:\\SETUP.EXE");
        for (int i = 0; i < cancelled; i++) {
            Proceed(Wait(Pages[i].caption), before[cancelled][i], cancelled == 2 && i == 0);
            if (cancelled == 2 && i == 0)
                Answer("New Directory?", Prompt(mdx), IDYES);
        }
        HWND page = Wait(Pages[cancelled].caption);
        // The folder browser opens with the page's title; cancelled, it changes nothing.
        driver::Click(page, 103);
        HWND browser = Wait("Browse for Folder");
        bool titled = false;
        for (HWND c = GetWindow(browser, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            titled = titled || driver::ControlText(c, 0) == Pages[cancelled].browseTitle;
        EXPECT_TRUE(titled);
        driver::Click(browser, IDCANCEL);
        // Cancel, Escape or the close button asks; No, the default answer, keeps the page as it was.
        driver::SetControlText(page, 102, "C:\\typed but not proceeded");
        cancels[cancelled](page);
        HWND box = Wait("Cancelling");
        EXPECT_TRUE(driver::IsDefaultButton(GetDlgItem(box, IDNO)) && !driver::IsDefaultButton(GetDlgItem(box, IDYES)));
        Answer("Cancelling", Cancelling, IDNO);
        ExpectAlone(page, cancelled, "C:\\typed but not proceeded");
        driver::Click(page, IDCANCEL);
        Answer("Cancelling", Cancelling, IDYES);
        HWND finish = Wait(Failed[0]);
        EXPECT_FALSE(driver::IsDefaultButton(GetDlgItem(finish, IDOK)));
        driver::PressKey(finish, IDOK, VK_ESCAPE);
        driver::CloseWindow(finish);
        ASSERT_TRUE(driver::Flush(GetDlgItem(finish, IDOK)) && IsWindowVisible(finish)) << "Escape or close ended it";
        EXPECT_EQ(Failed[1], driver::ControlText(finish, 7));
        cancelled == 1 ? driver::PressKey(finish, IDOK, VK_RETURN) : driver::Click(finish, IDOK);
        EXPECT_EQ(0, Exit());
        EXPECT_EQ(Pages[cancelled].dir, IniValue(BuilderIni, "Misc", "CreateDir")) << "the page's directory as taken";
        DeleteFileA(BuilderIni.c_str());
    }
    EXPECT_EQ("", Product("C:\\MODELEX.EXE", "MODELEX.EXE") + Product("C:\\MAPS\\WOOD.BMP", "WOOD.BMP"));
    EXPECT_FALSE(FileExists("C:\\xxx.xxx"));
    // Every path written from a relative directory is absolute.
    ExpectModeller(mdx, Desktop95, mdx + "\\modelex.exe %1");
    // The second copy is the first: copied, not moved away from under the setting.
    ExpectSaver(WindowsDir, Desktop95);
    EXPECT_EQ(WindowsDir + "|" + WindowsDir + "\\SKYLOOP.SCR",
              IniValue(SaverIni, "Misc", "InstallDirectory") + "|" + IniValue(SystemIni, "boot", "SCRNSAVE.EXE"));
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
        {declined, IDNO, "", declined.size()}, {ofLength(249), IDNO, "", 249}, {ofLength(250), IDNO, "", 249},
    };
    Start("D:\\SETUP.EXE");
    HWND page = Wait(Pages[0].caption);
    for (const auto &r : rows) {
        Proceed(page, r.typed);
        Answer("New Directory?", Prompt(r.typed.substr(0, r.taken)), r.answer);
        if (!r.failure.empty())
            Answer("Error", r.failure, IDOK);
        ExpectAlone(page, 0, r.typed);
    }
    EXPECT_FALSE(DirectoryExists("C:\\A") || DirectoryExists(declined));
    EXPECT_EQ("the user's own file", ReadWhole(taken + "\\xxx.xxx"));
    // The prompt has no owner: the page can be clicked meanwhile, and nothing starts.
    Proceed(page, declined);
    Wait("New Directory?");
    void (*acts[])(HWND) = {[](HWND p) { driver::Click(p, IDOK); }, [](HWND p) { driver::Click(p, 103); },
                            [](HWND p) { driver::Click(p, IDCANCEL); }, [](HWND p) { driver::CloseWindow(p); },
                            [](HWND p) { driver::PressKey(p, 102, VK_RETURN); }};
    for (auto act : acts) {
        act(page);
        ASSERT_TRUE(driver::Flush(GetDlgItem(page, 103)));
        EXPECT_EQ((Strings{"New Directory?", Pages[0].caption}), driver::WindowsOf(program.id));
    }
    Answer("New Directory?", Prompt(declined), IDNO);
    // A folder chosen in the browser (the tree's root, the desktop) fills the box.
    char desktop[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(NULL, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    driver::Click(page, 103);
    HWND browser = Wait("Browse for Folder"), tree = FindWindowExA(browser, NULL, WC_TREEVIEWA, NULL);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    driver::Click(browser, IDOK);
    ASSERT_TRUE(driver::Poll(driver::Timeout, [browser] { return !IsWindow(browser); }));
    ExpectAlone(page, 0, desktop);
    driver::Click(page, IDCANCEL);
    Answer("Cancelling", Cancelling, IDYES);
    Finish(Failed);
}
} // namespace
