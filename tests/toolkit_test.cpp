// What the toolkit does alike in both programs: the decoder and expansion against the independent
// compressor's files (T:\lz), raw copies, desktop links, the WinG runtime, the current screen
// saver and the TableOrder seed.
#include "lzexpand_core.h"
#include "support.h"
#include "table_order.h"
#include "toolkit.h"

namespace {
// A compressed file decoded with its input fed in pieces into an output of one match.
std::string Decode(const std::string &file, size_t piece, LzStatus *status) {
    uint32_t length = 0;
    EXPECT_EQ(LZ_COMPRESSED, LzReadHeader((const unsigned char *)file.data(), file.size(), &length));
    LzDecoder d;
    LzInit(&d, length);
    std::string got;
    unsigned char out[LZ_MAX_MATCH];
    size_t at = LZ_HEADER_SIZE, used, made;
    do {
        size_t n = std::min(piece, file.size() - at);
        *status = LzDecode(&d, (const unsigned char *)file.data() + at, n, &used, out, sizeof out, &made);
        at += used;
        got.append((const char *)out, made);
    } while (*status == LZ_OUTPUT_FULL || (*status == LZ_NEED_INPUT && at < file.size()));
    return got;
}

TEST(LzDecoder, StartsFromBlanksAndResumesAtAnyInputByte) {
    const std::string head("SZDD\x88\xF0\x27\x33" "A\0", 10);
    uint32_t length = 0;
    EXPECT_EQ(LZ_COMPRESSED, LzReadHeader((const unsigned char *)(head + "\x04\x03\x02\x81").data(), 14, &length));
    EXPECT_EQ(0x81020304u, length);
    // "ab", then 6 bytes from 4096 - 16, where writing starts, then 3 from 0, still blank.
    LzStatus status;
    EXPECT_EQ("abababab   ", Decode(head + std::string("\x0b\0\0\0\x03" "ab\xf0\xf3\0\0", 11), 1, &status));
    for (std::string name : {"text", "spaces5000", "xs4127", "mixed"}) {
        EXPECT_TRUE(Decode(ReadWhole("T:\\lz\\" + name + ".lz"), 1, &status) == ReadWhole("T:\\lz\\" + name));
        EXPECT_EQ(LZ_DONE, status) << name;
    }
}

TEST(Expand, WritesWhatTheSourceHoldsOverAnyOldTarget) {
    std::string root = FreshDirectory("expand");
    StringCchCopyA(SourceDir, SourceDirCapacity, root.c_str());
    StringCchCopyA(TargetDir, TargetDirCapacity, (root + "\\out").c_str());
    CreateDirectoryA(TargetDir, NULL);
    std::vector<Strings> rows = { // sample, stored as, expanded name, plain, what it must equal
        {"trailing.lz", "S.DA_", "S.DAT", "", "text"}, // bytes past the expanded length are padding
        {"text.lz", "MAP.B_", "MAP.BM", "", "text"}, {"text.lz", "READM_", "README", "", "text"},
        {"text", "READMEM.TXT", "READMEM.TXT", "plain", "text"}, {"random1m", "P.BI_", "P.BIN", "", "random1m"},
        {"sigonly.plain", "P.BI_", "P.BIN", "", "sigonly.plain"}, {"one", "P.BI_", "P.BIN", "", "one"},
    };
    // Debian's compressor mis-encodes inputs under 16 bytes: "one" is held to the reference expander.
    for (std::string name : {"empty", "one.ref", "rnd4095", "rnd4096", "rnd4097", "rnd4111", "xs4127",
                             "spaces5000", "zeros70000", "text", "mixed", "random1m"})
        rows.push_back({name.substr(0, name.find('.')) + ".lz", "S.DA_", "S.DAT", "", name});
    driver::BoxWatcher boxes;
    ForgetMissedFiles();
    for (const Strings &r : rows) {
        CopyFileA(("T:\\lz\\" + r[0]).c_str(), (root + "\\" + r[1]).c_str(), FALSE);
        std::string target = std::string(TargetDir) + "\\" + r[2];
        ASSERT_TRUE(WriteWhole(target, std::string(300000, 'o')));
        PlainFileFlag = !r[3].empty();
        EXPECT_TRUE(ExpandFile(r[2].c_str())) << r[0];
        EXPECT_EQ("", Differs(target, ReadWhole("T:\\lz\\" + r[4]))) << r[0] << " as " << r[1];
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
    std::string root = FreshDirectory("copyraw"), from = root + "\\FROM.BIN", to = root + "\\TO.BIN";
    driver::BoxWatcher boxes;
    for (size_t size : {0, 1, 32767, 32768, 100001}) {
        std::string data(size, '\0');
        for (size_t i = 0; i < size; i++)
            data[i] = static_cast<char>(i * 7 + i / 251);
        ASSERT_TRUE(WriteWhole(from, data) && (size % 2 == 0 || WriteWhole(to, std::string(200000, 'd'))));
        const FILETIME odd = {0x7654321, 0x1C08D8A}; // 2001, an odd second and a fraction
        HANDLE h = CreateFileA(from.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        SetFileTime(h, NULL, NULL, &odd);
        CloseHandle(h);
        CopyFileRaw(to.c_str(), from.c_str());
        EXPECT_EQ("", Differs(to, data));
        ULONGLONG s = WriteTime(from), d = WriteTime(to);
        EXPECT_TRUE((s > d ? s - d : d - s) <= 20000000ULL && d % 10000000ULL == 0) << size << ": as DOS keeps it";
    }
    // Missing source; destination read-only, or held by a program that does not share it; too long.
    std::string tooLong = root + "\\" + std::string(CopyPathCapacity, 'L');
    ASSERT_TRUE(WriteWhole(to, "kept"));
    CopyFileRaw(to.c_str(), (root + "\\NOSUCH.BIN").c_str());
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY);
    CopyFileRaw(to.c_str(), from.c_str());
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE held = CreateFileA(to.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    CopyFileRaw(to.c_str(), from.c_str());
    CloseHandle(held);
    CopyFileRaw(tooLong.c_str(), from.c_str());
    CopyFileRaw((root + "\\NEW.BIN").c_str(), tooLong.c_str());
    EXPECT_EQ("kept", ReadWhole(to));
    EXPECT_EQ((Strings{"FROM.BIN", "TO.BIN"}), FilesIn(root));
    const std::string cannot = "File Copy - To file - can't open: ";
    EXPECT_EQ((Strings{"File Copy - From file - can't open: " + root + "\\NOSUCH.BIN", cannot + to, cannot + to,
                       cannot + tooLong, "File Copy - From file - can't open: " + tooLong}),
              boxes.Texts());
}

TEST(Desktop, TheOsNameChoosesTheFolderLinksAreRewrittenAndNoPathIsUsedCut) {
    CoInitialize(NULL);
    const std::string nt = "\\Profiles\\All Users\\DESKTOP";
    for (std::string dir : {"\\DESKTOP", "\\Profiles", "\\Profiles\\All Users", nt.c_str()})
        CreateDirectoryA((WindowsDir + dir).c_str(), NULL);
    const ProductShortcut links[] = {{"Modelex.lnk", "modelex.exe"}, {"Modelex Help.lnk", "modelex.hlp"}};
    const char *rows[][2] = {{"Windows_NT", nt.c_str()}, {"windows_nt", "\\DESKTOP"},
                             {"Windows_NT ", "\\DESKTOP"}, {nullptr, "\\DESKTOP"}};
    for (const auto &r : rows) {
        SetEnvironmentVariableA("OS", r[0]);
        for (std::string parent : {"\\DESKTOP", nt.c_str()})
            RemoveTree(WindowsDir + parent + "\\Modelex");
        for (const char *dir : {"C:\\modelex", "D:\\tools\\model ex"}) { // twice, as a reinstall does
            StringCchCopyA(InstallDir, InstallDirCapacity, dir);
            CreateProductShortcuts("Modelex", links, 2, "Modelex", 500, 500);
        }
        std::string folder = WindowsDir + r[1] + "\\Modelex";
        EXPECT_EQ((Strings{"Modelex Help.lnk", "Modelex.lnk"}), FilesIn(folder)) << r[0];
        EXPECT_EQ("D:\\tools\\model ex\\modelex.hlp | Modelex", LinkText(folder + "\\Modelex Help.lnk"));
        EXPECT_EQ(2u, FilesIn(WindowsDir + "\\DESKTOP\\Modelex").size() + FilesIn(WindowsDir + nt + "\\Modelex").size());
    }
    // The caller's capacities: no folder, and no link, that would not fit them.
    std::string name(40, 'f'), fits = WindowsDir + "\\DESKTOP\\" + name;
    for (int capacity : {(int)fits.size() + 1, (int)fits.size()}) {
        char folder[500];
        EXPECT_EQ(capacity > (int)fits.size(), ResolveDesktopFolder(name.c_str(), folder, capacity));
        EXPECT_EQ(capacity > (int)fits.size() ? fits : "", folder);
        EXPECT_EQ(capacity > (int)fits.size(), RemoveDirectoryA(fits.c_str()) != FALSE) << capacity;
    }
    StringCchCopyA(InstallDir, InstallDirCapacity, "C:\\m");
    CreateProductShortcuts(name.c_str(), links, 2, "Modelex", (int)fits.size() + 12, 500);
    CreateProductShortcuts(name.c_str(), links, 2, "Modelex", 500, 16);
    CreateProductShortcuts(name.c_str(), links, 2, "Modelex", (int)fits.size() + 17, 17);
    EXPECT_EQ(Strings{"Modelex.lnk"}, FilesIn(fits));
    // Link paths through 260 wide characters, targets of the shell's MAX_PATH, full paths only.
    std::string base = FreshDirectory("links") + "\\" + std::string(200, 'd') + "\\", target = "C:\\m\\m.exe";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), NULL));
    std::string longTarget = "C:\\" + std::string(MAX_PATH - 4, 't');
    const struct {
        std::string target, link;
        bool saved;
    } shortcuts[] = {
        {target, base + std::string(MAX_PATH - 5 - base.size(), 'n') + ".lnk", true},
        {target, base + std::string(MAX_PATH - 4 - base.size(), 'n') + ".lnk", false},
        {longTarget, base + "t259.lnk", true}, {longTarget + "t", base + "t260.lnk", false},
        {target, "\\rooted.lnk", false}, {target, "relative.lnk", false}, {target, "C:drive.lnk", false},
    };
    for (const auto &l : shortcuts) {
        bool saved = SUCCEEDED(CreateShortcut(l.target.c_str(), l.link.c_str(), "M"));
        EXPECT_EQ(l.saved ? l.target + " | M" : "-", saved ? LinkText(l.link) : "-") << l.link.size();
    }
    EXPECT_EQ(2u, FilesIn(base).size()) << "nothing saved under another name";
    for (const char *stray : {"C:\\rooted.lnk", "relative.lnk", "C:drive.lnk"})
        EXPECT_FALSE(FileExists(stray)) << stray;
}

