// The modeller step, run end to end from the media: what lands on disk, in
// the registry and on the desktop, and what the page shows meanwhile.
#include "setup_run.h"

#include <commctrl.h>
#include <shlobj.h>

#include "page_recorder.h"
#include "prefix_state.h"
#include "shell_links.h"
#include "test_files.h"

namespace {

const std::string Products = "T:\\products";

struct Placed {
    const char *subdirectory; // below the installation directory
    const char *name;
};
const Placed ModellerFiles[] = {
    {"", "MODELEX.EXE"},         {"", "MODELEX.HLP"},         {"", "READMEM.TXT"},
    {"\\MAPS", "BGROUND.BMP"},   {"\\MAPS", "BRICKS.BMP"},    {"\\MAPS", "WOOD.BMP"},
    {"\\SAMPLES", "BRAID.SKY"},  {"\\SAMPLES", "CHALICE.SKY"}, {"\\SAMPLES", "VENUS3.SKY"},
};

struct Shortcut {
    const char *link, *target;
};
const Shortcut Shortcuts[] = {
    {"Modelex.lnk", "modelex.exe"},
    {"Modelex Help.lnk", "modelex.hlp"},
    {"Read Me.lnk", "readmem.txt"},
};

const char *const CommandKey = "Modelex.3DFile\\Shell\\Open\\Command";

std::string Prompt(const std::string &dir)
{
    return "Directory " + dir + " doesn't seem to exist - create?";
}

// Empty when path holds the product's bytes, else what differs.
std::string DiffersFromProduct(const std::string &path, const char *name)
{
    bool missing = false, noProduct = false;
    std::string installed = ReadWhole(path, &missing);
    std::string product = ReadWhole(Products + "\\" + name, &noProduct);
    if (noProduct)
        return "no sample product " + Products + "\\" + name;
    if (missing)
        return path + " is missing";
    if (installed != product)
        return path + " differs from the product (" + std::to_string(installed.size()) +
               " bytes, the product has " + std::to_string(product.size()) + ")";
    return "";
}

// The default value of a key under HKEY_CLASSES_ROOT as written, NUL included.
std::string TypeText(const char *key)
{
    RegValue v = ReadValue(HKEY_CLASSES_ROOT, key, NULL);
    if (!v.exists)
        return "<absent>";
    if (v.type != REG_SZ)
        return "<type " + std::to_string(v.type) + ">";
    return v.data;
}

void SetTypeText(const char *key, const std::string &text)
{
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, key, &k)) << key;
    RegSetValueExA(k, NULL, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(k);
}

std::string WithNul(const std::string &text)
{
    return text + '\0';
}

class ModellerStep : public SetupRun {
protected:
    void SetUp() override
    {
        SetupRun::SetUp();
        CoInitialize(NULL);
        ASSERT_EQ("", recorder.Error());
    }

    std::string windows = WindowsDirectory();
    std::string desktop95 = windows + "\\DESKTOP";
    std::string desktopNt = windows + "\\Profiles\\All Users\\DESKTOP";
    // Windows 95 and NT 4 have these; a fresh prefix does not, and the step
    // creates its folder one level deep.
    MadeFolders desktopParents{
        {desktop95, windows + "\\Profiles", windows + "\\Profiles\\All Users", desktopNt}};
    OsVariable os; // the installer inherits it
    PageRecorder recorder{"T:\\page_hook.dll"};

    // Starts the installer, proceeds on the modeller page into dir, creating it
    // when it is missing, and returns the next page once the modeller page closed.
    HWND InstallInto(const std::string &dir, const std::string &program = "D:\\SETUP.EXE")
    {
        bool existed = DirectoryExists(dir);
        Start(program);
        if (!setup.handle)
            return NULL;
        recorder.Follow(setup.id, 101);
        HWND page = WaitPage(MODELLER);
        if (!page)
            return NULL;
        ProceedWith(page, dir);
        if (!existed)
            Answer("New Directory?", Prompt(dir), IDYES);
        return WaitPage(SAVER);
    }

    void EndRun(HWND page)
    {
        CancelRun(page);
        Finish(FinishErrorCaption, FinishErrorText);
    }

    // The files, each where it belongs with the product's bytes, and nothing else.
    void ExpectFiles(const std::string &dir)
    {
        EXPECT_EQ((std::vector<std::string>{"MAPS", "MODELEX.EXE", "MODELEX.HLP", "READMEM.TXT",
                                            "SAMPLES"}),
                  FilesIn(dir));
        for (const Placed &f : ModellerFiles)
            EXPECT_EQ("", DiffersFromProduct(dir + f.subdirectory + "\\" + f.name, f.name));
    }

