#include "setup_run.h"

#include <string.h>

#include "prefix_state.h"
#include "test_files.h"

const PageText Pages[PAGE_COUNT] = {
    {"SKYBuilder Setup - Installing Modelex",
     "The first step in installing SKYBuilder is to install Modelex.  Modelex is the 3D object "
     "builder for creating 3D objects for your custom screen saver.  Change the install "
     "directory below if desired, then hit Proceed below to run.",
     "c:\\modelex", "Choose a Folder to install Modelex:"},
    {"SKYBuilder Setup - Installing Skyloop",
     "The next step is to run the Skyloop setup.  This installs the Registered version of the "
     "3D screen saver.  Change the install directory below if desired, then hit Proceed below "
     "to run Skyloop Setup.",
     "c:\\skyloop", "Choose a Folder to install Skyloop:"},
    {"SKYBuilder Setup - Installing SKY Builder Files",
     "The final step is to install the SKYBuilder files.  Change the install directory below "
     "if desired, then hit Proceed below to install.",
     "c:\\skybuild", "Choose a Folder to install SKY Builder:"},
};

const char *const FinishOkCaption = "SKYBuilder Setup - Sucessful";
const char *const FinishOkText =
    "Congratulations!   SKYBuilder has been succcesfully installed.  Shortcuts to SKY Builder "
    "Have been installed on your desktop.";
const char *const FinishErrorCaption = "SKYBuilder Setup";
const char *const FinishErrorText =
    "Warning!  Errors have occurred in installing SKYBuilder.  Please re-install from the "
    "beginning.";
const char *const CancelText = "Are you sure you want to exit SKYBuilder setup?";

namespace {

// What a run may leave on C: besides the scratch directory.
const char *const RunLeftovers[] = {"C:\\modelex", "C:\\skyloop", "C:\\skybuild", "C:\\A"};
// What the modeller step puts at the root when the directory text is empty.
const char *const RootLeftovers[] = {"C:\\MODELEX.EXE", "C:\\MODELEX.HLP", "C:\\READMEM.TXT",
                                     "C:\\MAPS", "C:\\SAMPLES"};

void Clean(const std::string &builderSettings)
{
    for (const char *dir : RunLeftovers)
        RemoveTree(dir);
    for (const char *path : RootLeftovers) {
        DeleteFileA(path);
        RemoveTree(path);
    }
    // An empty directory text probes (and installs into) the root of the current drive.
    DeleteFileA("C:\\xxx.xxx");
    DeleteFileA(builderSettings.c_str());
}

std::string Trim(const std::string &s)
{
    size_t b = s.find_first_not_of(" \t\r");
    size_t e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

} // namespace

struct StepTraces {
    // The modeller's file type, settings file, WinG runtime and desktop folders.
    SavedKeyTree fileExtension{HKEY_CLASSES_ROOT, ".sky"};
    SavedKeyTree fileType{HKEY_CLASSES_ROOT, "Modelex.3DFile"};
    SavedFile modellerSettings{WindowsDirectory() + "\\MODELEX.INI"};
    std::vector<std::unique_ptr<SavedFile>> wing;
    MadeFolders desktopFolders{{},
                               {WindowsDirectory() + "\\DESKTOP\\Modelex",
                                WindowsDirectory() + "\\Profiles\\All Users\\DESKTOP\\Modelex"}};