TEST(WinG, Wing32GoesToAWritableSystem32) {
    std::string root = FreshDirectory("wing"), system = root + "\\SYSTEM", windows = root + "\\win";
    StringCchCopyA(SourceDir, SourceDirCapacity, "D:"); // the media, made from the products (P:)
    driver::BoxWatcher boxes;
    for (int row : {0, 1, 2}) { // no SYSTEM32; SYSTEM32; SYSTEM32 with a probe file left over
        for (const std::string &dir : {system, windows, windows + "\\SYSTEM32"}) {
            RemoveTree(dir);
            CreateDirectoryA(dir.c_str(), NULL);
        }
        if (row == 0)
            RemoveDirectoryA((windows + "\\SYSTEM32").c_str());
        ASSERT_TRUE(row < 2 || WriteWhole(windows + "\\SYSTEM32\\MODEFTST.QQQ", "left over"));
        InstallWinGRuntimeInto(windows.c_str(), system.c_str());
        std::string wing32 = row ? windows + "\\SYSTEM32" : system;
        for (const char *name : WinGFiles)
            EXPECT_EQ("", Differs((name == WinGFiles[5] ? wing32 : system) + "\\" + name,
                                  ReadWhole(std::string("P:\\") + name)));
        EXPECT_EQ(row ? 5u : 6u, FilesIn(system).size()) << row;
        EXPECT_EQ(row ? 1u : 0u, FilesIn(windows + "\\SYSTEM32").size()) << row << ": the probe file is gone";
        EXPECT_EQ(wing32, TargetDir);
    }
    EXPECT_EQ(Strings{}, boxes.Texts());
}

