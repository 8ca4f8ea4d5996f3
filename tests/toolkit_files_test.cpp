// The file primitives in both installers' variants of the toolkit: the decoder and
// ExpandFile against the independent compressor's files (T:\lz), and raw copies.
#include "lzexpand_core.h"
#include "support.h"
#include "toolkit.h"

namespace {
TEST(LzDecoder, ReadsTheWholeLengthAndResumesAtAnyInputByte) {
    uint32_t length = 0; // the compressor's files are too small to try the length's high bytes
    EXPECT_EQ(LZ_COMPRESSED, LzReadHeader((const unsigned char *)"SZDD\x88\xF0\x27\x33" "A\0\x04\x03\x02\x81", 14, &length));
    EXPECT_EQ(0x81020304u, length);
    // Fed one byte at a time into a buffer of one match.
    for (std::string name : {"text", "spaces5000", "xs4127", "mixed"}) {
        std::string packed = ReadWhole("T:\\lz\\" + name + ".lz"), got;
        ASSERT_EQ(LZ_COMPRESSED, LzReadHeader((const unsigned char *)packed.data(), packed.size(), &length)) << name;
        LzDecoder d;
        LzInit(&d, length);
        LzStatus status;
        unsigned char out[LZ_MAX_MATCH];
        size_t at = LZ_HEADER_SIZE, used, made;
        do {
            status = LzDecode(&d, (const unsigned char *)packed.data() + at, at < packed.size(), &used, out, sizeof out, &made);
            at += used;
            got.append((const char *)out, made);
        } while (status == LZ_OUTPUT_FULL || (status == LZ_NEED_INPUT && at < packed.size()));
        EXPECT_EQ(LZ_DONE, status) << name;
        EXPECT_TRUE(got == ReadWhole("T:\\lz\\" + name)) << name << ": " << got.size() << " bytes";
    }
}

class Expand : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(media.c_str(), NULL);
        CreateDirectoryA(out.c_str(), NULL);
        StringCchCopyA(SourceDir, SourceDirCapacity, media.c_str());
        StringCchCopyA(TargetDir, TargetDirCapacity, out.c_str());
    }
    void Stage(const std::string &sample, const std::string &stored) {
        CopyFileA(("T:\\lz\\" + sample).c_str(), (media + "\\" + stored).c_str(), FALSE);
    }
    std::string root = FreshDirectory("expand"), media = root + "\\src", out = root + "\\dst";
};

TEST_F(Expand, WritesWhatTheSourceHoldsOverAnyOldTarget) {
    // The compressor mis-encodes inputs under 16 bytes: "one" is held to the reference expander.
    std::vector<std::vector<std::string>> rows = { // sample, stored as, expanded name, plain, the file it must equal
        {"trailing.lz", "S.DA_", "S.DAT", "", "text"}, // bytes after the expanded length are padding
        // The last character is replaced, never appended to.
        {"text.lz", "MAP.B_", "MAP.BM", "", "text"},       {"text.lz", "READM_", "README", "", "text"},
        // Plain files: under their own name, or without the signature.
        {"text", "READMEM.TXT", "READMEM.TXT", "plain", "text"}, {"random1m", "P.BI_", "P.BIN", "", "random1m"},
        {"sigonly.plain", "P.BI_", "P.BIN", "", "sigonly.plain"}, {"one", "P.BI_", "P.BIN", "", "one"},
    };
    for (const char *name : {"empty", "one", "rnd4095", "rnd4096", "rnd4097", "rnd4111", "xs4127", "spaces5000",
                             "zeros70000", "text", "mixed", "random1m"})
        rows.push_back({name + std::string(".lz"), "S.DA_", "S.DAT", "", strcmp(name, "one") ? name : "one.ref"});
    driver::BoxWatcher boxes("Decomp Error", IDOK);
    for (const auto &r : rows) {
        Stage(r[0], r[1]);
        ASSERT_TRUE(WriteWhole(out + "\\" + r[2], std::string(300000, 'o')));
        PlainFileFlag = !r[3].empty();
        ExpandFile(r[2].c_str());
        EXPECT_EQ("", Differs(out + "\\" + r[2], ReadWhole("T:\\lz\\" + r[4]))) << r[0] << " as " << r[1];
    }
    PlainFileFlag = 0;
    EXPECT_EQ(std::vector<std::string>{}, boxes.Texts());
}

