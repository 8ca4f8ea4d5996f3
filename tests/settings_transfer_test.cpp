// The distribution description transfer in-process: SKYSETUP.INI beside a stand-in installer,
// and the saver settings file it leads to.
#include "description_entries.h"
#include "kit.h"
#include "support.h"
#include "toolkit.h"

namespace {
const std::string Settings = WindowsDir + "\\SKYLOOP.INI";
const std::string Reminder =
    "[Reminder]\nActivated=\nCaption1=\nCaption2=\nCaption3=\nExecFile=\nReminderPeriod=\n";

class Transfer : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::string &d : {root + "\\cd", media, dir, dir + "\\SAMPLES", dir + "\\MAPS"})
            CreateDirectoryA(d.c_str(), NULL);
        CopyFileA("T:\\lz\\text.lz", (media + "\\A.SK_").c_str(), FALSE);
        StringCchCopyA(SourceDir, SourceDirCapacity, media.c_str());
        StringCchCopyA(InstallDir, InstallDirCapacity, dir.c_str());
        StringCchCopyA(TargetDir, TargetDirCapacity, (dir + "\\SAMPLES").c_str());
        DeleteFileA(Settings.c_str());
        ForgetMissedFiles();
    }
    // The saver settings after a transfer of this description (none when empty), a TableOrder
    // seeded meanwhile shown as <seed>.
    std::string Run(const std::string &description) {
        EXPECT_TRUE(description.empty() || WriteWhole(media + "\\SKYSETUP.INI", description));
        long long from = time(nullptr);
        TransferDistributionSettings();
        std::string text = IniText(Settings),
                    seed = "TableOrder=" + IniValue(Settings, "Global", "TableOrder");
        if (SeededSince(seed.substr(11), from))
            text.replace(text.find(seed), seed.size(), "TableOrder=<seed>");
        return text;
    }
    std::string Misc() const {
        return "[Misc]\nNormal=0\nInstallDirectory=" + dir + "\nMapsDirectory=" + dir +
               "\\MAPS\nBackgroundMap=" + dir + "\\MAPS\\BGROUND.BMP\n";
    }
    std::string root = FreshDirectory("dist"), media = root + "\\cd\\media", dir = root + "\\inst";
};

TEST_F(Transfer, WithoutADescriptionEveryKeyIsWrittenEmpty) {
    EXPECT_EQ("[Global]\nNoOfEntries=1\nSpeed=\nSequence=\nTableOrder=<seed>\n[Entries]\nEntryFN000=" + dir +
                  "\\SAMPLES\\\nEntryPM000=\n" + Misc() + Reminder, Run(""));
    EXPECT_EQ(0u, FilesIn(dir + "\\SAMPLES").size() + FilesIn(dir + "\\MAPS").size() + MissedFileCount);
}

TEST_F(Transfer, AnEarlierFileKeepsTableOrderAndEntriesBeyondTheNewCount) {
    ASSERT_TRUE(WriteWhole(Settings,
                           "[Global]\r\nNoOfEntries=3\r\nSpeed=3\r\nTableOrder=17\r\n[Entries]\r\n"
                           "EntryFN000=old0\r\nEntryPM000=p0\r\nEntryFN001=old1\r\nEntryPM001=p1\r\n"
                           "[Reminder]\r\nCaption1=old\r\n"));
    EXPECT_EQ(
        "[Global]\nNoOfEntries=1 model\nSpeed=\nTableOrder=17\nSequence=4\n[Entries]\nEntryFN000=" + dir +
            "\\SAMPLES\\A.SKY\nEntryPM000=\nEntryFN001=old1\nEntryPM001=p1\n[Reminder]\nCaption1=\n"
            "Activated=\nCaption2=\nCaption3=\nExecFile=\nReminderPeriod=\n" +
            Misc(),
        Run("[Global]\r\nNoOfEntries=1 model\r\nSequence=4\r\nPrivateBMPEntries=0\r\nPublicBMPEntries=0\r\n"
            "[Entries]\r\nEntryFN000=A.SKY\r\n"));
    EXPECT_EQ("", Differs(dir + "\\SAMPLES\\A.SKY", ReadWhole("T:\\lz\\text")));
}

