// The saver settings file as the suite installer writes it, the TableOrder
// seed and its fold.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "saver_file.h"
#include "table_order.h"
#include "test_files.h"
#include "toolkit.h"

namespace {

using Lines = std::vector<std::string>;

Lines Misc(const std::string &dir, const char *normal)
{
    return {"[Misc]", std::string("Normal=") + normal, "InstallDirectory=" + dir,
            "MapsDirectory=" + dir + "\\MAPS", "BackgroundMap=" + dir + "\\MAPS\\BGROUND.BMP"};
}

Lines DefaultEntries(const std::string &dir)
{
    return {"EntryFN000=" + dir + "\\MODELS\\3D.SKY",
            "EntryPM000=2,350,350,1,0,3,0,0,10,0,270,10,45",
            "EntryFN001=" + dir + "\\MODELS\\TORUSF.SKY",
            "EntryPM001=2,400,400,1,0,1,1,0,10,0,270,10,45",
            "EntryFN002=" + dir + "\\MODELS\\HEARTFG.SKY",
            "EntryPM002=2,450,450,1,0,3,1,0,10,10,0,0,0"};
}

const Lines DefaultGlobal = {"NoOfEntries=3", "Speed=10", "Sequence=0", "TableOrder=<seed>"};

const Lines DefaultReminder = {
    "[Reminder]",
    "Activated=1",
    "Caption1=It's been a while since you visited",
    "Caption2=Zentrix- you may be missing out on",
    "Caption3=lots of new stuff - would you like to visit it now?",
    "ExecFile=http://www.example.com/",
    "ReminderPeriod=1209600",
};

Lines Cat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

void SetInstallDir(const std::string &dir)
{
    ASSERT_TRUE(SUCCEEDED(StringCchCopyA(InstallDir, InstallDirCapacity, dir.c_str())));
    StringCchCopyA(TargetDir, TargetDirCapacity, dir.c_str());
}

void WriteDefaults()
{
    WriteSaverDefaultsHead();
    WriteSaverDefaultsTail();
}

using SaverDefaultsTest = SaverFileTest;

TEST_F(SaverDefaultsTest, NewFileHoldsEveryDefaultInOrder)
{
    SetInstallDir("C:\\SKYLOOP");
    long long from = UnixNow();
    WriteDefaults();
    long long to = UnixNow();

    Lines got = SaverLines(path);
    std::string seed = TakeTableOrder(got);
    EXPECT_TRUE(SeededBetween(seed, from, to));
    Lines want = Cat({Misc("C:\\SKYLOOP", "1"), {"[Entries]"}, DefaultEntries("C:\\SKYLOOP"),
                      {"[Global]"}, DefaultGlobal, DefaultReminder});
    EXPECT_EQ(Joined(want), Joined(got));

    EXPECT_STREQ("C:\\SKYLOOP", InstallDir);
    EXPECT_STREQ("C:\\SKYLOOP\\MODELS\\HEARTFG.SKY", TargetDir) << "the last path built";
}

TEST_F(SaverDefaultsTest, HeadEndsAfterTheSecondEntry)
{
    SetInstallDir("C:\\SKYLOOP");
    WriteSaverDefaultsHead();
    Lines entries = DefaultEntries("C:\\SKYLOOP");
    Lines want = Cat({Misc("C:\\SKYLOOP", "1"), {"[Entries]"}, Lines(entries.begin(), entries.begin() + 4)});
    EXPECT_EQ(Joined(want), Joined(SaverLines(path)));
}

TEST_F(SaverDefaultsTest, OlderFileKeepsSurplusEntries)
{
    ASSERT_TRUE(WriteWhole(path, "[Misc]\r\nNormal=1\r\nInstallDirectory=C:\\SKYLOOP\r\n"
                                 "MapsDirectory=C:\\SKYLOOP\\MAPS\r\n"
                                 "BackgroundMap=C:\\SKYLOOP\\MAPS\\BGROUND.BMP\r\n"
                                 "[Entries]\r\n"
                                 "EntryFN000=C:\\SKYLOOP\\MODELS\\A.SKY\r\nEntryPM000=1\r\n"
                                 "EntryFN001=C:\\SKYLOOP\\MODELS\\B.SKY\r\nEntryPM001=2\r\n"
                                 "EntryFN002=C:\\SKYLOOP\\MODELS\\C.SKY\r\nEntryPM002=3\r\n"
                                 "EntryFN003=C:\\SKYLOOP\\MODELS\\D.SKY\r\nEntryPM003=4\r\n"
                                 "EntryFN004=C:\\SKYLOOP\\MODELS\\E.SKY\r\nEntryPM004=5\r\n"
                                 "[Global]\r\nNoOfEntries=5\r\nSpeed=10\r\nSequence=0\r\n"
                                 "TableOrder=17\r\n"));
    SetInstallDir("C:\\SKYLOOP");
    WriteDefaults();

    Lines want = Cat({Misc("C:\\SKYLOOP", "1"), {"[Entries]"}, DefaultEntries("C:\\SKYLOOP"),
                      {"EntryFN003=C:\\SKYLOOP\\MODELS\\D.SKY", "EntryPM003=4",
                       "EntryFN004=C:\\SKYLOOP\\MODELS\\E.SKY", "EntryPM004=5"},
                      {"[Global]", "NoOfEntries=3", "Speed=10", "Sequence=0", "TableOrder=17"},
                      DefaultReminder});
    EXPECT_EQ(Joined(want), Joined(SaverLines(path)));
}

TEST_F(SaverDefaultsTest, ReinstallRewritesEveryDefaultButKeepsTableOrder)
{
    // What a distribution installer leaves: its own section order, one entry.
    ASSERT_TRUE(WriteWhole(path, "[Global]\r\nNoOfEntries=1\r\nSpeed=\r\nSequence=3\r\nTableOrder=-5\r\n"
                                 "[Entries]\r\nEntryFN000=D:\\OLD\\SAMPLES\\A.SKY\r\nEntryPM000=\r\n"
                                 "[Misc]\r\nNormal=0\r\nInstallDirectory=D:\\OLD\r\n"
                                 "MapsDirectory=D:\\OLD\\MAPS\r\n"
                                 "BackgroundMap=D:\\OLD\\MAPS\\BGROUND.BMP\r\n"
                                 "[Reminder]\r\nActivated=0\r\nCaption1=\r\nCaption2=b\r\n"
                                 "Caption3=c\r\nExecFile=\r\nReminderPeriod=7\r\n"));
    SetInstallDir("E:\\NEW DIR");
    WriteDefaults();

    Lines want = Cat({{"[Global]", "NoOfEntries=3", "Speed=10", "Sequence=0", "TableOrder=-5"},
                      {"[Entries]"}, DefaultEntries("E:\\NEW DIR"), Misc("E:\\NEW DIR", "1"),
                      DefaultReminder});
    EXPECT_EQ(Joined(want), Joined(SaverLines(path)));
}

TEST_F(SaverDefaultsTest, PathsThatDoNotFitAreLeftOut)
{
    // Room for "\MAPS" and "\MODELS\3D.SKY" in 500 characters, not for the longer ones.
    std::string dir = "C:\\" + std::string(482, 'd');
    ASSERT_EQ(485u, dir.size());
    SetInstallDir(dir);
    WriteDefaults();

    Lines got = SaverLines(path);
    TakeTableOrder(got);
    Lines want = {"[Misc]", "Normal=1", "InstallDirectory=" + dir, "MapsDirectory=" + dir + "\\MAPS",
                  "[Entries]", "EntryFN000=" + dir + "\\MODELS\\3D.SKY",
                  "EntryPM000=2,350,350,1,0,3,0,0,10,0,270,10,45",
                  "EntryPM001=2,400,400,1,0,1,1,0,10,0,270,10,45",
                  "EntryPM002=2,450,450,1,0,3,1,0,10,10,0,0,0", "[Global]"};
    want = Cat({want, DefaultGlobal, DefaultReminder});
    EXPECT_EQ(Joined(want), Joined(got));
    EXPECT_EQ(dir + "\\MODELS\\3D.SKY", TargetDir) << "the last path that fitted";
}

using SeedTableOrderTest = SaverFileTest;

TEST_F(SeedTableOrderTest, KeepsNonzeroAndSeedsZero)
{
    struct Row {
        const char *file; // NULL: no file at all
        bool kept;
    } rows[] = {
        {"[Global]\r\nTableOrder=17\r\n", true},
        {"[Global]\r\nTableOrder=-5\r\n", true},
        {"[Global]\r\nTableOrder=x\r\n", true},
        {"[Global]\r\nTableOrder=0\r\n", false},
        {"[Global]\r\nTableOrder=00\r\n", false},
        {"[Global]\r\nTableOrder=\r\n", false},
        {"[Global]\r\nTableOrder=4294967296\r\n", false}, // wraps to 0
        {"[Global]\r\nSpeed=10\r\n", false},
        {"[Misc]\r\nTableOrder=17\r\n", false},
        {nullptr, false},
    };
    for (const Row &r : rows) {
        std::string what = r.file ? r.file : "no file";
        WritePrivateProfileStringA(NULL, NULL, NULL, "SKYLOOP.INI");
        DeleteFileA(path.c_str());
        if (r.file) {
            ASSERT_TRUE(WriteWhole(path, r.file)) << what;
        }
        long long from = UnixNow();
        SeedTableOrder();
        long long to = UnixNow();

        std::string after = ReadWhole(path);
        if (r.kept) {
            EXPECT_EQ(r.file, after) << what;
            continue;
        }
        char value[128] = "";
        GetPrivateProfileStringA("Global", "TableOrder", "", value, sizeof value, "SKYLOOP.INI");
        EXPECT_TRUE(SeededBetween(value, from, to)) << what;
        Lines got = SaverLines(path);
        EXPECT_EQ(1, std::count(got.begin(), got.end(), "TableOrder=" + std::string(value)))
            << what << "\n" << after;
    }
}

TEST(FoldTableOrder, WrapsAsSigned32Bit)
{
    struct Row {
        std::string text;
        int32_t value;
    } rows[] = {
        {"", 0},
        {"0", 0},
        {"00", 0},
        {"17", 17},
        {"-5", -25},
        {"x", 72},
        {" ", -16},
        {"+0", -50},
        {"0x10", 7210},
        {"2147483647", 2147483647},
        {"2147483648", INT32_MIN},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967297", 1},
        {"99999999999999999999", 1661992959},
        {"12345678901234567890123456789012345678901234567890", -834729262},
        {std::string(127, '9'), -1},
        {"\xff", -49},  // codes above 127 count as negative
        {"\x80", -176},
        {"1\xe9", -61},
    };
    for (const Row &r : rows)
        EXPECT_EQ(r.value, FoldTableOrder(r.text.c_str())) << '"' << r.text << '"';
}

TEST(NumberedKey, ThreeDigitsAtLeast)
{
    struct Row {
        const char *stem;
        int index;
        size_t capacity;
        bool fits;
        const char *key;
    } rows[] = {
        {"EntryFN", 0, 16, true, "EntryFN000"},
        {"EntryPM", 7, 16, true, "EntryPM007"},
        {"EntryMap", 999, 16, true, "EntryMap999"},
        {"EntryMap", 1000, 16, true, "EntryMap1000"},
        {"EntryFN", 12, 11, true, "EntryFN012"},
        {"EntryFN", 12, 10, false, nullptr},
    };
    for (const Row &r : rows) {
        char key[16];
        BOOL fits = NumberedKey(key, r.capacity, r.stem, r.index);
        EXPECT_EQ(r.fits, fits != FALSE) << r.stem << r.index;
        if (r.fits) {
            EXPECT_STREQ(r.key, key) << r.stem << r.index;
        }
    }
}

} // namespace
