// The OS name, the desktop folder for each system and the shell links in it,
// read back through the shell's own link object.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "prefix_state.h"
#include "shell_links.h"
#include "test_files.h"
#include "toolkit.h"

namespace {

TEST(OsName, IsTheVariableOrWindows95)
{
    OsVariable os;
    ASSERT_EQ(500, OsNameCapacity);
    std::string longest(OsNameCapacity - 1, 'w'), tooLong(OsNameCapacity, 'w');
    struct Row {
        const char *set; // nullptr: unset
        std::string expected;
    } rows[] = {
        {nullptr, "Windows_95"},
        {"Windows_NT", "Windows_NT"},
        {"windows_nt", "windows_nt"},
        {longest.c_str(), longest},
        {tooLong.c_str(), "Windows_95"}, // never a cut-off value
    };
    for (const Row &r : rows) {
        os.Set(r.set);
        std::vector<char> buffer(OsNameCapacity, '#');
        GetOsName(buffer.data(), OsNameCapacity);
        EXPECT_EQ(r.expected, buffer.data()) << (r.set ? r.set : "(unset)");
    }
}

class DesktopFolderTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitialize(NULL); }
    OsVariable os;
    std::string windows = WindowsDirectory();
    std::string desktop95 = windows + "\\DESKTOP";
    std::string profiles = windows + "\\Profiles";
    std::string desktopNt = windows + "\\Profiles\\All Users\\DESKTOP";
};

TEST_F(DesktopFolderTest, LayoutFollowsTheExactOsName)
{
    struct Row {
        const char *os;
        std::string expected;
    } rows[] = {
        {nullptr, desktop95 + "\\Modelex"},
        {"Windows_NT", desktopNt + "\\Modelex"},
        {"windows_nt", desktop95 + "\\Modelex"},
        {"Windows_NT ", desktop95 + "\\Modelex"},
    };
    for (const Row &r : rows) {
        const char *what = r.os ? r.os : "(unset)";
        MadeFolders folders({desktop95, profiles, profiles + "\\All Users", desktopNt},
                            {r.expected});
        ASSERT_FALSE(DirectoryExists(r.expected)) << what << ": left over from an earlier run";
        os.Set(r.os);
        char folder[500];
        EXPECT_TRUE(ResolveDesktopFolder("Modelex", folder, sizeof folder)) << what;
        EXPECT_EQ(r.expected, folder) << what;
        EXPECT_TRUE(DirectoryExists(r.expected)) << what;
        EXPECT_TRUE(ResolveDesktopFolder("Modelex", folder, sizeof folder))
            << what << ": an existing folder is normal";
    }
}

TEST_F(DesktopFolderTest, PathThatDoesNotFitIsNotUsed)
{
    os.Set(nullptr);
    MadeFolders folders({desktop95});
    std::string fits = desktop95 + "\\" + std::string(40, 'f');
    struct Row {
        const char *what;
        int capacity;
        bool built;
    } rows[] = {
        {"exactly", static_cast<int>(fits.size()) + 1, true},
        {"one short", static_cast<int>(fits.size()), false},
        {"not even the Windows directory", static_cast<int>(windows.size()), false},
    };
    for (const Row &r : rows) {
        char folder[500];
        memset(folder, '#', sizeof folder);
        BOOL built = ResolveDesktopFolder(std::string(40, 'f').c_str(), folder, r.capacity);
        EXPECT_EQ(r.built, built != FALSE) << r.what;
        EXPECT_EQ(r.built ? fits : "", folder) << r.what;
        EXPECT_EQ(r.built, DirectoryExists(fits)) << r.what;
        RemoveDirectoryA(fits.c_str());
    }
    EXPECT_EQ(std::vector<std::string>(), FilesIn(desktop95)) << "nothing under a cut-off name";
}

