// The screen saver step through the real setup.exe: Proceed on the second page,
// then Cancel on the third, and what the step left on disk, in the saver
// settings file, in the system's screen-saver setting and on the desktop.
// The sample products the media were made from are mapped as drive P:.
#include <objbase.h>

#include <algorithm>

#include "prefix_state.h"
#include "shell_links.h"
#include "saver_file.h"
#include "setup_run.h"
#include "test_files.h"

namespace {

const char *const MapFiles[] = {"BGROUND.BMP", "BRICKS.BMP", "WOOD.BMP"};
const char *const ModelFiles[] = {
    "3D.SKY",  "HEARTFG.SKY", "SPHEREF.SKY", "TORUSF.SKY", "CUBE1.SKY", "CUBE2.SKY",
    "CNB.BMP", "CNF.BMP",     "CNK.BMP",     "CNL.BMP",    "CNR.BMP",   "CNT.BMP",
    "CSB.BMP", "CSF.BMP",     "CSK.BMP",     "CSL.BMP",    "CSR.BMP",   "CST.BMP",
    "3DCUBES.TXT",
};

std::string Product(const char *name)
{
    return ReadWhole(std::string("P:\\") + name);
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

// A file's bytes against the sample product's, without printing either.
::testing::AssertionResult SameAs(const std::string &path, const char *product)
{
    bool missing = false;
    std::string data = ReadWhole(path, &missing);
    if (missing)
        return ::testing::AssertionFailure() << path << " is missing";
    std::string expected = Product(product);
    if (expected.empty())
        return ::testing::AssertionFailure() << "no sample product P:\\" << product;
    if (data != expected)
        return ::testing::AssertionFailure()
               << path << " (" << data.size() << " bytes) differs from P:\\" << product << " ("
               << expected.size() << " bytes)";
    return ::testing::AssertionSuccess();
}

class SaverStep : public SetupRun {
protected:
    void SetUp() override
    {
        SetupRun::SetUp();
        saverSettings = WindowsDirectory() + "\\SKYLOOP.INI";
    }

    // One run: the modeller page into the scratch directory, the saver page
    // into dir (answering the creation prompt when expected), Cancel on the
    // builder page.
    void InstallInto(const std::string &dir, bool prompt)
    {
        Start();
        HWND page = WaitPage(MODELLER);
        ASSERT_TRUE(page);
        ProceedWith(page, scratch);
        page = WaitPage(SAVER);
        ASSERT_TRUE(page);
        ProceedWith(page, dir);
        if (prompt)
            Answer("New Directory?", "Directory " + dir + " doesn't seem to exist - create?",
                   IDYES);
        // A "Decomp Error" box on the way shows up here as the page that did not come.
        page = WaitPage(BUILDER);
        ASSERT_TRUE(page);
        CancelRun(page);
        Finish(FinishErrorCaption, FinishErrorText);
    }

    std::string Setting(const char *section, const char *key)
    {
        return IniValue(saverSettings, section, key);
    }

    // The step's files in dir, byte for byte as the products are.
    void ExpectInstalled(const std::string &dir)
    {
        EXPECT_EQ(Sorted({"MAPS", "MODELS", "READMES.TXT", "SKYLOOP.EXE", "SKYLOOP.HLP"}),
                  FilesIn(dir));
        EXPECT_TRUE(SameAs(dir + "\\SKYLOOP.EXE", "SKYLOOP.SCR"));
        EXPECT_TRUE(SameAs(dir + "\\SKYLOOP.HLP", "SKYLOOP.HLP"));
        EXPECT_TRUE(SameAs(dir + "\\READMES.TXT", "READMES.TXT"));
        struct Group {
            const char *subdirectory;
            std::vector<std::string> names;
        } groups[] = {
            {"\\MAPS", {std::begin(MapFiles), std::end(MapFiles)}},
            {"\\MODELS", {std::begin(ModelFiles), std::end(ModelFiles)}},
        };
        for (const Group &g : groups) {
            EXPECT_EQ(Sorted(g.names), FilesIn(dir + g.subdirectory)) << g.subdirectory;
            for (const std::string &name : g.names)
                EXPECT_TRUE(SameAs(dir + g.subdirectory + "\\" + name, name.c_str()));
        }
    }

    // The settings that name the installation directory.
    void ExpectPathsUnder(const std::string &dir)
    {
        struct Row {
            const char *section, *key;
            std::string value;
        } rows[] = {
            {"Misc", "InstallDirectory", dir},
            {"Misc", "MapsDirectory", dir + "\\MAPS"},
            {"Misc", "BackgroundMap", dir + "\\MAPS\\BGROUND.BMP"},
            {"Entries", "EntryFN000", dir + "\\MODELS\\3D.SKY"},
            {"Entries", "EntryFN001", dir + "\\MODELS\\TORUSF.SKY"},
            {"Entries", "EntryFN002", dir + "\\MODELS\\HEARTFG.SKY"},
        };
        for (const Row &r : rows)
            EXPECT_EQ(r.value, Setting(r.section, r.key)) << r.section << " " << r.key;
    }

    std::string saverSettings;
};

// The suite's defaults that a reinstall must restore, with a value to spoil each.
const struct Default {
    const char *section, *key, *value, *spoilt;
} Defaults[] = {
    {"Misc", "Normal", "1", "0"},
    {"Entries", "EntryPM000", "2,350,350,1,0,3,0,0,10,0,270,10,45", "1,1,1"},
    {"Entries", "EntryPM002", "2,450,450,1,0,3,1,0,10,10,0,0,0", "2,2,2"},
    {"Global", "NoOfEntries", "3", "5"},
    {"Global", "Speed", "10", "99"},
    {"Global", "Sequence", "0", "4"},
    {"Reminder", "Activated", "1", "0"},
    {"Reminder", "Caption1", "It's been a while since you visited", "changed"},
    {"Reminder", "Caption3", "lots of new stuff - would you like to visit it now?", "changed"},
    {"Reminder", "ExecFile", "http://www.example.com/", "http://old.example.org/"},
    {"Reminder", "ReminderPeriod", "1209600", "7"},
};

TEST_F(SaverStep, InstallsTheSaverAndItsFilesIntoTheChosenDirectory)
{
    const std::string dir = Pages[SAVER].defaultDir;
    long long before = UnixNow();
    InstallInto(dir, true);
    long long after = UnixNow();

    // The saver where the system looks for it, and no second .SCR.
    EXPECT_TRUE(SameAs(WindowsDirectory() + "\\SKYLOOP.SCR", "SKYLOOP.SCR"));
    EXPECT_FALSE(FileExists(dir + "\\SKYLOOP.SCR"));
    ExpectInstalled(dir);

    ExpectPathsUnder(dir);
    for (const Default &d : Defaults)
        EXPECT_EQ(d.value, Setting(d.section, d.key)) << d.section << " " << d.key;
    EXPECT_TRUE(SeededBetween(Setting("Global", "TableOrder"), before, after));
}

TEST_F(SaverStep, ReinstallReplacesProgramAndDefaultsButKeepsTableOrder)
{
    const std::string dir = Pages[SAVER].defaultDir;
    InstallInto(dir, true);
    const std::string seeded = Setting("Global", "TableOrder");
    ASSERT_NE("<absent>", seeded);

    // What the user's time with the product may have changed since.
    ASSERT_TRUE(WriteWhole(dir + "\\SKYLOOP.EXE", "an older settings program"));
    for (const Default &d : Defaults)
        WritePrivateProfileStringA(d.section, d.key, d.spoilt, saverSettings.c_str());
    WritePrivateProfileStringA("Entries", "EntryFN001", "C:\\elsewhere\\OLD.SKY",
                               saverSettings.c_str());
    const char *const surplus[] = {"EntryFN003", "EntryPM003", "EntryFN004", "EntryPM004"};
    for (const char *key : surplus)
        WritePrivateProfileStringA("Entries", key, key, saverSettings.c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, saverSettings.c_str()); // to disk now

    InstallInto(dir, false);
    EXPECT_TRUE(SameAs(dir + "\\SKYLOOP.EXE", "SKYLOOP.SCR"));
    EXPECT_FALSE(FileExists(dir + "\\SKYLOOP.SCR"));
    ExpectPathsUnder(dir);
    for (const Default &d : Defaults)
        EXPECT_EQ(d.value, Setting(d.section, d.key)) << d.section << " " << d.key;
    EXPECT_EQ(seeded, Setting("Global", "TableOrder"));
    for (const char *key : surplus)
        EXPECT_EQ(key, Setting("Entries", key)) << "entries beyond the three stay";
}

TEST_F(SaverStep, WindowsDirectoryAsInstallDirectoryKeepsTheSaverAndTheProgram)
{
    const std::string windows = WindowsDirectory();
    SavedFile program(windows + "\\SKYLOOP.EXE"), help(windows + "\\SKYLOOP.HLP"),
        readMe(windows + "\\READMES.TXT");
    MadeFolders folders({}, {windows + "\\MAPS", windows + "\\MODELS"});

    InstallInto(windows, false);
    // The second copy is the first: it is copied, not moved away from under the
    // screen-saver setting.
    EXPECT_TRUE(SameAs(windows + "\\SKYLOOP.SCR", "SKYLOOP.SCR"));
    EXPECT_TRUE(SameAs(windows + "\\SKYLOOP.EXE", "SKYLOOP.SCR"));
    EXPECT_TRUE(SameAs(windows + "\\SKYLOOP.HLP", "SKYLOOP.HLP"));
    EXPECT_EQ(Sorted({std::begin(ModelFiles), std::end(ModelFiles)}),
              FilesIn(windows + "\\MODELS"));
    ExpectPathsUnder(windows);
}

TEST_F(SaverStep, MakesTheSaverCurrentAndLinksItOnTheDesktop)
{
    const std::string windows = WindowsDirectory();
    const std::string saverPath = windows + "\\SKYLOOP.SCR";
    const std::string systemIni = windows + "\\system.ini";
    const char *desktopKey = "Control Panel\\Desktop";
    const std::string nt = windows + "\\Profiles\\All Users\\DESKTOP";
    struct Row {
        const char *os; // nullptr: unset
        std::vector<std::string> parents;
        std::string desktop;
        bool viaRegistry;
    } rows[] = {
        {nullptr, {windows + "\\DESKTOP"}, windows + "\\DESKTOP", false},
        {"Windows_NT", {windows + "\\Profiles", windows + "\\Profiles\\All Users", nt}, nt, true},
    };
    const std::vector<std::vector<std::string>> links = {
        {"Read Me.lnk", "readmes.txt"},
        {"Skyloop Help.lnk", "skyloop.hlp"},
        {"Skyloop Settings.lnk", "skyloop.exe"},
    };
    CoInitialize(NULL);
    for (const Row &r : rows) {
        SCOPED_TRACE(r.os ? r.os : "OS unset");
        OsVariable os; // the installer inherits this process's environment
        os.Set(r.os);
        MadeFolders folders(r.parents);
        // A user who once had another saver; the timeout value is absent.
        WriteValue(desktopKey, "ScreenSaveActive", REG_SZ, std::string("0", 2));
        WriteValue(desktopKey, "SCRNSAVE.EXE", REG_SZ, std::string("C:\\OTHER.SCR", 13));
        DeleteValue(desktopKey, "ScreenSaveTimeOut");
        WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\OTHER.SCR", systemIni.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, systemIni.c_str());

        std::string dir = scratch + "\\saver";
        InstallInto(dir, true);

        EXPECT_EQ(r.viaRegistry ? "C:\\OTHER.SCR" : saverPath,
                  IniValue(systemIni, "boot", "SCRNSAVE.EXE"));
        RegValue active = ReadValue(desktopKey, "ScreenSaveActive");
        RegValue saver = ReadValue(desktopKey, "SCRNSAVE.EXE");
        EXPECT_EQ(std::string(r.viaRegistry ? "1" : "0", 2), active.data);
        EXPECT_EQ(r.viaRegistry ? saverPath + '\0' : std::string("C:\\OTHER.SCR", 13), saver.data);
        EXPECT_FALSE(ReadValue(desktopKey, "ScreenSaveTimeOut").exists) << "never created";

        std::string folder = r.desktop + "\\Skyloop";
        std::vector<std::string> names;
        for (const auto &l : links)
            names.push_back(l[0]);
        EXPECT_EQ(names, FilesIn(folder));
        for (const auto &l : links) {
            Link got = ReadLink(folder + "\\" + l[0]);
            ASSERT_TRUE(got.loaded) << l[0];
            EXPECT_EQ(dir + "\\" + l[1], got.target) << l[0];
            EXPECT_EQ("Skyloop", got.description) << l[0];
        }
        RemoveTree(dir);
    }
}

} // namespace
