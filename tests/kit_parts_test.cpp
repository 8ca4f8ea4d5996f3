// The distribution installer's progress panel, read back pixel by pixel in a
// window of this process (its end hides behind the end message on the screen),
// and the DVA.386 device line in the prefix's SYSTEM.INI.
#include <limits.h>
#include <stdio.h>

#include "kit.h"
#include "progress_edge.h"
#include "support.h"
#include "system_ini_lines.h"
#include "toolkit.h"

namespace {

TEST(ProgressEdge, EdgesForTheInstallStepsAndBeyond)
{
    const int rows[][3] = {
        {1, 45, 4}, {10, 45, 43}, {14, 45, 60}, {18, 45, 78}, {28, 45, 121}, {42, 45, 182}, {45, 45, 195},
        {1, 3, 65}, {2, 3, 130}, {0, 45, 0},
        {16777216, 16777217, 195}, // single precision: the quotient rounds to 1 although step < total
        {-3, 45, 0}, {INT_MIN, 45, 0}, {46, 45, 195}, {INT_MAX, 45, 195}, {INT_MAX, INT_MAX, 195}, // held to the ends
        {1, 0, 0}, {1, -5, 0}, {INT_MIN, INT_MIN, 0},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r[2], ProgressEdge(r[0], r[1])) << r[0] << " of " << r[1];
    for (int step = 0; step <= 45; step++)
        EXPECT_EQ(step * 195 / 45, ProgressEdge(step, 45)) << step << " of 45";
}

// Lets the windows receive their messages, as a modal dialog would.
void Pump(DWORD ms)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(10)) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

// The panel's bar covers exactly [12, edge) x [30, 60) (checked along the rows
// and columns that bound it), and its caption darkens pixels right of x = 50 only.
void ExpectPanel(HWND main, int edge)
{
    HWND panel = FindWindowExA(main, NULL, "EDIT", NULL);
    ASSERT_TRUE(panel && !FindWindowExA(main, panel, "EDIT", NULL)) << "one panel";
    HDC dc = GetDC(panel);
    int wrong = 0, caption = 0, leftOfCaption = 0;
    auto check = [&](int x, int y) { wrong += (GetPixel(dc, x, y) == RGB(0, 0, 255)) != (x >= 12 && x < edge && y >= 30 && y < 60); };
    for (int y : {0, 29, 30, 44, 59, 60, 79})
        for (int x = 0; x < 210; x++)
            check(x, y);
    for (int x : {11, 12, edge - 1, edge, 194, 195, 209})
        for (int y = 0; y < 80; y++)
            check(x, y);
    for (int y = 0; y < 28; y++)
        for (int x = 0; x < 210; x++)
            if (GetPixel(dc, x, y) != GetPixel(dc, 5, 75))
                (x >= 50 ? caption : leftOfCaption)++;
    ReleaseDC(panel, dc);
    EXPECT_EQ(0, wrong) << "pixels wrong for the edge " << edge;
    EXPECT_TRUE(caption > 50 && leftOfCaption == 0) << "caption " << caption << "/" << leftOfCaption;
}

TEST(Panel, BarGrowsThroughTheStepsOutlastsTheNextDialogAndStartsAnewOnTheNextPass)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = "PanelTestMain";
    RegisterClassA(&wc);
    HWND main = CreateWindowA("PanelTestMain", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, NULL, NULL,
                              wc.hInstance, NULL);
    Pump(200);
    CreateProgressPanel(main);
    HWND panel = FindWindowExA(main, NULL, "EDIT", NULL);
    RECT r;
    GetWindowRect(panel, &r);
    MapWindowPoints(NULL, main, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ("215 200 425 280 0", std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
                                       " " + std::to_string(r.bottom) + " " + std::to_string(GetWindowTextLengthA(panel)));
    ExpectPanel(main, 0);
    const int steps[][2] = {{1, 0}, {10, 43}, {14, 60}, {18, 78}, {28, 121}, {42, 182}, {45, 195}};
    for (const auto &s : steps) {
        DrawProgress(main, s[0], 45);
        ExpectPanel(main, s[1]);
    }
    Pump(300);
    ExpectPanel(main, 195);
    CreateProgressPanel(main);
    ExpectPanel(main, 0);
    DrawProgress(main, 10, 45);
    ExpectPanel(main, 43);
    DestroyWindow(main);
}

const std::string Ini = WindowsDir + "\\system.ini", Copy = WindowsDir + "\\SYSTEM.QQQ",
                  Backup = WindowsDir + "\\SYSTEM.QQB";

