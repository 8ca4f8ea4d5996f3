// What differs between the programs' toolkits: whether ExpandFile reports, and the capacities of
// their buffers, probed with what just fits and what just does not.
#include "support.h"
#include "toolkit.h"

namespace {
const bool Suite = ExpandFileReports != 0;

TEST(Variant, ExpandFailuresAreReportedByTheSuiteNotedByBothAndLeaveNoPartialTarget) {
    const size_t capacity = Suite ? 500 : 256;
    std::string root = FreshDirectory("variant"), out = root + "\\o",
                longName(capacity - root.size() - 5, 'N');
    CreateDirectoryA(out.c_str(), NULL);
    StringCchCopyA(SourceDir, SourceDirCapacity, root.c_str());
    StringCchCopyA(TargetDir, TargetDirCapacity, out.c_str());
    // What a variant that cut the source path would find (the suite's is too long to exist).
    EXPECT_EQ(!Suite, CopyFileA("T:\\lz\\text.lz",
                                ((root + "\\" + longName + ".DA").substr(0, capacity - 2) + "_").c_str(),
                                FALSE) != 0);
    const char *rows[][6] = {
        // sample, stored as, expanded (* plain), looked up as, the suite's report, the old target afterwards
        {"text", "WING.DLL", "WING.DLL", "WING.DL_", "Can't Find", "old"},
        {"text.lz", "R.TX_", "*R.TXT", "R.TXT", "Can't Find", "old"},
        {"cut.lz", "S.DA_", "S.DAT", "S.DA_", "Damaged", Absent},
        {"long.lz", "S.DA_", "S.DAT", "S.DA_", "Damaged", Absent},
        {"badmode.lz", "S.DA_", "S.DAT", "S.DA_", "Damaged", "old"},
        {"shorthead.lz", "S.DA_", "S.DAT", "S.DA_", "Damaged", "old"},
    };
    Strings reports, missed, noted;
    driver::BoxWatcher boxes("Decomp Error");
    ForgetMissedFiles();
    for (const auto &r : rows) {
        CopyFileA((std::string("T:\\lz\\") + r[0]).c_str(), (root + "\\" + r[1]).c_str(), FALSE);
        PlainFileFlag = r[2][0] == '*';
        std::string name = r[2] + PlainFileFlag; // "*" skipped
        ASSERT_TRUE(WriteWhole(out + "\\" + name, "old"));
        EXPECT_FALSE(ExpandFile(name.c_str())) << r[1];
        reports.push_back("Decomp Error: " + std::string(r[4]) + " Source File " + root + "\\" + r[3]);
        missed.push_back(out + "\\" + name);
        bool gone;
        std::string now = ReadWhole(out + "\\" + name, &gone);
        EXPECT_EQ(r[5], gone ? Absent : now) << r[1];
    }
    PlainFileFlag = 0;
    // No empty target for a missing source; a source beyond the capacity is never cut, but reported
    // with as much as the message holds.
    for (const std::string &name : {std::string("NOSUCH.DA"), longName + ".DA"}) {
        EXPECT_FALSE(ExpandFile((name + "T").c_str()));
        reports.push_back(
            ("Decomp Error: Can't Find Source File " + root + "\\" + name + "_").substr(0, 513));
    }
    missed.push_back(out + "\\NOSUCH.DAT");
    // Targets deeper than the sources: the suite's beyond what a directory can be show in its reports.
    std::string deep = root + "\\" + std::string(capacity - 107 - root.size(), 'D'), fits(100, 'F');
    EXPECT_EQ(!Suite, CreateDirectoryA(deep.c_str(), NULL) != 0); // as above
    StringCchCopyA(TargetDir, TargetDirCapacity, deep.c_str());
    for (const std::string &name : {fits, fits + "F"}) {
        CopyFileA("T:\\lz\\text.lz", (root + "\\" + name + ".DA_").c_str(), FALSE);
        ExpandFile((name + ".DAT").c_str());
    }
    reports.push_back("Decomp Error: Can't Find Source File " + root + "\\" + fits + "F.DA_");
    CopyFileA("T:\\lz\\text.lz", (root + "\\S.DA_").c_str(), FALSE); // a target that cannot be made
    StringCchCopyA(TargetDir, TargetDirCapacity, (root + "\\nowhere").c_str());
    EXPECT_FALSE(ExpandFile("S.DAT"));
    EXPECT_EQ(Suite ? reports : Strings{}, boxes.Texts());
    EXPECT_EQ((Strings{"R.TXT", "S.DAT", "WING.DLL"}), FilesIn(out));
    EXPECT_EQ(Suite ? Strings{} : Strings{fits + ".DAT"}, FilesIn(deep));
    EXPECT_EQ(10 + Suite, MissedFileCount);
    for (int i = 0; i < 7; i++)
        noted.push_back(MissedFile(i));
    EXPECT_EQ(missed, noted);
}

TEST(Variant, NamesAndPathsThatDoNotFitAreNeverUsedCut) {
    std::string longest(OsNameCapacity - 1, 'w'), name(OsNameCapacity, '#');
    for (const std::string &os : {longest, longest + "w"}) {
        SetEnvironmentVariableA("OS", os.c_str());
        GetOsName(&name[0], OsNameCapacity);
        EXPECT_STREQ(os == longest ? os.c_str() : "Windows_95", name.c_str()) << os.size();
    }
    SetEnvironmentVariableA("OS", NULL);
    // A directory typed relative, made absolute only where its full path fits.
    std::string cwd = FreshDirectory("relative");
    SetCurrentDirectoryA(cwd.c_str());
    for (size_t capacity : {cwd.size() + 5, cwd.size() + 4}) {
        char typed[64] = "SKY";
        EXPECT_EQ(capacity > cwd.size() + 4, MakeAbsoluteDir(typed, capacity) != FALSE) << capacity;
        EXPECT_EQ(capacity > cwd.size() + 4 ? cwd + "\\SKY" : "SKY", typed) << capacity;
    }
    // "\MODELS\3D.SKY" just fits behind this InstallDir, "\MAPS\BGROUND.BMP" does not: left out.
    const std::string settings = WindowsDir + "\\SKYLOOP.INI",
                      dir = "C:\\" + std::string(InstallDirCapacity - 18, 'd');
    ASSERT_TRUE(WriteWhole(settings, "[Misc]\r\nBackgroundMap=OLD\r\n[Global]\r\nTableOrder=5\r\n"));
    StringCchCopyA(InstallDir, InstallDirCapacity, dir.c_str());
    WriteSaverDefaultsHead();
    WriteSaverDefaultsTail();
    EXPECT_EQ(dir + "\\MODELS\\3D.SKY|OLD|" + Absent + "|" + dir + "\\MAPS",
              IniValue(settings, "Entries", "EntryFN000") + "|" +
                  IniValue(settings, "Misc", "BackgroundMap") + "|" +
                  IniValue(settings, "Entries", "EntryFN001") + "|" +
                  IniValue(settings, "Misc", "MapsDirectory"));
}
} // namespace