TEST_F(Transfer, CountsAreReadAsNumbersUpToALimit) {
    const struct {
        const char *text;
        int count;
    } rows[] = {{"12", 12}, {"x", 0}, {"-3", 0}, {" +3x", 3}, {"10000", 9999}, {"4294967297", 9999},
                {"00000000000000000007", 7}};
    for (const auto &r : rows)
        EXPECT_EQ(r.count, ReadEntryCount(r.text)) << '"' << r.text << '"';
    // The count is written back as it stands; maps are looked for once each.
    std::string entries;
    for (int i = 0; i < 3; i++)
        entries += "EntryFN00" + std::to_string(i) + "=" + dir + "\\SAMPLES\\\nEntryPM00" +
                   std::to_string(i) + "=\n";
    EXPECT_EQ("[Global]\nNoOfEntries=+3x\nSpeed=\nSequence=\nTableOrder=<seed>\n[Entries]\n" + entries +
                  Misc() + Reminder,
              Run("[Global]\r\nNoOfEntries= +3x\r\n[PrivateMaps]\r\nEntryMap000=A.SKY\r\n"));
    EXPECT_EQ((Strings{"A.SKY"}), FilesIn(dir + "\\SAMPLES"));
    EXPECT_EQ(0, MissedFileCount) << "empty names name nothing to install";
}

TEST_F(Transfer, NamesThatAreNoPlainFileNamesNameNothing) {
    // What a transfer that joined these names to its directories would find.
    CreateDirectoryA((media + "\\a").c_str(), NULL);
    CreateDirectoryA((dir + "\\SAMPLES\\a").c_str(), NULL);
    for (const std::string &decoy :
         {root + "\\x.sk_", media + "\\a\\b.sk_", root + "\\cd\\evil.bm_", media + "\\CO_"})
        ASSERT_TRUE(CopyFileA("T:\\lz\\text.lz", decoy.c_str(), FALSE)) << decoy;
    const std::string names[] = {"..\\..\\x.sky",
                                 "C:\\x.sky",
                                 "a/b.sky",
                                 "x.sky:s",
                                 "CON",
                                 "com1.sky",
                                 "CON .sky",
                                 "..",
                                 " . . ",
                                 "a\x1f.sky",
                                 std::string(300, 'n') + ".sky"};
    std::string description = "[Global]\r\nNoOfEntries=11\r\nPrivateBMPEntries=0\r\n[Entries]\r\n";
    auto key = [](int i) { return (i < 10 ? "EntryFN00" : "EntryFN0") + std::to_string(i); };
    for (int i = 0; i < 11; i++)
        description += key(i) + "=" + names[i] + "\r\n";
    Run(description + "[PublicMaps]\r\nEntryMap000=..\\evil.bmp\r\n");
    for (int i = 0; i < 11; i++)
        EXPECT_EQ("", IniValue(Settings, "Entries", key(i).c_str())) << names[i].substr(0, 20);
    EXPECT_EQ((Strings{"cd", "inst", "x.sk_"}), FilesIn(root));
    EXPECT_EQ((Strings{"a"}), FilesIn(dir + "\\SAMPLES"));
    EXPECT_EQ((Strings{"MAPS", "SAMPLES"}), FilesIn(dir));
    EXPECT_EQ(0u, FilesIn(dir + "\\SAMPLES\\a").size() + FilesIn(dir + "\\MAPS").size());
    // Only the name that is a file name, which no path of the installer can hold, was to be installed.
    EXPECT_EQ(1, MissedFileCount);
    EXPECT_EQ((dir + "\\SAMPLES\\" + names[10]).substr(0, 499), MissedFile(0));
}
} // namespace
