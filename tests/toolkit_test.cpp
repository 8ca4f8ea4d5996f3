// What the toolkit does alike in both programs: the decoder and expansion against the independent
// compressor's files (T:\lz), raw copies, links, the WinG runtime and the TableOrder seed.
#include "lzexpand_core.h"
#include "support.h"
#include "table_order.h"
#include "test_seams.h"
#include "toolkit.h"

namespace {
// A compressed file decoded with its input fed a byte at a time into an output of one match.
std::string Decode(const std::string &file, LzStatus *status) {
    uint32_t length = 0;
    EXPECT_EQ(LZ_COMPRESSED, LzReadHeader((const unsigned char *)file.data(), file.size(), &length));
    LzDecoder d;
    LzInit(&d, length);
    std::string got;
    unsigned char out[LZ_MAX_MATCH];
    size_t at = LZ_HEADER_SIZE, used, made;
    do {
        *status =
            LzDecode(&d, (const unsigned char *)&file[at], at < file.size(), &used, out, sizeof out, &made);
        at += used;
        got.append((const char *)out, made);
    } while (*status == LZ_OUTPUT_FULL || (*status == LZ_NEED_INPUT && at < file.size()));
    return got;
}

TEST(LzDecoder, StartsFromBlanksAndResumesAtAnyInputByte) {
    const std::string head("SZDD\x88\xF0\x27\x33" "A\0", 10);
    uint32_t length = 0;
    EXPECT_EQ(LZ_COMPRESSED,
              LzReadHeader((const unsigned char *)(head + "\x04\x03\x02\x81").data(), 14, &length));
    EXPECT_EQ(0x81020304u, length);
    // "ab", then 6 bytes from 4096 - 16, where writing starts, then 3 from 0, still blank.
    LzStatus status;
    EXPECT_EQ("abababab   ", Decode(head + std::string("\x0b\0\0\0\x03" "ab\xf0\xf3\0\0", 11), &status));
    EXPECT_EQ(LZ_DONE, status);
    for (std::string name : {"text", "spaces5000", "xs4127", "mixed"}) {
        EXPECT_TRUE(Decode(ReadWhole("T:\\lz\\" + name + ".lz"), &status) == ReadWhole("T:\\lz\\" + name));
        EXPECT_EQ(LZ_DONE, status) << name;
    }
}

TEST(Expand, WritesWhatTheSourceHoldsOverAnyOldTarget) {
    std::string root = FreshDirectory("expand"), out = root + "\\o";
    CreateDirectoryA(out.c_str(), NULL);
    StringCchCopyA(SourceDir, SourceDirCapacity, root.c_str());
    StringCchCopyA(TargetDir, TargetDirCapacity, out.c_str());
    std::vector<Strings> rows = {
        // sample, stored as, expanded (* plain), what it must equal
        {"trailing.lz", "S.DA_", "S.DAT", "text"}, // bytes past the expanded length are padding
        {"text.lz", "MAP.B_", "MAP.BM", "text"},
        {"text.lz", "READM_", "README", "text"}, // the last one replaced
        {"text", "R.TXT", "*R.TXT", "text"},
        {"random1m", "P.BI_", "P.BIN", "random1m"}, // no signature
        {"sigonly.plain", "P.BI_", "P.BIN", "sigonly.plain"},
        {"one", "P.BI_", "P.BIN", "one"},
    };
    // Debian's compressor mis-encodes inputs under 16 bytes: "one" is held to the reference expander.
    for (std::string name : {"empty", "one.ref", "rnd4095", "rnd4096", "rnd4097", "rnd4111", "xs4127",
                             "spaces5000", "zeros70000", "text", "mixed", "random1m"})
        rows.push_back({name.substr(0, name.find('.')) + ".lz", "S.DA_", "S.DAT", name});
    driver::BoxWatcher boxes;
    ForgetMissedFiles();
    for (const Strings &r : rows) {
        PlainFileFlag = r[2][0] == '*';
        std::string name = r[2].substr(PlainFileFlag), target = out + "\\" + name;
        ASSERT_TRUE(CopyFileA(("T:\\lz\\" + r[0]).c_str(), (root + "\\" + r[1]).c_str(), FALSE) &&
                    WriteWhole(target, std::string(300000, 'o')));
        EXPECT_TRUE(ExpandFile(name.c_str())) << r[0];
        EXPECT_EQ("", Differs(target, ReadWhole("T:\\lz\\" + r[3]))) << r[0] << " as " << r[1];
    }
    PlainFileFlag = 0;
    EXPECT_EQ(Strings{}, boxes.Texts());
    EXPECT_EQ(0, MissedFileCount);
}

ULONGLONG WriteTime(const std::string &path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 | data.ftLastWriteTime.dwLowDateTime;
}

TEST(CopyFileRaw, CopiesBytesAndTimeOrSaysWhatItCannotOpen) {
    std::string root = FreshDirectory("copy"), from = root + "\\FROM", to = root + "\\TO",
                tooLong(CopyPathCapacity, 'L');
    driver::BoxWatcher boxes;
    for (size_t size : {0, 32767, 32768, 100001}) {
        std::string data(size, '\0');
        for (size_t i = 0; i < size; i++)
            data[i] = static_cast<char>(i * 7 + i / 251);
        ASSERT_TRUE(WriteWhole(from, data) && WriteWhole(to, std::string(200000, 'd')));
        const FILETIME odd = {0x7654321, 0x1C08D8A}; // 2001, an odd second and a fraction
        HANDLE h = CreateFileA(from.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        SetFileTime(h, NULL, NULL, &odd);
        CloseHandle(h);
        CopyFileRaw(to.c_str(), from.c_str());
        ULONGLONG s = WriteTime(from), d = WriteTime(to);
        EXPECT_TRUE(Differs(to, data).empty() && (s > d ? s - d : d - s) <= 20000000 && d % 10000000 == 0)
            << size;
    }
    // A missing source, a read-only destination and paths that do not fit.
    ASSERT_TRUE(WriteWhole(to, "kept"));
    CopyFileRaw(to.c_str(), (root + "\\NO").c_str());
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY);
    CopyFileRaw(to.c_str(), from.c_str());
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    CopyFileRaw(tooLong.c_str(), from.c_str());
    CopyFileRaw((root + "\\NEW").c_str(), tooLong.c_str());
    EXPECT_EQ((Strings{"FROM", "TO"}), FilesIn(root));
    EXPECT_EQ("kept", ReadWhole(to));
    const std::string from_ = "File Copy - From file - can't open: ",
                      to_ = "File Copy - To file - can't open: ";
    EXPECT_EQ((Strings{from_ + root + "\\NO", to_ + to, to_ + tooLong, from_ + tooLong}), boxes.Texts());
}

// No desktop folder or link beyond the caller's capacities. Link paths go through 260 wide
// characters, targets through the shell's MAX_PATH: no link is saved under, or to, a cut-off name;
// nor under a name relative to the current directory.
TEST(Desktop, FoldersAndLinksAreMadeWholeOrNotAtAll) {
    CoInitialize(NULL);
    const ProductShortcut links[] = {{"Modelex.lnk", "modelex.exe"}, {"Modelex Help.lnk", "modelex.hlp"}};
    std::string name(40, 'f'), fits = WindowsDir + "\\DESKTOP\\" + name;
    CreateDirectoryA((WindowsDir + "\\DESKTOP").c_str(), NULL);
    for (int capacity : {(int)fits.size() + 1, (int)fits.size()}) {
        char folder[500];
        EXPECT_EQ(capacity > (int)fits.size(), ResolveDesktopFolder(name.c_str(), folder, capacity));
        EXPECT_EQ(capacity > (int)fits.size() ? fits : "", folder);
        EXPECT_EQ(capacity > (int)fits.size(), RemoveDirectoryA(fits.c_str()) != FALSE) << capacity;
    }
    // Only Modelex.lnk to C:\m\modelex.exe fits both times.
    StringCchCopyA(InstallDir, InstallDirCapacity, "C:\\m");
    CreateProductShortcuts(name.c_str(), links, 2, "Modelex", (int)fits.size() + 12, 500);
    CreateProductShortcuts(name.c_str(), links, 2, "Modelex", 500, 16);
    CreateProductShortcuts(name.c_str(), links, 2, "Modelex", (int)fits.size() + 17, 17);
    EXPECT_EQ(Strings{"Modelex.lnk"}, FilesIn(fits));
    std::string base = FreshDirectory("links") + "\\" + std::string(200, 'd') + "\\", target = "C:\\m.exe",
                longest = "C:\\" + std::string(MAX_PATH - 4, 't');
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), NULL));
    const struct {
        std::string target, link;
        bool saved;
    } rows[] = {
        {target, base + std::string(MAX_PATH - 5 - base.size(), 'n') + ".lnk", true},
        {target, base + std::string(MAX_PATH - 4 - base.size(), 'n') + ".lnk", false},
        {longest, base + "t.lnk", true}, {longest + "t", base + "u.lnk", false},
        {target, "\\rooted.lnk", false}, {target, "relative.lnk", false}, {target, "C:drive.lnk", false},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r.saved ? r.target + " | M" : "-",
                  SUCCEEDED(CreateShortcut(r.target.c_str(), r.link.c_str(), "M")) ? LinkText(r.link) : "-")
            << r.link.size();
    EXPECT_EQ(2u, FilesIn(base).size());
    EXPECT_FALSE(FileExists("C:\\rooted.lnk") || FileExists("relative.lnk") || FileExists("C:drive.lnk"));
}

