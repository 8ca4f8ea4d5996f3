// The modeller step: Modelex with its maps and sample models, the .sky file
// type, the WinG runtime and the desktop folder with its shortcuts.
#include <string.h>

#include "suite.h"
#include "toolkit.h"

enum { ModellerPathCapacity = 500 };

// The .sky file type's open command, with room for the whole of InstallDir in
// quotation marks.
static char OpenCommand[ModellerPathCapacity + sizeof "\"\\modelex.exe\" %1"];

static void DeleteOldSettings(void)
{
    char path[ModellerPathCapacity];
    UINT n = GetWindowsDirectoryA(path, sizeof path);
    if (n == 0 || n >= sizeof path || FAILED(StringCchCatA(path, sizeof path, "\\MODELEX.INI")))
        return; // a cut-off path could name another file
    DeleteFileA(path);
}

// A blank in the program's path would make the shell run the text up to the
// blank, so such a path is quoted; a path without one is left as it is.
static BOOL BuildOpenCommand(void)
{
    const char *format =
        strchr(InstallDir, ' ') ? "\"%s\\modelex.exe\" %%1" : "%s\\modelex.exe %%1";
    return FormatText(OpenCommand, sizeof OpenCommand, format, InstallDir);
}

static void SetDefaultText(HKEY key, const char *text)
{
    RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE *)text, (DWORD)strlen(text) + 1);
}

static void RegisterFileType(void)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, ".sky", &key) == ERROR_SUCCESS) {
        SetDefaultText(key, "Modelex.3DFile");
        RegCloseKey(key);
    }

    HKEY type;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, "Modelex.3DFile", &type) != ERROR_SUCCESS)
        return;
    SetDefaultText(type, "Modelex 3D File");
    static const char *const levels[] = {"Shell", "Open", "Command"};
    HKEY parent = type;
    for (const char *level : levels) {
        HKEY child;
        LONG made = RegCreateKeyA(parent, level, &child);
        RegCloseKey(parent);
        if (made != ERROR_SUCCESS)
            return;
        parent = child;
    }
    if (BuildOpenCommand())
        SetDefaultText(parent, OpenCommand);
    RegCloseKey(parent);
}

void InstallModeller(HWND page)
{
    static const char *const maps[] = {"BGROUND.BMP", "BRICKS.BMP", "WOOD.BMP"};
    static const char *const samples[] = {"BRAID.SKY", "CHALICE.SKY", "VENUS3.SKY"};
    static const ProductShortcut shortcuts[] = {
        {"Modelex.lnk", "modelex.exe"},
        {"Modelex Help.lnk", "modelex.hlp"},
        {"Read Me.lnk", "readmem.txt"},
    };

    HWND bar = CreatePageProgressBar(page, "Installing Modelex...");
    ExpandFile("MODELEX.EXE");
    ExpandFile("MODELEX.HLP");
    PlainFileFlag = 1;
    ExpandFile("READMEM.TXT");
    PlainFileFlag = 0;
    SetPageProgress(bar, 10);

    StringCchCopyA(InstallDir, InstallDirCapacity, TargetDir); // same capacity: fits
    ExpandIntoSubdirectory("\\MAPS", maps, ARRAYSIZE(maps));
    ExpandIntoSubdirectory("\\SAMPLES", samples, ARRAYSIZE(samples));
    SetPageProgress(bar, 40);

    DeleteOldSettings(); // the new modeller starts from its defaults
    RegisterFileType();
    SetPageProgress(bar, 60);

    InstallWinGRuntime();
    SetPageProgress(bar, 80);

    CreateProductShortcuts("Modelex", shortcuts, ARRAYSIZE(shortcuts), "Modelex", ModellerPathCapacity,
                           ModellerPathCapacity);
    SetPageProgress(bar, 100);
}
