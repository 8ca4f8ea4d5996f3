// The saver settings the distribution installer shares: Misc with its own
// capacities, and the TableOrder seed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver_file.h"
#include "test_files.h"
#include "toolkit.h"

namespace {

using KitSaverSettingsTest = SaverFileTest;

TEST_F(KitSaverSettingsTest, MiscAndSeedInANewFile)
{
    StringCchCopyA(InstallDir, InstallDirCapacity, "D:\\SKY");
    long long from = UnixNow();
    WriteSaverSetting("Global", "NoOfEntries", "1");
    WriteSaverMisc(0);
    SeedTableOrder();
    long long to = UnixNow();

    std::vector<std::string> got = SaverLines(path);
    EXPECT_TRUE(SeededBetween(TakeTableOrder(got), from, to));
    std::vector<std::string> want = {"[Global]", "NoOfEntries=1", "TableOrder=<seed>", "[Misc]",
                                     "Normal=0", "InstallDirectory=D:\\SKY",
                                     "MapsDirectory=D:\\SKY\\MAPS",
                                     "BackgroundMap=D:\\SKY\\MAPS\\BGROUND.BMP"};
    EXPECT_EQ(Joined(want), Joined(got));
}

TEST_F(KitSaverSettingsTest, MapPathsBeyond200CharactersAreLeftOut)
{
    ASSERT_EQ(200, TargetDirCapacity);
    // "\MAPS" still fits, "\MAPS\BGROUND.BMP" does not; an older value stays.
    ASSERT_TRUE(WriteWhole(path, "[Misc]\r\nBackgroundMap=D:\\OLD\\MAPS\\BGROUND.BMP\r\n"));
    std::string dir = "D:\\" + std::string(190, 'k');
    ASSERT_TRUE(SUCCEEDED(StringCchCopyA(InstallDir, InstallDirCapacity, dir.c_str())));
    StringCchCopyA(TargetDir, TargetDirCapacity, "D:\\SKY\\MAPS");
    WriteSaverMisc(0);

    std::vector<std::string> want = {"[Misc]", "BackgroundMap=D:\\OLD\\MAPS\\BGROUND.BMP",
                                     "Normal=0", "InstallDirectory=" + dir,
                                     "MapsDirectory=" + dir + "\\MAPS"};
    EXPECT_EQ(Joined(want), Joined(SaverLines(path)));
    EXPECT_EQ(dir + "\\MAPS", TargetDir);
}

} // namespace
