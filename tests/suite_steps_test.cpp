// The suite installer's steps in-process on a stand-in page, with the media
// (D:): the label and bar positions each step shows and what it has done by
// each of them. And the media against the table the installer reads.
#include <gtest/gtest.h>

#include "suite.h"
#include "toolkit.h"

#include <commctrl.h>

#include <functional>
#include <set>

#include "driver.h"
#include "media_files.h"
#include "support.h"

namespace {

struct Fact {
    const char *word;
    std::function<bool()> done;
};
const std::vector<Fact> *facts;
std::vector<std::string> moments; // "position label: words done"

LRESULT CALLBACK WatchBar(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    char kind[64] = "";
    if (code == HC_ACTION && call->message == PBM_SETPOS && GetClassNameA(call->hwnd, kind, sizeof kind) &&
        strcmp(kind, PROGRESS_CLASSA) == 0) {
        std::string moment = std::to_string(call->wParam) + " " + driver::ControlText(GetParent(call->hwnd), 101) + ":";
        for (const Fact &f : *facts)
            if (f.done())
                moment += std::string(" ") + f.word;
        moments.push_back(moment);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// Runs step into dir on a stand-in page; what it showed, one moment a bar move.
std::vector<std::string> RunStep(void (*step)(HWND), const std::string &dir, const std::vector<Fact> &watched)
{
    AppInstance = GetModuleHandleA(NULL);
    CoInitialize(NULL); // as the program does when it starts
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
    EXPECT_STREQ(dir.c_str(), InstallDir);
    EXPECT_EQ(0, PlainFileFlag);
    return moments;
}

const std::string Desktop = WindowsDir + "\\DESKTOP";

class Steps : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("OS", NULL);
        CreateDirectoryA(Desktop.c_str(), NULL);
        dir = FreshDirectory("step");
    }
    std::string dir;
};

bool Exists(const std::string &path)
{
    return FileExists(path);
}

TEST_F(Steps, ModellerMovesTheBarBetweenItsGroupsOfWork)
{
    ASSERT_TRUE(WriteWhole(WindowsDir + "\\MODELEX.INI", "[Misc]\r\n"));
    for (const char *name : WinGFiles)
        DeleteFileA((SystemDir() + "\\" + name).c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "Modelex.3DFile");
    std::vector<Fact> watched = {
        {"main", [&] { return Exists(dir + "\\READMEM.TXT"); }},
        {"maps", [&] { return Exists(dir + "\\MAPS\\WOOD.BMP"); }},
        {"samples", [&] { return Exists(dir + "\\SAMPLES\\VENUS3.SKY"); }},
        {"settings", [] { return !Exists(WindowsDir + "\\MODELEX.INI"); }},
        {"type", [] { return RegText(HKEY_CLASSES_ROOT, "Modelex.3DFile\\Shell\\Open\\Command", NULL) != Absent; }},
        {"wing", [] { return Exists(WindowsDir + "\\SYSTEM32\\WING32.DLL"); }},
        {"links", [] { return Exists(Desktop + "\\Modelex\\Read Me.lnk"); }},
    };
    EXPECT_EQ((std::vector<std::string>{
                  "0 Installing Modelex...:",
                  "10 Installing Modelex...: main",
                  "40 Installing Modelex...: main maps samples",
                  "60 Installing Modelex...: main maps samples settings type",
                  "80 Installing Modelex...: main maps samples settings type wing",
                  "100 Installing Modelex...: main maps samples settings type wing links",
              }),
              RunStep(InstallModeller, dir, watched));
    EXPECT_EQ(WindowsDir + "\\SYSTEM32", TargetDir) << "where WING32.DLL went";
}

TEST_F(Steps, SaverMovesTheBarBetweenItsGroupsOfWork)
{
    auto setting = [](const char *section, const char *key) {
        return [=] { return IniValue(WindowsDir + "\\SKYLOOP.INI", section, key) != Absent; };
    };
    std::vector<Fact> watched = {
        {"saver", [] { return Exists(WindowsDir + "\\SKYLOOP.SCR"); }},
        {"program", [&] { return Exists(dir + "\\SKYLOOP.EXE") && !Exists(dir + "\\SKYLOOP.SCR"); }},
        {"readme", [&] { return Exists(dir + "\\READMES.TXT") && Exists(dir + "\\SKYLOOP.HLP"); }},
        {"maps", [&] { return Exists(dir + "\\MAPS\\WOOD.BMP"); }},
        {"models", [&] { return Exists(dir + "\\MODELS\\3DCUBES.TXT"); }},
        {"misc", setting("Misc", "BackgroundMap")},
        {"entry1", setting("Entries", "EntryPM001")},
        {"entry2", setting("Entries", "EntryFN002")},
        {"reminder", setting("Reminder", "ReminderPeriod")},
        {"current", [] { return IniValue(WindowsDir + "\\system.ini", "boot", "SCRNSAVE.EXE") ==
                                WindowsDir + "\\SKYLOOP.SCR"; }},
        {"links", [] { return Exists(Desktop + "\\Skyloop\\Read Me.lnk"); }},
    };
    EXPECT_EQ((std::vector<std::string>{
                  "0 Installing Skyloop...:",
                  "40 Installing Skyloop...: saver program readme",
                  "60 Installing Skyloop...: saver program readme maps models",
                  "80 Installing Skyloop...: saver program readme maps models misc entry1",
                  "100 Installing Skyloop...: saver program readme maps models misc entry1 entry2 reminder "
                  "current links",
              }),
              RunStep(InstallSaver, dir, watched));
    EXPECT_EQ(dir + "\\MODELS\\HEARTFG.SKY", TargetDir) << "the last settings path";
}

TEST_F(Steps, BuilderMovesTheBarBetweenItsGroupsOfWork)
{
    auto inKit = [&](const char *name) { return [=] { return Exists(dir + "\\SKEL\\" + name); }; };
    std::vector<Fact> watched = {
        {"builder", [&] { return Exists(dir + "\\SKYBUILD.EXE") && Exists(dir + "\\README.TXT"); }},
        {"links", [] { return Exists(Desktop + "\\SKY Builder\\Read Me.lnk"); }},
        {"kit4", inKit("WINGPAL.WN_")}, {"kit5", inKit("DVA.38_")}, {"kit10", inKit("BGROUND.BM_")},
        {"kit11", inKit("README.TXT")}, {"kit12", inKit("SETUP.EXE")},
        {"settings", [] { return IniValue(WindowsDir + "\\skybuild.ini", "Misc", "CreateDir") != Absent; }},
    };
    EXPECT_EQ((std::vector<std::string>{
                  "0 Installing SKY Builder...:",
                  "20 Installing SKY Builder...: builder",
                  "40 Installing SKY Builder...: builder links",
                  "60 Installing SKY Builder...: builder links kit4",
                  "80 Installing SKY Builder...: builder links kit4 kit5 kit10",
                  "100 Installing SKY Builder...: builder links kit4 kit5 kit10 kit11 kit12 settings",
              }),
              RunStep(InstallBuilder, dir, watched));
    EXPECT_EQ(dir + "\\newsky", TargetDir);
    EXPECT_EQ(dir + "\\newsky", IniValue(WindowsDir + "\\skybuild.ini", "Misc", "CreateDir"));
}

std::string StoredName(const MediaFile &f)
{
    std::string name = f.name;
    if (f.storage == MEDIA_COMPRESSED)
        name.back() = '_';
    return name;
}

TEST(Media, HoldsEveryTableFileTheWayTheInstallerReadsIt)
{
    std::set<std::string> expected = {"SETUP.EXE"};
    for (int i = 0; i < MediaFileCount; i++) {
        const MediaFile &f = MediaFiles[i];
        expected.insert(StoredName(f));
        bool missing = false;
        std::string data = ReadWhole("D:\\" + StoredName(f), &missing);
        bool compressed = data.compare(0, 8, "SZDD\x88\xF0\x27\x33", 8) == 0;
        // The distribution installer joins the media once it is built.
        EXPECT_TRUE(!missing || f.origin == MEDIA_BUILT) << f.name;
        // The compressor mis-encodes tiny files; those are stored as they are.
        EXPECT_TRUE(missing || (f.storage == MEDIA_COMPRESSED ? compressed || data.size() < 16 : !compressed))
            << f.name;
    }
    for (const std::string &name : FilesIn("D:"))
        EXPECT_EQ(1u, expected.count(name)) << name << " is on the media but not in the table";
}

} // namespace
