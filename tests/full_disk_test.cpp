// Installing onto disks that fill up (F: and G:, small tmpfs mounts made by
// on_small_disks): whatever the programs report on the way, every file they
// leave there is whole, byte for byte one of the files it is made from, or absent.
#include <gtest/gtest.h>

#include "driver.h"
#include "support.h"

namespace {

const DWORD Timeout = 60000;

// The files below dir (relative paths) that are no byte-for-byte copy of a
// file of the same name on the media (D:), the products (P:) or the custom
// distribution's samples (O:), taking the names the installers rename into account.
std::vector<std::string> NotWhole(const std::string &dir, const std::string &below = "")
{
    std::vector<std::string> broken;
    for (const std::string &name : FilesIn(dir + below)) {
        std::string path = dir + below + "\\" + name;
        if (DirectoryExists(path)) {
            std::vector<std::string> inner = NotWhole(dir, below + "\\" + name);
            broken.insert(broken.end(), inner.begin(), inner.end());
            continue;
        }
        std::vector<std::string> sources = {"D:\\" + name, "P:\\" + name, "O:\\" + name};
        const char *renamed[][2] = {{"SKYLOOP.EXE", "P:\\SKYLOOP.SCR"}, {"SKYLOOP.EXE", "P:\\SKYLOOPE.SCR"},
                                    {"SKYLOOP.HLP", "P:\\SKYLOOPE.HLP"}, {"README.TXT", "P:\\READMESE.TXT"},
                                    {"README.TXT", "D:\\READMESE.TXT"}, {"SETUP.EXE", "D:\\KITSETUP.EXE"},
                                    {"SKYLOOP.SC_", "D:\\SKYLOOPE.SC_"}, {"SKYLOOP.HL_", "D:\\SKYLOOPE.HL_"}};
        for (const auto &r : renamed)
            if (name == r[0])
                sources.push_back(r[1]);
        std::string data = ReadWhole(path);
        bool whole = false;
        for (const std::string &source : sources) {
            bool missing = true;
            std::string original = ReadWhole(source, &missing);
            whole = whole || (!missing && original == data);
        }
        if (!whole)
            broken.push_back(below + "\\" + name + " (" + std::to_string(data.size()) + " bytes)");
    }
    return broken;
}

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override { CoInitialize(NULL); }
    void TearDown() override
    {
        if (p.handle) {
            ADD_FAILURE() << "still running";
            driver::Kill(p);
        }
    }
    HWND Wait(const char *caption)
    {
        HWND w = driver::WaitForWindow(caption, Timeout);
        EXPECT_TRUE(w) << "no " << caption;
        return w;
    }
    driver::Process p = {NULL, 0};
};

TEST_F(FullDisk, SuiteLeavesEveryFileWholeOrAbsent)
{
    const char *pages[] = {"SKYBuilder Setup - Installing Modelex", "SKYBuilder Setup - Installing Skyloop",
                           "SKYBuilder Setup - Installing SKY Builder Files"};
    const char *dirs[] = {"F:\\MODELEX", "F:\\SKYLOOP", "F:\\SKYBUILD"};
    // Whatever a step reports, the user answers it and goes on.
    driver::BoxWatcher decomp("Decomp Error", IDOK), from("File Copy - From file - can't open", IDOK),
        to("File Copy - To file - can't open", IDOK);
    p = driver::Start("D:\\SETUP.EXE", "C:\\");
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(CreateDirectoryA(dirs[i], NULL));
        HWND page = Wait(pages[i]);
        ASSERT_TRUE(page);
        driver::SetControlText(page, 102, dirs[i]);
        driver::Click(page, IDOK);
        ASSERT_TRUE(driver::Poll(Timeout, [&] { return !IsWindow(page); })) << pages[i];
    }
    driver::Click(Wait("SKYBuilder Setup - Sucessful"), IDOK);
    EXPECT_EQ(0, driver::WaitForExit(p, Timeout));
    EXPECT_EQ(std::vector<std::string>{}, NotWhole("F:"));
    EXPECT_FALSE(FileExists("F:\\SKYBUILD\\SKEL\\SETUP.EXE")) << "the disk never filled up";
}

TEST_F(FullDisk, DistributionInstallerLeavesEveryFileWholeOrAbsent)
{
    ASSERT_TRUE(CreateDirectoryA("G:\\SKY", NULL));
    p = driver::Start("E:\\SETUP.EXE", "C:\\");
    HWND ask = Wait("Skyloop Directory");
    ASSERT_TRUE(ask);
    driver::SetControlText(ask, 100, "G:\\SKY");
    driver::Click(ask, 102);
    ASSERT_TRUE(driver::AnswerMessageBox("Ready to Install", IDOK, Timeout, NULL));
    driver::Click(Wait("Installed OK"), 102);
    EXPECT_EQ(0, driver::WaitForExit(p, Timeout));
    EXPECT_EQ(std::vector<std::string>{}, NotWhole("G:"));
    EXPECT_FALSE(FileExists("G:\\SKY\\SAMPLES\\MARBLE.BMP")) << "the disk never filled up";
}

} // namespace
