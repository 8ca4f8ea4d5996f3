// The file primitives, built into both installers' variants of the toolkit:
// the decoder, ExpandFile against the independent compressor's files, raw
// copies, probes and directories.
#include <gtest/gtest.h>

#include "driver.h"
#include "lzexpand_core.h"
#include "support.h"
#include "toolkit.h"

namespace {

std::string Header(uint32_t length, char mode = 'A')
{
    std::string h("SZDD\x88\xF0\x27\x33", 8);
    h += std::string(1, mode) + '\0';
    for (int i = 0; i < 4; i++)
        h += static_cast<char>((length >> (8 * i)) & 0xFF);
    return h;
}

TEST(LzDecoder, HeadersAndStreamsFedWholeOrBytewise)
{
    struct HeaderRow {
        std::string data;
        LzHeaderKind kind;
        uint32_t length;
    } headers[] = {
        {"", LZ_NOT_COMPRESSED, 0},         {"MZ\x90\0\3\0\0\0\4\0\0\0\xff\xff", LZ_NOT_COMPRESSED, 0},
        {"SZDD", LZ_NOT_COMPRESSED, 0},     {Header(0x01020304), LZ_COMPRESSED, 0x01020304},
        {Header(5, 'B'), LZ_BAD_HEADER, 0}, {Header(5).substr(0, 8), LZ_BAD_HEADER, 0},
        {Header(5).substr(0, 13), LZ_BAD_HEADER, 0},
    };
    for (const HeaderRow &r : headers) {
        uint32_t length = 99;
        EXPECT_EQ(r.kind, LzReadHeader((const unsigned char *)r.data.data(), r.data.size(), &length))
            << r.data.size() << " bytes";
        EXPECT_EQ(r.length, length) << r.data.size() << " bytes";
    }

    // The window starts as spaces; writing starts at 4096 - 16.
    struct Row {
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
        // 55 bytes through an output buffer of one match: drained and resumed.
        {std::string("\x01" "q" "\xF0\xFF\xF0\xFF\xF0\xFF", 8), 55, LZ_DONE, std::string(55, 'q')},
    };
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; i++) {
        for (size_t piece : {rows[i].stream.size(), size_t(1)}) {
            LzDecoder d;
            LzInit(&d, rows[i].length);
            unsigned char out[LZ_MAX_MATCH];
            std::string got;
            LzStatus status;
            size_t at = 0, used, made;
            do {
                size_t n = std::min(piece, rows[i].stream.size() - at);
                status = LzDecode(&d, (const unsigned char *)rows[i].stream.data() + at, n, &used,
                                  out, sizeof out, &made);
                at += used;
                got.append((const char *)out, made);
            } while (status == LZ_OUTPUT_FULL || (status == LZ_NEED_INPUT && at < rows[i].stream.size()));
            EXPECT_EQ(rows[i].status, status) << "row " << i << ", pieces of " << piece;
            EXPECT_EQ(rows[i].out, got) << "row " << i << ", pieces of " << piece;
        }
    }
}

class Expand : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = FreshDirectory("expand");
        media = root + "\\src";
        out = root + "\\dst";
        CreateDirectoryA(media.c_str(), NULL);
        CreateDirectoryA(out.c_str(), NULL);
        StringCchCopyA(SourceDir, SourceDirCapacity, media.c_str());
        StringCchCopyA(TargetDir, TargetDirCapacity, out.c_str());
        PlainFileFlag = 0;
    }
    void TearDown() override { RemoveTree(root); }
    void Stage(const std::string &sample, const std::string &stored)
    {
        CopyFileA(("T:\\lz\\" + sample).c_str(), (media + "\\" + stored).c_str(), FALSE);
    }
    std::string root, media, out;
};

