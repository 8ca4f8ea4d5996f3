// The distribution installer's progress panel, read back pixel by pixel on the
// virtual display, and the DVA.386 device line in the prefix's SYSTEM.INI.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdio.h>

#include "kit.h"

#include <strsafe.h>
#include "progress_edge.h"
#include "support.h"
#include "system_ini_lines.h"

namespace {

TEST(ProgressEdge, EdgesForTheInstallStepsAndBeyond)
{
    const int rows[][3] = {
        {1, 45, 4}, {10, 45, 43}, {14, 45, 60}, {18, 45, 78}, {28, 45, 121}, {42, 45, 182},
        {45, 45, 195}, {1, 3, 65}, {2, 3, 130}, {0, 45, 0},
        // Single precision: the quotient rounds to 1 although step < total.
        {16777216, 16777217, 195},
        // Outside the range the bar is held to its ends.
        {-3, 45, 0}, {INT_MIN, 45, 0}, {46, 45, 195}, {INT_MAX, 45, 195}, {INT_MAX, INT_MAX, 195},
        {1, 0, 0}, {1, -5, 0}, {INT_MIN, INT_MIN, 0},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r[2], ProgressEdge(r[0], r[1])) << r[0] << " of " << r[1];
    for (int step = 0; step <= 45; step++)
        EXPECT_EQ(step * 195 / 45, ProgressEdge(step, 45)) << step << " of 45";
}

class Panel : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        wc.lpszClassName = "PanelTestMain";
        RegisterClassA(&wc);
        main = CreateWindowA("PanelTestMain", "Panel test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             640, 480, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, main);
        Pump(200);
    }
    void TearDown() override { DestroyWindow(main); }

    // Lets the window receive its messages, as a modal dialog would.
    static void Pump(DWORD ms)
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(10)) {
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
    }

    // The bar covers exactly [12, edge) x [30, 60) (checked along the rows and
    // columns that bound it), and the caption darkens pixels right of x = 50 only.
    void Expect(int edge, const std::string &what)
    {
        HWND panel = FindWindowExA(main, NULL, "EDIT", NULL);
        ASSERT_NE(nullptr, panel) << what;
        EXPECT_EQ(NULL, FindWindowExA(main, panel, "EDIT", NULL)) << what << ": a second panel";
        HDC dc = GetDC(panel);
        int wrong = 0, caption = 0, leftOfCaption = 0;
        std::string first;
        auto check = [&](int x, int y) {
            bool inside = x >= 12 && x < edge && y >= 30 && y < 60;
            if ((GetPixel(dc, x, y) == RGB(0, 0, 255)) != inside && wrong++ == 0)
                first = std::to_string(x) + ", " + std::to_string(y);
        };
        for (int y : {0, 29, 30, 44, 59, 60, 79})
            for (int x = 0; x < 210; x++)
                check(x, y);
        for (int x : {11, 12, edge - 1, edge, 194, 195, 209})
            for (int y = 0; y < 80; y++)
                check(x, y);
        COLORREF background = GetPixel(dc, 5, 75);
        for (int y = 0; y < 28; y++)
            for (int x = 0; x < 210; x++)
                if (GetPixel(dc, x, y) != background)
                    (x >= 50 ? caption : leftOfCaption)++;
        ReleaseDC(panel, dc);
        EXPECT_EQ(0, wrong) << what << ": first wrong pixel at " << first;
        EXPECT_TRUE(caption > 50 && leftOfCaption == 0) << what << ": caption " << caption << "/" << leftOfCaption;
    }

    HWND main = NULL;
};

