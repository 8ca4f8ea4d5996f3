// The suite installer's ExpandFile: expansion against the independent
// compressor's files, pass-through, the compressed-name rule and its boxes.
#include <gtest/gtest.h>

#include <string>

#include "box_watcher.h"
#include "test_files.h"
#include "toolkit.h"

namespace {

const char kSamples[] = "T:\\lz\\";

class ExpandFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = FreshDirectory("expand");
        media = root + "\\media";
        out = root + "\\out";
        CreateDirectoryA(media.c_str(), NULL);
        CreateDirectoryA(out.c_str(), NULL);
        StringCchCopyA(SourceDir, SourceDirCapacity, media.c_str());
        StringCchCopyA(TargetDir, TargetDirCapacity, out.c_str());
        PlainFileFlag = 0;
    }
    void TearDown() override { RemoveTree(root); }

    // Puts a sample on the media under a name.
    void Stage(const std::string &sample, const std::string &mediaName)
    {
        ASSERT_TRUE(CopyFileA((kSamples + sample).c_str(), (media + "\\" + mediaName).c_str(),
                              FALSE))
            << sample << ": error " << GetLastError();
    }

    std::string root, media, out;
};

TEST_F(ExpandFileTest, MatchesOriginalAndReferenceExpander)
{
    struct Row {
        const char *sample;
        bool compressorKeepsOriginal; // Debian's compressor mis-encodes inputs under 16 bytes
    } rows[] = {
        {"empty", true},     {"one", false},        {"rnd4095", true},  {"rnd4096", true},
        {"rnd4097", true},   {"rnd4111", true},     {"xs4127", true},   {"spaces5000", true},
        {"zeros70000", true}, {"text", true},       {"mixed", true},    {"random1m", true},
    };
    BoxWatcher boxes("Decomp Error", IDOK);
    for (const Row &r : rows) {
        Stage(std::string(r.sample) + ".lz", "SAMPLE.DA_");
        ExpandFile("SAMPLE.DAT");
        bool missing;
        std::string got = ReadWhole(out + "\\SAMPLE.DAT", &missing);
        ASSERT_FALSE(missing) << r.sample;
        std::string reference = ReadWhole(kSamples + std::string(r.sample) + ".ref");
        std::string original = ReadWhole(kSamples + std::string(r.sample));
        if (std::string(r.sample) == "empty") {
            EXPECT_EQ(original, got) << r.sample << ": the header's length is zero";
        } else {
            EXPECT_TRUE(got == reference) << r.sample << ": differs from the reference expander ("
                                          << got.size() << " vs " << reference.size() << " bytes)";
        }
        if (r.compressorKeepsOriginal) {
            EXPECT_TRUE(got == original) << r.sample << ": differs from the original";
        }
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ExpandFileTest, PlainFilesPassThrough)
{
    BoxWatcher boxes("Decomp Error", IDOK);
    // Read-me texts: PlainFileFlag makes the media name the plain name.
    Stage("text", "READMEM.TXT");
    PlainFileFlag = 1;
    ExpandFile("READMEM.TXT");
    PlainFileFlag = 0;
    EXPECT_EQ(ReadWhole(kSamples + std::string("text")), ReadWhole(out + "\\READMEM.TXT"));

    // A file without the signature under a compressed name is copied as it is.
    for (const char *sample : {"random1m", "sigonly.plain", "one"}) {
        Stage(sample, "PLAIN.BI_");
        ExpandFile("PLAIN.BIN");
        EXPECT_TRUE(ReadWhole(kSamples + std::string(sample)) == ReadWhole(out + "\\PLAIN.BIN"))
            << sample;
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ExpandFileTest, CompressedNameReplacesTheLastCharacter)
{
    struct Row {
        const char *name, *compressed;
    } rows[] = {
        {"WING.DLL", "WING.DL_"}, {"SKYLOOP.SCR", "SKYLOOP.SC_"}, {"MAP.BM", "MAP.B_"},
        {"README", "READM_"},     {"X", "_"},                     {"", ""},
    };
    for (const Row &r : rows) {
        char path[32];
        StringCchCopyA(path, sizeof path, r.name);
        MakeCompressedName(path);
        EXPECT_STREQ(r.compressed, path) << r.name;
    }
    BoxWatcher boxes("Decomp Error", IDOK);
    Stage("text.lz", "MAP.B_");
    Stage("text.lz", "READM_");
    ExpandFile("MAP.BM");
    ExpandFile("README");
    EXPECT_EQ(ReadWhole(kSamples + std::string("text")), ReadWhole(out + "\\MAP.BM"));
    EXPECT_EQ(ReadWhole(kSamples + std::string("text")), ReadWhole(out + "\\README"));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ExpandFileTest, ExistingTargetIsReplaced)
{
    BoxWatcher boxes("Decomp Error", IDOK);
    ASSERT_TRUE(WriteWhole(out + "\\SAMPLE.DAT", std::string(300000, 'o')));
    Stage("text.lz", "SAMPLE.DA_");
    ExpandFile("SAMPLE.DAT");
    EXPECT_EQ(ReadWhole(kSamples + std::string("text")), ReadWhole(out + "\\SAMPLE.DAT"));
}

TEST_F(ExpandFileTest, MissingSourceIsReportedAndTargetKept)
{
    ASSERT_TRUE(WriteWhole(out + "\\WING.DLL", "old"));
    ASSERT_TRUE(WriteWhole(media + "\\WING.DLL", "a plain file under the wrong name"));
    BoxWatcher boxes("Decomp Error", IDOK);
    ExpandFile("WING.DLL");
    PlainFileFlag = 1;
    ExpandFile("READMEM.TXT");
    PlainFileFlag = 0;
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ("Can't Find Source File " + media + "\\WING.DL_", texts[0]);
    EXPECT_EQ("Can't Find Source File " + media + "\\READMEM.TXT", texts[1]);
    EXPECT_EQ("old", ReadWhole(out + "\\WING.DLL"));
    EXPECT_FALSE(FileExists(out + "\\READMEM.TXT"));
}

TEST_F(ExpandFileTest, DamagedSourcesAreReportedAndLeaveNoTarget)
{
    const char *damaged[] = {"cut.lz", "badmode.lz", "long.lz", "shorthead.lz"};
    for (const char *sample : damaged) {
        BoxWatcher boxes("Decomp Error", IDOK);
        Stage(sample, "SAMPLE.DA_");
        ExpandFile("SAMPLE.DAT");
        std::vector<std::string> texts = boxes.Texts();
        ASSERT_EQ(1u, texts.size()) << sample;
        EXPECT_EQ("Damaged Source File " + media + "\\SAMPLE.DA_", texts[0]) << sample;
        EXPECT_FALSE(FileExists(out + "\\SAMPLE.DAT")) << sample;
    }
    // Bytes after the expanded length are padding, not damage.
    BoxWatcher boxes("Decomp Error", IDOK);
    Stage("trailing.lz", "SAMPLE.DA_");
    ExpandFile("SAMPLE.DAT");
    EXPECT_EQ(ReadWhole(kSamples + std::string("text")), ReadWhole(out + "\\SAMPLE.DAT"));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ExpandFileTest, PathsThatDoNotFitAreNeverUsedCut)
{
    // 500-character paths: a name that makes either path too long.
    std::string name(480 - media.size(), 'N');
    name += ".DAT";
    Stage("text.lz", "SHORT.DA_");
    BoxWatcher boxes("Decomp Error", IDOK);
    ExpandFile((name + "\\..\\..\\SHORT.DAT").c_str());
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(0u, texts[0].rfind("Can't Find Source File " + media + "\\NNN", 0)) << texts[0];
    EXPECT_FALSE(FileExists(out + "\\SHORT.DAT"));
    EXPECT_FALSE(FileExists(root + "\\SHORT.DAT"));
}

TEST_F(ExpandFileTest, TargetThatCannotBeCreatedIsNotReported)
{
    // A missing TargetDir: the target cannot be created; nothing is reported.
    BoxWatcher boxes("Decomp Error", IDOK);
    Stage("text.lz", "SAMPLE.DA_");
    StringCchCopyA(TargetDir, TargetDirCapacity, (root + "\\nowhere").c_str());
    ExpandFile("SAMPLE.DAT");
    EXPECT_FALSE(DirectoryExists(root + "\\nowhere"));
    EXPECT_TRUE(boxes.Texts().empty());
}

} // namespace
