// The suite's steps in-process on a stand-in page, with the media (D:): the label and the bar
// positions each step shows, and what it has done by each of them.
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
Strings moments; // "position label: the words of what is done"

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

Fact Same(const char *word, const std::string &path, const std::string &original) {
    return {word, [=] { return Differs(path, ReadWhole(original)).empty(); }};
}
Fact Exists(const char *word, const std::string &path) {
    return {word, [=] { return FileExists(path); }};
}
Fact Setting(const char *word, const char *file, const char *section, const char *key) {
    return {word, [=] { return IniValue(WindowsDir + file, section, key) != Absent; }};
}

TEST(Steps, EachMovesTheBarBetweenItsGroupsOfWork) {
    SetEnvironmentVariableA("OS", NULL);
    CreateDirectoryA((WindowsDir + "\\DESKTOP").c_str(), NULL);
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\MODELEX.INI", "[Misc]\r\n"));
    CoInitialize(NULL); // as the program does when it starts
    AppInstance = GetModuleHandleA(NULL);
    StringCchCopyA(SourceDir, SourceDirCapacity, "D:");
    const std::string m = FreshDirectory("m"), s = FreshDirectory("s"), b = FreshDirectory("b"),
                      desktop = WindowsDir + "\\DESKTOP\\";
    const struct {
        void (*step)(HWND);
        std::string dir, target; // and TargetDir after the step
        std::vector<Fact> facts;
        Strings moments;
    } steps[] = {
        {InstallModeller, m, WindowsDir + "\\SYSTEM32",
         {Same("files", m + "\\READMEM.TXT", "P:\\READMEM.TXT"), Same("samples", m + "\\SAMPLES\\VENUS3.SKY", "P:\\VENUS3.SKY"),
          {"type", [] { return RegText(HKEY_CLASSES_ROOT, "Modelex.3DFile\\Shell\\Open\\Command", NULL) != Absent; }},
          {"old", [] { return !FileExists(WindowsDir + "\\MODELEX.INI"); }},
          Same("wing", SystemDir + "\\WING32.DLL", "P:\\WING32.DLL"), Exists("links", desktop + "Modelex\\Read Me.lnk")},
         {"0 Installing Modelex...:", "10 Installing Modelex...: files",
          "40 Installing Modelex...: files samples", "60 Installing Modelex...: files samples type old",
          "80 Installing Modelex...: files samples type old wing"}},
        {InstallSaver, s, s + "\\MODELS\\HEARTFG.SKY",
         {Same("saver", WindowsDir + "\\SKYLOOP.SCR", "P:\\SKYLOOP.SCR"), Same("readme", s + "\\READMES.TXT", "P:\\READMES.TXT"),
          Same("models", s + "\\MODELS\\3DCUBES.TXT", "P:\\3DCUBES.TXT"), Setting("entry1", "\\SKYLOOP.INI", "Entries", "EntryPM001"),
          Setting("reminder", "\\SKYLOOP.INI", "Reminder", "ReminderPeriod"),
          {"current", [] { return IniValue(WindowsDir + "\\system.ini", "boot", "SCRNSAVE.EXE") != Absent; }}},
         {"0 Installing Skyloop...:", "40 Installing Skyloop...: saver readme",
          "60 Installing Skyloop...: saver readme models", "80 Installing Skyloop...: saver readme models entry1"}},
        {InstallBuilder, b, b + "\\newsky",
         {Same("files", b + "\\README.TXT", "P:\\README.TXT"), Exists("links", desktop + "SKY Builder\\Read Me.lnk"),
          Same("4", b + "\\SKEL\\WINGPAL.WN_", "D:\\WINGPAL.WN_"), Same("10", b + "\\SKEL\\BGROUND.BM_", "D:\\BGROUND.BM_"),
          Setting("ini", "\\skybuild.ini", "Misc", "CreateDir")},
         {"0 Installing SKY Builder...:", "20 Installing SKY Builder...: files",
          "40 Installing SKY Builder...: files links", "60 Installing SKY Builder...: files links 4",
          "80 Installing SKY Builder...: files links 4 10"}},
    };
    driver::BoxWatcher boxes;
    for (const auto &step : steps) {
        HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 420, 230, NULL,
                                    NULL, AppInstance, NULL);
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 150, 200, 16, page, (HMENU)101, AppInstance, NULL);
        StringCchCopyA(TargetDir, TargetDirCapacity, step.dir.c_str());
        facts = &step.facts;
        moments.clear();
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchBar, NULL, GetCurrentThreadId());
        step.step(page);
        UnhookWindowsHookEx(hook);
        Strings expected = step.moments;
        expected.push_back("100" + expected[0].substr(1)); // everything, by the end
        for (const Fact &f : step.facts)
            expected.back() += std::string(" ") + f.word;
        EXPECT_EQ(expected, moments);
        // The page is the caller's to close: it still shows the label and a full bar.
        EXPECT_EQ(100, SendMessageA(FindWindowExA(page, NULL, PROGRESS_CLASSA, NULL), PBM_GETPOS, 0, 0));
        DestroyWindow(page);
        EXPECT_EQ(step.dir + "|" + step.target + "|0", std::string(InstallDir) + "|" + TargetDir + "|" +
                                                            std::to_string(PlainFileFlag));
    }
    EXPECT_EQ(Strings{}, boxes.Texts());
}
} // namespace
