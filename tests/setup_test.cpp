// The suite installer end to end: D:\SETUP.EXE operated as a user would; what it installs is
// held against the sample products (P:) and the media (D:).
#include "support.h"

#include <commctrl.h>
#include <shlobj.h>

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
const char *const Done[2] = {"SKYBuilder Setup - Sucessful", "Congratulations!   SKYBuilder has been succcesfully "
                             "installed.  Shortcuts to SKY Builder Have been installed on your desktop."};
const char *const Failed[2] = {"SKYBuilder Setup", "Warning!  Errors have occurred in installing SKYBuilder.  "
                               "Please re-install from the beginning."};
const std::string Desktop95 = WindowsDir + "\\DESKTOP", DesktopNt = WindowsDir + "\\Profiles\\All Users\\DESKTOP",
                  BuilderIni = WindowsDir + "\\skybuild.ini", SaverIni = WindowsDir + "\\SKYLOOP.INI",
                  SystemIni = WindowsDir + "\\system.ini", Sure = "Are you sure you want to exit SKYBuilder setup?";
const char *const DesktopKey = "Control Panel\\Desktop", *const Command = "Modelex.3DFile\\Shell\\Open\\Command";
std::string Prompt(const std::string &dir) { return "Directory " + dir + " doesn't seem to exist - create?"; }
std::string Desktop(const char *name) { return RegText(HKEY_CURRENT_USER, DesktopKey, name); }
std::string Builder(const char *key) { return IniValue(BuilderIni, "Misc", key); }

// The links in folder, "name|target|..." with the targets in dir.
void ExpectLinks(const std::string &folder, const std::string &links, const std::string &dir, const char *text) {
    Strings l = Split(links, '|'), names;
    for (size_t i = 0; i < l.size(); i += 2) {
        names.push_back(l[i]);
        EXPECT_EQ(dir + "\\" + l[i + 1] + " | " + text, LinkText(folder + "\\" + l[i]));
    }
    EXPECT_EQ(names, FilesIn(folder));
}

void ExpectModeller(const std::string &dir, const std::string &desktop, const std::string &command) {
    ExpectFiles(dir, "MODELEX.EXE MODELEX.HLP READMEM.TXT MAPS\\BGROUND.BMP MAPS\\BRICKS.BMP MAPS\\WOOD.BMP "
                     "SAMPLES\\BRAID.SKY SAMPLES\\CHALICE.SKY SAMPLES\\VENUS3.SKY");
    EXPECT_EQ("Modelex.3DFile|Modelex 3D File|" + command, RegText(HKEY_CLASSES_ROOT, ".sky", NULL) + "|" +
              RegText(HKEY_CLASSES_ROOT, "Modelex.3DFile", NULL) + "|" + RegText(HKEY_CLASSES_ROOT, Command, NULL));
    for (const char *name : WinGFiles)
        EXPECT_EQ("", Differs(SystemDir + "\\" + name, ReadWhole(std::string("P:\\") + name)));
    EXPECT_FALSE(FileExists(SystemDir + "\\MODEFTST.QQQ") || FileExists(WindowsDir + "\\MODELEX.INI"));
    ExpectLinks(desktop + "\\Modelex", "Modelex Help.lnk|modelex.hlp|Modelex.lnk|modelex.exe|Read Me.lnk|readmem.txt",
                dir, "Modelex");
}

