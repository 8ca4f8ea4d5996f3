// Rewritten system files (SYSTEM.INI, SKYLOOP.INI) take their place whole or
// not at all: written beside the old file first, then moved over it.
#include "test_seams.h"
#include "toolkit.h"

BOOL WriteWholeFile(const char *path, const char *bytes, size_t size)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD written = 0;
    // On the disk before it takes the old file's place.
    BOOL whole = size <= MAXDWORD && WriteFile(file, bytes, (DWORD)size, &written, NULL) && written == size &&
                 FlushFileBuffers(file);
    if (!CloseHandle(file))
        whole = FALSE;
    if (!whole)
        DeleteFileA(path);
    return whole;
}

BOOL ReplaceKeepingBackup(const char *newPath, const char *path, const char *backupPath)
{
    // A backup left by an interrupted earlier run is older than path.
    DeleteFileA(backupPath);
    if (!MoveFileA(path, backupPath)) {
        DeleteFileA(newPath);
        return FALSE;
    }
    if (!MoveFileA(newPath, path)) {
        // Should even this fail, the backup still holds the whole old file.
        MoveFileA(backupPath, path);
        DeleteFileA(newPath);
        return FALSE;
    }
    DeleteFileA(backupPath);
    return TRUE;
}

BOOL ReplaceWholeFile(const char *newPath, const char *path, const char *backupPath)
{
    // Windows 95 has no way to replace a file in one step: it exports
    // MoveFileEx, but only to fail.
    if (!OnWindows95()) {
        if (MoveFileExA(newPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return TRUE;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
            DeleteFileA(newPath);
            return FALSE;
        }
    }
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES || GetLastError() != ERROR_FILE_NOT_FOUND)
        return ReplaceKeepingBackup(newPath, path, backupPath);
    if (MoveFileA(newPath, path))
        return TRUE;
    DeleteFileA(newPath);
    return FALSE;
}

// The backup of a replacement cut short is the only copy while path is
// missing, and stale once the new file is in place.
static void RestoreFromBackup(const char *path, const char *backupPath)
{
    if (GetFileAttributesA(backupPath) == INVALID_FILE_ATTRIBUTES)
        return;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        DeleteFileA(backupPath);
    else if (GetLastError() == ERROR_FILE_NOT_FOUND)
        MoveFileA(backupPath, path);
}

// Each backup's file, both in the Windows directory.
static void RestoreWindowsFile(const char *name, const char *backupName)
{
    char path[MAX_PATH], backup[MAX_PATH];
    if (WindowsFilePath(path, sizeof path, name) && WindowsFilePath(backup, sizeof backup, backupName))
        RestoreFromBackup(path, backup);
}

void RestoreInterruptedReplacements(void)
{
    RestoreWindowsFile("SYSTEM.INI", SYSTEM_INI_BACKUP);
    RestoreWindowsFile(SAVER_SETTINGS_FILE, SAVER_SETTINGS_BACKUP);
}