TEST_F(Panel, BarGrowsThroughTheStepsAndOutlastsTheNextDialog)
{
    CreateProgressPanel(main);
    HWND panel = FindWindowExA(main, NULL, "EDIT", NULL);
    RECT r;
    GetWindowRect(panel, &r);
    MapWindowPoints(NULL, main, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ((std::vector<LONG>{215, 200, 425, 280}), (std::vector<LONG>{r.left, r.top, r.right, r.bottom}));
    EXPECT_EQ(0, GetWindowTextLengthA(panel));
    Expect(0, "before the first step");
    const int steps[][2] = {{1, 0}, {10, 43}, {14, 60}, {18, 78}, {28, 121}, {42, 182}, {45, 195}};
    for (const auto &s : steps) {
        DrawProgress(main, s[0], 45);
        Expect(s[1], "step " + std::to_string(s[0]));
    }
    Pump(300);
    Expect(195, "after messages were dispatched");
}

TEST_F(Panel, NextPassStartsWithAnEmptyBar)
{
    CreateProgressPanel(main);
    DrawProgress(main, 42, 45);
    CreateProgressPanel(main);
    Expect(0, "new panel");
    DrawProgress(main, 10, 45);
    Expect(43, "new panel, step 10");
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
// must find the line); "" after a failure.
std::string Registered(const std::string &ini)
{
    EXPECT_TRUE(WriteWhole(Ini, ini));
    WritePrivateProfileStringA(NULL, NULL, NULL, Ini.c_str());
    if (RegisterVirtualDevice() != DEVICE_REGISTERED)
        return "<failed>";
    std::string once = ReadWhole(Ini);
    if (RegisterVirtualDevice() != DEVICE_REGISTERED || ReadWhole(Ini) != once)
        return "<changed again>";
    if (FileExists(Copy) || FileExists(Backup))
        return "<copy left>";
    return once;
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
    const std::string longA(600, 'a'), bytes("a\rb\r\r\n[386enh]\r\nc\0d\r\n\x1a", 23);
    struct Row {
        std::string ini, expected; // expected empty: the file is left as it is
    };
    std::vector<Row> rows = {
        {Crlf({"[boot]", "a=b", "[386enh]", "Device=DVA.386", "x=y"}), ""},
        {Crlf({"[boot]", "Device=DVA.386", "[386enh]", "x=y"}), ""},
        {Crlf({"[386enh]", "Device=DVA.386,old", "x=y"}), ""},
        {Crlf({"[386Enh]", "DEVICE=dva.386"}), ""},
        {Crlf({"[386enh]"}) + "Device=DVA.386", ""},
        {Crlf({longA, "[386enh]", "Device=DVA.386"}), ""},
        {Crlf({"[boot]", "shell=Explorer.exe", "[386enhanced]", " [386enh]", longA}), ""},
        {"", ""},
        {Crlf({"[boot]", "shell=Explorer.exe", "[386enh]", "woafont=dosapp.fon", "[drivers]"}),
         Crlf({"[boot]", "shell=Explorer.exe", "[386enh]", "Device=DVA.386", "woafont=dosapp.fon", "[drivers]"})},
        {Crlf({"[386Enh]", "EMMExclude=C000-CFFF"}), Crlf({"[386Enh]", "Device=DVA.386", "EMMExclude=C000-CFFF"})},
        {Crlf({"[386enh] ; devices", "x=y"}), Crlf({"[386enh] ; devices", "Device=DVA.386", "x=y"})},
        {"[boot]\na=b\n[386enh]\nx=y\n", Crlf({"[boot]", "a=b", "[386enh]", "Device=DVA.386", "x=y"})},
        {Crlf({"[386enh];" + longA, "x=y"}), Crlf({"[386enh];" + longA, "Device=DVA.386", "x=y"})},
        {Crlf({"[386enh", "Device=DVA.38", "[386enH]"}), Crlf({"[386enh", "Device=DVA.38", "[386enH]", "Device=DVA.386"})},
        {Crlf({"[386enh]", "; Device=DVA.386", "x=Device=DVA.386"}),
         Crlf({"[386enh]", "Device=DVA.386", "; Device=DVA.386", "x=Device=DVA.386"})},
        {Crlf({"[386enh]", "a=1", "[boot]", "[386ENH]", "b=2"}),
         Crlf({"[386enh]", "Device=DVA.386", "a=1", "[boot]", "[386ENH]", "Device=DVA.386", "b=2"})},
        {"x\r\n[386enh]", Crlf({"x", "[386enh]", "Device=DVA.386"})},
        {"[386enh]\r", "[386enh]\r\r\nDevice=DVA.386\r\n"},
        {"\r\n\n[386enh]\n\n", "\r\n\r\n[386enh]\r\nDevice=DVA.386\r\n\r\n"},
        // Stray CR, CR CR LF, NUL and Ctrl-Z are kept.
        {bytes, std::string("a\rb\r\r\n[386enh]\r\nDevice=DVA.386\r\nc\0d\r\n\x1a", 39)},
    };
    // Around the size of the pieces lines are read in: a device line or header
    // inside a long line is only text, and a CR LF split between pieces is one line end.
    for (int n = LinePieceCapacity - 4; n <= LinePieceCapacity + 1; n++) {
        std::string f(n, 'a');
        rows.push_back({"[386enh]\r\n" + f + "Device=DVA.386\r\n", "[386enh]\r\nDevice=DVA.386\r\n" + f + "Device=DVA.386\r\n"});
        rows.push_back({"[386enh]\r\n" + f + "[386enh]\r\n", "[386enh]\r\nDevice=DVA.386\r\n" + f + "[386enh]\r\n"});
        rows.push_back({f + "\r\n[386enh]" + f + "\r\nx\r\n", f + "\r\n[386enh]" + f + "\r\nDevice=DVA.386\r\nx\r\n"});
        rows.push_back({f + "\n[386enh]" + f + "\nx", f + "\r\n[386enh]" + f + "\r\nDevice=DVA.386\r\nx"});
    }
    for (size_t i = 0; i < rows.size(); i++)
        EXPECT_EQ(Shown(rows[i].expected.empty() ? rows[i].ini : rows[i].expected), Shown(Registered(rows[i].ini)))
            << "row " << i << ": " << Shown(rows[i].ini);
}

TEST(DeviceLine, FailuresLeaveSystemIniAsItWas)
{
    // Written and read through the profile functions first: their cache holds the file.
    ASSERT_TRUE(WriteWhole(Ini, Crlf({"[boot]", "a=b", "[386Enh]", "x=y"})));
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\WINDOWS\\SKYLOOP.SCR", "SYSTEM.INI");
    EXPECT_EQ(DEVICE_REGISTERED, RegisterVirtualDevice());
    char value[64];
    for (const char *key : {"device", "x"}) {
        GetPrivateProfileStringA("386enh", key, "", value, sizeof value, "SYSTEM.INI");
        EXPECT_STREQ(key[0] == 'x' ? "y" : "DVA.386", value) << key;
    }
    GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", value, sizeof value, "SYSTEM.INI");
    EXPECT_STREQ("C:\\WINDOWS\\SKYLOOP.SCR", value);

    const std::string ini = Crlf({"[boot]", "[386enh]", "x=y"});
    struct Row {
        const char *what;
        int result;
        DWORD share; // of a handle held on SYSTEM.INI; ~0: none
        bool copyIsDirectory;
    } rows[] = {
        {"missing", SYSTEM_INI_UNREADABLE, ~0u, false},
        {"held without sharing", SYSTEM_INI_UNREADABLE, 0, false},
        {"SYSTEM.QQQ a directory", SYSTEM_INI_NOT_UPDATED, ~0u, true},
        {"held without delete sharing", SYSTEM_INI_NOT_UPDATED, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
    };
    for (const Row &r : rows) {
        WritePrivateProfileStringA(NULL, NULL, NULL, Ini.c_str());
        if (r.result == SYSTEM_INI_UNREADABLE && r.share == ~0u)
            DeleteFileA(Ini.c_str());
        else
            ASSERT_TRUE(WriteWhole(Ini, ini));
        if (r.copyIsDirectory)
            CreateDirectoryA(Copy.c_str(), NULL);
        HANDLE held = r.share == ~0u ? INVALID_HANDLE_VALUE
                                     : CreateFileA(Ini.c_str(), GENERIC_READ, r.share, NULL, OPEN_EXISTING, 0, NULL);
        EXPECT_EQ(r.result, RegisterVirtualDevice()) << r.what;
        CloseHandle(held);
        EXPECT_EQ(r.share == ~0u && !r.copyIsDirectory ? "" : ini, ReadWhole(Ini)) << r.what;
        EXPECT_EQ(r.copyIsDirectory, DirectoryExists(Copy)) << r.what;
        EXPECT_FALSE(FileExists(Copy) || FileExists(Backup)) << r.what;
        RemoveDirectoryA(Copy.c_str());
    }

    // After an interrupted replacement only the backup is left: it is put back first.
    DeleteFileA(Ini.c_str());
    ASSERT_TRUE(WriteWhole(Backup, Crlf({"[386Enh]", "x=y"})));
    EXPECT_EQ(DEVICE_REGISTERED, RegisterVirtualDevice());
    EXPECT_EQ(Crlf({"[386Enh]", "Device=DVA.386", "x=y"}), ReadWhole(Ini));
    EXPECT_FALSE(FileExists(Backup));

    // A stream that cannot be written.
    FILE *in = fopen(Ini.c_str(), "rb"), *readOnly = fopen(Ini.c_str(), "rb");
    ASSERT_TRUE(in && readOnly);
    EXPECT_EQ(-1, CopyWithDeviceLine(in, readOnly));
    fclose(readOnly);
    fclose(in);
}

// Where the system cannot replace a file in one step: the old file is kept as
// a backup until the new one is in place.
TEST(DeviceLine, ReplacementKeepsTheOldFileUntilTheNewOneIsInPlace)
{
    std::string root = FreshDirectory("replace"), path = root + "\\SYSTEM.INI",
                newPath = root + "\\SYSTEM.QQQ", backup = root + "\\SYSTEM.QQB";
    struct Row {
        const char *what, *held; // held: a file another program has open without delete sharing
        bool replaced;
    } rows[] = {{"stale backup", nullptr, true}, {"old file held", "SYSTEM.INI", false},
                {"new file held", "SYSTEM.QQQ", false}};
    for (const Row &r : rows) {
        ASSERT_TRUE(WriteWhole(path, "old") && WriteWhole(newPath, "new") && WriteWhole(backup, "stale"));
        HANDLE held = r.held ? CreateFileA((root + "\\" + r.held).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL)
                             : INVALID_HANDLE_VALUE;
        EXPECT_EQ(r.replaced, ReplaceKeepingBackup(newPath.c_str(), path.c_str(), backup.c_str()) != FALSE) << r.what;
        CloseHandle(held);
        EXPECT_EQ(r.replaced ? "new" : "old", ReadWhole(path)) << r.what;
        EXPECT_FALSE(FileExists(backup)) << r.what;
        EXPECT_TRUE((r.held && strcmp(r.held, "SYSTEM.QQQ") == 0) || !FileExists(newPath)) << r.what;
    }
    RemoveTree(root);
}

} // namespace