// Printable form of file data for failure messages.
std::string Shown(const std::string &data)
{
    std::string out;
    for (unsigned char c : data.substr(0, 400)) {
        char hex[8];
        StringCchPrintfA(hex, sizeof hex, "\\x%02x", c);
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c < 32 || c > 126 ? hex : std::string(1, c);
    }
    return data.size() > 400 ? out + "... (" + std::to_string(data.size()) + " bytes)" : out;
}

// SYSTEM.INI as RegisterVirtualDevice leaves it, run twice (the second run
// must find the line), or why not.
std::string Registered(const std::string &ini)
{
    EXPECT_TRUE(WriteWhole(Ini, ini));
    WritePrivateProfileStringA(NULL, NULL, NULL, Ini.c_str());
    if (RegisterVirtualDevice() != DEVICE_REGISTERED)
        return "<failed>";
    std::string once = ReadWhole(Ini);
    if (RegisterVirtualDevice() != DEVICE_REGISTERED || ReadWhole(Ini) != once)
        return "<changed again>";
    return FileExists(Copy) || FileExists(Backup) ? "<copy left>" : once;
}

std::string Crlf(const std::vector<std::string> &lines)
{
    std::string all;
    for (const std::string &l : lines)
        all += l + "\r\n";
    return all;
}

TEST(DeviceLine, GoesAfterEachHeaderLineAndNowhereElse)
{
    const std::string a(600, 'a'), dev = "Device=DVA.386";
    std::vector<std::pair<std::string, std::string>> rows = {
        // SYSTEM.INI, and what it becomes (empty: left as it is)
        {Crlf({"[boot]", "a=b", "[386enh]", dev, "x=y"}), ""}, {Crlf({"[boot]", dev, "[386enh]", "x=y"}), ""},
        {Crlf({"[386enh]", "Device=DVA.386,old"}), ""}, {Crlf({"[386Enh]", "DEVICE=dva.386"}), ""},
        {Crlf({"[386enh]"}) + dev, ""}, {Crlf({a, "[386enh]", dev}), ""},
        {Crlf({"[boot]", "[386enhanced]", " [386enh]", a}), ""}, {"", ""},
        {Crlf({"[boot]", "s=e", "[386enh]", "w=d", "[drivers]"}), Crlf({"[boot]", "s=e", "[386enh]", dev, "w=d", "[drivers]"})},
        {Crlf({"[386Enh]", "E=C"}), Crlf({"[386Enh]", dev, "E=C"})},
        {Crlf({"[386enh] ; devices", "x=y"}), Crlf({"[386enh] ; devices", dev, "x=y"})},
        {"[boot]\na=b\n[386enh]\nx=y\n", Crlf({"[boot]", "a=b", "[386enh]", dev, "x=y"})},
        {Crlf({"[386enh];" + a, "x=y"}), Crlf({"[386enh];" + a, dev, "x=y"})},
        {Crlf({"[386enh", "Device=DVA.38", "[386enH]"}), Crlf({"[386enh", "Device=DVA.38", "[386enH]", dev})},
        {Crlf({"[386enh]", "; " + dev, "x=" + dev}), Crlf({"[386enh]", dev, "; " + dev, "x=" + dev})},
        {Crlf({"[386enh]", "a=1", "[386ENH]", "b=2"}), Crlf({"[386enh]", dev, "a=1", "[386ENH]", dev, "b=2"})},
        {"x\r\n[386enh]", Crlf({"x", "[386enh]", dev})}, {"[386enh]\r", "[386enh]\r\r\n" + dev + "\r\n"},
        {"\r\n\n[386enh]\n\n", "\r\n\r\n[386enh]\r\n" + dev + "\r\n\r\n"},
        // Stray CR, CR CR LF, NUL and Ctrl-Z are kept.
        {std::string("a\rb\r\r\n[386enh]\r\nc\0d\r\n\x1a", 23), std::string("a\rb\r\r\n[386enh]\r\nDevice=DVA.386\r\nc\0d\r\n\x1a", 39)},
    };
    // Around the size of the pieces lines are read in: a device line or header
    // inside a long line is only text, and a CR LF split between pieces is one line end.
    for (int n = LinePieceCapacity - 4; n <= LinePieceCapacity + 1; n++) {
        std::string f(n, 'a');
        rows.push_back({"[386enh]\r\n" + f + dev + "\r\n", Crlf({"[386enh]", dev, f + dev})});
        rows.push_back({"[386enh]\r\n" + f + "[386enh]\r\n", Crlf({"[386enh]", dev, f + "[386enh]"})});
        rows.push_back({f + "\r\n[386enh]" + f + "\r\nx\r\n", Crlf({f, "[386enh]" + f, dev, "x"})});
        rows.push_back({f + "\n[386enh]" + f + "\nx", Crlf({f, "[386enh]" + f, dev}) + "x"});
    }
    for (size_t i = 0; i < rows.size(); i++)
        EXPECT_EQ(Shown(rows[i].second.empty() ? rows[i].first : rows[i].second), Shown(Registered(rows[i].first)))
            << "row " << i << ": " << Shown(rows[i].first);
}