void ExpectSaver(const std::string &dir, const std::string &desktop) {
    EXPECT_EQ("", Differs(WindowsDir + "\\SKYLOOP.SCR", ReadWhole("P:\\SKYLOOP.SCR")));
    ExpectFiles(dir, "SKYLOOP.EXE=P:SKYLOOP.SCR SKYLOOP.HLP READMES.TXT MAPS\\BGROUND.BMP MAPS\\BRICKS.BMP MAPS\\WOOD.BMP "
                     "MODELS\\3D.SKY MODELS\\HEARTFG.SKY MODELS\\SPHEREF.SKY MODELS\\TORUSF.SKY MODELS\\CUBE1.SKY "
                     "MODELS\\CUBE2.SKY MODELS\\CNB.BMP MODELS\\CNF.BMP MODELS\\CNK.BMP MODELS\\CNL.BMP MODELS\\CNR.BMP "
                     "MODELS\\CNT.BMP MODELS\\CSB.BMP MODELS\\CSF.BMP MODELS\\CSK.BMP MODELS\\CSL.BMP MODELS\\CSR.BMP "
                     "MODELS\\CST.BMP MODELS\\3DCUBES.TXT", dir != WindowsDir);
    ExpectLinks(desktop + "\\Skyloop", "Read Me.lnk|readmes.txt|Skyloop Help.lnk|skyloop.hlp|Skyloop Settings.lnk|"
                "skyloop.exe", dir, "Skyloop");
}

// The builder, its links and the kit, each of its files a copy of the media's.
void ExpectBuilder(const std::string &dir, const std::string &desktop) {
    ExpectFiles(dir, "SKYBUILD.EXE README.TXT SKEL\\WING.DL_=D: SKEL\\WINGDE.DL_=D: SKEL\\WINGDIB.DR_=D: "
                     "SKEL\\WINGPAL.WN_=D: SKEL\\DVA.38_=D: SKEL\\WING32.DL_=D: SKEL\\SKYLOOP.SC_=D:SKYLOOPE.SC_ "
                     "SKEL\\SKYLOOP.HL_=D:SKYLOOPE.HL_ SKEL\\ORDER.FR_=D: SKEL\\BGROUND.BM_=D: "
                     "SKEL\\README.TXT=D:READMESE.TXT SKEL\\SETUP.EXE=D:KITSETUP.EXE");
    EXPECT_EQ(dir + "|" + dir + "\\skel|" + dir, Builder("InstallDirectory") + "|" + Builder("SkeletonDirectory") +
                                                     "|" + Builder("CreateDir")) << "CreateDir as written at the end";
    ExpectLinks(desktop + "\\SKY Builder", "Read Me.lnk|readme.txt|SKY Builder.lnk|skybuild.exe", dir, "SKYBuild");
}

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
        for (std::string path : {"C:\\Model Ex", "C:\\skyloop", "C:\\skybuild", "C:\\A", "C:\\MODELEX.EXE", "C:\\MAPS",
                                 "C:\\MODELEX.HLP", "C:\\READMEM.TXT", "C:\\SAMPLES", BuilderIni.c_str(), SaverIni.c_str()})
            RemoveTree(path);
        // Windows 95 and NT 4 have these; a fresh prefix does not.
        for (const char *dir : {"\\DESKTOP", "\\Profiles", "\\Profiles\\All Users", "\\Profiles\\All Users\\DESKTOP"})
            CreateDirectoryA((WindowsDir + dir).c_str(), NULL);
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
        EXPECT_EQ(Strings{Pages[index].caption}, driver::WindowsOf(processId));
        EXPECT_EQ(text, driver::ControlText(page, 102));
    }
    void Finish(const char *const box[2], bool enter = false) {
        HWND w = Wait(box[0]);
        EXPECT_EQ(box[1], driver::ControlText(w, 7));
        enter ? driver::PressKey(w, IDOK, VK_RETURN) : driver::Click(w, IDOK);
        EXPECT_EQ(0, Exit());
    }
    void Cancel(HWND page) {
        driver::Click(page, IDCANCEL);
        Answer("Cancelling", Sure, IDYES);
    }
    // Proceeds on every page into dirs, typed (those that do not exist yet are made); every
    // page as it opens is held against its template.
    void Install(const Strings &dirs) {
        Start("D:\\SETUP.EXE");
        for (int i = 0; i < 3; i++) {
            HWND page = Wait(Pages[i].caption);
            ExpectAlone(page, i, Pages[i].dir);
            std::vector<int> ids; // in z-order, which is the tab order
            for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                ids.push_back(GetDlgCtrlID(c));
                EXPECT_FALSE(driver::IsDefaultButton(c));
            }
            EXPECT_EQ(Pages[i].tabOrder, ids);
            EXPECT_EQ(std::string("Proceed|Cancel|") + Pages[i].intro + "||Browse",
                      driver::ControlText(page, IDOK) + "|" + driver::ControlText(page, IDCANCEL) + "|" +
                          driver::ControlText(page, 7) + "|" + driver::ControlText(page, 101) + "|" +
                          driver::ControlText(page, 103));
            EXPECT_EQ(WS_TABSTOP, GetWindowLongA(GetDlgItem(page, 102), GWL_STYLE) & (ES_AUTOHSCROLL | WS_TABSTOP));
            EXPECT_EQ(DS_CONTEXTHELP, GetWindowLongA(page, GWL_STYLE) & DS_CONTEXTHELP);
            std::string full = dirs[i] == "SB" ? scratch + "\\SB" : dirs[i];
            bool exists = DirectoryExists(full);
            Proceed(page, dirs[i]);
            if (!exists)
                Answer("New Directory?", Prompt(full), IDYES);
        }
        Finish(Done);
    }
};