    StepTraces()
    {
        std::string system = SystemDirectory(), system32 = WindowsDirectory() + "\\SYSTEM32";
        for (const char *name : kWinGFiles) {
            wing.emplace_back(new SavedFile(system + "\\" + name));
            if (_stricmp(system.c_str(), system32.c_str()) != 0)
                wing.emplace_back(new SavedFile(system32 + "\\" + name));
        }
    }
};

std::string IniValue(const std::string &path, const char *section, const char *key)
{
    bool missing = false;
    std::string data = ReadWhole(path, &missing);
    if (missing)
        return "<absent>";
    std::string current;
    size_t at = 0;
    while (at < data.size()) {
        size_t end = data.find('\n', at);
        if (end == std::string::npos)
            end = data.size();
        std::string line = Trim(data.substr(at, end - at));
        at = end + 1;
        if (!line.empty() && line[0] == '[') {
            current = line.substr(1, line.find(']') - 1);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || _stricmp(current.c_str(), section) != 0)
            continue;
        if (_stricmp(Trim(line.substr(0, eq)).c_str(), key) == 0)
            return line.substr(eq + 1);
    }
    return "<absent>";
}

// The screen saver step's files and settings in the Windows directory, the
// current screen saver and the desktop folders. Every run starts without a
// saver settings file.
struct StepLeftovers {
    StepLeftovers()
        : saverSettings(Windows("SKYLOOP.INI")), saver(Windows("SKYLOOP.SCR")),
          systemIni(Windows("system.ini")), active(Desktop, "ScreenSaveActive"),
          timeOut(Desktop, "ScreenSaveTimeOut"), saverValue(Desktop, "SCRNSAVE.EXE"),
          desktopFolders({}, {Windows("DESKTOP\\Skyloop"),
                              Windows("Profiles\\All Users\\DESKTOP\\Skyloop")})
    {
        DeleteFileA(Windows("SKYLOOP.INI").c_str());
    }

    static std::string Windows(const char *name) { return WindowsDirectory() + "\\" + name; }
    static constexpr const char *Desktop = "Control Panel\\Desktop";

    SavedFile saverSettings, saver, systemIni;
    SavedValue active, timeOut, saverValue;
    MadeFolders desktopFolders;
};

SetupRun::SetupRun() = default;
SetupRun::~SetupRun() = default;

void SetupRun::SetUp()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    builderSettings = std::string(windows) + "\\skybuild.ini";
    Clean(builderSettings);
    scratch = FreshDirectory("setup");
    leftovers_.reset(new StepLeftovers);
    traces.reset(new StepTraces);
}

void SetupRun::TearDown()
{
    if (setup.handle) {
        ADD_FAILURE() << "the installer was still running; windows: " << Windows();
        driver::Kill(setup);
    }
    leftovers_.reset();
    traces.reset();
    Clean(builderSettings);
    RemoveTree(scratch);
}

void SetupRun::Start(const std::string &program)
{
    setup = driver::Start(program.c_str(), scratch.c_str());
    ASSERT_TRUE(setup.handle != NULL) << "cannot start " << program << ": " << GetLastError();
}

std::string SetupRun::Windows()
{
    std::string all;
    for (const std::string &caption : driver::WindowsOf(setup.id))
        all += "[" + caption + "] ";
    return all;
}

HWND SetupRun::WaitPage(int page)
{
    // An earlier page may linger for a moment after its Proceed; a later page
    // or a finish box is an error.
    std::vector<std::string> captions;
    for (int i = page; i < PAGE_COUNT; i++)
        captions.push_back(Pages[i].caption);
    captions.push_back(FinishOkCaption);
    captions.push_back(FinishErrorCaption);
    HWND found = NULL;
    int which = driver::WaitForAnyWindow(captions, SetupTimeout, &found);
    EXPECT_EQ(0, which) << "expected " << Pages[page].caption << "; windows: " << Windows();
    return which == 0 ? found : NULL;
}

void SetupRun::ProceedWith(HWND page, const std::string &dir)
{
    driver::SetControlText(page, 102, dir.c_str());
    driver::Click(page, IDOK);
}

void SetupRun::Answer(const char *caption, const std::string &text, int button)
{
    std::string shown;
    ASSERT_TRUE(driver::AnswerMessageBox(caption, button, SetupTimeout, &shown))
        << "no box " << caption << "; windows: " << Windows();
    EXPECT_EQ(text, shown) << caption;
    ASSERT_TRUE(driver::WaitForWindowGone(caption, SetupTimeout)) << caption;
}

void SetupRun::CancelRun(HWND page)
{
    driver::Click(page, IDCANCEL);
    Answer("Cancelling", CancelText, IDYES);
}

void SetupRun::Finish(const char *caption, const char *text)
{
    HWND box = driver::WaitForWindow(caption, SetupTimeout);
    ASSERT_TRUE(box != NULL) << "no " << caption << "; windows: " << Windows();
    EXPECT_EQ(text, driver::ControlText(box, 7));
    driver::Click(box, IDOK);
    EXPECT_EQ(0, driver::WaitForExit(setup, SetupTimeout)) << "exit code";
}

std::string SetupRun::CreateDir()
{
    return IniValue(builderSettings, "Misc", "CreateDir");
}