// A product step, as the installers run it: folder, then its links.
void InstallLinks(const char *folderName, const std::string &installDir,
                  const std::vector<std::vector<std::string>> &links)
{
    CoInitialize(NULL);
    char folder[500];
    ResolveDesktopFolder(folderName, folder, sizeof folder);
    for (const auto &l : links)
        EXPECT_EQ(S_OK, CreateShortcut((installDir + "\\" + l[1]).c_str(),
                                       (std::string(folder) + "\\" + l[0]).c_str(), l[2].c_str()))
            << l[0];
}

TEST_F(DesktopFolderTest, InstallingTwiceRewritesTheSameLinks)
{
    const std::vector<std::vector<std::string>> links = {
        {"Modelex.lnk", "modelex.exe", "Modelex"},
        {"Modelex Help.lnk", "modelex.hlp", "Modelex"},
        {"Read Me.lnk", "readmem.txt", "Modelex"},
    };
    for (const char *value : {(const char *)nullptr, "Windows_NT"}) {
        const std::string root = value ? desktopNt : desktop95;
        const std::string folder = root + "\\Modelex";
        MadeFolders folders({desktop95, profiles, profiles + "\\All Users", desktopNt}, {folder});
        os.Set(value);
        // Neither install directory exists: nothing verifies the targets.
        for (const char *installDir : {"C:\\modelex", "D:\\tools\\model ex"}) {
            InstallLinks("Modelex", installDir, links);
            EXPECT_EQ(std::vector<std::string>{"Modelex"}, FilesIn(root));
            EXPECT_EQ((std::vector<std::string>{"Modelex Help.lnk", "Modelex.lnk", "Read Me.lnk"}),
                      FilesIn(folder));
            for (const auto &l : links) {
                Link got = ReadLink(folder + "\\" + l[0]);
                ASSERT_TRUE(got.loaded) << l[0] << ": written although its target does not exist";
                EXPECT_EQ(std::string(installDir) + "\\" + l[1], got.target) << l[0];
                EXPECT_EQ(l[2], got.description) << l[0];
            }
        }
    }
}

TEST(CreateShortcut, RefusesWhatCannotBeSavedWhole)
{
    CoInitialize(NULL);
    std::string dir = FreshDirectory("links");
    std::string deep = dir + "\\" + std::string(200, 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL));
    std::string base = deep + "\\";
    std::string longest = base + std::string(MAX_PATH - 1 - base.size() - 4, 'n') + ".lnk";
    std::string tooLong = base + std::string(MAX_PATH - base.size() - 4, 'n') + ".lnk";
    std::string target = "C:\\modelex\\modelex.exe";
    std::string longTarget = "C:\\" + std::string(MAX_PATH - 4, 't');
    struct Row {
        const char *what;
        std::string target, link;
        bool saved;
    } rows[] = {
        {"link path of 259 characters", target, longest, true},
        {"link path of 260 characters", target, tooLong, false},
        {"target of 259 characters", longTarget, base + "t259.lnk", true},
        {"target of 260 characters", longTarget + "t", base + "t260.lnk", false},
        {"no drive", target, "\\rooted.lnk", false},
        {"relative", target, "relative.lnk", false},
        {"drive-relative", target, "C:drive.lnk", false},
        {"empty", target, "", false},
    };
    ASSERT_EQ(MAX_PATH - 1, static_cast<int>(longest.size()));
    std::vector<std::string> expected;
    for (const Row &r : rows) {
        HRESULT hr = CreateShortcut(r.target.c_str(), r.link.c_str(), "Modelex");
        EXPECT_EQ(r.saved, SUCCEEDED(hr)) << r.what << ": 0x" << std::hex << hr;
        if (r.saved) {
            expected.push_back(r.link.substr(base.size()));
            Link got = ReadLink(r.link);
            EXPECT_EQ(r.target, got.target) << r.what;
        }
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, FilesIn(deep)) << "nothing saved under another name";
    // Resolved the way a save would have resolved them.
    for (const char *stray : {"\\rooted.lnk", "relative.lnk", "C:drive.lnk"}) {
        EXPECT_FALSE(FileExists(stray)) << stray;
        DeleteFileA(stray);
    }
    RemoveTree(dir);
}

} // namespace