TEST(WinG, Wing32GoesToAWritableSystem32) {
    std::string root = FreshDirectory("wing"), system = root + "\\S", system32 = root + "\\SYSTEM32";
    StringCchCopyA(SourceDir, SourceDirCapacity, "D:"); // the media, made from the products (P:)
    driver::BoxWatcher boxes;
    for (bool there : {false, true}) {
        RemoveTree(system);
        CreateDirectoryA(system.c_str(), NULL);
        if (there)
            CreateDirectoryA(system32.c_str(), NULL);
        InstallWinGRuntimeInto(root.c_str(), system.c_str());
        ExpectFiles(system, there ? "WING.DLL WINGDE.DLL WINGDIB.DRV WINGPAL.WND DVA.386"
                                  : "WING.DLL WINGDE.DLL WINGDIB.DRV WINGPAL.WND DVA.386 WING32.DLL");
        EXPECT_EQ(there ? system32 : system, TargetDir);
    }
    ExpectFiles(system32, "WING32.DLL"); // the probe file gone
    EXPECT_EQ(Strings{}, boxes.Texts());
}

TEST(SaverSettings, TableOrderIsSeededOnlyWhenItFoldsToZero) {
    const std::string settings = WindowsDir + "\\SKYLOOP.INI";
    for (const char *old :
         {"17", "-5", "x", "0", "00", "", "4294967296", (const char *)nullptr}) { // none: no key
        std::string file = "[Global]\r\n" + (old ? "TableOrder=" + std::string(old) : "Speed=10") + "\r\n";
        ASSERT_TRUE(WriteWhole(settings, file));
        long long from = time(nullptr);
        SettingsPass pass = BeginSaverSettings();
        SeedTableOrder(&pass);
        EndSaverSettings(&pass);
        std::string text = IniText(settings);
        EXPECT_TRUE(old && FoldTableOrder(old)
                        ? ReadWhole(settings) == file
                        : SeededSince(IniValue(settings, "Global", "TableOrder"), from) &&
                              text.find("TableOrder=") == text.rfind("TableOrder="))
            << file << " gave\n"
            << text;
    }
    const struct {
        const char *text;
        int32_t value;
    } folds[] = {{"", 0}, {"00", 0}, {"17", 17}, {"-5", -25}, {"x", 72}, {"2147483648", INT32_MIN},
                 {"4294967296", 0}, {"1\xe9", -61}}; // wrapping; codes above 127 count as negative
    for (const auto &f : folds)
        EXPECT_EQ(f.value, FoldTableOrder(f.text)) << '"' << f.text << '"';
}
} // namespace
