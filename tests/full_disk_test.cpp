// Installing onto disks that fill up (F: and G:, made by on_small_disks): every
// file the installers leave there is whole, a copy of what it is made from, or absent.
#include "support.h"

namespace {

// The files below dir that are no copy of a file of the same name on the media (D:),
// the products (P:) or the distribution's samples (O:), or of one the installers rename.
std::vector<std::string> NotWhole(const std::string &dir) {
    std::vector<std::string> broken;
    const char *renamed[][2] = {{"SKYLOOP.EXE", "P:\\SKYLOOP.SCR"}, {"SKYLOOP.EXE", "P:\\SKYLOOPE.SCR"},
                                {"SKYLOOP.HLP", "P:\\SKYLOOPE.HLP"}, {"README.TXT", "P:\\READMESE.TXT"},
                                {"README.TXT", "D:\\READMESE.TXT"}, {"SETUP.EXE", "D:\\KITSETUP.EXE"},
                                {"SKYLOOP.SC_", "D:\\SKYLOOPE.SC_"}, {"SKYLOOP.HL_", "D:\\SKYLOOPE.HL_"}};
    for (const std::string &path : FilesBelow(dir)) {
        std::string name = path.substr(path.rfind('\\') + 1), data = ReadWhole(path);
        std::vector<std::string> sources = {"D:\\" + name, "P:\\" + name, "O:\\" + name};
        for (const auto &r : renamed)
            if (name == r[0])
                sources.push_back(r[1]);
        bool whole = false, missing;
        for (const std::string &source : sources)
            whole = whole || (ReadWhole(source, &missing) == data && !missing);
        if (!whole)
            broken.push_back(path + " (" + std::to_string(data.size()) + " bytes)");
    }
    return broken;
}

class FullDisk : public InstallerTest {};
TEST_F(FullDisk, BothInstallersLeaveEveryFileWholeOrAbsent) {
    const char *pages[] = {"SKYBuilder Setup - Installing Modelex", "SKYBuilder Setup - Installing Skyloop",
                           "SKYBuilder Setup - Installing SKY Builder Files"};
    const char *dirs[] = {"F:\\MODELEX", "F:\\SKYLOOP", "F:\\SKYBUILD"};
    // Whatever a step reports, the user answers it and goes on.
    driver::BoxWatcher decomp("Decomp Error", IDOK), from("File Copy - From file - can't open", IDOK),
        to("File Copy - To file - can't open", IDOK);
    Start("D:\\SETUP.EXE");
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(CreateDirectoryA(dirs[i], NULL));
        HWND page = Wait(pages[i]);
        driver::SetControlText(page, 102, dirs[i]);
        driver::Click(page, IDOK);
        ASSERT_TRUE(driver::Poll(Timeout, [&] { return !IsWindow(page); })) << pages[i];
    }
    driver::Click(Wait("SKYBuilder Setup - Sucessful"), IDOK);
    EXPECT_EQ(0, Exit());
    EXPECT_EQ(std::vector<std::string>{}, NotWhole("F:"));
    EXPECT_FALSE(FileExists("F:\\SKYBUILD\\SKEL\\SETUP.EXE")) << "the disk never filled up";
    ASSERT_TRUE(CreateDirectoryA("G:\\SKY", NULL));
    InstallDistribution("E:\\SETUP.EXE", "G:\\SKY");
    EXPECT_EQ(std::vector<std::string>{}, NotWhole("G:"));
    EXPECT_FALSE(FileExists("G:\\SKY\\SAMPLES\\MARBLE.BMP")) << "the disk never filled up";
}
} // namespace
