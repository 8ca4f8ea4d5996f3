// The file primitives in both installers' variants of the toolkit: the decoder,
// ExpandFile against the independent compressor's files (T:\lz), raw copies,
// probes and directories.
#include "lzexpand_core.h"
#include "support.h"
#include "toolkit.h"

namespace {

TEST(LzDecoder, HeadersAndStreamsFedWholeOrBytewiseIntoASmallBuffer)
{
    uint32_t length = 0; // the compressor's files are too small to try the length's high bytes
    EXPECT_EQ(LZ_COMPRESSED, LzReadHeader((const unsigned char *)"SZDD\x88\xF0\x27\x33" "A\0\x04\x03\x02\x81", 14, &length));
    EXPECT_EQ(0x81020304u, length);
    // The window starts as spaces; writing starts at 4096 - 16.
    const struct {
        std::string stream;
        uint32_t length;
        LzStatus status;
        std::string out;
    } rows[] = {
        {std::string("\x07" "abc", 4), 3, LZ_DONE, "abc"},
        {std::string("\x00\x00\x00", 3), 3, LZ_DONE, "   "},
        {std::string("\x03" "ab" "\xF0\xF3", 5), 8, LZ_DONE, "abababab"},
        {std::string("\x01" "z" "\xF0\xFF", 4), 19, LZ_DONE, std::string(19, 'z')},
        {std::string("\xFF" "12345678" "\x01" "9", 11), 9, LZ_DONE, "123456789"},
        {std::string("\x07" "abcjunk", 8), 2, LZ_DONE, "ab"},
        {std::string("\x01" "a" "\xF0\xF3", 4), 3, LZ_DAMAGED, "a"},
        {std::string("\x07" "ab", 3), 5, LZ_NEED_INPUT, "ab"},
        {std::string("\x01" "a" "\xF0", 3), 4, LZ_NEED_INPUT, "a"},
        {std::string("\x01" "\x00", 2), 0, LZ_DONE, ""},
        {std::string("\x01" "q" "\xF0\xFF\xF0\xFF\xF0\xFF", 8), 55, LZ_DONE, std::string(55, 'q')},
    };
    for (const auto &r : rows)
        for (size_t piece : {r.stream.size(), size_t(1)}) {
            LzDecoder d;
            LzInit(&d, r.length);
            unsigned char out[LZ_MAX_MATCH];
            std::string got;
            LzStatus status;
            size_t at = 0, used, made;
            do {
                status = LzDecode(&d, (const unsigned char *)r.stream.data() + at,
                                  std::min(piece, r.stream.size() - at), &used, out, sizeof out, &made);
                at += used;
                got.append((const char *)out, made);
            } while (status == LZ_OUTPUT_FULL || (status == LZ_NEED_INPUT && at < r.stream.size()));
            EXPECT_EQ(r.status, status) << r.out << ", pieces of " << piece;
            EXPECT_EQ(r.out, got) << "pieces of " << piece;
        }
}

class Expand : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(media.c_str(), NULL);
        CreateDirectoryA(out.c_str(), NULL);
        StringCchCopyA(SourceDir, SourceDirCapacity, media.c_str());
        StringCchCopyA(TargetDir, TargetDirCapacity, out.c_str());
    }
    void Stage(const std::string &sample, const std::string &stored)
    {
        CopyFileA(("T:\\lz\\" + sample).c_str(), (media + "\\" + stored).c_str(), FALSE);
    }
    std::string root = FreshDirectory("expand"), media = root + "\\src", out = root + "\\dst";
};

