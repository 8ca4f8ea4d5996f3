// The distribution installer end to end: E:\SETUP.EXE (made from the media, with models and maps
// whose originals are on O:) operated as a user would.
#include "support.h"

using namespace driver;

namespace {
const char *const Main = "Skyloop Setup", *const Ask = "Skyloop Directory", *const Create = "New Directory",
                  *const Ready = "Ready to Install", *const ReadyText = "Setup will now install all files.";
const std::string SystemIni = WindowsDir + "\\system.ini", Settings = WindowsDir + "\\SKYLOOP.INI",
                  Links = WindowsDir + "\\DESKTOP\\Skyloop", Dev = "Device=DVA.386\r\n",
                  OldIni = "[boot]\r\nshell=x\r\n[386Enh]\r\nwoa=y\r\n";

COLORREF Pixel(HDC dc, HWND window, int x, int y) {
    POINT at = {x, y};
    ClientToScreen(window, &at);
    return GetPixel(dc, at.x, at.y);
}

// Whether window shows, from (x, y) to its right edge, what drawing text there in the default font
// and colours shows, over its background: the dialog's status line, the panel's caption.
bool Shows(HWND window, int x, int y, const char *text) {
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(NULL), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, 15);
    SelectObject(memory, bitmap);
    RECT all = {0, 0, client.right, 15}; // above the dialog's buttons
    HBRUSH back = CreateSolidBrush(Pixel(screen, window, x - 2, y));
    FillRect(memory, &all, back);
    TextOutA(memory, x, 0, text, lstrlenA(text));
    int wrong = 0;
    for (int dy = 0; dy < 15; dy++)
        for (int dx = x - 2; dx < client.right; dx++)
            wrong += GetPixel(memory, dx, dy) != Pixel(screen, window, dx, y + dy);
    DeleteObject(back);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(NULL, screen);
    return wrong == 0;
}