TEST(ScreenSaver, Windows95WritesSystemIniAndNtOnlyExistingValues) {
    const char *key = "Control Panel\\Desktop", *names[3] = {"ScreenSaveActive", "ScreenSaveTimeOut", "SCRNSAVE.EXE"};
    const std::string ini = WindowsDir + "\\system.ini", now[3] = {"1", "600", WindowsDir + "\\SKYLOOP.SCR"};
    std::string old(400, 'o');
    const struct {
        const char *os;
        DWORD type;
        const char *values[3]; // nullptr: absent
    } rows[] = {
        {nullptr, REG_SZ, {"0", "300", "OLD.SCR"}}, {"windows_nt", REG_SZ, {"0", "300", "OLD.SCR"}},
        {"Windows_NT", REG_SZ, {"0", nullptr, "OLD.SCR"}}, {"Windows_NT", REG_SZ, {nullptr, nullptr, nullptr}},
        {"Windows_NT", REG_EXPAND_SZ, {"0", "300", "%windir%"}}, {"Windows_NT", REG_DWORD, {"000", "000", "000"}},
        {"Windows_NT", REG_SZ, {old.c_str(), nullptr, old.c_str()}}, // longer than any buffer
    };
    for (const auto &r : rows) {
        SetEnvironmentVariableA("OS", r.os);
        bool nt = r.os && strcmp(r.os, "Windows_NT") == 0;
        for (int i = 0; i < 3; i++)
            SetReg(HKEY_CURRENT_USER, key, names[i], r.type, r.values[i]);
        WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "OLD.SCR", ini.c_str());
        std::string before = IniText(ini);
        ActivateScreenSaver();
        std::string type = r.type == REG_SZ ? "" : "<type " + std::to_string(r.type) + ">";
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(!r.values[i] ? Absent : type + (nt ? now[i] : std::string(r.values[i])),
                      RegText(HKEY_CURRENT_USER, key, names[i])) << (r.os ? r.os : "unset") << ": " << names[i];
        EXPECT_EQ(nt ? before : "", nt ? IniText(ini) : "") << "Windows NT: SYSTEM.INI untouched";
        EXPECT_EQ(nt ? "OLD.SCR" : now[2], IniValue(ini, "boot", "SCRNSAVE.EXE")) << (r.os ? r.os : "unset");
    }
}

