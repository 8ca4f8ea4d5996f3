// The suite installer's steps in-process on a stand-in page, with the media
// (D:): the label and bar positions each step shows and what it has done by
// each of them.
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

LRESULT CALLBACK WatchBar(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    char kind[64] = "";
    if (code == HC_ACTION && call->message == PBM_SETPOS && GetClassNameA(call->hwnd, kind, sizeof kind) &&
        strcmp(kind, PROGRESS_CLASSA) == 0) {
        std::string moment = std::to_string(call->wParam) + " " + driver::ControlText(GetParent(call->hwnd), 101) + ":";
        for (const Fact &f : *facts)
            moment += f.done() ? std::string(" ") + f.word : "";
        moments.push_back(moment);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

class Steps : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("OS", NULL);
        CreateDirectoryA(Desktop.c_str(), NULL);
        CoInitialize(NULL); // as the program does when it starts
    }
    // Runs step into dir on a stand-in page: what it showed, a moment a bar move.
    std::vector<std::string> Run(void (*step)(HWND), const std::vector<Fact> &watched)
    {
        AppInstance = GetModuleHandleA(NULL);
        HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 420, 230, NULL,
                                    NULL, AppInstance, NULL);
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 150, 200, 16, page, (HMENU)101, AppInstance, NULL);
        StringCchCopyA(SourceDir, SourceDirCapacity, "D:");
        StringCchCopyA(TargetDir, TargetDirCapacity, dir.c_str());
        facts = &watched;
        moments.clear();
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchBar, NULL, GetCurrentThreadId());
        {
            driver::BoxWatcher boxes("Decomp Error", IDOK);
            step(page);
            EXPECT_EQ(std::vector<std::string>{}, boxes.Texts());
        }
        UnhookWindowsHookEx(hook);
        // The page is the caller's to close: it still shows the label and a full bar.
        EXPECT_EQ(100, SendMessageA(FindWindowExA(page, NULL, PROGRESS_CLASSA, NULL), PBM_GETPOS, 0, 0));
        DestroyWindow(page);
        EXPECT_EQ(dir, InstallDir);
        EXPECT_EQ(0, PlainFileFlag);
        return moments;
    }
    Fact Exists(const char *word, const std::string &path) const
    {
        return {word, [=] { return FileExists(path); }};
    }
    const std::string Desktop = WindowsDir + "\\DESKTOP", dir = FreshDirectory("step");
};

TEST_F(Steps, ModellerMovesTheBarBetweenItsGroupsOfWork)
{
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\MODELEX.INI", "[Misc]\r\n"));
    for (const char *name : WinGFiles)
        DeleteFileA((SystemDir() + "\\" + name).c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "Modelex.3DFile");
    const std::string label = " Installing Modelex...:", done[] = {"", " main", " main maps samples",
                                                                     " main maps samples settings type",
                                                                     " main maps samples settings type wing"};
    EXPECT_EQ((std::vector<std::string>{"0" + label, "10" + label + done[1], "40" + label + done[2], "60" + label + done[3],
                                        "80" + label + done[4], "100" + label + done[4] + " links"}),
              Run(InstallModeller, {Exists("main", dir + "\\READMEM.TXT"), Exists("maps", dir + "\\MAPS\\WOOD.BMP"),
                                    Exists("samples", dir + "\\SAMPLES\\VENUS3.SKY"),
                                    {"settings", [] { return !FileExists(WindowsDir + "\\MODELEX.INI"); }},
                                    {"type", [] { return RegText(HKEY_CLASSES_ROOT, "Modelex.3DFile\\Shell\\Open\\Command", NULL) != Absent; }},
                                    Exists("wing", WindowsDir + "\\SYSTEM32\\WING32.DLL"),
                                    Exists("links", Desktop + "\\Modelex\\Read Me.lnk")}));
    EXPECT_EQ(WindowsDir + "\\SYSTEM32", TargetDir) << "where WING32.DLL went";
}

TEST_F(Steps, SaverMovesTheBarBetweenItsGroupsOfWork)
{
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
}

TEST_F(Steps, BuilderMovesTheBarBetweenItsGroupsOfWork)
{
    const std::string label = " Installing SKY Builder...:", kit = " builder readme links kit4";
    EXPECT_EQ((std::vector<std::string>{"0" + label, "20" + label + " builder readme", "40" + label + " builder readme links",
                                        "60" + label + kit, "80" + label + kit + " kit5 kit10",
                                        "100" + label + kit + " kit5 kit10 kit11 kit12 settings"}),
              Run(InstallBuilder, {Exists("builder", dir + "\\SKYBUILD.EXE"), Exists("readme", dir + "\\README.TXT"),
                                   Exists("links", Desktop + "\\SKY Builder\\Read Me.lnk"),
                                   Exists("kit4", dir + "\\SKEL\\WINGPAL.WN_"), Exists("kit5", dir + "\\SKEL\\DVA.38_"),
                                   Exists("kit10", dir + "\\SKEL\\BGROUND.BM_"), Exists("kit11", dir + "\\SKEL\\README.TXT"),
                                   Exists("kit12", dir + "\\SKEL\\SETUP.EXE"),
                                   {"settings", [] { return IniValue(WindowsDir + "\\skybuild.ini", "Misc", "CreateDir") != Absent; }}}));
    EXPECT_EQ(dir + "\\newsky", TargetDir);
    EXPECT_EQ(dir + "\\newsky", IniValue(WindowsDir + "\\skybuild.ini", "Misc", "CreateDir")) << "named, not created";
    EXPECT_FALSE(DirectoryExists(dir + "\\newsky"));
}

} // namespace