TEST_F(Expand, WritesWhatTheSourceHoldsOverAnyOldTarget)
{
    struct Row {
        const char *sample, *stored, *name;
        int plain;
        const char *expected; // in T:\lz
    } rows[] = {
        // The compressor's files; it mis-encodes inputs under 16 bytes, so "one"
        // is held against the reference expander's output.
        {"empty.lz", "S.DA_", "S.DAT", 0, "empty"},       {"one.lz", "S.DA_", "S.DAT", 0, "one.ref"},
        {"rnd4095.lz", "S.DA_", "S.DAT", 0, "rnd4095"},   {"rnd4096.lz", "S.DA_", "S.DAT", 0, "rnd4096"},
        {"rnd4097.lz", "S.DA_", "S.DAT", 0, "rnd4097"},   {"rnd4111.lz", "S.DA_", "S.DAT", 0, "rnd4111"},
        {"xs4127.lz", "S.DA_", "S.DAT", 0, "xs4127"},     {"spaces5000.lz", "S.DA_", "S.DAT", 0, "spaces5000"},
        {"zeros70000.lz", "S.DA_", "S.DAT", 0, "zeros70000"}, {"text.lz", "S.DA_", "S.DAT", 0, "text"},
        {"mixed.lz", "S.DA_", "S.DAT", 0, "mixed"},       {"random1m.lz", "S.DA_", "S.DAT", 0, "random1m"},
        // Bytes after the expanded length are padding, not damage.
        {"trailing.lz", "S.DA_", "S.DAT", 0, "text"},
        // The last character is replaced, never appended to.
        {"text.lz", "MAP.B_", "MAP.BM", 0, "text"},       {"text.lz", "READM_", "README", 0, "text"},
        // Plain files: under their own name, or without the signature.
        {"text", "READMEM.TXT", "READMEM.TXT", 1, "text"}, {"random1m", "P.BI_", "P.BIN", 0, "random1m"},
        {"sigonly.plain", "P.BI_", "P.BIN", 0, "sigonly.plain"}, {"one", "P.BI_", "P.BIN", 0, "one"},
    };
    driver::BoxWatcher boxes("Decomp Error", IDOK);
    for (const Row &r : rows) {
        Stage(r.sample, r.stored);
        ASSERT_TRUE(WriteWhole(out + "\\" + r.name, std::string(300000, 'o')));
        PlainFileFlag = r.plain;
        ExpandFile(r.name);
        EXPECT_EQ("", Differs(out + "\\" + r.name, ReadWhole(std::string("T:\\lz\\") + r.expected)))
            << r.sample << " as " << r.stored;
    }
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
    struct Row {
        const char *sample, *stored, *name;
        int plain;
        const char *box;  // the suite's report, before the source path
        const char *kept; // the old target afterwards, or NULL when it is gone
    } rows[] = {
        {"text", "WING.DLL", "WING.DLL", 0, "Can't Find Source File ", "old"},
        {"text.lz", "READMEM.TX_", "READMEM.TXT", 1, "Can't Find Source File ", "old"},
        {"cut.lz", "S.DA_", "S.DAT", 0, "Damaged Source File ", NULL},
        {"long.lz", "S.DA_", "S.DAT", 0, "Damaged Source File ", NULL},
        {"badmode.lz", "S.DA_", "S.DAT", 0, "Damaged Source File ", "old"},
        {"shorthead.lz", "S.DA_", "S.DAT", 0, "Damaged Source File ", "old"},
    };
    for (const Row &r : rows) {
        Stage(r.sample, r.stored);
        ASSERT_TRUE(WriteWhole(out + "\\" + r.name, "old"));
        driver::BoxWatcher boxes("Decomp Error", IDOK);
        PlainFileFlag = r.plain;
        ExpandFile(r.name);
        std::string source = media + "\\" + r.name;
        if (!r.plain)
            source.back() = '_';
        EXPECT_EQ(ExpandFileReports ? std::vector<std::string>{r.box + source}
                                    : std::vector<std::string>{},
                  boxes.Texts())
            << r.stored;
        EXPECT_EQ(r.kept ? r.kept : Absent, FileExists(out + "\\" + r.name) ? ReadWhole(out + "\\" + r.name) : Absent)
            << r.stored;
    }

    Stage("text.lz", "S.DA_");
    driver::BoxWatcher boxes("Decomp Error", IDOK);
    PlainFileFlag = 0;
    ExpandFile("NOSUCH.DAT");                     // no empty target for a missing source
    ExpandFile((longName + ".DAT").c_str());      // paths beyond the capacity are never cut
    StringCchCopyA(TargetDir, TargetDirCapacity, (root + "\\nowhere").c_str());
    ExpandFile("S.DAT");                          // a target that cannot be created: silent
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(ExpandFileReports ? 2u : 0u, texts.size());
    if (ExpandFileReports) {
        EXPECT_EQ("Can't Find Source File " + media + "\\NOSUCH.DA_", texts[0]);
        EXPECT_EQ(0u, texts[1].rfind("Can't Find Source File " + media + "\\NNN", 0)) << texts[1];
    }
    EXPECT_EQ((std::vector<std::string>{"READMEM.TXT", "S.DAT", "WING.DLL"}), FilesIn(out));
    EXPECT_FALSE(DirectoryExists(root + "\\nowhere"));
}

ULONGLONG WriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 | data.ftLastWriteTime.dwLowDateTime;
}