TEST_F(Expand, FailuresAreReportedByTheSuiteOnlyAndLeaveNoPartialTarget) {
    // Paths as long as the variant's capacity (the suite's 500, the distribution installer's
    // 256) do not fit, one shorter do; a variant that cut them would find the cut name.
    const size_t capacity = ExpandFileReports ? 500 : 256;
    std::string longName(capacity - media.size() - 5, 'N'), fits(100, 'F');
    std::string cut = (media + "\\" + longName + ".DA_").substr(media.size() + 1, capacity - 2 - media.size());
    cut.back() = '_';
    for (const std::string &name : {longName + ".DA_", cut, fits + ".DA_"})
        Stage("text.lz", name);
    const char *rows[][6] = {
        // sample, stored as, expanded name, plain, the suite's report, the old target afterwards
        {"text", "WING.DLL", "WING.DLL", "", "Can't Find Source File ", "old"},
        {"text.lz", "READMEM.TX_", "READMEM.TXT", "plain", "Can't Find Source File ", "old"},
        {"cut.lz", "S.DA_", "S.DAT", "", "Damaged Source File ", Absent},
        {"long.lz", "S.DA_", "S.DAT", "", "Damaged Source File ", Absent},
        {"badmode.lz", "S.DA_", "S.DAT", "", "Damaged Source File ", "old"},
        {"shorthead.lz", "S.DA_", "S.DAT", "", "Damaged Source File ", "old"},
    };
    for (const auto &r : rows) {
        Stage(r[0], r[1]);
        ASSERT_TRUE(WriteWhole(out + "\\" + r[2], "old"));
        driver::BoxWatcher boxes("Decomp Error", IDOK);
        PlainFileFlag = r[3][0] != '\0';
        ExpandFile(r[2]);
        std::string source = media + "\\" + r[2];
        if (!PlainFileFlag)
            source.back() = '_';
        EXPECT_EQ(ExpandFileReports ? std::vector<std::string>{r[4] + source} : std::vector<std::string>{},
                  boxes.Texts());
        bool missing;
        std::string now = ReadWhole(out + "\\" + r[2], &missing);
        EXPECT_EQ(r[5], missing ? Absent : now) << r[1];
    }
    Stage("text.lz", "S.DA_");
    driver::BoxWatcher boxes("Decomp Error", IDOK);
    PlainFileFlag = 0;
    ExpandFile("NOSUCH.DAT");                // no empty target for a missing source
    ExpandFile((longName + ".DAT").c_str()); // paths beyond the capacity are never cut
    StringCchCopyA(TargetDir, TargetDirCapacity, (root + "\\nowhere").c_str());
    ExpandFile("S.DAT"); // a target that cannot be created: silent
    // Targets deeper than the sources; the suite's reach beyond MAX_PATH shows only in its reports.
    std::string deep = root + "\\" + std::string(capacity - 107 - root.size(), 'D');
    CreateDirectoryA(deep.c_str(), NULL);
    StringCchCopyA(TargetDir, TargetDirCapacity, deep.c_str());
    for (const std::string &name : {fits, fits + "F"}) {
        Stage("text.lz", name + ".DA_");
        ExpandFile((name + ".DAT").c_str());
    }
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(ExpandFileReports ? 3u : 0u, texts.size());
    EXPECT_TRUE(!ExpandFileReports || (texts[0] == "Can't Find Source File " + media + "\\NOSUCH.DA_" &&
                                       texts[1].rfind("Can't Find Source File " + media + "\\NNN", 0) == 0 &&
                                       texts[2] == "Can't Find Source File " + media + "\\" + fits + "F.DA_"))
        << texts[0] << "\n" << texts[1] << "\n" << texts[2];
    EXPECT_EQ((std::vector<std::string>{"READMEM.TXT", "S.DAT", "WING.DLL"}), FilesIn(out));
    EXPECT_EQ(ExpandFileReports ? std::vector<std::string>{} : std::vector<std::string>{fits + ".DAT"}, FilesIn(deep));
    EXPECT_FALSE(DirectoryExists(root + "\\nowhere"));
}

ULONGLONG WriteTime(const std::string &path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 | data.ftLastWriteTime.dwLowDateTime;
}

TEST(CopyFileRaw, CopiesBytesAndTimeOrReportsWhatItCannotOpen) {
    std::string root = FreshDirectory("copyraw"), source = root + "\\SOURCE.BIN", destination = root + "\\DEST.BIN";
    driver::BoxWatcher from("File Copy - From file - can't open", IDOK), to("File Copy - To file - can't open", IDOK);
    for (size_t size : {0, 1, 32767, 32768, 100001}) {
        std::string data(size, '\0');
        for (size_t i = 0; i < size; i++)
            data[i] = static_cast<char>(i * 7 + i / 251);
        ASSERT_TRUE(WriteWhole(source, data) && (size % 2 == 0 || WriteWhole(destination, std::string(200000, 'd'))));
        const FILETIME odd = {0x7654321, 0x1C08D8A}; // 2001, an odd second and a fraction
        HANDLE h = CreateFileA(source.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        SetFileTime(h, NULL, NULL, &odd);
        CloseHandle(h);
        CopyFileRaw(destination.c_str(), source.c_str());
        EXPECT_EQ("", Differs(destination, data));
        ULONGLONG s = WriteTime(source), d = WriteTime(destination);
        EXPECT_TRUE((s > d ? s - d : d - s) <= 20000000ULL && d % 10000000ULL == 0)
            << size << " bytes: the source's time to two seconds, as DOS times keep it";
    }
    EXPECT_TRUE(from.Texts().empty() && to.Texts().empty());
    // Missing source; destination read-only, or held by a program that does not share it; paths too long.
    std::string tooLong = root + "\\" + std::string(CopyPathCapacity, 'L');
    ASSERT_TRUE(WriteWhole(destination, "kept"));
    CopyFileRaw(destination.c_str(), (root + "\\NOSUCH.BIN").c_str());
    SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY);
    CopyFileRaw(destination.c_str(), source.c_str());
    SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE held = CreateFileA(destination.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    CopyFileRaw(destination.c_str(), source.c_str());
    CloseHandle(held);
    CopyFileRaw(tooLong.c_str(), source.c_str());
    CopyFileRaw((root + "\\NEW.BIN").c_str(), tooLong.c_str());
    EXPECT_EQ("kept", ReadWhole(destination));
    EXPECT_EQ((std::vector<std::string>{"DEST.BIN", "SOURCE.BIN"}), FilesIn(root));
    EXPECT_EQ((std::vector<std::string>{root + "\\NOSUCH.BIN", tooLong}), from.Texts());
    EXPECT_EQ((std::vector<std::string>{destination, destination, tooLong}), to.Texts());
}

} // namespace
