// Settings passes against the profile functions themselves: same writes, same file, same bytes.
#include "support.h"
#include "table_order.h"
#include "toolkit.h"

namespace {
const std::string Ini = WindowsDir + "\\SKYLOOP.INI", Copy = WindowsDir + "\\SKYLOOP.QQQ", Old = "[A]\r\nB=x";
const char *const Writes[][3] = { // the transfer's order; no value: the seed
    {"Global", "NoOfEntries", "2"}, {"Entries", "EntryFN000", "C:\\A"}, {"entries", "ENTRYPM001", "\"p\""},
    {"Global", "Speed", "x"}, {"Global", "Sequence", " '4'"}, {"Global", "TableOrder"}, {"R", "R", ""},
    {"Global", "Speed", "x"}, // then writes the text in memory leaves to the profile functions
    {"Entries", "EntryPM000", " 1,2 "}, {"Misc", "Maps", "a\r\n[R]\r\nR=9"}, {"R", "R", "y "}};
const char *const Starts[] = {nullptr, "", "[Global]\r\nTableOrder=17\r\nX=1\r\n[X]",
    "[Global]\r\nTableOrder='1'", "[GLOBAL]\r\ntableorder=0\r\nspeed=X\r\n[entries]\r\nentryfn000=c:\\a\r\n",
    "; n\r\n\r\n [ Misc ] \r\n\r\n Maps\x1a= 1 ",
    "[Global]\r\nSpeed=1\r\nspeed=2\r\n[global]\r\nspeed=3\r\n[Entries]\r\n=a\r\n=b",
    "[Global]\rTableOrder=\"0\"\r[Misc]\r", "[Misc] x\r\n[Global]x]\r\n",
    "[Global]\r\n[Entries]\r\n[]\r\nEntryPM000=o", "\xef\xbb\xbf[R]"};

// The file after the writes, by a pass or the profile functions (oracle); a seed shows as <seed>.
std::string Written(const char *start, bool oracle) {
    std::string path = oracle ? WindowsDir + "\\ORACLE.INI" : Ini;
    WritePrivateProfileStringA(NULL, NULL, NULL, path.c_str());
    DeleteFileA(path.c_str());
    EXPECT_TRUE(!start || WriteWhole(path, start));
    long long from = time(nullptr);
    SettingsPass pass = oracle ? SettingsPass{} : BeginSaverSettings();
    for (const auto &w : Writes) {
        char t[128] = "";
        if (!oracle)
            w[2] ? WriteSaverSetting(&pass, w[0], w[1], w[2]) : SeedTableOrder(&pass);
        else if (w[2] || (GetPrivateProfileStringA(w[0], w[1], "", t, 128, path.c_str()), !FoldTableOrder(t)))
            WritePrivateProfileStringA(w[0], w[1], w[2] ? w[2] : "<seed>", path.c_str());
    }
    EXPECT_TRUE(oracle || EndSaverSettings(&pass));
    std::string seed = IniValue(path, "Global", "TableOrder"), text = ReadWhole(path);
    return SeededSince(seed, from) ? text.replace(text.find(seed), seed.size(), "<seed>") : text;
}

TEST(SettingsPass, LeavesWhatProfileFunctionsLeave) {
    for (const char *start : Starts)
        EXPECT_EQ(Written(start, true), Written(start, false)) << (start ? start : "none");
    std::string many; // more sections and keys than the first hash tables hold
    for (int i = 0; i < 70; i++)
        many += "[S" + std::to_string(i) + "]\r\nK=1\r\n[Global]\r\nK" + std::to_string(i) + "=1\r\n";
    EXPECT_EQ(Written(many.c_str(), true), Written(many.c_str(), false));
}

TEST(SettingsPass, LeavesUnchangedFilesAndOnesItCannotReplace) {
    const FILETIME then = {0, 0x01c00000};
    for (int row = 0; row < 3; row++) { // unchanged; SKYLOOP.INI held open; SKYLOOP.QQQ a directory
        WritePrivateProfileStringA(NULL, NULL, NULL, Ini.c_str());
        ASSERT_TRUE(WriteWhole(Ini, Old) && (row < 2 || CreateDirectoryA(Copy.c_str(), NULL)));
        HANDLE h = CreateFileA(Ini.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, 3, 0, 0);
        SetFileTime(h, NULL, NULL, &then);
        row == 1 || CloseHandle(h);
        SettingsPass pass = BeginSaverSettings(), inner = BeginSaverSettings(); // passes do not nest
        WriteSaverSetting(&inner, "a", "b", "z");
        WriteSaverSetting(&pass, "a", "b", row ? "y" : " x");
        EXPECT_EQ(row == 0, !EndSaverSettings(&inner) && EndSaverSettings(&pass)) << row;
        row == 1 && CloseHandle(h);
        WIN32_FILE_ATTRIBUTE_DATA now = {};
        GetFileAttributesExA(Ini.c_str(), GetFileExInfoStandard, &now);
        EXPECT_TRUE(!CompareFileTime(&then, &now.ftLastWriteTime) && ReadWhole(Ini) == Old) << row;
        EXPECT_TRUE(RemoveDirectoryA(Copy.c_str()) == (row == 2) && !FileExists(Copy)) << row;
    }
}
} // namespace
