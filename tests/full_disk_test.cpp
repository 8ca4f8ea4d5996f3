// Installing onto disks that fill up (F: and G:, made by on_small_disks): every file the installers
// leave there is whole, a copy of what it is made from, or absent, and what is absent is said.
#include "kit.h"
#include "support.h"

namespace {
// Whether path holds a copy of a file of its name on the media (D:), the products (P:) or the
// distribution's samples (O:), or of one the installers rename.
bool Whole(const std::string &path) {
    const char *renamed[][2] = {{"SKYLOOP.EXE", "SKYLOOP.SCR"}, {"SKYLOOP.EXE", "SKYLOOPE.SCR"},
                                {"SKYLOOP.HLP", "SKYLOOPE.HLP"}, {"README.TXT", "READMESE.TXT"},
                                {"SETUP.EXE", "KITSETUP.EXE"}, {"SKYLOOP.SC_", "SKYLOOPE.SC_"},
                                {"SKYLOOP.HL_", "SKYLOOPE.HL_"}};
    std::string name = path.substr(path.rfind('\\') + 1), data = ReadWhole(path);
    Strings sources = {name};
    for (const auto &r : renamed)
        if (name == r[0])
            sources.push_back(r[1]);
    bool whole = false, missing;
    for (const std::string &source : sources)
        for (const char *drive : {"D:\\", "P:\\", "O:\\"})
            whole = whole || (ReadWhole(drive + source, &missing) == data && !missing);
    return whole;
}

class FullDisk : public InstallerTest {};
TEST_F(FullDisk, BothInstallersLeaveEveryFileWholeOrAbsentAndSaySo) {
    const char *pages[] = {"SKYBuilder Setup - Installing Modelex", "SKYBuilder Setup - Installing Skyloop",
                           "SKYBuilder Setup - Installing SKY Builder Files"};
    const char *dirs[] = {"F:\\MODELEX", "F:\\SKYLOOP", "F:\\SKYBUILD"};
    // Whatever a step reports, the user answers it and goes on.
    driver::BoxWatcher decomp("Decomp Error"), from("File Copy - From file - can't open"),
        to("File Copy - To file - can't open"), write("File Copy - To file - can't write");
    Start("D:\\SETUP.EXE");
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(CreateDirectoryA(dirs[i], NULL));
        HWND page = Wait(pages[i]);
        driver::SetControlText(page, 102, dirs[i]);
        driver::Click(page, IDOK);
        ASSERT_TRUE(driver::Poll(driver::Timeout, [&] { return !IsWindow(page); })) << pages[i];
    }
    driver::Click(Wait("SKYBuilder Setup - Sucessful"), IDOK);
    EXPECT_EQ(0, Exit());
    for (const std::string &path : FilesBelow("F:"))
        EXPECT_TRUE(Whole(path)) << path;
    EXPECT_FALSE(FileExists("F:\\SKYBUILD\\SKEL\\SETUP.EXE")) << "the disk never filled up";
    Strings unwritten;
    for (const char *f :
         {"WING.DL_", "WINGDE.DL_", "WINGDIB.DR_", "WINGPAL.WN_", "DVA.38_", "WING32.DL_", "SKYLOOP.SC_",
          "SKYLOOP.HL_", "ORDER.FR_", "BGROUND.BM_", "README.TXT", "SETUP.EXE"})
        if (!FileExists(std::string("F:\\SKYBUILD\\SKEL\\") + f))
            unwritten.push_back(std::string("File Copy - To file - can't write: F:\\SKYBUILD\\SKEL\\") + f);
    EXPECT_EQ(unwritten, write.Texts());
    EXPECT_EQ(Strings{}, decomp.Texts()) << "a source is never missing, nor one it cannot open";
    EXPECT_TRUE(from.Texts().empty() && to.Texts().empty());
    // The distribution installer lists, in their order, the files that are not there whole.
    const std::string sky = "G:\\SKY", rest = "\\WIN\\SYSTEM.INI", ini = "[386enh]\r\n";
    ASSERT_TRUE(CreateDirectoryA(sky.c_str(), NULL) && CreateDirectoryA("G:\\WIN", NULL) &&
                WriteWhole("G:" + rest, ini));
    std::string listed = InstallDistribution("E:\\SETUP.EXE", sky.c_str()), expected;
    int missing = 0;
    for (std::string f :
         {"SKYLOOP.EXE", "SKYLOOP.HLP", "ORDER.FRM", "README.TXT", "MAPS\\BGROUND.BMP", "SAMPLES\\GLOBE.SKY",
          "SAMPLES\\SPIRAL.SKY", "SAMPLES\\MARBLE.BMP", "MAPS\\DUSK.BMP", "MAPS\\STARS.BMP"}) {
        bool there = FileExists(sky + "\\" + f);
        EXPECT_TRUE(!there || Whole(sky + "\\" + f)) << f;
        expected += there ? "" : "\n" + sky + "\\" + f;
        missing += !there;
    }
    EXPECT_EQ("Setup could not install these files:\n" + expected, listed);
    EXPECT_GT(missing, 1) << "the disk never filled up";
    // A copy of SYSTEM.INI that cannot be written whole never takes its place.
    WriteWhole("G:\\FILL", std::string(1 << 20, 'f'));
    EXPECT_EQ(SYSTEM_INI_NOT_UPDATED, RegisterVirtualDeviceIn("G:\\WIN"));
    EXPECT_EQ(ini, ReadWhole("G:" + rest));
    EXPECT_EQ(Strings{"SYSTEM.INI"}, FilesIn("G:\\WIN"));
}
} // namespace