TEST_F(Setup, InstallsEveryProductOnWindows95AndAgainOnWindowsNt) {
    for (const std::string &parent : {Desktop95, DesktopNt})
        for (const char *product : {"\\Modelex", "\\Skyloop", "\\SKY Builder"})
            RemoveTree(parent + product);
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\MODELEX.INI", "[Misc]\r\nLastModel=BRAID.SKY\r\n") &&
                WriteWhole(SystemDir + "\\MODEFTST.QQQ", "left over"));
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\OTHER.SCR", SystemIni.c_str());
    SetReg(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", REG_SZ, "C:\\OTHER.SCR");
    // A blank in the modeller's path, which its open command quotes; the builder typed relative
    // to the current directory, scratch.
    const std::string builder = scratch + "\\SB", command = "\"C:\\Model Ex\\modelex.exe\" %1";
    const Strings dirs = {"C:\\Model Ex", "c:\\skyloop", "SB"};
    long long before = time(nullptr);
    Install(dirs);
    ExpectModeller(dirs[0], Desktop95, command);
    ExpectSaver(dirs[1], Desktop95);
    ExpectBuilder(builder, Desktop95);
    std::string seed = IniValue(SaverIni, "Global", "TableOrder");
    EXPECT_TRUE(SeededSince(seed, before)) << seed;
    EXPECT_EQ(SaverDefaults(dirs[1], seed), IniText(SaverIni));
    EXPECT_EQ(WindowsDir + "\\SKYLOOP.SCR|C:\\OTHER.SCR", IniValue(SystemIni, "boot", "SCRNSAVE.EXE") + "|" +
                                                               Desktop("SCRNSAVE.EXE")) << "not the registry";
    EXPECT_EQ((Strings{"Modelex", "SKY Builder", "Skyloop"}), FilesIn(Desktop95));
    EXPECT_EQ(Strings{}, FilesIn(DesktopNt));
    // Windows NT, for a user who once had another saver, under a longer name than any buffer
    // holds and of another type, and no time-out value.
    SetEnvironmentVariableA("OS", "Windows_NT");
    SetReg(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive", REG_SZ, "0");
    SetReg(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", REG_EXPAND_SZ, std::string(600, 'o').c_str());
    SetReg(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveTimeOut", REG_SZ, NULL);
    // All the user's time with the products, or other programs, changed since: every file,
    // setting and registry value spoilt, entries beyond the three added.
    for (const std::string &dir : {dirs[0], dirs[1], builder, Desktop95})
        for (const std::string &path : FilesBelow(dir))
            ASSERT_TRUE(WriteWhole(path, "stale")) << path;
    for (const char *name : WinGFiles)
        ASSERT_TRUE(WriteWhole(SystemDir + "\\" + name, "stale"));
    for (const char *key : {".sky", "Modelex.3DFile", Command})
        SetReg(HKEY_CLASSES_ROOT, key, NULL, REG_SZ, "other");
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\MODELEX.INI", "[Misc]\r\n") && WriteWhole(dirs[1] + "\\MAPS\\MINE.BMP", "mine"));
    std::string ini = std::regex_replace(ReadWhole(SaverIni), std::regex("=.*\r"), "=spoilt\r");
    ASSERT_TRUE(WriteWhole(SaverIni, ini.insert(ini.find("[Global]"), "EntryFN003=x\r\nEntryPM004=y\r\n")) &&
                WriteWhole(BuilderIni, "[Misc]\r\nInstallDirectory=x\r\nSkeletonDirectory=x\r\nCreateDir=x\r\n"));
    Install(dirs);
    ExpectModeller(dirs[0], DesktopNt, command);
    EXPECT_TRUE(ReadWhole(dirs[1] + "\\MAPS\\MINE.BMP") == "mine" && DeleteFileA((dirs[1] + "\\MAPS\\MINE.BMP").c_str()));
    ExpectSaver(dirs[1], DesktopNt);
    ExpectBuilder(builder, DesktopNt);
    std::string settings = SaverDefaults(dirs[1], "spoilt");
    EXPECT_EQ(settings.insert(settings.find("[Global]"), "EntryFN003=x\nEntryPM004=y\n"), IniText(SaverIni))
        << "TableOrder and the entries beyond the three stay";
    EXPECT_EQ("1|<type 2>" + WindowsDir + "\\SKYLOOP.SCR|" + Absent + "|" + WindowsDir + "\\SKYLOOP.SCR",
              Desktop("ScreenSaveActive") + "|" + Desktop("SCRNSAVE.EXE") + "|" + Desktop("ScreenSaveTimeOut") + "|" +
                  IniValue(SystemIni, "boot", "SCRNSAVE.EXE")) << "Windows NT: the registry, not SYSTEM.INI";
}

TEST_F(Setup, APageStaysUntilItsDirectoryIsTakenOrCancelIsConfirmed) {
    void (*cancels[3])(HWND) = {[](HWND p) { driver::Click(p, IDCANCEL); },
                                [](HWND p) { driver::PressKey(p, 102, VK_ESCAPE); },
                                [](HWND p) { driver::CloseWindow(p); }};
    // The pages before: the modeller into the current drive's root (an empty text); then, typed
    // relative, into a new mdx below the current directory (by Enter), and the saver into the
    // Windows directory itself.
    const Strings before[3] = {{}, {""}, {"mdx", "..\\..\\windows"}};
    std::string mdx = scratch + "\\mdx", taken = scratch + "\\taken", x249 = scratch + "\\" + std::string(236, 'x');
    char desktop[MAX_PATH];
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), NULL) && WriteWhole(taken + "\\xxx.xxx", "the user's") &&
                SHGetSpecialFolderPathA(NULL, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    for (int cancelled = 0; cancelled < 3; cancelled++) {
        SCOPED_TRACE(Pages[cancelled].caption);
        SetEnvironmentVariableA("OS", cancelled == 2 ? "windows_nt" : NULL); // not Windows NT
        Start("D:\\SETUP.EXE");
        for (int i = 0; i < cancelled; i++) {
            Proceed(Wait(Pages[i].caption), before[cancelled][i], cancelled == 2 && i == 0);
            if (cancelled == 2 && i == 0)
                Answer("New Directory?", Prompt(mdx), IDYES);
        }
        HWND page = Wait(Pages[cancelled].caption);
        for (const std::string &typed : cancelled ? Strings{} : Strings{"C:\\A\\B", taken, x249 + "xx"}) {
            // Only the last level is created; a directory with a file xxx.xxx is not taken; the
            // text is read up to 249 characters; No keeps it.
            Proceed(page, typed);
            Answer("New Directory?", Prompt(typed.substr(0, 249)), typed[3] == 'A' || typed == taken ? IDYES : IDNO);
            if (typed[3] == 'A' || typed == taken)
                Answer("Error", "Can't create Directory " + typed, IDOK);
            ExpectAlone(page, 0, typed);
        }
        if (!cancelled) {
            EXPECT_TRUE(!DirectoryExists("C:\\A") && ReadWhole(taken + "\\xxx.xxx") == "the user's");
            // The prompt has no owner: the page can be clicked meanwhile, and nothing starts.
            Proceed(page, taken + "\\no");
            Wait("New Directory?");
            for (int id : {IDOK, 103, IDCANCEL}) {
                driver::Click(page, id);
                ASSERT_TRUE(driver::Flush(GetDlgItem(page, 103)));
                EXPECT_EQ((Strings{"New Directory?", Pages[0].caption}), driver::WindowsOf(processId));
            }
            Answer("New Directory?", Prompt(taken + "\\no"), IDNO);
            // A folder chosen in the browser (the tree's root, the desktop) fills the box.
            driver::Click(page, 103);
            HWND browser = Wait("Browse for Folder"), tree = FindWindowExA(browser, NULL, WC_TREEVIEWA, NULL);
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
            driver::Click(browser, IDOK);
            ASSERT_TRUE(driver::Poll(driver::Timeout, [browser] { return !IsWindow(browser); }));
            ExpectAlone(page, 0, desktop);
        }
        // The folder browser shows the page's title; cancelled, it changes nothing.
        driver::Click(page, 103);
        HWND browser = Wait("Browse for Folder");
        bool titled = false;
        for (HWND c = GetWindow(browser, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            titled = titled || driver::ControlText(c, 0) == Pages[cancelled].browseTitle;
        EXPECT_TRUE(titled);
        driver::Click(browser, IDCANCEL);
        // Cancel, Escape or the close button asks; No, the default answer, keeps the page as it was.
        driver::SetControlText(page, 102, "C:\\typed");
        cancels[cancelled](page);
        HWND box = Wait("Cancelling");
        EXPECT_TRUE(driver::IsDefaultButton(GetDlgItem(box, IDNO)) && !driver::IsDefaultButton(GetDlgItem(box, IDYES)));
        Answer("Cancelling", Sure, IDNO);
        ExpectAlone(page, cancelled, "C:\\typed");
        Cancel(page);
        // Only OK or Enter ends the box.
        HWND finish = Wait(Failed[0]);
        EXPECT_FALSE(driver::IsDefaultButton(GetDlgItem(finish, IDOK)));
        driver::PressKey(finish, IDOK, VK_ESCAPE);
        driver::CloseWindow(finish);
        ASSERT_TRUE(driver::Flush(GetDlgItem(finish, IDOK)) && IsWindowVisible(finish));
        Finish(Failed, cancelled == 1);
        EXPECT_EQ(cancelled ? Pages[cancelled].dir : desktop, Builder("CreateDir")) << "the directory last taken";
        DeleteFileA(BuilderIni.c_str());
    }
    ExpectFiles("C:\\SAMPLES", "BRAID.SKY CHALICE.SKY VENUS3.SKY");
    EXPECT_FALSE(FileExists("C:\\xxx.xxx"));
    ExpectModeller(mdx, Desktop95, mdx + "\\modelex.exe %1"); // every path absolute
    // The second copy is the first: copied, not moved away from under the setting.
    ExpectSaver(WindowsDir, Desktop95);
    EXPECT_EQ(WindowsDir + "\\MODELS\\TORUSF.SKY|" + WindowsDir + "\\SKYLOOP.SCR",
              IniValue(SaverIni, "Entries", "EntryFN001") + "|" + IniValue(SystemIni, "boot", "SCRNSAVE.EXE"));
    EXPECT_FALSE(DirectoryExists("C:\\modelex") || DirectoryExists("C:\\skyloop") || DirectoryExists("C:\\skybuild"));
}
} // namespace