    void ExpectFileType(const std::string &command)
    {
        EXPECT_EQ(WithNul("Modelex.3DFile"), TypeText(".sky"));
        EXPECT_EQ(WithNul("Modelex 3D File"), TypeText("Modelex.3DFile"));
        EXPECT_EQ(WithNul(command), TypeText(CommandKey));
    }

    void ExpectWinG()
    {
        for (const char *name : kWinGFiles)
            EXPECT_EQ("", DiffersFromProduct(SystemDirectory() + "\\" + name, name));
        EXPECT_FALSE(FileExists(windows + "\\SYSTEM32\\MODEFTST.QQQ")) << "probe file left";
    }

    void ExpectShortcuts(const std::string &folder, const std::string &dir)
    {
        EXPECT_EQ((std::vector<std::string>{"Modelex Help.lnk", "Modelex.lnk", "Read Me.lnk"}),
                  FilesIn(folder));
        for (const Shortcut &s : Shortcuts) {
            Link got = ReadLink(folder + "\\" + s.link);
            EXPECT_TRUE(got.loaded) << s.link;
            EXPECT_EQ(dir + "\\" + s.target, got.target) << s.link;
            EXPECT_EQ("Modelex", got.description) << s.link;
        }
    }

    // What the page showed from Proceed until it closed.
    void ExpectPageShowed()
    {
        const std::vector<std::string> expected = {
            "label Installing Modelex...",
            "bar 0",
            "bar 10",
            "bar 40",
            "bar 60",
            "bar 80",
            "bar 100",
            "closing: label Installing Modelex..., bar 100",
        };
        EXPECT_EQ(expected, recorder.Events(Pages[MODELLER].caption));
    }
};

TEST_F(ModellerStep, InstallsEverythingIntoCModelex)
{
    os.Set(nullptr); // Windows 95: the folder goes on the Windows directory's desktop
    std::string dir = "C:\\MODELEX";
    std::string settings = windows + "\\MODELEX.INI";
    ASSERT_TRUE(WriteWhole(settings, "[Misc]\r\nLastModel=BRAID.SKY\r\n"));

    HWND next = InstallInto(dir);
    ASSERT_TRUE(next);
    ExpectPageShowed();
    ExpectFiles(dir);
    ExpectFileType("C:\\MODELEX\\modelex.exe %1");
    ExpectWinG();
    EXPECT_FALSE(FileExists(settings)) << "the modeller's old settings are kept";
    ExpectShortcuts(desktop95 + "\\Modelex", dir);
    EXPECT_FALSE(DirectoryExists(desktopNt + "\\Modelex"));
    EndRun(next);
}

TEST_F(ModellerStep, SecondInstallReplacesEverything)
{
    std::string dir = scratch + "\\modelex";
    std::string folder = desktopNt + "\\Modelex";
    std::string settings = windows + "\\MODELEX.INI";
    os.Set("Windows_NT");
    HWND next = InstallInto(dir);
    ASSERT_TRUE(next);
    EndRun(next);

    // What a user's work since, or another program, left in their place.
    for (const Placed &f : ModellerFiles)
        ASSERT_TRUE(WriteWhole(dir + f.subdirectory + "\\" + f.name, "stale")) << f.name;
    for (const char *name : kWinGFiles)
        ASSERT_TRUE(WriteWhole(SystemDirectory() + "\\" + name, "stale")) << name;
    for (const Shortcut &s : Shortcuts)
        ASSERT_TRUE(WriteWhole(folder + "\\" + s.link, "not a link")) << s.link;
    SetTypeText(".sky", "Other.File");
    SetTypeText("Modelex.3DFile", "Something else");
    SetTypeText(CommandKey, "C:\\OTHER\\other.exe %1");
    ASSERT_TRUE(WriteWhole(settings, "[Misc]\r\nSavedSince=1\r\n"));

    next = InstallInto(dir);
    ASSERT_TRUE(next);
    ExpectPageShowed();
    ExpectFiles(dir);
    ExpectFileType(dir + "\\modelex.exe %1");
    ExpectWinG();
    EXPECT_FALSE(FileExists(settings)) << "settings saved since are deleted again";
    ExpectShortcuts(folder, dir);
    EndRun(next);
}

