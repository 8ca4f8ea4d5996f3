// The suite's steps in-process on a stand-in page, with the media (D:): the label and bar
// positions the saver step shows and what it has done by each of them.
#include "support.h"
#include "suite.h"
#include "toolkit.h"

#include <commctrl.h>

namespace {
struct Fact {
    const char *word;
    std::function<bool()> done;
};

const std::vector<Fact> *facts;
std::vector<std::string> moments; // "position label: the words of what is done"
LRESULT CALLBACK WatchBar(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && call->message == PBM_SETPOS) { // only the page's bar takes it here
        std::string moment = std::to_string(call->wParam) + " " + driver::ControlText(GetParent(call->hwnd), 101) + ":";
        for (const Fact &f : *facts)
            moment += f.done() ? std::string(" ") + f.word : "";
        moments.push_back(moment);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

class Steps : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("OS", NULL);
        CreateDirectoryA(Desktop.c_str(), NULL);
        CoInitialize(NULL); // as the program does when it starts
    }
    // Runs step into dir on a stand-in page: what it showed, a moment a bar move.
    std::vector<std::string> Run(void (*step)(HWND), const std::vector<Fact> &watched) {
        AppInstance = GetModuleHandleA(NULL);
        HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 420, 230, NULL,
                                    NULL, AppInstance, NULL);
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 150, 200, 16, page, (HMENU)101, AppInstance, NULL);
        StringCchCopyA(SourceDir, SourceDirCapacity, "D:");
        StringCchCopyA(TargetDir, TargetDirCapacity, dir.c_str());
        facts = &watched;
        moments.clear();
        driver::BoxWatcher boxes("Decomp Error", IDOK);
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchBar, NULL, GetCurrentThreadId());
        step(page);
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(std::vector<std::string>{}, boxes.Texts());
        // The page is the caller's to close: it still shows the label and a full bar.
        EXPECT_EQ(100, SendMessageA(FindWindowExA(page, NULL, PROGRESS_CLASSA, NULL), PBM_GETPOS, 0, 0));
        DestroyWindow(page);
        EXPECT_EQ(dir, InstallDir);
        EXPECT_EQ(0, PlainFileFlag);
        return moments;
    }
    Fact Exists(const char *word, const std::string &path) const {
        return {word, [=] { return FileExists(path); }};
    }
    const std::string Desktop = WindowsDir + "\\DESKTOP", dir = FreshDirectory("step");
};

TEST_F(Steps, SaverMovesTheBarBetweenItsGroupsOfWork) {
    auto setting = [](const char *word, const char *section, const char *key) {
        return Fact{word, [=] { return IniValue(WindowsDir + "\\SKYLOOP.INI", section, key) != Absent; }};
    };
    const std::string label = " Installing Skyloop...:", files = " saver program help readme",
                      more = files + " maps models misc entry1";
    EXPECT_EQ((std::vector<std::string>{"0" + label, "40" + label + files, "60" + label + files + " maps models",
                                        "80" + label + more, "100" + label + more + " entry2 reminder current links"}),
              Run(InstallSaver, {Exists("saver", WindowsDir + "\\SKYLOOP.SCR"),
                                 {"program", [&] { return FileExists(dir + "\\SKYLOOP.EXE") && !FileExists(dir + "\\SKYLOOP.SCR"); }},
                                 Exists("help", dir + "\\SKYLOOP.HLP"), Exists("readme", dir + "\\READMES.TXT"),
                                 Exists("maps", dir + "\\MAPS\\WOOD.BMP"), Exists("models", dir + "\\MODELS\\3DCUBES.TXT"),
                                 setting("misc", "Misc", "BackgroundMap"), setting("entry1", "Entries", "EntryPM001"),
                                 setting("entry2", "Entries", "EntryFN002"), setting("reminder", "Reminder", "ReminderPeriod"),
                                 {"current", [] { return IniValue(WindowsDir + "\\system.ini", "boot", "SCRNSAVE.EXE") == WindowsDir + "\\SKYLOOP.SCR"; }},
                                 Exists("links", Desktop + "\\Skyloop\\Read Me.lnk")}));
    EXPECT_EQ(dir + "\\MODELS\\HEARTFG.SKY", TargetDir) << "the last settings path";
    for (void (*step)(HWND) : {InstallModeller, InstallBuilder}) // what Run checks of every step
        Run(step, {});
}
} // namespace
