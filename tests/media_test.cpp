// The sample media (drive D:) against the media table: the installer's steps
// read exactly the table's files, so the two must agree.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "box_watcher.h"
#include "media_files.h"
#include "test_files.h"
#include "toolkit.h"

namespace {

const std::string Media = "D:";

std::string StoredName(const MediaFile &f)
{
    char name[64];
    StringCchCopyA(name, sizeof name, f.name);
    if (f.storage == MEDIA_COMPRESSED)
        MakeCompressedName(name);
    return name;
}

bool Compressed(const std::string &data)
{
    return data.size() >= 14 && data.compare(0, 8, "SZDD\x88\xF0\x27\x33", 8) == 0;
}

uint32_t ExpandedLength(const std::string &data)
{
    const unsigned char *p = reinterpret_cast<const unsigned char *>(data.data()) + 10;
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

TEST(Media, HoldsEveryTableFileTheWayTheInstallerReadsIt)
{
    std::set<std::string> expected = {"SETUP.EXE"};
    for (int i = 0; i < MediaFileCount; i++) {
        const MediaFile &f = MediaFiles[i];
        std::string stored = StoredName(f);
        expected.insert(stored);
        bool missing = false;
        std::string data = ReadWhole(Media + "\\" + stored, &missing);
        if (missing) {
            // The distribution installer joins the media once it is built.
            EXPECT_EQ(MEDIA_BUILT, f.origin) << stored << " is missing";
            continue;
        }
        if (f.storage == MEDIA_COMPRESSED) {
            // The compressor mis-encodes tiny files; those are stored as they are.
            EXPECT_TRUE(Compressed(data) || data.size() < 16) << stored;
        } else {
            EXPECT_FALSE(Compressed(data)) << stored;
        }
    }

    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((Media + "\\*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") {
            EXPECT_EQ(1u, expected.count(name)) << name << " is on the media but not in the table";
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

TEST(Media, EveryFileExpandsWithoutComplaint)
{
    std::string target = FreshDirectory("media");
    StringCchCopyA(SourceDir, SourceDirCapacity, Media.c_str());
    StringCchCopyA(TargetDir, TargetDirCapacity, target.c_str());
    {
        BoxWatcher boxes("Decomp Error", IDOK);
        for (int i = 0; i < MediaFileCount; i++) {
            const MediaFile &f = MediaFiles[i];
            std::string stored = ReadWhole(Media + "\\" + StoredName(f));
            if (stored.empty() && f.origin == MEDIA_BUILT)
                continue;
            PlainFileFlag = f.storage == MEDIA_PLAIN;
            ExpandFile(f.name);
            PlainFileFlag = 0;
            bool missing = false;
            std::string expanded = ReadWhole(target + "\\" + f.name, &missing);
            EXPECT_FALSE(missing) << f.name;
            EXPECT_EQ(Compressed(stored) ? ExpandedLength(stored) : stored.size(),
                      expanded.size())
                << f.name;
        }
        EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
    }
    RemoveTree(target);
}

} // namespace