TEST_F(ModellerStep, BlankInThePathQuotesTheProgramInTheCommand)
{
    os.Set("Windows_NT");
    std::string parent = scratch + "\\Program Files";
    ASSERT_TRUE(CreateDirectoryA(parent.c_str(), NULL));
    struct Row {
        const char *what;
        std::string dir;
    } rows[] = {
        {"in the last level", scratch + "\\Modelex 3D"},
        {"in a parent", parent + "\\Modelex"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        HWND next = InstallInto(r.dir);
        ASSERT_TRUE(next);
        ExpectFileType("\"" + r.dir + "\\modelex.exe\" %1");
        ExpectFiles(r.dir);
        // Links name their target as a whole: no quotation marks there.
        ExpectShortcuts(desktopNt + "\\Modelex", r.dir);
        EndRun(next);
    }
}

TEST_F(ModellerStep, ExistingMapsAndSamplesAreUsedAsTheyAre)
{
    std::string dir = scratch + "\\modelex";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((dir + "\\MAPS").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((dir + "\\SAMPLES").c_str(), NULL));
    ASSERT_TRUE(WriteWhole(dir + "\\MAPS\\MINE.BMP", "the user's map"));
    ASSERT_TRUE(WriteWhole(dir + "\\SAMPLES\\MINE.SKY", "the user's model"));
    ASSERT_TRUE(WriteWhole(dir + "\\SAMPLES\\BRAID.SKY", "the user's braid"));

    HWND next = InstallInto(dir);
    ASSERT_TRUE(next);
    EXPECT_EQ((std::vector<std::string>{"BGROUND.BMP", "BRICKS.BMP", "MINE.BMP", "WOOD.BMP"}),
              FilesIn(dir + "\\MAPS"));
    EXPECT_EQ((std::vector<std::string>{"BRAID.SKY", "CHALICE.SKY", "MINE.SKY", "VENUS3.SKY"}),
              FilesIn(dir + "\\SAMPLES"));
    EXPECT_EQ("the user's map", ReadWhole(dir + "\\MAPS\\MINE.BMP"));
    EXPECT_EQ("the user's model", ReadWhole(dir + "\\SAMPLES\\MINE.SKY"));
    for (const Placed &f : ModellerFiles)
        EXPECT_EQ("", DiffersFromProduct(dir + f.subdirectory + "\\" + f.name, f.name));
    EndRun(next);
}

TEST_F(ModellerStep, MissingReadMeIsReportedOnceAndItsShortcutMadeAnyway)
{
    os.Set("Windows_NT");
    std::string media = scratch + "\\media";
    ASSERT_TRUE(CreateDirectoryA(media.c_str(), NULL));
    for (const std::string &name : FilesIn("D:")) {
        if (name != "READMEM.TXT") {
            ASSERT_TRUE(CopyFileA(("D:\\" + name).c_str(), (media + "\\" + name).c_str(), FALSE))
                << name;
        }
    }
    std::string dir = scratch + "\\modelex";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));

    Start(media + "\\SETUP.EXE");
    recorder.Follow(setup.id, 101);
    HWND page = WaitPage(MODELLER);
    ASSERT_TRUE(page);
    ProceedWith(page, dir);
    HWND box = driver::WaitForWindow("Decomp Error", SetupTimeout);
    ASSERT_TRUE(box) << Windows();
    // The box lets the page answer: it has its label, and its bar stands at 0.
    EXPECT_EQ("Installing Modelex...", driver::ControlText(page, 101));
    HWND bar = FindWindowExA(page, NULL, PROGRESS_CLASSA, NULL);
    ASSERT_TRUE(bar);
    DWORD_PTR position = 999;
    EXPECT_TRUE(SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, SetupTimeout,
                                    &position));
    EXPECT_EQ(0u, position);
    // The plain name: the read-me is not stored compressed.
    Answer("Decomp Error", "Can't Find Source File " + media + "\\READMEM.TXT", IDOK);

    HWND next = WaitPage(SAVER); // a second box would hold the page open
    ASSERT_TRUE(next);
    ExpectPageShowed();
    EXPECT_EQ((std::vector<std::string>{"MAPS", "MODELEX.EXE", "MODELEX.HLP", "SAMPLES"}),
              FilesIn(dir));
    ExpectShortcuts(desktopNt + "\\Modelex", dir);
    EndRun(next);
}

} // namespace
