// The screen saver step, run from the second product page: the saver into the
// Windows directory and, as SKYLOOP.EXE, into the chosen directory, its files,
// its default settings, the current screen saver and the desktop links.
#include "suite.h"
#include "toolkit.h"

enum { SaverPathCapacity = 500 }; // the desktop folder, link and target paths

static const char *const MapFiles[] = {"BGROUND.BMP", "BRICKS.BMP", "WOOD.BMP"};

// The six models, the cube faces and the cube description, in media order.
static const char *const ModelFiles[] = {
    "3D.SKY",  "HEARTFG.SKY", "SPHEREF.SKY", "TORUSF.SKY", "CUBE1.SKY", "CUBE2.SKY",
    "CNB.BMP", "CNF.BMP",     "CNK.BMP",     "CNL.BMP",    "CNR.BMP",   "CNT.BMP",
    "CSB.BMP", "CSF.BMP",     "CSK.BMP",     "CSL.BMP",    "CSR.BMP",   "CST.BMP",
    "3DCUBES.TXT",
};

static const ProductShortcut Shortcuts[] = {
    {"Skyloop Settings.lnk", "skyloop.exe"}, // the copy renamed from SKYLOOP.SCR
    {"Skyloop Help.lnk", "skyloop.hlp"},
    {"Read Me.lnk", "readmes.txt"},
};

void InstallSaver(HWND page)
{
    HWND bar = CreatePageProgressBar(page, "Installing Skyloop...");
    StringCchCopyA(InstallDir, InstallDirCapacity, TargetDir); // same capacity: fits

    ExpandSaverIntoWindows();
    InstallSaverProgram();
    ExpandFile("SKYLOOP.HLP");
    PlainFileFlag = 1;
    ExpandFile("READMES.TXT");
    PlainFileFlag = 0;
    SetPageProgress(bar, 40);

    ExpandIntoSubdirectory("\\MAPS", MapFiles, ARRAYSIZE(MapFiles));
    ExpandIntoSubdirectory("\\MODELS", ModelFiles, ARRAYSIZE(ModelFiles));
    SetPageProgress(bar, 60);

    WriteSaverDefaultsHead();
    SetPageProgress(bar, 80);
    WriteSaverDefaultsTail();
    // Left on the last settings path, as this step always has.
    char last[500];
    if (JoinPath(last, sizeof last, InstallDir, "\\MODELS\\HEARTFG.SKY"))
        SetTargetDir(last);

    ActivateScreenSaver();
    CreateProductShortcuts("Skyloop", Shortcuts, ARRAYSIZE(Shortcuts), "Skyloop",
                           SaverPathCapacity, SaverPathCapacity);
    SetPageProgress(bar, 100);
}
