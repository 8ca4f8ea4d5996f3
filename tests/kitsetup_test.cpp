// The distribution installer end to end: E:\SETUP.EXE (made from the media, with
// models and maps whose originals are on O:) operated as a user would.
#include "support.h"

#include <map>

namespace {
const char *const Main = "Skyloop Setup", *const Ask = "Skyloop Directory", *const Create = "New Directory",
                  *const Ready = "Ready to Install", *const End = "Installed OK", *const ReadyText = "Setup will now install all files.";
const std::string SystemIni = WindowsDir + "\\system.ini", Settings = WindowsDir + "\\SKYLOOP.INI",
                  Links = WindowsDir + "\\DESKTOP\\Skyloop";
// What the screen shows at a point of a window's client area.
COLORREF Pixel(HWND window, int x, int y) {
    POINT at = {x, y};
    ClientToScreen(window, &at);
    HDC screen = GetDC(NULL);
    COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(NULL, screen);
    return colour;
}

// The install-directory dialog's status line: the width of what is drawn from
// (80, 150) on, 0 when nothing, -1 when something lies outside that.
int StatusWidth(HWND dialog) {
    driver::Flush(GetDlgItem(dialog, 102), 5000); // painted by now
    RECT client;
    GetClientRect(dialog, &client);
    COLORREF back = Pixel(dialog, 5, 150);
    int end = 80;
    while (end < client.right && Pixel(dialog, end, 150) != back)
        end++;
    for (int y = 150; y < 160; y++) // the text's cell, clear of the buttons below
        for (int x = 0; x < client.right; x++)
            if ((x < 80 || x >= end) && Pixel(dialog, x, y) != back)
                return -1;
    return end - 80;
}

// The progress panel as the screen shows it once dialog is moved aside, as a user may:
// at (215, 200) in the main window, 210 x 80, its bar exactly [12, edge) x [30, 60) (along
// the rows and columns that bound it), its caption above the bar and right of x = 50.
void ExpectPanel(HWND main, HWND dialog, int edge) {
    SetWindowPos(dialog, NULL, 600, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(driver::Flush(GetDlgItem(dialog, 102), 5000));
    HWND panel = FindWindowExA(main, NULL, "EDIT", NULL);
    ASSERT_TRUE(panel && !FindWindowExA(main, panel, "EDIT", NULL)) << "one panel";
    RECT r;
    GetWindowRect(panel, &r);
    MapWindowPoints(NULL, main, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ("215 200 425 280", std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
                                       " " + std::to_string(r.bottom));
    int wrong = 0, caption = 0, leftOfCaption = 0;
    COLORREF back = Pixel(panel, 5, 75);
    auto check = [&](int x, int y) { wrong += (Pixel(panel, x, y) == RGB(0, 0, 255)) != (x >= 12 && x < edge && y >= 30 && y < 60); };
    for (int y : {0, 29, 30, 44, 59, 60, 79})
        for (int x = 0; x < 210; x++)
            check(x, y);
    for (int x : {11, 12, edge - 1, edge, 194, 195, 209})
        for (int y = 0; y < 80; y++)
            check(x, y);
    for (int y = 0; y < 28; y++)
        for (int x = 0; x < 210; x++)
            if (Pixel(panel, x, y) != back)
                (x >= 50 ? caption : leftOfCaption)++;
    EXPECT_EQ(0, wrong) << "pixels wrong for the edge " << edge;
    EXPECT_TRUE(caption > 50 && leftOfCaption == 0) << "caption " << caption << "/" << leftOfCaption;
}

// The width of text in the default font, in which the status line is drawn.
int TextWidth(const char *text) {
    HDC screen = GetDC(NULL);
    SIZE size = {};
    GetTextExtentPoint32A(screen, text, lstrlenA(text), &size);
    ReleaseDC(NULL, screen);
    return size.cx;
}

class Kit : public InstallerTest {
protected:
    void SetUp() override {
        for (const std::string &path : {std::string("C:\\SKYLOOP"), Links, WindowsDir + "\\SKYLOOP.SCR", Settings})
            RemoveTree(path);
        CreateDirectoryA((WindowsDir + "\\DESKTOP").c_str(), NULL);
        ASSERT_TRUE(WriteWhole(SystemIni, "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nwoafont=dosapp.fon\r\n"));
        SetEnvironmentVariableA("OS", NULL);
    }
    // Escape does nothing: the dialog stays, alone with the main window.
    void ExpectEscapeIgnored(HWND dialog, int control) {
        driver::PressKey(dialog, control, VK_ESCAPE);
        ASSERT_TRUE(driver::Flush(GetDlgItem(dialog, 102), Timeout));
        EXPECT_EQ((std::vector<std::string>{driver::ControlText(dialog, 0), Main}), driver::WindowsOf(program.id));
    }
    // The install-directory dialog that follows previous.
    HWND NextAsk(HWND previous) {
        HWND ask = NULL;
        EXPECT_TRUE(driver::Poll(Timeout, [&] { return (ask = driver::FindVisible(Ask)) && ask != previous; })) << Windows();
        return ask;
    }
    // Its target directory, and the width of its status line.
    std::string Shown(HWND ask) { return driver::ControlText(ask, 100) + " " + std::to_string(StatusWidth(ask)); }
    void ExpectInstalled(const std::string &dir) {
        const char *files[][2] = {{"SKYLOOP.EXE", "P:\\SKYLOOPE.SCR"}, {"SKYLOOP.HLP", "P:\\SKYLOOPE.HLP"},
                                  {"ORDER.FRM", "P:\\ORDER.FRM"}, {"README.TXT", "P:\\READMESE.TXT"},
                                  {"MAPS\\BGROUND.BMP", "P:\\BGROUND.BMP"}, {"MAPS\\DUSK.BMP", "O:\\DUSK.BMP"},
                                  {"MAPS\\STARS.BMP", "O:\\STARS.BMP"}, {"SAMPLES\\GLOBE.SKY", "O:\\GLOBE.SKY"},
                                  {"SAMPLES\\SPIRAL.SKY", "O:\\SPIRAL.SKY"}, {"SAMPLES\\MARBLE.BMP", "O:\\MARBLE.BMP"}};
        for (const auto &f : files)
            EXPECT_EQ("", Differs(dir + "\\" + f[0], ReadWhole(f[1])));
        EXPECT_EQ("", Differs(WindowsDir + "\\SKYLOOP.SCR", ReadWhole("P:\\SKYLOOPE.SCR")));
        EXPECT_EQ((std::vector<std::string>{"MAPS", "ORDER.FRM", "README.TXT", "SAMPLES", "SKYLOOP.EXE", "SKYLOOP.HLP"}),
                  FilesIn(dir));
        EXPECT_EQ(dir + "|" + dir + "\\SAMPLES\\SPIRAL.SKY",
                  IniValue(Settings, "Misc", "InstallDirectory") + "|" + IniValue(Settings, "Entries", "EntryFN001"));
    }
};

TEST_F(Kit, FullPassInstallsTheEditionAndEndsWithTheEndMessage) {
    long long before = time(nullptr);
    Start("E:\\SETUP.EXE");
    HWND main = Wait(Main), ask = Wait(Ask);
    ASSERT_TRUE(main && ask);
    EXPECT_EQ("E:|C:\\SKYLOOP", driver::ControlText(ask, 103) + "|" + driver::ControlText(ask, 100));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(ask, 103)));
    EXPECT_EQ(0, GetWindowLongA(GetDlgItem(ask, 100), GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_TRUE(driver::IsDefaultButton(GetDlgItem(ask, 102)) && !driver::IsDefaultButton(GetDlgItem(ask, 101)));
    EXPECT_EQ(0, GetWindowLongA(ask, GWL_STYLE) & WS_SYSMENU);
    ExpectEscapeIgnored(ask, 100);
    EXPECT_EQ(0, StatusWidth(ask)) << "a status line on the first pass";
    driver::Click(ask, 102);
    HWND create = Wait(Create);
    EXPECT_EQ("C:\\SKYLOOP", driver::ControlText(create, 103));
    EXPECT_TRUE(driver::IsDefaultButton(GetDlgItem(create, 101)));
    ExpectEscapeIgnored(create, 102);
    driver::Click(create, 102);
    Answer(Ready, ReadyText, IDOK);
    HWND end = Wait(End);
    std::string said;
    for (HWND c = GetWindow(end, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        said += driver::ControlText(c, 0) + "|";
    EXPECT_EQ("Skyloop has been successfully installed.  You will need to reboot Windows for the changes to take effect.  "
              "Please read the Quick Start section of the Help file.  Also please do not forget to look at the Other "
              "Products section for important news.|OK|Important Notes:  If your display seems inverted, refer to Help, "
              "Quick Start for remedy!|Go to Settings then Control Panel. Bring up Display Properties and change the "
              "screen saver to \"skyloop\".|",
              said);
    ExpectPanel(main, end, 195);
    // The gradient, repainted by now where no dialog covers it: band i is blue 255 - i.
    RECT client;
    GetClientRect(main, &client);
    for (int y = 0; y < client.bottom; y++)
        ASSERT_EQ(RGB(0, 0, 255 - y / 2), Pixel(main, 10, y)) << "row " << y;
    ExpectEscapeIgnored(end, 102);
    driver::Click(end, 102);
    EXPECT_EQ(0, Exit());
    ExpectInstalled("C:\\SKYLOOP");
    EXPECT_FALSE(FileExists("C:\\SKYLOOP\\MODEFTST.QQQ"));
    std::string seed = IniValue(Settings, "Global", "TableOrder");
    EXPECT_TRUE(SeededSince(seed, before)) << seed;
    EXPECT_EQ("[Global]\nNoOfEntries=2\nSpeed=12\nSequence=1\nTableOrder=" + seed + "\n[Entries]\n"
              "EntryFN000=C:\\SKYLOOP\\SAMPLES\\GLOBE.SKY\nEntryPM000=2,300,300,1,0,3,0,0,10,0,270,10,45\n"
              "EntryFN001=C:\\SKYLOOP\\SAMPLES\\SPIRAL.SKY\nEntryPM001=2,420,420,1,0,1,1,0,10,0,270,10,45\n"
              "[Misc]\nNormal=0\nInstallDirectory=C:\\SKYLOOP\nMapsDirectory=C:\\SKYLOOP\\MAPS\n"
              "BackgroundMap=C:\\SKYLOOP\\MAPS\\BGROUND.BMP\n[Reminder]\nActivated=1\nCaption1=Thank you for choosing\n"
              "Caption2=this edition of Skyloop\nCaption3=- would you like to see what is new?\n"
              "ExecFile=http://www.example.com/edition\nReminderPeriod=604800\n",
              IniText(Settings));
    EXPECT_EQ("[boot]\nshell=Explorer.exe\nSCRNSAVE.EXE=C:\\windows\\SKYLOOP.SCR\n[386Enh]\nDevice=DVA.386\nwoafont=dosapp.fon\n",
              IniText(SystemIni));
    for (const char *name : WinGFiles)
        EXPECT_EQ("", Differs(SystemDir + "\\" + name, ReadWhole(std::string("P:\\") + name)));
    const char *links[][2] = {{"Read Me.lnk", "readme.txt"}, {"Skyloop Help.lnk", "skyloop.hlp"},
                              {"Skyloop Settings.lnk", "skyloop.exe"}};
    EXPECT_EQ((std::vector<std::string>{links[0][0], links[1][0], links[2][0]}), FilesIn(Links));
    for (const auto &l : links)
        EXPECT_EQ(std::string("C:\\SKYLOOP\\") + l[1] + " | Skyloop", LinkText(Links + "\\" + l[0]));
}

TEST_F(Kit, EveryFailedPassComesBackToTheDirectoryWithItsStatus) {
    std::string typed = scratch + "\\no\\such", upper = typed, dir = scratch + "\\sky", dirUpper = dir;
    CharUpperA(&upper[0]);
    CharUpperA(&dirUpper[0]);
    Start("E:\\SETUP.EXE");
    HWND ask = NextAsk(NULL);
    driver::SetControlText(ask, 100, typed.c_str());
    driver::Click(ask, 102);
    // TargetDir is the upper-case form of what was typed; Cancel brings no status line.
    HWND create = Wait(Create);
    EXPECT_EQ(upper, driver::ControlText(create, 103));
    driver::Click(create, 101);
    EXPECT_EQ(upper + " 0", Shown(ask = NextAsk(ask)));
    // The parent is missing: only one level is ever created.
    driver::Click(ask, 102);
    driver::Click(Wait(Create), 102);
    EXPECT_EQ(upper + " " + std::to_string(TextWidth("Error in creating Directory")), Shown(ask = NextAsk(ask)));
    EXPECT_FALSE(DirectoryExists(scratch + "\\no"));
    // An existing directory goes straight to the question; declining it shows no status.
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    driver::SetControlText(ask, 100, dir.c_str());
    driver::Click(ask, 102);
    Answer(Ready, ReadyText, IDCANCEL);
    EXPECT_EQ(dirUpper + " 0", Shown(ask = NextAsk(ask)));
    // Without SYSTEM.INI the files are written, then the dialog returns with
    // the directory the pass installed into.
    DeleteFileA(SystemIni.c_str());
    driver::Click(ask, 102);
    Answer(Ready, ReadyText, IDOK);
    EXPECT_EQ(dirUpper + " " + std::to_string(TextWidth("Can't find SYSTEM.INI !!!")), Shown(ask = NextAsk(ask)));
    ExpectPanel(Wait(Main), ask, 121); // as the pass stopped: 195 * 28 / 45, its 28th step of 45
    ExpectInstalled(dirUpper);
    // Continuing repeats the whole pass, in a panel of its own.
    ASSERT_TRUE(WriteWhole(SystemIni, "[386enh]\r\n") && WriteWhole(dir + "\\SKYLOOP.EXE", "an older settings program"));
    driver::Click(ask, 102);
    Answer(Ready, ReadyText, IDOK);
    HWND end = Wait(End);
    ExpectPanel(Wait(Main), end, 195);
    driver::Click(end, 102);
    EXPECT_EQ(0, Exit());
    ExpectInstalled(dirUpper);
    EXPECT_EQ("[386enh]\nDevice=DVA.386\n[boot]\nSCRNSAVE.EXE=C:\\windows\\SKYLOOP.SCR\n", IniText(SystemIni));
}

// Where a name that escaped its directory would land: the drive's root, the Windows and
// system directories, and all below the installer's current directory.
std::map<std::string, std::string> Surroundings() {
    std::map<std::string, std::string> files;
    for (const std::string &dir : {std::string("C:"), WindowsDir, SystemDir, std::string("C:\\tests")})
        for (const std::string &path : FilesBelow(dir, dir == "C:\\tests")) {
            WIN32_FILE_ATTRIBUTE_DATA a = {};
            GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a);
            files[path] = std::to_string(a.nFileSizeLow) + "/" + std::to_string(a.ftLastWriteTime.dwLowDateTime);
        }
    return files;
}

TEST_F(Kit, ACancelOrHostileDescriptionsWriteNothingOutsideTheInstallationAndTheSettings) {
    // What is made of each is the transfer's tests'; here: the program
    // finishes and writes nothing where it should not.
    std::string junk = ReadWhole("E:\\SKYSETUP.INI"), traversal;
    for (int i = 0; junk.size() < 4 << 20; i++)
        junk += "[Junk" + std::to_string(i) + "]\r\nKey=" + std::string(200, 'j') + "\r\n";
    while (traversal.size() < 480)
        traversal += "..\\";
    const std::string descriptions[] = {
        junk, "[Global]\r\nNoOfEntries=9999\r\nPrivateBMPEntries=9999\r\nPublicBMPEntries=9999\r\n",
        "[Global]\r\nNoOfEntries=3\r\n[Entries]\r\nEntryFN000=" + std::string(500, 'a') + "\r\nEntryFN001=" + traversal +
            "x.sky\r\nEntryFN002=..\\..\\..\\..\\x.sky\r\n[PublicMaps]\r\nEntryMap000=C:" + std::string(497, 'm') +
            "\r\n[Reminder]\r\nCaption1=" + std::string(499, 'c') + "\r\n",
        "[Global]\r\nNoOfEntries=2\r\nSpeed=\x01\x7f\xff\r\n[Entries]\r\nEntryFN000=\x1b\x07.sky\r\n"
        "EntryFN001=\xe9t\xe9\xa0\xff.sky\r\nEntryPM001=\x80\x81\x82\r\n[PrivateMaps]\r\nEntryMap000=\x09\x0b.bmp\r\n"};
    std::string dist = scratch + "\\dist";
    CreateDirectoryA(dist.c_str(), NULL);
    for (const std::string &name : FilesIn("E:"))
        CopyFileA(("E:\\" + name).c_str(), (dist + "\\" + name).c_str(), FALSE);
    CreateDirectoryA("C:\\SKYLOOP", NULL);
    // Closed before its timer fires, the window shows no dialog; Cancel in the first dialog installs nothing.
    Start(dist + "\\SETUP.EXE");
    driver::CloseWindow(Wait(Main));
    EXPECT_EQ(0, Exit());
    Start(dist + "\\SETUP.EXE");
    driver::Click(Wait(Ask), 101);
    EXPECT_EQ(0, Exit());
    EXPECT_TRUE(FilesIn("C:\\SKYLOOP").empty() && !FileExists(Settings) && !FileExists(WindowsDir + "\\SKYLOOP.SCR"));
    ASSERT_TRUE(CopyFileA("T:\\lz\\text.lz", "C:\\x.sk_", FALSE)); // where the traversing name leads
    std::map<std::string, std::string> before = Surroundings();
    for (const std::string &description : descriptions) {
        ASSERT_TRUE(WriteWhole(dist + "\\SKYSETUP.INI", description));
        InstallDistribution(dist + "\\SETUP.EXE");
    }
    for (const auto &f : Surroundings()) {
        bool allowed = false;
        for (const std::string &file : {Settings, SystemIni, WindowsDir + "\\SKYLOOP.SCR", dist + "\\SKYSETUP.INI"})
            allowed = allowed || _stricmp(f.first.c_str(), file.c_str()) == 0;
        for (const char *name : WinGFiles)
            allowed = allowed || _stricmp(f.first.c_str(), (SystemDir + "\\" + name).c_str()) == 0;
        EXPECT_TRUE(allowed || before[f.first] == f.second) << f.first << " changed";
    }
}
} // namespace
