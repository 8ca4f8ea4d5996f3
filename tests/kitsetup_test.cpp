// The distribution installer end to end: a custom distribution made from the
// suite media (E:, its generated models and maps uncompressed on O:), its
// SETUP.EXE operated as a user would, what it draws on the screen and what it
// leaves behind. The media's files came from the sample products (P:).
#include <gtest/gtest.h>

#include "driver.h"
#include "support.h"

#include <map>

namespace {

const DWORD Timeout = 30000;
const char *const Main = "Skyloop Setup", *const Ask = "Skyloop Directory", *const Create = "New Directory",
                  *const Ready = "Ready to Install", *const End = "Installed OK";
const std::string SystemIni = WindowsDir + "\\system.ini", Settings = WindowsDir + "\\SKYLOOP.INI";
const std::string Links = WindowsDir + "\\DESKTOP\\Skyloop";

// What the screen shows of a window's client rectangle [x, x + w) x [y, y + h), row by row.
std::vector<COLORREF> Grab(HWND window, int x, int y, int w, int h)
{
    POINT origin = {x, y};
    ClientToScreen(window, &origin);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(NULL), memory = CreateCompatibleDC(screen);
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(w * h);
    for (int i = 0; i < w * h; i++) {
        DWORD p = static_cast<DWORD *>(bits)[i];
        pixels[i] = RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

// The status line of the install-directory dialog: the width of what was drawn
// from (80, 150) on, 0 when nothing, -1 when something lies outside it.
int StatusWidth(HWND dialog)
{
    driver::Flush(GetDlgItem(dialog, 102), 5000); // painted by now
    RECT client;
    GetClientRect(dialog, &client);
    const int top = 150, rows = 10; // the text's cell, clear of the buttons below it
    std::vector<COLORREF> line = Grab(dialog, 0, top, client.right, rows);
    COLORREF background = line[5];
    int end = 80;
    while (end < client.right && line[end] != background)
        end++;
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < client.right; x++)
            if ((x < 80 || x >= end) && line[y * client.right + x] != background)
                return -1;
    return end - 80;
}

// The width the dialog's default font gives text, as its status line is drawn.
int TextWidth(const char *text)
{
    HDC screen = GetDC(NULL);
    SIZE size = {};
    GetTextExtentPoint32A(screen, text, lstrlenA(text), &size);
    ReleaseDC(NULL, screen);
    return size.cx;
}

class Kit : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *path : {"C:\\SKYLOOP", "C:\\tests", "C:\\windows\\SKYLOOP.SCR", "C:\\windows\\SKYLOOP.INI"})
            RemoveTree(path);
        scratch = FreshDirectory("kit");
        CreateDirectoryA((WindowsDir + "\\DESKTOP").c_str(), NULL);
        RemoveTree(Links);
        ASSERT_TRUE(WriteWhole(SystemIni, "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nwoafont=dosapp.fon\r\n"));
        SetEnvironmentVariableA("OS", NULL);
        CoInitialize(NULL);
    }
    void TearDown() override
    {
        if (kit.handle) {
            ADD_FAILURE() << "the installer was still running: " << Windows();
            driver::Kill(kit);
        }
    }
    std::string Windows()
    {
        std::string all;
        for (const std::string &c : driver::WindowsOf(kit.id))
            all += "[" + c + "] ";
        return all;
    }
    void Start()
    {
        kit = driver::Start("E:\\SETUP.EXE", scratch.c_str());
        ASSERT_TRUE(kit.handle);
    }
    HWND Wait(const char *caption)
    {
        HWND w = driver::WaitForWindow(caption, Timeout);
        EXPECT_TRUE(w) << "no " << caption << "; windows: " << Windows();
        return w;
    }
    // Escape does nothing: the dialog stays, alone with the main window.
    void ExpectEscapeIgnored(HWND dialog, int control)
    {
        driver::PressKey(dialog, control, VK_ESCAPE);
        ASSERT_TRUE(driver::Flush(GetDlgItem(dialog, 102), Timeout));
        EXPECT_EQ((std::vector<std::string>{driver::ControlText(dialog, 0), Main}), driver::WindowsOf(kit.id));
    }
    void Answer(const char *caption, const std::string &text, int button)
    {
        std::string shown;
        ASSERT_TRUE(driver::AnswerMessageBox(caption, button, Timeout, &shown)) << caption << ": " << Windows();
        EXPECT_EQ(text, shown);
        ASSERT_TRUE(driver::WaitForWindowGone(caption, Timeout));
    }
    // The install-directory dialog's target field set to dir, then Continue.
    HWND ContinueWith(const std::string &dir)
    {
        HWND ask = Wait(Ask);
        driver::SetControlText(ask, 100, dir.c_str());
        driver::Click(ask, 102);
        return ask;
    }
    void ExpectInstalled(const std::string &dir)
    {
        const char *files[][2] = {{"\\SKYLOOP.EXE", "P:\\SKYLOOPE.SCR"}, {"\\SKYLOOP.HLP", "P:\\SKYLOOPE.HLP"},
                                  {"\\ORDER.FRM", "P:\\ORDER.FRM"},       {"\\README.TXT", "P:\\READMESE.TXT"},
                                  {"\\MAPS\\BGROUND.BMP", "P:\\BGROUND.BMP"}, {"\\MAPS\\DUSK.BMP", "O:\\DUSK.BMP"},
                                  {"\\MAPS\\STARS.BMP", "O:\\STARS.BMP"}, {"\\SAMPLES\\GLOBE.SKY", "O:\\GLOBE.SKY"},
                                  {"\\SAMPLES\\SPIRAL.SKY", "O:\\SPIRAL.SKY"}, {"\\SAMPLES\\MARBLE.BMP", "O:\\MARBLE.BMP"}};
        for (const auto &f : files)
            EXPECT_EQ("", Differs(dir + f[0], ReadWhole(f[1])));
        EXPECT_EQ("", Differs(WindowsDir + "\\SKYLOOP.SCR", ReadWhole("P:\\SKYLOOPE.SCR")));
        EXPECT_EQ((std::vector<std::string>{"MAPS", "ORDER.FRM", "README.TXT", "SAMPLES", "SKYLOOP.EXE", "SKYLOOP.HLP"}),
                  FilesIn(dir));
        EXPECT_EQ(dir, IniValue(Settings, "Misc", "InstallDirectory"));
        EXPECT_EQ(dir + "\\SAMPLES\\SPIRAL.SKY", IniValue(Settings, "Entries", "EntryFN001"));
    }

    driver::Process kit = {NULL, 0};
    std::string scratch;
};

