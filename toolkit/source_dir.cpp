#include <string.h>

#include "toolkit.h"

static void CutAtLastBackslash(char *path)
{
    char *cut = strrchr(path, '\\');
    if (cut)
        *cut = '\0';
    else
        path[0] = '\0';
}

void DeriveSourceDir(void)
{
    DWORD n = GetModuleFileNameA(NULL, SourceDir, (DWORD)SourceDirCapacity);
    if (n == 0 || n >= (DWORD)SourceDirCapacity) {
        // A cut-off path could name another directory. A name no file system
        // accepts makes every later open fail, and be reported, instead.
        StringCchCopyA(SourceDir, SourceDirCapacity, "?");
        return;
    }
    CutAtLastBackslash(SourceDir);
}
