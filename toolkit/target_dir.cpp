// Paths: joined whole or not at all, and TargetDir pointed at the directories
// files are expanded into.
#include "toolkit.h"

BOOL JoinPath(char *path, size_t capacity, const char *dir, const char *tail)
{
    return SUCCEEDED(StringCchCopyA(path, capacity, dir)) && SUCCEEDED(StringCchCatA(path, capacity, tail));
}

BOOL WindowsFilePath(char *path, size_t capacity, const char *name)
{
    UINT n = GetWindowsDirectoryA(path, (UINT)capacity);
    return n > 0 && n < capacity && SUCCEEDED(StringCchCatA(path, capacity, "\\")) &&
           SUCCEEDED(StringCchCatA(path, capacity, name));
}

BOOL IsFullPath(const char *path)
{
    char c = path[0];
    BOOL drive = ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':' && path[2] == '\\';
    BOOL unc = path[0] == '\\' && path[1] == '\\' && path[2] != '\0';
    return drive || unc;
}

BOOL MakeAbsoluteDir(char *dir, size_t capacity)
{
    if (dir[0] == '\0' || IsFullPath(dir))
        return TRUE;
    char full[2 * MAX_PATH];
    DWORD n = GetFullPathNameA(dir, sizeof full, full, NULL);
    if (n == 0 || n >= sizeof full || n >= capacity)
        return FALSE;
    return SUCCEEDED(StringCchCopyA(dir, capacity, full));
}

BOOL SetTargetDir(const char *dir)
{
    size_t len;
    if (FAILED(StringCchLengthA(dir, TargetDirCapacity, &len)))
        return FALSE;
    StringCchCopyA(TargetDir, TargetDirCapacity, dir);
    return TRUE;
}

enum { LocalPathCapacity = 500 }; // at least TargetDir's

BOOL ExpandFileInto(const char *dir, const char *name)
{
    char previous[LocalPathCapacity];
    StringCchCopyA(previous, sizeof previous, TargetDir);
    if (!SetTargetDir(dir)) {
        char shown[2 * LocalPathCapacity];
        StringCchCopyA(shown, sizeof shown, dir);
        StringCchCatA(shown, sizeof shown, "\\");
        StringCchCatA(shown, sizeof shown, name); // cut short only past what the list keeps
        NoteMissedFile(shown);
        return FALSE;
    }
    BOOL whole = ExpandFile(name);
    SetTargetDir(previous);
    return whole;
}

void ExpandIntoSubdirectory(const char *subdirectory, const char *const *names, int count)
{
    char dir[LocalPathCapacity];
    size_t capacity = TargetDirCapacity < LocalPathCapacity ? TargetDirCapacity : LocalPathCapacity;
    if (!JoinPath(dir, capacity, InstallDir, subdirectory))
        return;
    MakeDirectory(dir); // it may exist already
    for (int i = 0; i < count; i++)
        ExpandFileInto(dir, names[i]);
}
