// Probe files, directory creation and the SourceDir derivation.
#include <gtest/gtest.h>

#include <string>

#include "test_files.h"
#include "toolkit.h"

namespace {

class DirectoriesTest : public ::testing::Test {
protected:
    void SetUp() override { root = FreshDirectory("dirs"); }
    void TearDown() override { RemoveTree(root); }
    std::string root;
};

TEST_F(DirectoriesTest, Probes)
{
    CreateDirectoryA((root + "\\withprobe").c_str(), NULL);
    ASSERT_TRUE(WriteWhole(root + "\\withprobe\\xxx.xxx", "someone's file"));
    ASSERT_TRUE(WriteWhole(root + "\\MODEFTST.QQQ", "left over"));

    struct Row {
        const char *what;
        std::string path;
        ProbeMode mode;
        bool opens;
    } rows[] = {
        {"exclusive, existing directory", root + "\\xxx.xxx", PROBE_EXCLUSIVE, true},
        {"exclusive, xxx.xxx already there", root + "\\withprobe\\xxx.xxx", PROBE_EXCLUSIVE, false},
        {"exclusive, missing directory", root + "\\missing\\xxx.xxx", PROBE_EXCLUSIVE, false},
        {"open, MODEFTST.QQQ already there", root + "\\MODEFTST.QQQ", PROBE_OPEN, true},
        {"open, new file", root + "\\withprobe\\MODEFTST.QQQ", PROBE_OPEN, true},
        {"open, missing directory", root + "\\missing\\MODEFTST.QQQ", PROBE_OPEN, false},
    };
    for (const Row &r : rows) {
        HANDLE h = OpenProbeFile(r.path.c_str(), r.mode);
        EXPECT_EQ(r.opens, h != INVALID_HANDLE_VALUE) << r.what;
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            EXPECT_TRUE(DeleteFileA(r.path.c_str())) << r.what;
        }
    }
    EXPECT_EQ("someone's file", ReadWhole(root + "\\withprobe\\xxx.xxx"));
    EXPECT_FALSE(DirectoryExists(root + "\\missing"));
}

TEST_F(DirectoriesTest, OpenProbeKeepsExistingContent)
{
    ASSERT_TRUE(WriteWhole(root + "\\MODEFTST.QQQ", "left over"));
    HANDLE h = OpenProbeFile((root + "\\MODEFTST.QQQ").c_str(), PROBE_OPEN);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    EXPECT_EQ("left over", ReadWhole(root + "\\MODEFTST.QQQ"));
}

TEST_F(DirectoriesTest, MakeDirectoryCreatesOneLevel)
{
    EXPECT_EQ(0, MakeDirectory((root + "\\new").c_str()));
    EXPECT_TRUE(DirectoryExists(root + "\\new"));
    EXPECT_EQ(-1, MakeDirectory((root + "\\new").c_str())) << "existing";
    EXPECT_EQ(-1, MakeDirectory((root + "\\A\\B").c_str())) << "missing parent";
    EXPECT_FALSE(DirectoryExists(root + "\\A"));
    ASSERT_TRUE(WriteWhole(root + "\\file", ""));
    EXPECT_EQ(-1, MakeDirectory((root + "\\file").c_str())) << "a file of that name";
}

TEST(SourceDir, IsTheExecutablesDirectory)
{
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, MAX_PATH);
    std::string expected = module;
    expected.resize(expected.rfind('\\'));
    DeriveSourceDir();
    EXPECT_EQ(expected, SourceDir);

    struct Row {
        const char *path, *dir;
    } rows[] = {
        {"D:\\DISK1\\SETUP.EXE", "D:\\DISK1"},
        {"D:\\SETUP.EXE", "D:"},
        {"SETUP.EXE", ""},
        {"\\SETUP.EXE", ""},
    };
    for (const Row &r : rows) {
        char path[64];
        StringCchCopyA(path, sizeof path, r.path);
        CutAtLastBackslash(path);
        EXPECT_STREQ(r.dir, path) << r.path;
    }
}

} // namespace