TEST_F(Kit, FullPassInstallsTheEditionAndEndsWithTheEndMessage)
{
    long long before = UnixNow();
    Start();
    HWND main = Wait(Main), ask = Wait(Ask);
    ASSERT_TRUE(main && ask);
    EXPECT_EQ("E:", driver::ControlText(ask, 103));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(ask, 103)));
    EXPECT_EQ("C:\\SKYLOOP", driver::ControlText(ask, 100));
    EXPECT_EQ(0, GetWindowLongA(GetDlgItem(ask, 100), GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_TRUE(driver::IsDefaultButton(GetDlgItem(ask, 102)) && !driver::IsDefaultButton(GetDlgItem(ask, 101)));
    EXPECT_EQ(0, GetWindowLongA(ask, GWL_STYLE) & WS_SYSMENU);
    ExpectEscapeIgnored(ask, 100);
    EXPECT_EQ(0, StatusWidth(ask)) << "a status line on the first pass";
    driver::Click(ask, 102);

    HWND create = Wait(Create);
    ASSERT_TRUE(create);
    EXPECT_EQ("C:\\SKYLOOP", driver::ControlText(create, 103));
    EXPECT_TRUE(driver::IsDefaultButton(GetDlgItem(create, 101)));
    ExpectEscapeIgnored(create, 102);
    driver::Click(create, 102);
    Answer(Ready, "Setup will now install all files.", IDOK);

    HWND end = Wait(End);
    ASSERT_TRUE(end);
    std::string said;
    for (HWND c = GetWindow(end, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        said += driver::ControlText(c, 0) + "|";
    EXPECT_EQ("Skyloop has been successfully installed.  You will need to reboot Windows for the changes to take "
              "effect.  Please read the Quick Start section of the Help file.  Also please do not forget to look at "
              "the Other Products section for important news.|OK|Important Notes:  If your display seems inverted, "
              "refer to Help, Quick Start for remedy!|Go to Settings then Control Panel. Bring up Display Properties "
              "and change the screen saver to \"skyloop\".|",
              said);
    // The gradient where no dialog covers it (the message covers the progress panel).
    RECT client;
    GetClientRect(main, &client);
    std::vector<COLORREF> column = Grab(main, 10, 0, 1, client.bottom);
    for (int y = 0; y < client.bottom; y++)
        ASSERT_EQ(y < 480 ? RGB(0, 0, 255 - y / 2) : RGB(255, 255, 255), column[y]) << "row " << y;
    ExpectEscapeIgnored(end, 102);
    driver::Click(end, 102);
    EXPECT_EQ(0, driver::WaitForExit(kit, Timeout));

    ExpectInstalled("C:\\SKYLOOP");
    EXPECT_FALSE(FileExists("C:\\SKYLOOP\\MODEFTST.QQQ"));
    std::string seed = IniValue(Settings, "Global", "TableOrder");
    EXPECT_TRUE(SeededBetween(seed, before, UnixNow())) << seed;
    EXPECT_EQ("[Global]\nNoOfEntries=2\nSpeed=12\nSequence=1\nTableOrder=" + seed + "\n[Entries]\n"
              "EntryFN000=C:\\SKYLOOP\\SAMPLES\\GLOBE.SKY\nEntryPM000=2,300,300,1,0,3,0,0,10,0,270,10,45\n"
              "EntryFN001=C:\\SKYLOOP\\SAMPLES\\SPIRAL.SKY\nEntryPM001=2,420,420,1,0,1,1,0,10,0,270,10,45\n"
              "[Misc]\nNormal=0\nInstallDirectory=C:\\SKYLOOP\nMapsDirectory=C:\\SKYLOOP\\MAPS\n"
              "BackgroundMap=C:\\SKYLOOP\\MAPS\\BGROUND.BMP\n[Reminder]\nActivated=1\n"
              "Caption1=Thank you for choosing\nCaption2=this edition of Skyloop\n"
              "Caption3=- would you like to see what is new?\nExecFile=http://www.example.com/edition\n"
              "ReminderPeriod=604800\n",
              IniText(Settings));
    EXPECT_EQ("[boot]\nshell=Explorer.exe\nSCRNSAVE.EXE=C:\\windows\\SKYLOOP.SCR\n[386Enh]\nDevice=DVA.386\n"
              "woafont=dosapp.fon\n",
              IniText(SystemIni));
    for (const char *name : WinGFiles)
        EXPECT_EQ("", Differs(SystemDir() + "\\" + name, ReadWhole(std::string("P:\\") + name)));
    const char *links[][2] = {{"Read Me.lnk", "readme.txt"}, {"Skyloop Help.lnk", "skyloop.hlp"},
                              {"Skyloop Settings.lnk", "skyloop.exe"}};
    EXPECT_EQ((std::vector<std::string>{links[0][0], links[1][0], links[2][0]}), FilesIn(Links));
    for (const auto &l : links)
        EXPECT_EQ(std::string("C:\\SKYLOOP\\") + l[1] + " | Skyloop", LinkText(Links + "\\" + l[0]));
}

TEST_F(Kit, EveryFailedPassComesBackToTheDirectoryWithItsStatus)
{
    Start();
    // Typed in lower case: the field keeps it, TargetDir is upper case.
    HWND ask = ContinueWith("c:\\tests\\kit\\no\\such");
    HWND create = Wait(Create);
    ASSERT_TRUE(create);
    EXPECT_EQ("C:\\TESTS\\KIT\\NO\\SUCH", driver::ControlText(create, 103));
    driver::Click(create, 101);
    ASSERT_TRUE(driver::WaitForWindowGone(Create, Timeout));
    ask = Wait(Ask);
    EXPECT_EQ("C:\\TESTS\\KIT\\NO\\SUCH", driver::ControlText(ask, 100)) << "Cancel in the create dialog";
    EXPECT_EQ(0, StatusWidth(ask));
    driver::Click(ask, 102);
    driver::Click(Wait(Create), 102);
    ASSERT_TRUE(driver::WaitForWindowGone(Create, Timeout));
    // The parent is missing: only one level is ever created.
    ask = Wait(Ask);
    ASSERT_TRUE(ask);
    EXPECT_EQ(TextWidth("Error in creating Directory"), StatusWidth(ask));
    EXPECT_FALSE(DirectoryExists("C:\\tests\\kit\\no"));

    // An existing directory goes straight to the question; declining it shows no status.
    std::string dir = scratch + "\\sky";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    ContinueWith(dir);
    Answer(Ready, "Setup will now install all files.", IDCANCEL);
    ask = Wait(Ask);
    std::string upper = dir;
    CharUpperA(&upper[0]);
    EXPECT_EQ(upper, driver::ControlText(ask, 100));
    EXPECT_EQ(0, StatusWidth(ask));

    // Without SYSTEM.INI the files are written, then the dialog returns with
    // the directory the pass installed into.
    DeleteFileA(SystemIni.c_str());
    driver::Click(ask, 102);
    Answer(Ready, "Setup will now install all files.", IDOK);
    HWND before = ask;
    ASSERT_TRUE(driver::Poll(Timeout, [&] { return (ask = driver::FindVisible(Ask)) && ask != before; }));
    EXPECT_EQ(upper, driver::ControlText(ask, 100));
    EXPECT_EQ(TextWidth("Can't find SYSTEM.INI !!!"), StatusWidth(ask));
    ExpectInstalled(upper);

    // Continuing repeats the whole pass.
    ASSERT_TRUE(WriteWhole(SystemIni, "[386enh]\r\n"));
    ASSERT_TRUE(WriteWhole(dir + "\\SKYLOOP.EXE", "an older settings program"));
    driver::Click(ask, 102);
    Answer(Ready, "Setup will now install all files.", IDOK);
    driver::Click(Wait(End), 102);
    EXPECT_EQ(0, driver::WaitForExit(kit, Timeout));
    ExpectInstalled(upper);
    EXPECT_EQ("[386enh]\nDevice=DVA.386\n[boot]\nSCRNSAVE.EXE=C:\\windows\\SKYLOOP.SCR\n", IniText(SystemIni));
}

TEST_F(Kit, CancelInTheFirstDialogInstallsNothing)
{
    Start();
    driver::Click(Wait(Ask), 101);
    EXPECT_EQ(0, driver::WaitForExit(kit, Timeout));
    EXPECT_FALSE(DirectoryExists("C:\\SKYLOOP") || FileExists(Settings) || FileExists(WindowsDir + "\\SKYLOOP.SCR"));
}

TEST_F(Kit, ClosedBeforeItsTimerTheWindowShowsNoDialog)
{
    // The timer starts when the window is made, after the process started:
    // a close posted within 500 ms of the start arrives first.
    for (int attempt = 0; attempt < 5; attempt++) {
        DWORD start = GetTickCount();
        Start();
        HWND main = NULL;
        driver::Poll(Timeout, [&] { return (main = driver::FindVisible(Main)) != NULL; });
        driver::CloseWindow(main);
        if (GetTickCount() - start >= 500) {
            driver::Kill(kit); // too late to tell
            continue;
        }
        EXPECT_EQ(0, driver::WaitForExit(kit, Timeout)) << Windows();
        return;
    }
    GTEST_SKIP() << "the window never appeared within 500 ms of the start";
}

// The files in dir (and below it, when deep) with their sizes and last-write times.
void Snapshot(const std::string &dir, bool deep, std::map<std::string, std::string> &files)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
        std::string name = found.cFileName, path = dir + "\\" + name;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[path] = std::to_string(found.nFileSizeLow) + "/" + std::to_string(found.ftLastWriteTime.dwLowDateTime);
        else if (deep && name != "." && name != "..")
            Snapshot(path, deep, files);
    }
    FindClose(find);
}

// Where a name that escaped its directory would land: the drive's root, the
// Windows and system directories, and the installer's current directory.
std::map<std::string, std::string> Surroundings()
{
    std::map<std::string, std::string> files;
    for (const std::string &dir : {std::string("C:"), WindowsDir, SystemDir()})
        Snapshot(dir, false, files);
    Snapshot("C:\\tests", true, files);
    return files;
}

TEST_F(Kit, HostileDescriptionsWriteNothingOutsideTheInstallationAndTheSettings)
{
    // What the program does with each is the distribution transfer's tests';
    // here: it finishes, and writes nothing where it should not.
    std::string junk, names, bytes;
    for (int i = 0; junk.size() < 4 << 20; i++)
        junk += "[Junk" + std::to_string(i) + "]\r\nKey=" + std::string(200, 'j') + "\r\n";
    std::string traversal;
    while (traversal.size() < 480)
        traversal += "..\\";
    names = "[Global]\r\nNoOfEntries=3\r\n[Entries]\r\nEntryFN000=" + std::string(500, 'a') +
            "\r\nEntryFN001=" + traversal + "x.sky\r\nEntryFN002=..\\..\\..\\..\\x.sky\r\n[PublicMaps]\r\nEntryMap000=C:" + std::string(497, 'm') +
            "\r\n[Reminder]\r\nCaption1=" + std::string(499, 'c') + "\r\n";
    bytes = "[Global]\r\nNoOfEntries=2\r\nSpeed=\x01\x7f\xff\r\n[Entries]\r\nEntryFN000=\x1b\x07.sky\r\n"
            "EntryFN001=\xe9t\xe9\xa0\xff.sky\r\nEntryPM001=\x80\x81\x82\r\n[PrivateMaps]\r\nEntryMap000=\x09\x0b.bmp\r\n";
    const std::string descriptions[] = {
        std::string(ReadWhole("E:\\SKYSETUP.INI")) + junk, // several MiB
        "[Global]\r\nNoOfEntries=9999\r\nPrivateBMPEntries=9999\r\nPublicBMPEntries=9999\r\n", names, bytes};
    std::string dist = scratch + "\\dist";
    for (const std::string &d : {dist, dist + "\\0", dist + "\\1", dist + "\\2", dist + "\\3"})
        CreateDirectoryA(d.c_str(), NULL);
    for (const std::string &name : FilesIn("E:"))
        CopyFileA(("E:\\" + name).c_str(), (dist + "\\" + name).c_str(), FALSE);
    CreateDirectoryA("C:\\SKYLOOP", NULL);
    for (int i = 0; i < 4; i++)
        ASSERT_TRUE(WriteWhole(dist + "\\" + std::to_string(i) + "\\SKYSETUP.INI", descriptions[i]));
    // Where the traversing name leads: what a careless installer would expand.
    ASSERT_TRUE(CopyFileA("T:\\lz\\text.lz", "C:\\x.sk_", FALSE));
    std::map<std::string, std::string> before = Surroundings();
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE(descriptions[i].substr(0, 40));
        ASSERT_TRUE(CopyFileA((dist + "\\" + std::to_string(i) + "\\SKYSETUP.INI").c_str(),
                              (dist + "\\SKYSETUP.INI").c_str(), FALSE));
        kit = driver::Start(dist + "\\SETUP.EXE", scratch.c_str());
        driver::Click(Wait(Ask), 102);
        Answer(Ready, "Setup will now install all files.", IDOK);
        driver::Click(driver::WaitForWindow(End, 600000), 102); // 9999 entries take a while
        EXPECT_EQ(0, driver::WaitForExit(kit, Timeout));
    }
    for (const auto &f : Surroundings()) {
        const std::string &path = f.first;
        bool allowed = false;
        for (const std::string &file : {Settings, SystemIni, WindowsDir + "\\SKYLOOP.SCR", dist + "\\SKYSETUP.INI"})
            allowed = allowed || _stricmp(path.c_str(), file.c_str()) == 0;
        for (const char *name : WinGFiles)
            allowed = allowed || _stricmp(path.c_str(), (SystemDir() + "\\" + name).c_str()) == 0;
        EXPECT_TRUE(allowed || before[path] == f.second) << path << " changed";
    }
}

} // namespace
