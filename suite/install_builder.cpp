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

static const struct {
    const char *media, *kit; // the file's name on the media, and in the kit
} KitFiles[] = {
#define KIT_FILE(media, kit) {media, kit},
#include "skeleton_kit.def"
#undef KIT_FILE
};

// Copies kit files [from, to) into TargetDir, the kit directory, byte for
// byte; nothing when that directory did not fit TargetDir.
static void CopyKitFiles(BOOL inKit, int from, int to)
{
    for (int i = from; inKit && i < to; i++) {
        char source[KitPathCapacity], destination[KitPathCapacity];
        if (JoinPath(source, sizeof source, SourceDir, KitFiles[i].media) &&
            JoinPath(destination, sizeof destination, TargetDir, KitFiles[i].kit))
            CopyFileRaw(destination, source);
    }
}

// Writes InstallDir + subdirectory as a key of the builder settings file.
static void WriteBuilderSetting(const char *key, const char *subdirectory)
{
    if (TargetBelowInstallDir(subdirectory))
        WritePrivateProfileStringA("Misc", key, TargetDir, "skybuild.ini");
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

    CreateProductShortcuts("SKY Builder", shortcuts, 2, "SKYBuild", BuilderLinkCapacity, BuilderTargetCapacity);
    SetPageProgress(bar, 40);

    BOOL inKit = TargetBelowInstallDir("\\SKEL");
    if (inKit)
        MakeDirectory(TargetDir); // it may exist already
    CopyKitFiles(inKit, 0, 4);
    SetPageProgress(bar, 60);
    CopyKitFiles(inKit, 4, 10);
    SetPageProgress(bar, 80);
    CopyKitFiles(inKit, 10, 12);

    WriteBuilderSetting("InstallDirectory", "");
    WriteBuilderSetting("SkeletonDirectory", "\\skel");
    // Where the builder makes new distributions; only named, never created.
    WriteBuilderSetting("CreateDir", "\\newsky");
    SetPageProgress(bar, 100);
}
