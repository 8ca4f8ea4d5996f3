// The screen saver step in-process, on a stand-in page and the media (drive D:):
// what has been done by the time the bar reaches each of its positions.
#include <gtest/gtest.h>

#include "suite.h"
#include "toolkit.h"

#include <commctrl.h>
#include <string.h>

#include <string>
#include <vector>

#include "box_watcher.h"
#include "driver.h"
#include "prefix_state.h"
#include "test_files.h"

namespace {

std::string installDir, desktopFolder;

bool Setting(const char *section, const char *key)
{
    char value[64];
    GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, "SKYLOOP.INI");
    return std::string(value) != "<absent>";
}

bool SaverIsCurrent()
{
    std::string ini = WindowsDirectory() + "\\system.ini";
    char value[MAX_PATH];
    GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", value, sizeof value, ini.c_str());
    return WindowsDirectory() + "\\SKYLOOP.SCR" == value;
}

// What can be seen of the step's work, as a line of words.
std::string Done()
{
    const struct {
        const char *word;
        bool done;
    } facts[] = {
        {"saver", FileExists(WindowsDirectory() + "\\SKYLOOP.SCR")},
        {"program", FileExists(installDir + "\\SKYLOOP.EXE") &&
                        !FileExists(installDir + "\\SKYLOOP.SCR")},
        {"help", FileExists(installDir + "\\SKYLOOP.HLP")},
        {"readme", FileExists(installDir + "\\READMES.TXT")},
        {"maps", FileExists(installDir + "\\MAPS\\WOOD.BMP")},
        {"models", FileExists(installDir + "\\MODELS\\3DCUBES.TXT")},
        {"misc", Setting("Misc", "BackgroundMap")},
        {"entry1", Setting("Entries", "EntryPM001")},
        {"entry2", Setting("Entries", "EntryFN002")},
        {"reminder", Setting("Reminder", "ReminderPeriod")},
        {"current", SaverIsCurrent()},
        {"links", FileExists(desktopFolder + "\\Read Me.lnk")},
    };
    std::string line;
    for (const auto &f : facts)
        if (f.done)
            line += std::string(line.empty() ? "" : " ") + f.word;
    return line;
}

struct Moment {
    WPARAM position;
    std::string label, done;
};
std::vector<Moment> moments;

LRESULT CALLBACK WatchBar(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    char kind[64] = "";
    if (code == HC_ACTION && call->message == PBM_SETPOS &&
        GetClassNameA(call->hwnd, kind, sizeof kind) && strcmp(kind, PROGRESS_CLASSA) == 0)
        moments.push_back({call->wParam, driver::ControlText(GetParent(call->hwnd), 101), Done()});
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST(InstallSaver, MovesTheBarBetweenItsGroupsOfWork)
{
    const std::string windows = WindowsDirectory();
    OsVariable os;
    os.Set(nullptr); // SYSTEM.INI, and the desktop folder under DESKTOP
    SavedFile settings(windows + "\\SKYLOOP.INI"), saver(windows + "\\SKYLOOP.SCR"),
        systemIni(windows + "\\system.ini");
    WritePrivateProfileStringA(NULL, NULL, NULL, "SKYLOOP.INI");
    DeleteFileA((windows + "\\SKYLOOP.INI").c_str());
    DeleteFileA((windows + "\\SKYLOOP.SCR").c_str());
    desktopFolder = windows + "\\DESKTOP\\Skyloop";
    MadeFolders folders({windows + "\\DESKTOP"}, {desktopFolder, "C:\\tests\\saverstep"});
    installDir = FreshDirectory("saverstep");

    AppInstance = GetModuleHandleA(NULL);
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0,
                                420, 230, NULL, NULL, AppInstance, NULL);
    ASSERT_TRUE(page);
    ASSERT_TRUE(CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 150, 200, 16, page,
                                (HMENU)101, AppInstance, NULL));
    StringCchCopyA(SourceDir, SourceDirCapacity, "D:");
    StringCchCopyA(TargetDir, TargetDirCapacity, installDir.c_str());
    moments.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchBar, NULL, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    {
        BoxWatcher boxes("Decomp Error", IDOK);
        InstallSaver(page);
        EXPECT_EQ(std::vector<std::string>{}, boxes.Texts());
    }
    UnhookWindowsHookEx(hook);

    const char *label = "Installing Skyloop...";
    const std::vector<Moment> expected = {
        {0, label, ""},
        {40, label, "saver program help readme"},
        {60, label, "saver program help readme maps models"},
        {80, label, "saver program help readme maps models misc entry1"},
        {100, label,
         "saver program help readme maps models misc entry1 entry2 reminder current links"},
    };
    ASSERT_EQ(expected.size(), moments.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(expected[i].position, moments[i].position) << i;
        EXPECT_EQ(expected[i].label, moments[i].label) << moments[i].position;
        EXPECT_EQ(expected[i].done, moments[i].done) << moments[i].position;
    }

    // The page is the step's caller's to close: it still shows the label and a full bar.
    EXPECT_EQ(label, driver::ControlText(page, 101));
    HWND bar = FindWindowExA(page, NULL, PROGRESS_CLASSA, NULL);
    ASSERT_TRUE(bar);
    EXPECT_EQ(100, SendMessageA(bar, PBM_GETPOS, 0, 0));
    EXPECT_STREQ(installDir.c_str(), InstallDir);
    EXPECT_EQ(installDir + "\\MODELS\\HEARTFG.SKY", TargetDir) << "the last settings path";
    EXPECT_EQ(0, PlainFileFlag);

    DestroyWindow(page);
    WritePrivateProfileStringA(NULL, NULL, NULL, "SKYLOOP.INI");
}

} // namespace