TEST(CopyFileRaw, CopiesBytesAndTimeOrReportsWhatItCannotOpen)
{
    const char *from = "File Copy - From file - can't open", *to = "File Copy - To file - can't open";
    std::string root = FreshDirectory("copyraw"), source = root + "\\SOURCE.BIN",
                destination = root + "\\DEST.BIN";
    driver::BoxWatcher fromBoxes(from, IDOK), toBoxes(to, IDOK);
    for (size_t size : {0, 1, 32767, 32768, 100001}) {
        std::string data(size, '\0');
        for (size_t i = 0; i < size; i++)
            data[i] = static_cast<char>(i * 7 + i / 251);
        ASSERT_TRUE(WriteWhole(source, data));
        SYSTEMTIME st = {2001, 2, 0, 3, 4, 5, 7, 0};
        FILETIME local, utc;
        SystemTimeToFileTime(&st, &local);
        LocalFileTimeToFileTime(&local, &utc);
        HANDLE h = CreateFileA(source.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        SetFileTime(h, NULL, NULL, &utc);
        CloseHandle(h);
        ASSERT_TRUE(size % 2 == 0 || WriteWhole(destination, std::string(200000, 'd')));
        CopyFileRaw(destination.c_str(), source.c_str());
        EXPECT_EQ("", Differs(destination, data)) << size << " bytes";
        ULONGLONG s = WriteTime(source), d = WriteTime(destination);
        EXPECT_LE(s > d ? s - d : d - s, 20000000ULL) << size << " bytes: two-second resolution";
        EXPECT_EQ(0ULL, d % 10000000ULL) << size << " bytes: DOS times have whole seconds";
    }
    EXPECT_TRUE(fromBoxes.Texts().empty() && toBoxes.Texts().empty());

    // Missing source; destination read-only, or held by a program that does not share it.
    ASSERT_TRUE(WriteWhole(destination, "kept"));
    CopyFileRaw(destination.c_str(), (root + "\\NOSUCH.BIN").c_str());
    SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY);
    CopyFileRaw(destination.c_str(), source.c_str());
    SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE held = CreateFileA(destination.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    CopyFileRaw(destination.c_str(), source.c_str());
    CloseHandle(held);
    EXPECT_EQ("kept", ReadWhole(destination));
    // Paths beyond the buffers.
    std::string tooLong = root + "\\" + std::string(CopyPathCapacity, 'L');
    CopyFileRaw(tooLong.c_str(), source.c_str());
    CopyFileRaw((root + "\\NEW.BIN").c_str(), tooLong.c_str());
    EXPECT_FALSE(FileExists(root + "\\NEW.BIN"));
    EXPECT_EQ((std::vector<std::string>{root + "\\NOSUCH.BIN", tooLong}), fromBoxes.Texts());
    EXPECT_EQ((std::vector<std::string>{destination, destination, tooLong}), toBoxes.Texts());
    RemoveTree(root);
}

TEST(Directories, ProbesMakeDirectoryAndSourceDir)
{
    std::string root = FreshDirectory("dirs");
    CreateDirectoryA((root + "\\held").c_str(), NULL);
    ASSERT_TRUE(WriteWhole(root + "\\held\\xxx.xxx", "someone's file"));
    ASSERT_TRUE(WriteWhole(root + "\\held\\MODEFTST.QQQ", "left over"));
    struct Row {
        std::string path;
        ProbeMode mode;
        bool opens;
    } rows[] = {
        {root + "\\xxx.xxx", PROBE_EXCLUSIVE, true},       {root + "\\held\\xxx.xxx", PROBE_EXCLUSIVE, false},
        {root + "\\no\\xxx.xxx", PROBE_EXCLUSIVE, false},  {root + "\\MODEFTST.QQQ", PROBE_OPEN, true},
        {root + "\\held\\MODEFTST.QQQ", PROBE_OPEN, true}, {root + "\\no\\MODEFTST.QQQ", PROBE_OPEN, false},
    };
    for (const Row &r : rows) {
        HANDLE h = OpenProbeFile(r.path.c_str(), r.mode);
        EXPECT_EQ(r.opens, h != INVALID_HANDLE_VALUE) << r.path;
        CloseHandle(h);
    }
    EXPECT_EQ("someone's file", ReadWhole(root + "\\held\\xxx.xxx"));
    EXPECT_EQ("left over", ReadWhole(root + "\\held\\MODEFTST.QQQ")) << "the open probe truncated";
    EXPECT_EQ("", ReadWhole(root + "\\MODEFTST.QQQ"));

    EXPECT_EQ(0, MakeDirectory((root + "\\new").c_str()));
    EXPECT_EQ(-1, MakeDirectory((root + "\\new").c_str())) << "existing";
    EXPECT_EQ(-1, MakeDirectory((root + "\\A\\B").c_str())) << "missing parent";
    EXPECT_EQ((std::vector<std::string>{"MODEFTST.QQQ", "held", "new", "xxx.xxx"}), FilesIn(root));
    RemoveTree(root);

    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, MAX_PATH);
    DeriveSourceDir();
    EXPECT_EQ(std::string(module).substr(0, std::string(module).rfind('\\')), SourceDir);
    const char *cuts[][2] = {{"D:\\DISK1\\SETUP.EXE", "D:\\DISK1"}, {"D:\\SETUP.EXE", "D:"},
                             {"SETUP.EXE", ""}, {"\\SETUP.EXE", ""}};
    for (const auto &c : cuts) {
        char path[64];
        StringCchCopyA(path, sizeof path, c[0]);
        CutAtLastBackslash(path);
        EXPECT_STREQ(c[1], path) << c[0];
    }
}

} // namespace
