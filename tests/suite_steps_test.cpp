// The suite's screen saver step in-process on a stand-in page, with the media (D:): the label and
// the bar positions it shows, and what it has done by each of them.
#include "support.h"
#include "suite.h"
#include "toolkit.h"

#include <commctrl.h>

namespace {
std::vector<std::pair<const char *, std::function<bool()>>> facts;
Strings moments; // "position label: the words of what is done"

LRESULT CALLBACK WatchBar(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && call->message == PBM_SETPOS) { // only the page's bar takes it here
        std::string moment =
            std::to_string(call->wParam) + " " + driver::ControlText(GetParent(call->hwnd), 101) + ":";
        for (const auto &f : facts)
            moment += f.second() ? std::string(" ") + f.first : "";
        moments.push_back(moment);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST(Steps, TheSaverMovesTheBarBetweenItsGroupsOfWork) {
    SetEnvironmentVariableA("OS", NULL);
    CreateDirectoryA((WindowsDir + "\\DESKTOP").c_str(), NULL);
    CoInitialize(NULL); // as the program does when it starts
    AppInstance = GetModuleHandleA(NULL);
    std::string dir = FreshDirectory("step"), ini = WindowsDir + "\\SKYLOOP.INI";
    auto file = [](const std::string &path) { return [=] { return FileExists(path); }; };
    auto setting = [&](const char *section, const char *key) {
        return [=] { return IniValue(ini, section, key) != Absent; };
    };
    facts = {
        {"saver", file(WindowsDir + "\\SKYLOOP.SCR")},
        {"program", [=] { return FileExists(dir + "\\SKYLOOP.EXE") && !FileExists(dir + "\\SKYLOOP.SCR"); }},
        {"help", file(dir + "\\SKYLOOP.HLP")},
        {"readme", file(dir + "\\READMES.TXT")},
        {"maps", file(dir + "\\MAPS\\WOOD.BMP")},
        {"models", file(dir + "\\MODELS\\3DCUBES.TXT")},
        {"misc", setting("Misc", "BackgroundMap")},
        {"entry1", setting("Entries", "EntryPM001")},
        {"entry2", setting("Entries", "EntryFN002")},
        {"reminder", setting("Reminder", "ReminderPeriod")},
        {"current", [] { return IniValue(WindowsDir + "\\system.ini", "boot", "SCRNSAVE.EXE") != Absent; }},
        {"links", file(WindowsDir + "\\DESKTOP\\Skyloop\\Read Me.lnk")}};
    HWND page =
        CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_VISIBLE, 0, 0, 420, 230, 0, 0, AppInstance, 0);
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 150, 200, 16, page, (HMENU)101, AppInstance,
                    NULL);
    StringCchCopyA(SourceDir, SourceDirCapacity, "D:");
    StringCchCopyA(TargetDir, TargetDirCapacity, dir.c_str());
    driver::BoxWatcher boxes;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchBar, NULL, GetCurrentThreadId());
    InstallSaver(page);
    UnhookWindowsHookEx(hook);
    const std::string label = " Installing Skyloop...:", files = label + " saver program help readme",
                      more = files + " maps models misc entry1";
    EXPECT_EQ((Strings{"0" + label, "40" + files, "60" + files + " maps models", "80" + more,
                       "100" + more + " entry2 reminder current links"}), moments);
    EXPECT_EQ(Strings{}, boxes.Texts());
    // The page is the caller's to close: it still shows the label and a full bar.
    EXPECT_EQ(100, SendMessageA(FindWindowExA(page, NULL, PROGRESS_CLASSA, NULL), PBM_GETPOS, 0, 0));
    EXPECT_EQ(dir + "|" + dir + "\\MODELS\\HEARTFG.SKY|0", std::string(InstallDir) + "|" + TargetDir + "|" +
                                                             std::to_string(PlainFileFlag));
}
} // namespace