// The progress panel as the screen shows it once dialog is moved aside, as a user may: at
// (215, 200) in the main window, 210 x 80, its caption, its bar exactly [12, edge) x [30, 60).
void ExpectPanel(HWND main, HWND dialog, int edge) {
    SetWindowPos(dialog, NULL, 600, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(Flush(GetDlgItem(dialog, 102)));
    HWND panel = FindWindowExA(main, NULL, "EDIT", NULL);
    ASSERT_TRUE(panel && !FindWindowExA(main, panel, "EDIT", NULL)) << "one panel";
    RECT r;
    GetWindowRect(panel, &r);
    MapWindowPoints(NULL, main, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ("215 200 425 280", std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                                     std::to_string(r.right) + " " + std::to_string(r.bottom));
    EXPECT_TRUE(Shows(panel, 50, 5, "Install Progress"));
    HDC screen = GetDC(NULL);
    int wrong = 0;
    for (int y = 20; y < 80; y++)
        for (int x = 0; x < 210; x++)
            wrong +=
                (Pixel(screen, panel, x, y) == RGB(0, 0, 255)) != (x >= 12 && x < edge && y >= 30 && y < 60);
    ReleaseDC(NULL, screen);
    EXPECT_EQ(0, wrong) << "pixels wrong for the edge " << edge;
}

class Kit : public InstallerTest {
protected:
    void SetUp() override {
        for (const std::string &path :
             {std::string("C:\\SKYLOOP"), Links, WindowsDir + "\\SKYLOOP.SCR", Settings})
            RemoveTree(path);
        CreateDirectoryA((WindowsDir + "\\DESKTOP").c_str(), NULL);
        ASSERT_TRUE(WriteWhole(SystemIni, OldIni));
        SetEnvironmentVariableA("OS", NULL);
    }
    // Escape does nothing: the dialog stays, alone with the main window.
    void ExpectEscapeIgnored(HWND dialog, int control) {
        PressKey(dialog, control, VK_ESCAPE);
        ASSERT_TRUE(Flush(GetDlgItem(dialog, 102)));
        EXPECT_EQ((Strings{ControlText(dialog, 0), Main}), WindowsOf(processId));
    }
    // The directory dialog after previous: the directory it offers, its status line, Continue.
    HWND Again(HWND previous, const std::string &dir, const char *status) {
        HWND ask = NULL;
        if (!Poll(Timeout, [&] { return (ask = FindVisible(Ask)) && ask != previous; }))
            throw std::runtime_error("no directory dialog again");
        EXPECT_EQ(dir, ControlText(ask, 100));
        EXPECT_TRUE(Flush(GetDlgItem(ask, 102)) && Shows(ask, 80, 150, status)) << status;
        return ask;
    }
    void ExpectInstalled(const std::string &dir) {
        ExpectFiles(
            dir, "SKYLOOP.EXE=P:SKYLOOPE.SCR SKYLOOP.HLP=P:SKYLOOPE.HLP ORDER.FRM README.TXT=P:READMESE.TXT "
                 "MAPS\\BGROUND.BMP MAPS\\DUSK.BMP=O: MAPS\\STARS.BMP=O: SAMPLES\\GLOBE.SKY=O: "
                 "SAMPLES\\SPIRAL.SKY=O: SAMPLES\\MARBLE.BMP=O:");
        EXPECT_EQ("", Differs(WindowsDir + "\\SKYLOOP.SCR", ReadWhole("P:\\SKYLOOPE.SCR")));
        EXPECT_EQ(dir + "\\SAMPLES\\SPIRAL.SKY", IniValue(Settings, "Entries", "EntryFN001"));
    }
};

TEST_F(Kit, EveryPassThatFailsComesBackToTheDirectoryUntilOneGetsThrough) {
    // Typed relative, and in lower case: the target is the upper-case form, made absolute.
    std::string run = CharUpperA(&std::string(scratch)[0]), no = run + "\\NO\\SUCH", dir = run + "\\SKY",
                tooLong = "C:\\" + std::string(127, 'X'), qqq = WindowsDir + "\\SYSTEM.QQQ";
    long long before = time(nullptr);
    Start("E:\\SETUP.EXE");
    HWND main = Wait(Main), ask = Wait(Ask);
    EXPECT_EQ("E:|C:\\SKYLOOP", ControlText(ask, 103) + "|" + ControlText(ask, 100));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(ask, 103)));
    EXPECT_EQ(0, GetWindowLongA(GetDlgItem(ask, 100), GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_TRUE(IsDefaultButton(GetDlgItem(ask, 102)) && !IsDefaultButton(GetDlgItem(ask, 101)));
    EXPECT_EQ(0, GetWindowLongA(ask, GWL_STYLE) & WS_SYSMENU);
    ExpectEscapeIgnored(ask, 100);
    EXPECT_TRUE(Shows(ask, 80, 150, "")) << "a status line on the first pass";
    SetControlText(ask, 100, "no\\such");
    Click(ask, 102);
    HWND create = Wait(Create);
    EXPECT_EQ(no, ControlText(create, 103));
    EXPECT_TRUE(IsDefaultButton(GetDlgItem(create, 101)));
    ExpectEscapeIgnored(create, 102);
    Click(create, 101); // Cancel: no status line
    ask = Again(ask, no, "");
    // The parent is missing: only one level is ever created.
    Click(ask, 102);
    Click(Wait(Create), 102);
    ask = Again(ask, no, "Error in creating Directory");
    EXPECT_FALSE(DirectoryExists(scratch + "\\NO"));
    // The field is read up to 126 characters.
    SetControlText(ask, 100, tooLong.c_str());
    Click(ask, 102);
    tooLong.resize(126);
    EXPECT_EQ(tooLong, ControlText(Wait(Create), 103));
    Click(Wait(Create), 101);
    // An existing directory goes straight to the question; declining it shows no status.
    ask = Again(ask, tooLong, "");
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    SetControlText(ask, 100, "sky");
    Click(ask, 102);
    Answer(Ready, ReadyText, IDCANCEL);
    ask = Again(ask, dir, "");
    // Without SYSTEM.INI, or where its copy cannot be made, the files are written, then the
    // dialog returns with the directory the pass installed into.
    DeleteFileA(SystemIni.c_str());
    Click(ask, 102);
    Answer(Ready, ReadyText, IDOK);
    ask = Again(ask, dir, "Can't find SYSTEM.INI !!!");
    ExpectPanel(main, ask, 121); // as the pass stopped: its 28th step of 45
    ExpectInstalled(dir);
    ASSERT_TRUE(WriteWhole(SystemIni, OldIni) && CreateDirectoryA(qqq.c_str(), 0));
    Click(ask, 102);
    Answer(Ready, ReadyText, IDOK);
    ask = Again(ask, dir, "Can't update SYSTEM.INI !!!");
    // Continuing repeats the whole pass, in a panel of its own.
    RemoveDirectoryA(qqq.c_str());
    ASSERT_TRUE(WriteWhole(dir + "\\SKYLOOP.EXE", "an older settings program"));
    Click(ask, 102);
    Answer(Ready, ReadyText, IDOK);
    HWND end = Wait("Installed OK");
    std::string said;
    for (HWND c = GetWindow(end, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        said += ControlText(c, 0) + "|";
    EXPECT_EQ(
        "Skyloop has been successfully installed.  You will need to reboot Windows for the changes to "
        "take effect.  Please read the Quick Start section of the Help file.  Also please do not forget to "
        "look at the Other Products section for important news.|OK|Important Notes:  If your display seems "
        "inverted, refer to Help, Quick Start for remedy!|Go to Settings then Control Panel. Bring up "
        "Display Properties and change the screen saver to \"skyloop\".|",
        said);
    ExpectPanel(main, end, 195);
    // The gradient, repainted where no dialog covers it: band i is blue 255 - i.
    RECT client;
    GetClientRect(main, &client);
    HDC screen = GetDC(NULL);
    for (int y = 0; y < client.bottom; y++)
        ASSERT_EQ(RGB(0, 0, 255 - y / 2), Pixel(screen, main, 10, y)) << "row " << y;
    ReleaseDC(NULL, screen);
    ExpectEscapeIgnored(end, 102);
    Click(end, 102);
    EXPECT_EQ(0, Exit());
    ExpectInstalled(dir);
    std::string seed = IniValue(Settings, "Global", "TableOrder");
    EXPECT_TRUE(SeededSince(seed, before)) << seed;
    EXPECT_EQ(
        "[Global]\nNoOfEntries=2\nSpeed=12\nSequence=1\nTableOrder=" + seed + "\n[Entries]\nEntryFN000=" +
            dir + "\\SAMPLES\\GLOBE.SKY\nEntryPM000=2,300,300,1,0,3,0,0,10,0,270,10,45\nEntryFN001=" + dir +
            "\\SAMPLES\\SPIRAL.SKY\nEntryPM001=2,420,420,1,0,1,1,0,10,0,270,10,45\n[Misc]\nNormal=0\n"
            "InstallDirectory=" +
            dir + "\nMapsDirectory=" + dir + "\\MAPS\nBackgroundMap=" + dir +
            "\\MAPS\\BGROUND.BMP\n[Reminder]\nActivated=1\nCaption1=Thank you for choosing\nCaption2=this "
            "edition of Skyloop\nCaption3=- would you like to see what is new?\n"
            "ExecFile=http://www.example.com/edition\nReminderPeriod=604800\n",
        IniText(Settings));
    EXPECT_EQ("[boot]\nshell=x\nSCRNSAVE.EXE=C:\\windows\\SKYLOOP.SCR\n[386Enh]\nDevice=DVA.386\nwoa=y\n",
              IniText(SystemIni));
    for (const char *name : WinGFiles)
        EXPECT_EQ("", Differs(SystemDir + "\\" + name, ReadWhole(std::string("P:\\") + name)));
    EXPECT_EQ((Strings{"Read Me.lnk", "Skyloop Help.lnk", "Skyloop Settings.lnk"}), FilesIn(Links));
    EXPECT_EQ(dir + "\\readme.txt | Skyloop|" + dir + "\\skyloop.hlp | Skyloop|" + dir +
                  "\\skyloop.exe | Skyloop",
              LinkText(Links + "\\Read Me.lnk") + "|" + LinkText(Links + "\\Skyloop Help.lnk") + "|" +
                  LinkText(Links + "\\Skyloop Settings.lnk"));
}

TEST_F(Kit, KilledAnywhereInAPassItLosesNothing) {
    const std::string ini = LargeSystemIni(), device = std::string(ini).insert(27, Dev);
    Strings files;
    for (const char *name : {"SKYLOOP.SCR", "SYSTEM.QQQ", "SKYLOOP.QQQ", "SYSTEM.QQB", "SKYLOOP.QQB"})
        files.push_back(WindowsDir + "\\" + name);
    for (const char *name : WinGFiles)
        files.push_back(SystemDir + "\\" + name);
    auto file = [](const std::string &path) { return [=] { return FileExists(path); }; };
    auto sized = [](const std::string &data) { return FileSize(SystemIni) == (long long)data.size(); };
    KillPasses(
        {file(files[0]), file("C:\\SKYLOOP\\SAMPLES\\GLOBE.SKY"), file(files[2]), file(files[1]),
         file(files[10]), [=] { return FileExists(files[1]) && sized(device); },
         [=] { return !sized(ini) && !sized(device); }, // the device line's copy in place
         [] { return FindWindowA(NULL, "Installed OK") != NULL; }},
        {"C:\\SKYLOOP", Links}, files, {{SystemIni, ini}, {Settings, "[Global]\r\nTableOrder=17\r\n"}},
        {{SystemIni, device}},
        [&] {
            Start("E:\\SETUP.EXE");
            Click(Wait(Ask), 102);
            HWND box = Wait(Ready, 0xFFFF);
            SuspendThread(thread);
            Click(box, IDOK);
        },
        [&] { EXPECT_EQ("", InstallDistribution("E:\\SETUP.EXE")); });
}

// Every file on the drive, where a name that escaped its directory could land or strike; but for the
// users' folders, which lead to the host's.
Snapshot Surroundings() {
    Snapshot files;
    Strings paths;
    for (const std::string &name : FilesIn("C:")) {
        std::string path = "C:\\" + name;
        Strings below = !DirectoryExists(path)            ? Strings{path}
                        : _stricmp(name.c_str(), "users") ? FilesBelow(path)
                                                          : Strings{};
        paths.insert(paths.end(), below.begin(), below.end());
    }
    for (const std::string &path : paths) {
        WIN32_FILE_ATTRIBUTE_DATA a = {};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a);
        files[path] = std::to_string(a.nFileSizeLow) + "/" + std::to_string(a.ftLastWriteTime.dwLowDateTime);
    }
    return files;
}

TEST_F(Kit, ItListsWhatItCouldNotInstallAndNothingLandsOutsideTheInstallation) {
    std::string dist = scratch + "\\dist", deep = scratch + "\\" + std::string(200, 'd'), listed;
    for (const std::string &d : {dist, deep})
        CreateDirectoryA(d.c_str(), NULL);
    for (const std::string &name : FilesIn("E:"))
        CopyFileA(("E:\\" + name).c_str(), (dist + "\\" + name).c_str(), FALSE);
    // Closed before its timer fires, the window shows no dialog; run from a directory whose path
    // does not fit, it names none; Cancel in the first dialog installs nothing.
    Start(dist + "\\SETUP.EXE");
    Close(Wait(Main));
    EXPECT_EQ(0, Exit());
    // Only backups of cut-short replacements: put back at the start.
    const std::string backups[] = {WindowsDir + "\\SYSTEM.QQB", WindowsDir + "\\SKYLOOP.QQB"};
    ASSERT_TRUE(CopyFileA("E:\\SETUP.EXE", (deep + "\\SETUP.EXE").c_str(), FALSE) &&
                DeleteFileA(SystemIni.c_str()) && WriteWhole(backups[0], OldIni) &&
                WriteWhole(backups[1], "[Global]\r\n"));
    Start(deep + "\\SETUP.EXE");
    HWND ask = Wait(Ask);
    EXPECT_EQ(OldIni + "[Global]\r\n", ReadWhole(SystemIni) + ReadWhole(Settings));
    EXPECT_FALSE(FileExists(backups[0]) || FileExists(backups[1]));
    EXPECT_EQ("?", ControlText(ask, 103));
    Click(ask, 101);
    EXPECT_EQ(0, Exit());
    EXPECT_TRUE(!DirectoryExists("C:\\SKYLOOP") && !FileExists(WindowsDir + "\\SKYLOOP.SCR"));
    // No screen saver, a damaged model and eleven missing ones: the first ten paths, how many more.
    ASSERT_TRUE(WriteWhole(dist + "\\GLOBE.SK_", ReadWhole("E:\\GLOBE.SK_").substr(0, 100)) &&
                DeleteFileA((dist + "\\SKYLOOP.SC_").c_str()));
    std::string description = "[Global]\r\nNoOfEntries=12\r\n[Entries]\r\nEntryFN000=GLOBE.SKY\r\n";
    for (int i = 1; i < 12; i++) {
        description += "EntryFN0" + std::to_string(100 + i).substr(1) + "=M" + std::to_string(i) + ".SKY\r\n";
        listed += i < 8 ? "\nC:\\SKYLOOP\\SAMPLES\\M" + std::to_string(i) + ".SKY" : "";
    }
    // And settings that cannot be put in place: the file is held by a program that does not let it go.
    ASSERT_TRUE(WriteWhole(dist + "\\SKYSETUP.INI", description) && CreateDirectoryA("C:\\SKYLOOP", NULL) &&
                WriteWhole(Settings, "[Global]\r\n"));
    HANDLE held = CreateFileA(Settings.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                              OPEN_EXISTING, 0, 0);
    EXPECT_EQ("Setup could not install these files:\n\nC:\\windows\\SKYLOOP.SCR\nC:\\SKYLOOP\\SKYLOOP.EXE\n"
              "C:\\SKYLOOP\\SAMPLES\\GLOBE.SKY" + listed + "\nand 5 more",
              InstallDistribution(dist + "\\SETUP.EXE"));
    CloseHandle(held);
    EXPECT_EQ("[Global]\r\n", ReadWhole(Settings));
    ExpectFiles("C:\\SKYLOOP",
                "SKYLOOP.HLP=P:SKYLOOPE.HLP ORDER.FRM README.TXT=P:READMESE.TXT MAPS\\BGROUND.BMP");
    CopyFileA("E:\\SKYLOOP.SC_", (dist + "\\SKYLOOP.SC_").c_str(), FALSE);
    // Hostile descriptions (tools/hostile_descriptions): every pass ends, nothing written elsewhere.
    ASSERT_TRUE(CopyFileA("T:\\lz\\text.lz", "C:\\x.sk_", FALSE)); // where a traversing name leads
    Snapshot before = Surroundings();
    for (std::string name : {"counts-9999", "names-500", "bytes"}) {
        ASSERT_TRUE(CopyFileA(("T:\\hostile\\" + name).c_str(), (dist + "\\SKYSETUP.INI").c_str(), FALSE));
        EXPECT_EQ(name == "counts-9999", InstallDistribution(dist + "\\SETUP.EXE").empty()) << name;
    }
    for (const std::string &path : Differences(before, Surroundings())) {
        bool allowed = path.rfind("C:\\SKYLOOP\\", 0) == 0 || path.rfind(Links + "\\", 0) == 0;
        for (const std::string &file :
             {Settings, SystemIni, WindowsDir + "\\SKYLOOP.SCR", dist + "\\SKYSETUP.INI"})
            allowed = allowed || _stricmp(path.c_str(), file.c_str()) == 0;
        for (const char *name : WinGFiles)
            allowed = allowed || _stricmp(path.c_str(), (SystemDir + "\\" + name).c_str()) == 0;
        EXPECT_TRUE(allowed) << path << " changed";
    }
}
} // namespace
