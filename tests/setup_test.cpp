// The suite installer end to end: D:\SETUP.EXE operated as a user would; what it installs is held
// against the sample products (P:) and the media (D:).
#include "support.h"

#include <commctrl.h>
#include <shlobj.h>

using namespace driver;

namespace {
const struct {
    const char *caption, *intro, *dir, *browseTitle;
    std::vector<int> tabOrder;
} Pages[3] = {
    {"SKYBuilder Setup - Installing Modelex",
     "The first step in installing SKYBuilder is to install Modelex.  Modelex is the 3D object builder for "
     "creating 3D objects for your custom screen saver.  Change the install directory below if desired, then "
     "hit Proceed below to run.",
     "c:\\modelex",
     "Choose a Folder to install Modelex:",
     {IDOK, IDCANCEL, 7, 101, 102, 103}},
    {"SKYBuilder Setup - Installing Skyloop",
     "The next step is to run the Skyloop setup.  This installs the Registered version of the 3D screen "
     "saver.  Change the install directory below if desired, then hit Proceed below to run Skyloop Setup.",
     "c:\\skyloop",
     "Choose a Folder to install Skyloop:",
     {IDOK, IDCANCEL, 7, 102, 103, 101}},
    {"SKYBuilder Setup - Installing SKY Builder Files",
     "The final step is to install the SKYBuilder files.  Change the install directory below if desired, "
     "then hit Proceed below to install.",
     "c:\\skybuild",
     "Choose a Folder to install SKY Builder:",
     {IDOK, IDCANCEL, 7, 102, 103, 101}},
};
const char *const Done[2] = {"SKYBuilder Setup - Sucessful",
                             "Congratulations!   SKYBuilder has been succcesfully "
                             "installed.  Shortcuts to SKY Builder Have been installed on your desktop."};
const char *const Failed[2] = {"SKYBuilder Setup",
                               "Warning!  Errors have occurred in installing SKYBuilder.  "
                               "Please re-install from the beginning."};
const std::string Desktop95 = WindowsDir + "\\DESKTOP",
                  DesktopNt = WindowsDir + "\\Profiles\\All Users\\DESKTOP",
                  BuilderIni = WindowsDir + "\\skybuild.ini", SaverIni = WindowsDir + "\\SKYLOOP.INI",
                  SystemIni = WindowsDir + "\\system.ini",
                  Sure = "Are you sure you want to exit SKYBuilder setup?";
const char *const DesktopKey = "Control Panel\\Desktop", *const Command =
                                                             "Modelex.3DFile\\Shell\\Open\\Command";
std::string Prompt(const std::string &dir) { return "Directory " + dir + " doesn't seem to exist - create?"; }
std::string Desktop(const char *name) { return RegText(HKEY_CURRENT_USER, DesktopKey, name); }
std::string Builder(const char *key) { return IniValue(BuilderIni, "Misc", key); }

// The links in folder, "name|target|...", the targets in dir.
void ExpectLinks(const std::string &folder, const std::string &links, const std::string &dir,
                 const char *text) {
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
    EXPECT_EQ("Modelex.3DFile|Modelex 3D File|" + command,
              RegText(HKEY_CLASSES_ROOT, ".sky", NULL) + "|" +
                  RegText(HKEY_CLASSES_ROOT, "Modelex.3DFile", NULL) + "|" +
                  RegText(HKEY_CLASSES_ROOT, Command, NULL));
    ExpectFiles(SystemDir, "WING.DLL WINGDE.DLL WINGDIB.DRV WINGPAL.WND DVA.386 WING32.DLL", false);
    EXPECT_FALSE(FileExists(SystemDir + "\\MODEFTST.QQQ") || FileExists(WindowsDir + "\\MODELEX.INI"));
    ExpectLinks(desktop + "\\Modelex",
                "Modelex Help.lnk|modelex.hlp|Modelex.lnk|modelex.exe|Read Me.lnk|readmem.txt", dir,
                "Modelex");
}

void ExpectSaver(const std::string &dir, const std::string &desktop) {
    EXPECT_EQ("", Differs(WindowsDir + "\\SKYLOOP.SCR", ReadWhole("P:\\SKYLOOP.SCR")));
    ExpectFiles(
        dir,
        "SKYLOOP.EXE=P:SKYLOOP.SCR SKYLOOP.HLP READMES.TXT MAPS\\BGROUND.BMP MAPS\\BRICKS.BMP "
        "MAPS\\WOOD.BMP MODELS\\3D.SKY MODELS\\HEARTFG.SKY MODELS\\SPHEREF.SKY MODELS\\TORUSF.SKY "
        "MODELS\\CUBE1.SKY MODELS\\CUBE2.SKY MODELS\\CNB.BMP MODELS\\CNF.BMP MODELS\\CNK.BMP "
        "MODELS\\CNL.BMP MODELS\\CNR.BMP MODELS\\CNT.BMP MODELS\\CSB.BMP MODELS\\CSF.BMP MODELS\\CSK.BMP "
        "MODELS\\CSL.BMP MODELS\\CSR.BMP MODELS\\CST.BMP MODELS\\3DCUBES.TXT",
        dir != WindowsDir);
    ExpectLinks(desktop + "\\Skyloop",
                "Read Me.lnk|readmes.txt|Skyloop Help.lnk|skyloop.hlp|Skyloop Settings.lnk|skyloop.exe", dir,
                "Skyloop");
}

class Setup : public InstallerTest {
protected:
    void SetUp() override {
        for (std::string path :
             {"C:\\Model Ex", "C:\\skyloop", "C:\\A", "C:\\MODELEX.EXE", "C:\\MAPS", "C:\\SAMPLES",
              "C:\\MODELEX.HLP", "C:\\READMEM.TXT", BuilderIni.c_str(), SaverIni.c_str()})
            RemoveTree(path);
        // Windows 95 and NT 4 have these; a fresh prefix does not.
        for (const char *dir :
             {"\\DESKTOP", "\\Profiles", "\\Profiles\\All Users", "\\Profiles\\All Users\\DESKTOP"})
            CreateDirectoryA((WindowsDir + dir).c_str(), NULL);
    }
    // Types dir and proceeds, by the button or by Enter.
    void Proceed(HWND page, const std::string &dir, bool enter = false) {
        SetControlText(page, 102, dir.c_str());
        enter ? PressKey(page, 102, VK_RETURN) : Click(page, IDOK);
    }
    // After everything posted so far, the page alone is shown, holding text.
    void ExpectAlone(HWND page, int index, const std::string &text) {
        ASSERT_TRUE(Flush(GetDlgItem(page, 103)));
        EXPECT_EQ(Strings{Pages[index].caption}, WindowsOf(processId));
        EXPECT_EQ(text, ControlText(page, 102));
    }
    void Finish(const char *const box[2], bool enter = false) {
        HWND w = Wait(box[0]);
        EXPECT_EQ(box[1], ControlText(w, 7));
        enter ? PressKey(w, IDOK, VK_RETURN) : Click(w, IDOK);
        EXPECT_EQ(0, Exit());
    }
};

TEST_F(Setup, InstallsEveryProductOnWindowsNt) {
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\MODELEX.INI", "[Misc]\r\n") &&
                WriteWhole(SystemDir + "\\MODEFTST.QQQ", ""));
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\OTHER.SCR", SystemIni.c_str());
    // A user who once had another saver, under a longer name than any buffer holds and of another
    // type, and no time-out value.
    SetEnvironmentVariableA("OS", "Windows_NT");
    SetReg(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive", REG_SZ, "0");
    SetReg(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", REG_EXPAND_SZ, std::string(600, 'o').c_str());
    // A blank in the modeller's path, which the open command quotes; the builder typed relative.
    const std::string dirs[3] = {"C:\\Model Ex", "c:\\skyloop", "SB"}, builder = scratch + "\\SB";
    long long before = time(nullptr);
    Start("D:\\SETUP.EXE");
    for (int i = 0; i < 3; i++) {
        HWND page = Wait(Pages[i].caption);
        ExpectAlone(page, i, Pages[i].dir);
        std::vector<int> ids; // in z-order, which is the tab order
        for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            ids.push_back(GetDlgCtrlID(c));
            EXPECT_FALSE(IsDefaultButton(c));
        }
        EXPECT_EQ(Pages[i].tabOrder, ids);
        EXPECT_EQ(std::string("Proceed|Cancel|") + Pages[i].intro + "||Browse",
                  ControlText(page, IDOK) + "|" + ControlText(page, IDCANCEL) + "|" + ControlText(page, 7) +
                      "|" + ControlText(page, 101) + "|" + ControlText(page, 103));
        EXPECT_EQ(WS_TABSTOP,
                  GetWindowLongA(GetDlgItem(page, 102), GWL_STYLE) & (ES_AUTOHSCROLL | WS_TABSTOP));
        EXPECT_EQ(DS_CONTEXTHELP, GetWindowLongA(page, GWL_STYLE) & DS_CONTEXTHELP);
        Proceed(page, dirs[i]);
        Answer("New Directory?", Prompt(i < 2 ? dirs[i] : builder), IDYES);
    }
    Finish(Done);
    ExpectModeller(dirs[0], DesktopNt, "\"C:\\Model Ex\\modelex.exe\" %1");
    ExpectSaver(dirs[1], DesktopNt);
    // The builder, its links and the kit, each of its files a copy of the media's.
    ExpectFiles(builder,
                "SKYBUILD.EXE README.TXT SKEL\\WING.DL_=D: SKEL\\WINGDE.DL_=D: SKEL\\WINGDIB.DR_=D: "
                "SKEL\\WINGPAL.WN_=D: SKEL\\DVA.38_=D: SKEL\\WING32.DL_=D: SKEL\\SKYLOOP.SC_=D:SKYLOOPE.SC_ "
                "SKEL\\SKYLOOP.HL_=D:SKYLOOPE.HL_ SKEL\\ORDER.FR_=D: SKEL\\BGROUND.BM_=D: "
                "SKEL\\README.TXT=D:READMESE.TXT SKEL\\SETUP.EXE=D:KITSETUP.EXE");
    EXPECT_FALSE(DirectoryExists(builder + "\\newsky")) << "only named";
    EXPECT_EQ(builder + "|" + builder + "\\skel|" + builder,
              Builder("InstallDirectory") + "|" + Builder("SkeletonDirectory") + "|" + Builder("CreateDir"));
    ExpectLinks(DesktopNt + "\\SKY Builder", "Read Me.lnk|readme.txt|SKY Builder.lnk|skybuild.exe", builder,
                "SKYBuild");
    EXPECT_EQ(Strings{}, FilesIn(Desktop95));
    std::string seed = IniValue(SaverIni, "Global", "TableOrder"), s = dirs[1];
    EXPECT_TRUE(SeededSince(seed, before)) << seed;
    EXPECT_EQ(
        "[Misc]\nNormal=1\nInstallDirectory=" + s + "\nMapsDirectory=" + s + "\\MAPS\nBackgroundMap=" + s +
            "\\MAPS\\BGROUND.BMP\n[Entries]\nEntryFN000=" + s +
            "\\MODELS\\3D.SKY\nEntryPM000=2,350,350,1,0,3,0,"
            "0,10,0,270,10,45\nEntryFN001=" +
            s +
            "\\MODELS\\TORUSF.SKY\nEntryPM001=2,400,400,1,0,1,1,0,10,0,"
            "270,10,45\nEntryFN002=" +
            s +
            "\\MODELS\\HEARTFG.SKY\nEntryPM002=2,450,450,1,0,3,1,0,10,10,0,0,0\n"
            "[Global]\nNoOfEntries=3\nSpeed=10\nSequence=0\nTableOrder=" +
            seed +
            "\n[Reminder]\nActivated=1\n"
            "Caption1=It's been a while since you visited\nCaption2=Zentrix- you may be missing out on\n"
            "Caption3=lots of new stuff - would you like to visit it now?\nExecFile=http://www.example.com/\n"
            "ReminderPeriod=1209600\n",
        IniText(SaverIni));
    EXPECT_EQ("1|<type 2>" + WindowsDir + "\\SKYLOOP.SCR|" + Absent + "|C:\\OTHER.SCR",
              Desktop("ScreenSaveActive") + "|" + Desktop("SCRNSAVE.EXE") + "|" +
                  Desktop("ScreenSaveTimeOut") + "|" + IniValue(SystemIni, "boot", "SCRNSAVE.EXE"))
        << "Windows NT: the registry, not SYSTEM.INI";
}

TEST_F(Setup, APageStaysUntilItsDirectoryIsTakenOrCancelIsConfirmed) {
    void (*cancels[3])(HWND) = {[](HWND p) { Click(p, IDCANCEL); },
                                [](HWND p) { PressKey(p, 102, VK_ESCAPE); }, [](HWND p) { Close(p); }};
    // The pages before: the modeller into the current drive's root (an empty text); then, typed
    // relative, into a new mdx (by Enter) and the saver into the Windows directory itself.
    const Strings before[3] = {{}, {""}, {"mdx", "..\\..\\windows"}};
    std::string mdx = scratch + "\\mdx", taken = scratch + "\\taken",
                x249 = scratch + "\\" + std::string(236, 'x');
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
        // Only the last level is created; a directory with a file xxx.xxx is not taken; the text is
        // read up to 249 characters; No keeps it.
        for (const std::string &typed : cancelled ? Strings{} : Strings{"C:\\A\\B", taken, x249 + "xx"}) {
            bool yes = typed != x249 + "xx";
            Proceed(page, typed);
            Answer("New Directory?", Prompt(typed.substr(0, 249)), yes ? IDYES : IDNO);
            if (yes)
                Answer("Error", "Can't create Directory " + typed, IDOK);
            ExpectAlone(page, 0, typed);
        }
        if (!cancelled) {
            EXPECT_TRUE(!DirectoryExists("C:\\A") && ReadWhole(taken + "\\xxx.xxx") == "the user's");
            // The prompt has no owner: the page can be clicked meanwhile, and nothing starts.
            Proceed(page, taken + "\\no");
            Wait("New Directory?");
            for (int id : {IDOK, 103, IDCANCEL}) {
                Click(page, id);
                ASSERT_TRUE(Flush(GetDlgItem(page, 103)));
                EXPECT_EQ((Strings{"New Directory?", Pages[0].caption}), WindowsOf(processId));
            }
            Answer("New Directory?", Prompt(taken + "\\no"), IDNO);
            // A folder chosen in the browser (the tree's root, the desktop) fills the box.
            Click(page, 103);
            HWND browser = Wait("Browse for Folder"), tree = FindWindowExA(browser, NULL, WC_TREEVIEWA, NULL);
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
            Click(browser, IDOK);
            ASSERT_TRUE(Poll(Timeout, [browser] { return !IsWindow(browser); }));
            ExpectAlone(page, 0, desktop);
        }
        // The folder browser shows the page's title; cancelled, it changes nothing.
        Click(page, 103);
        HWND browser = Wait("Browse for Folder");
        bool titled = false;
        for (HWND c = GetWindow(browser, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            titled = titled || ControlText(c, 0) == Pages[cancelled].browseTitle;
        EXPECT_TRUE(titled);
        Click(browser, IDCANCEL);
        // Cancel, Escape or the close button asks; No, the default answer, keeps the page as it was.
        SetControlText(page, 102, "C:\\typed");
        cancels[cancelled](page);
        HWND box = Wait("Cancelling");
        EXPECT_TRUE(IsDefaultButton(GetDlgItem(box, IDNO)) && !IsDefaultButton(GetDlgItem(box, IDYES)));
        Answer("Cancelling", Sure, IDNO);
        ExpectAlone(page, cancelled, "C:\\typed");
        Click(page, IDCANCEL);
        Answer("Cancelling", Sure, IDYES);
        // Only OK or Enter ends the box.
        HWND finish = Wait(Failed[0]);
        EXPECT_FALSE(IsDefaultButton(GetDlgItem(finish, IDOK)));
        PressKey(finish, IDOK, VK_ESCAPE);
        Close(finish);
        ASSERT_TRUE(Flush(GetDlgItem(finish, IDOK)) && IsWindowVisible(finish));
        Finish(Failed, cancelled == 1);
        EXPECT_EQ(cancelled ? Pages[cancelled].dir : desktop, Builder("CreateDir"))
            << "the directory last taken";
        DeleteFileA(BuilderIni.c_str());
    }
    ExpectFiles("C:\\SAMPLES", "BRAID.SKY CHALICE.SKY VENUS3.SKY");
    EXPECT_FALSE(FileExists("C:\\xxx.xxx"));
    ExpectModeller(mdx, Desktop95, mdx + "\\modelex.exe %1"); // every path absolute
    // The second copy is the first: copied, not moved away from under the setting.
    ExpectSaver(WindowsDir, Desktop95);
    EXPECT_EQ(WindowsDir + "\\MODELS\\TORUSF.SKY|" + WindowsDir + "\\SKYLOOP.SCR",
              IniValue(SaverIni, "Entries", "EntryFN001") + "|" +
                  IniValue(SystemIni, "boot", "SCRNSAVE.EXE"));
    EXPECT_FALSE(DirectoryExists("C:\\modelex") || DirectoryExists("C:\\skyloop") ||
                 DirectoryExists("C:\\skybuild"));
}
TEST_F(Setup, KilledAnywhereInTheSaverStepItLosesNothing) {
    SetEnvironmentVariableA("OS", NULL);
    // SKYLOOP.INI takes the same pass as in the distribution installer, killed there.
    const std::string mdx = scratch + "\\mdx", dir = scratch + "\\sky",
                      files[] = {WindowsDir + "\\SKYLOOP.SCR", WindowsDir + "\\SYSTEM.QQQ",
                                 WindowsDir + "\\SKYLOOP.QQQ", WindowsDir + "\\SYSTEM.QQB"};
    auto file = [](const std::string &path) { return [=] { return FileExists(path); }; };
    auto saver = [&] {
        Start("D:\\SETUP.EXE");
        Proceed(Wait(Pages[0].caption), mdx);
        return Wait(Pages[1].caption);
    };
    ASSERT_TRUE(CreateDirectoryA(mdx.c_str(), NULL));
    KillPasses(
        {file(files[0]), file(dir + "\\MODELS\\3DCUBES.TXT"), file(files[2]), file(files[1]),
         [&] { return FileSize(SystemIni) != (long long)LargeSystemIni().size(); },
         [] { return FindWindowA(NULL, Pages[2].caption) != NULL; }},
        {dir, Desktop95 + "\\Skyloop"}, {files, files + 4}, {{SystemIni, LargeSystemIni()}},
        {},
        [&] {
            HWND page = saver();
            SetControlText(page, 102, dir.c_str());
            SuspendThread(thread);
            Click(page, IDOK);
        },
        [&] {
            Proceed(saver(), dir);
            Click(Wait(Pages[2].caption), IDCANCEL);
            Answer("Cancelling", Sure, IDYES);
            Finish(Failed);
        });
}
} // namespace