TEST_F(Expand, WritesWhatTheSourceHoldsOverAnyOldTarget)
{
    const char *rows[][5] = {
        // sample, stored as, expanded name, plain, the file it must equal (T:\lz); the
        // compressor mis-encodes inputs under 16 bytes, so "one" is held to the reference expander
        {"empty.lz", "S.DA_", "S.DAT", "", "empty"},       {"one.lz", "S.DA_", "S.DAT", "", "one.ref"},
        {"rnd4095.lz", "S.DA_", "S.DAT", "", "rnd4095"},   {"rnd4096.lz", "S.DA_", "S.DAT", "", "rnd4096"},
        {"rnd4097.lz", "S.DA_", "S.DAT", "", "rnd4097"},   {"rnd4111.lz", "S.DA_", "S.DAT", "", "rnd4111"},
        {"xs4127.lz", "S.DA_", "S.DAT", "", "xs4127"},     {"spaces5000.lz", "S.DA_", "S.DAT", "", "spaces5000"},
        {"zeros70000.lz", "S.DA_", "S.DAT", "", "zeros70000"}, {"text.lz", "S.DA_", "S.DAT", "", "text"},
        {"mixed.lz", "S.DA_", "S.DAT", "", "mixed"},       {"random1m.lz", "S.DA_", "S.DAT", "", "random1m"},
        {"trailing.lz", "S.DA_", "S.DAT", "", "text"}, // bytes after the expanded length are padding
        // The last character is replaced, never appended to.
        {"text.lz", "MAP.B_", "MAP.BM", "", "text"},       {"text.lz", "READM_", "README", "", "text"},
        // Plain files: under their own name, or without the signature.
        {"text", "READMEM.TXT", "READMEM.TXT", "plain", "text"}, {"random1m", "P.BI_", "P.BIN", "", "random1m"},
        {"sigonly.plain", "P.BI_", "P.BIN", "", "sigonly.plain"}, {"one", "P.BI_", "P.BIN", "", "one"},
    };
    driver::BoxWatcher boxes("Decomp Error", IDOK);
    for (const auto &r : rows) {
        Stage(r[0], r[1]);
        ASSERT_TRUE(WriteWhole(out + "\\" + r[2], std::string(300000, 'o')));
        PlainFileFlag = r[3][0] != '\0';
        ExpandFile(r[2]);
        EXPECT_EQ("", Differs(out + "\\" + r[2], ReadWhole(std::string("T:\\lz\\") + r[4]))) << r[0] << " as " << r[1];
    }
    PlainFileFlag = 0;
    EXPECT_EQ(std::vector<std::string>{}, boxes.Texts());
}

TEST_F(Expand, FailuresAreReportedByTheSuiteOnlyAndLeaveNoPartialTarget)
{
    // A name whose paths do not fit: a variant that cut them would find this file.
    std::string longName(ExpandPathCapacity + 2 - media.size() - 5, 'N');
    std::string cut = (media + "\\" + longName + ".DA_").substr(media.size() + 1, ExpandPathCapacity - 2 - media.size());
    cut.back() = '_';
    Stage("text.lz", longName + ".DA_");
    Stage("text.lz", cut);
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
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(ExpandFileReports ? 2u : 0u, texts.size());
    EXPECT_TRUE(!ExpandFileReports || (texts[0] == "Can't Find Source File " + media + "\\NOSUCH.DA_" &&
                                       texts[1].rfind("Can't Find Source File " + media + "\\NNN", 0) == 0))
        << texts[0] << "\n" << texts[1];
    EXPECT_EQ((std::vector<std::string>{"READMEM.TXT", "S.DAT", "WING.DLL"}), FilesIn(out));
    EXPECT_FALSE(DirectoryExists(root + "\\nowhere"));
}

ULONGLONG WriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 | data.ftLastWriteTime.dwLowDateTime;
}

TEST(CopyFileRaw, CopiesBytesAndTimeOrReportsWhatItCannotOpen)
{
    std::string root = FreshDirectory("copyraw"), source = root + "\\SOURCE.BIN", destination = root + "\\DEST.BIN";
    driver::BoxWatcher from("File Copy - From file - can't open", IDOK), to("File Copy - To file - can't open", IDOK);
    for (size_t size : {0, 1, 32767, 32768, 100001}) {
        std::string data(size, '\0');
        for (size_t i = 0; i < size; i++)
            data[i] = static_cast<char>(i * 7 + i / 251);
        ASSERT_TRUE(WriteWhole(source, data) && (size % 2 == 0 || WriteWhole(destination, std::string(200000, 'd'))));
        FILETIME local, utc;
        SYSTEMTIME st = {2001, 2, 0, 3, 4, 5, 7, 0};
        SystemTimeToFileTime(&st, &local);
        LocalFileTimeToFileTime(&local, &utc);
        HANDLE h = CreateFileA(source.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        SetFileTime(h, NULL, NULL, &utc);
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

TEST(Directories, OpenProbeKeepsAFileAndSourceDirIsTheProgramsDirectory)
{
    // The probes and directory creation are the installers' tests'; an open
    // probe of a file already there must not empty it.
    std::string probe = FreshDirectory("dirs") + "\\MODEFTST.QQQ";
    ASSERT_TRUE(WriteWhole(probe, "left over"));
    CloseHandle(OpenProbeFile(probe.c_str(), PROBE_OPEN));
    EXPECT_EQ("left over", ReadWhole(probe));
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, MAX_PATH);
    DeriveSourceDir();
    EXPECT_EQ(std::string(module).substr(0, std::string(module).rfind('\\')), SourceDir);
    const char *cuts[][2] = {{"D:\\DISK1\\SETUP.EXE", "D:\\DISK1"}, {"D:\\SETUP.EXE", "D:"}, {"SETUP.EXE", ""}};
    for (const auto &c : cuts) {
        char path[64];
        StringCchCopyA(path, sizeof path, c[0]);
        CutAtLastBackslash(path);
        EXPECT_STREQ(c[1], path) << c[0];
    }
}

} // namespace
