// Paths: joined whole or not at all, and TargetDir pointed at the directories
// a step expands into.
#include "toolkit.h"

BOOL JoinPath(char *path, size_t capacity, const char *dir, const char *tail)
{
    return SUCCEEDED(StringCchCopyA(path, capacity, dir)) && SUCCEEDED(StringCchCatA(path, capacity, tail));
}

BOOL SetTargetDir(const char *dir)
{
    size_t len;
    if (FAILED(StringCchLengthA(dir, TargetDirCapacity, &len)))
        return FALSE;
    StringCchCopyA(TargetDir, TargetDirCapacity, dir);
    return TRUE;
}

BOOL TargetBelowInstallDir(const char *subdirectory)
{
    char path[500];
    if (FAILED(StringCchPrintfA(path, sizeof path, "%s%s", InstallDir, subdirectory)))
        return FALSE;
    return SetTargetDir(path);
}

void ExpandIntoSubdirectory(const char *subdirectory, const char *const *names, int count)
{
    if (!TargetBelowInstallDir(subdirectory))
        return;
    MakeDirectory(TargetDir); // it may exist already
    for (int i = 0; i < count; i++)
        ExpandFile(names[i]);
}
