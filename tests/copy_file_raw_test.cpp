#include <gtest/gtest.h>

#include <string>

#include "box_watcher.h"
#include "test_files.h"
#include "toolkit.h"

namespace {

const char kFromBox[] = "File Copy - From file - can't open";
const char kToBox[] = "File Copy - To file - can't open";

class CopyFileRawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = FreshDirectory("copyraw");
        source = root + "\\SOURCE.BIN";
        destination = root + "\\DEST.BIN";
    }
    void TearDown() override { RemoveTree(root); }

    // Last-write time of a file as a count of 100 ns ticks.
    static ULONGLONG WriteTime(const std::string &path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
            return 0;
        return (ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 |
               data.ftLastWriteTime.dwLowDateTime;
    }

    static void SetWriteTime(const std::string &path, WORD year, WORD second)
    {
        SYSTEMTIME st = {year, 2, 0, 3, 4, 5, second, 0};
        FILETIME local, utc;
        SystemTimeToFileTime(&st, &local);
        LocalFileTimeToFileTime(&local, &utc);
        HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        SetFileTime(h, NULL, NULL, &utc);
        CloseHandle(h);
    }

    std::string root, source, destination;
};

TEST_F(CopyFileRawTest, CopiesBytesAndTimeOverAnyDestination)
{
    struct Row {
        size_t size;
        bool destinationExists;
    } rows[] = {{0, false}, {1, true}, {32767, false}, {32768, true}, {100001, true}};
    BoxWatcher from(kFromBox, IDOK), to(kToBox, IDOK);
    for (const Row &r : rows) {
        std::string data(r.size, '\0');
        for (size_t i = 0; i < r.size; i++)
            data[i] = static_cast<char>(i * 7 + i / 251);
        ASSERT_TRUE(WriteWhole(source, data));
        SetWriteTime(source, 2001, 7);
        if (r.destinationExists) {
            ASSERT_TRUE(WriteWhole(destination, std::string(200000, 'd')));
        }
        CopyFileRaw(destination.c_str(), source.c_str());
        EXPECT_TRUE(ReadWhole(destination) == data) << r.size << " bytes";
        ULONGLONG s = WriteTime(source), d = WriteTime(destination);
        ULONGLONG diff = s > d ? s - d : d - s;
        EXPECT_LE(diff, 20000000ULL) << r.size << " bytes: time off by " << diff / 10000 << " ms";
        EXPECT_EQ(0ULL, d % 10000000ULL) << r.size << " bytes: DOS times have whole seconds";
    }
    EXPECT_TRUE(from.Texts().empty());
    EXPECT_TRUE(to.Texts().empty());
}

TEST_F(CopyFileRawTest, MissingSourceIsReported)
{
    ASSERT_TRUE(WriteWhole(destination, "kept"));
    BoxWatcher from(kFromBox, IDOK);
    CopyFileRaw(destination.c_str(), (root + "\\NOSUCH.BIN").c_str());
    std::vector<std::string> texts = from.Texts();
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(root + "\\NOSUCH.BIN", texts[0]);
    EXPECT_EQ("kept", ReadWhole(destination));
}

TEST_F(CopyFileRawTest, DestinationThatCannotBeReplacedIsReported)
{
    ASSERT_TRUE(WriteWhole(source, "new"));
    BoxWatcher to(kToBox, IDOK);

    ASSERT_TRUE(WriteWhole(destination, "read-only"));
    SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY);
    CopyFileRaw(destination.c_str(), source.c_str());
    SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("read-only", ReadWhole(destination));

    // Held open by another program that does not share it.
    HANDLE held = CreateFileA(destination.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    CopyFileRaw(destination.c_str(), source.c_str());
    CloseHandle(held);
    EXPECT_EQ("read-only", ReadWhole(destination));

    std::vector<std::string> texts = to.Texts();
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(destination, texts[0]);
    EXPECT_EQ(destination, texts[1]);
}

TEST_F(CopyFileRawTest, PathsLongerThanTheBuffersAreReported)
{
    ASSERT_TRUE(WriteWhole(source, "x"));
    std::string tooLong = root + "\\" + std::string(CopyPathCapacity, 'L');
    BoxWatcher from(kFromBox, IDOK), to(kToBox, IDOK);
    CopyFileRaw(tooLong.c_str(), source.c_str());
    CopyFileRaw(destination.c_str(), tooLong.c_str());
    EXPECT_EQ(std::vector<std::string>{tooLong}, to.Texts());
    EXPECT_EQ(std::vector<std::string>{tooLong}, from.Texts());
    EXPECT_FALSE(FileExists(destination));
}

} // namespace
