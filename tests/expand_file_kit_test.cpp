// The distribution installer's ExpandFile: the same expansion, but silent.
#include <gtest/gtest.h>

#include <string>

#include "box_watcher.h"
#include "test_files.h"
#include "toolkit.h"

namespace {

class KitExpandFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = FreshDirectory("kitexpand");
        media = root + "\\media";
        CreateDirectoryA(media.c_str(), NULL);
        for (const char *sample : {"text", "cut", "long", "badmode"})
            CopyFileA((std::string("T:\\lz\\") + sample + ".lz").c_str(),
                      (media + "\\" + sample + ".l_").c_str(), FALSE);
        StringCchCopyA(SourceDir, SourceDirCapacity, media.c_str());
        StringCchCopyA(TargetDir, TargetDirCapacity, root.c_str());
        PlainFileFlag = 0;
    }
    void TearDown() override { RemoveTree(root); }
    std::string root, media;
};

TEST_F(KitExpandFileTest, ExpandsSilentlyAndReportsNothing)
{
    BoxWatcher boxes("Decomp Error", IDOK);
    ExpandFile("text.lA");
    EXPECT_EQ(ReadWhole("T:\\lz\\text"), ReadWhole(root + "\\text.lA"));

    for (const char *damaged : {"cut.lA", "long.lA", "badmode.lA"}) {
        ExpandFile(damaged);
        EXPECT_FALSE(FileExists(root + "\\" + damaged)) << damaged;
    }
    ExpandFile("nosuch.lA");
    EXPECT_FALSE(FileExists(root + "\\nosuch.lA")) << "no empty target for a missing source";
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(KitExpandFileTest, PathsLongerThan256AreSkipped)
{
    EXPECT_EQ(256, ExpandPathCapacity);
    std::string deep = root + "\\" + std::string(240 - root.size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL));
    StringCchCopyA(TargetDir, TargetDirCapacity, deep.c_str());
    ExpandFile("text.lA"); // the target path would need more than 256 characters
    ExpandFile("t.lA");    // fits, but has no source
    StringCchCopyA(TargetDir, TargetDirCapacity, root.c_str());
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((deep + "\\*.*").c_str(), &found);
    int files = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    EXPECT_EQ(0, files);
}

} // namespace