TEST(DeviceLine, FailuresLeaveSystemIniAsItWas)
{
    // Written and read through the profile functions first: their cache holds the file.
    ASSERT_TRUE(WriteWhole(Ini, Crlf({"[boot]", "a=b", "[386Enh]", "x=y"})));
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\WINDOWS\\SKYLOOP.SCR", "SYSTEM.INI");
    EXPECT_EQ(DEVICE_REGISTERED, RegisterVirtualDevice());
    EXPECT_EQ("DVA.386|y|C:\\WINDOWS\\SKYLOOP.SCR", IniValue(Ini, "386enh", "device") + "|" + IniValue(Ini, "386enh", "x") +
                                                       "|" + IniValue(Ini, "boot", "SCRNSAVE.EXE"));

    const std::string ini = Crlf({"[boot]", "[386enh]", "x=y"});
    const struct {
        int result;
        DWORD share; // of a handle another program holds on SYSTEM.INI; ~0: none
        bool missing, copyIsDirectory;
    } rows[] = {
        {SYSTEM_INI_UNREADABLE, ~0u, true, false},
        {SYSTEM_INI_UNREADABLE, 0, false, false},
        {SYSTEM_INI_NOT_UPDATED, ~0u, false, true},
        {SYSTEM_INI_NOT_UPDATED, FILE_SHARE_READ | FILE_SHARE_WRITE, false, false}, // no delete sharing
    };
    for (const auto &r : rows) {
        WritePrivateProfileStringA(NULL, NULL, NULL, Ini.c_str());
        ASSERT_TRUE(r.missing ? DeleteFileA(Ini.c_str()) : WriteWhole(Ini, ini));
        if (r.copyIsDirectory)
            CreateDirectoryA(Copy.c_str(), NULL);
        HANDLE held = r.share == ~0u ? INVALID_HANDLE_VALUE
                                     : CreateFileA(Ini.c_str(), GENERIC_READ, r.share, NULL, OPEN_EXISTING, 0, NULL);
        EXPECT_EQ(r.result, RegisterVirtualDevice()) << r.share;
        CloseHandle(held);
        EXPECT_EQ(r.missing ? "" : ini, ReadWhole(Ini)) << r.share;
        EXPECT_TRUE(DirectoryExists(Copy) == r.copyIsDirectory && !FileExists(Copy) && !FileExists(Backup)) << r.share;
        RemoveDirectoryA(Copy.c_str());
    }

    // After an interrupted replacement only the backup is left: it is put back first.
    DeleteFileA(Ini.c_str());
    ASSERT_TRUE(WriteWhole(Backup, Crlf({"[386Enh]", "x=y"})));
    EXPECT_EQ(DEVICE_REGISTERED, RegisterVirtualDevice());
    EXPECT_EQ(Crlf({"[386Enh]", "Device=DVA.386", "x=y"}), ReadWhole(Ini));
    EXPECT_FALSE(FileExists(Backup));

    FILE *in = fopen(Ini.c_str(), "rb"), *readOnly = fopen(Ini.c_str(), "rb");
    EXPECT_EQ(-1, CopyWithDeviceLine(in, readOnly)) << "a stream that cannot be written";
    fclose(readOnly);
    fclose(in);
}

// Where the system cannot replace a file in one step: the old file is kept as
// a backup until the new one is in place.
TEST(DeviceLine, ReplacementKeepsTheOldFileUntilTheNewOneIsInPlace)
{
    std::string root = FreshDirectory("replace"), path = root + "\\SYSTEM.INI", newPath = root + "\\SYSTEM.QQQ",
                backup = root + "\\SYSTEM.QQB";
    for (const char *held : {(const char *)nullptr, "SYSTEM.INI", "SYSTEM.QQQ"}) {
        ASSERT_TRUE(WriteWhole(path, "old") && WriteWhole(newPath, "new") && WriteWhole(backup, "stale"));
        HANDLE h = held ? CreateFileA((root + "\\" + held).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      NULL, OPEN_EXISTING, 0, NULL)
                        : INVALID_HANDLE_VALUE;
        EXPECT_EQ(!held, ReplaceKeepingBackup(newPath.c_str(), path.c_str(), backup.c_str()) != FALSE) << held;
        CloseHandle(h);
        EXPECT_EQ(held ? "old" : "new", ReadWhole(path));
        EXPECT_TRUE(!FileExists(backup) && ((held && strcmp(held, "SYSTEM.QQQ") == 0) || !FileExists(newPath))) << held;
    }
}

} // namespace