TEST(SaverSettings, TableOrderIsSeededOnlyWhenItFoldsToZero) {
    const std::string settings = WindowsDir + "\\SKYLOOP.INI";
    const char *rows[][2] = {{"17", "kept"}, {"-5", "kept"}, {"x", "kept"}, {"0", nullptr}, {"00", nullptr},
                             {"", nullptr}, {"4294967296", nullptr}, {nullptr, nullptr}}; // nullptr: no key
    for (const auto &r : rows) {
        std::string file = "[Global]\r\n" + (r[0] ? "TableOrder=" + std::string(r[0]) : "Speed=10") + "\r\n";
        ASSERT_TRUE(WriteWhole(settings, file));
        long long from = time(nullptr);
        SeedTableOrder();
        std::string value = IniValue(settings, "Global", "TableOrder"), text = IniText(settings);
        EXPECT_TRUE(r[1] ? ReadWhole(settings) == file : SeededSince(value, from) &&
                                                             text.find("TableOrder=") == text.rfind("TableOrder="))
            << file << " gave\n" << text;
    }
    const struct {
        std::string text;
        int32_t value;
    } folds[] = {{"", 0}, {"00", 0}, {"17", 17}, {"-5", -25}, {"x", 72}, {"2147483648", INT32_MIN},
                 {"4294967296", 0}, {"1\xe9", -61}}; // wrapping; codes above 127 count as negative
    for (const auto &f : folds)
        EXPECT_EQ(f.value, FoldTableOrder(f.text.c_str())) << '"' << f.text << '"';
}
} // namespace
