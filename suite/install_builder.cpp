// The builder step, run from the third product page: SKY Builder and its
// desktop links, the skeleton kit from which custom distributions are made,
// and the builder settings file that tells the builder where both lie.
#include "suite.h"
#include "toolkit.h"

enum {
    BuilderLinkCapacity = 256,   // the desktop folder and its links
    BuilderTargetCapacity = 500, // the links' targets
    KitPathCapacity = 500
};

// The kit's list: a file to copy, or (no names) where the bar stands after the files before it.
static const struct {
    const char *media, *kit; // the file's name on the media, and in the kit
    int progress;
} KitRows[] = {
#define KIT_FILE(media, kit) {media, kit, 0},
#define KIT_PROGRESS(percent) {NULL, NULL, percent},
#include "skeleton_kit.def"
#undef KIT_FILE
#undef KIT_PROGRESS
};

// Copies the kit's files byte for byte into InstallDir\SKEL, moving the bar as
// the list says; none when that directory does not fit TargetDir.
static void CopyKit(HWND bar)
{
    char kit[KitPathCapacity];
    BOOL fits = JoinPath(kit, TargetDirCapacity, InstallDir, "\\SKEL");
    if (fits)
        MakeDirectory(kit); // it may exist already
    for (const auto &row : KitRows) {
        char source[KitPathCapacity], destination[KitPathCapacity];
        if (!row.media)
            SetPageProgress(bar, row.progress);
        else if (fits && JoinPath(source, sizeof source, SourceDir, row.media) &&
                 JoinPath(destination, sizeof destination, kit, row.kit))
            CopyFileRaw(destination, source);
    }
}

// Writes InstallDir + subdirectory as a key of the builder settings file.
static void WriteBuilderSetting(const char *key, const char *subdirectory)
{
    char path[KitPathCapacity];
    if (JoinPath(path, TargetDirCapacity, InstallDir, subdirectory))
        WritePrivateProfileStringA("Misc", key, path, "skybuild.ini");
}

void InstallBuilder(HWND page)
{
    static const ProductShortcut shortcuts[] = {
        {"SKY Builder.lnk", "skybuild.exe"},
        {"Read Me.lnk", "readme.txt"},
    };
    HWND bar = CreatePageProgressBar(page, "Installing SKY Builder...");
    StringCchCopyA(InstallDir, InstallDirCapacity, TargetDir); // same capacity: fits
    ExpandFile("SKYBUILD.EXE");
    PlainFileFlag = 1;
    ExpandFile("README.TXT");
    PlainFileFlag = 0;
    SetPageProgress(bar, 20);

    CreateProductShortcuts("SKY Builder", shortcuts, ARRAYSIZE(shortcuts), "SKYBuild", BuilderLinkCapacity,
                           BuilderTargetCapacity);
    SetPageProgress(bar, 40);

    CopyKit(bar);

    WriteBuilderSetting("InstallDirectory", "");
    WriteBuilderSetting("SkeletonDirectory", "\\skel");
    // Where the builder makes new distributions; only named, never created.
    WriteBuilderSetting("CreateDir", "\\newsky");
    SetPageProgress(bar, 100);
}
