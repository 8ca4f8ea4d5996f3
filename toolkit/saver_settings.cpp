// The saver settings file, SKYLOOP.INI in the Windows directory: what both
// installers write there, and the TableOrder seed they share.
#include <stdlib.h>

#include "profile_text.h"
#include "table_order.h"
#include "toolkit.h"

// The profile functions rewrite the whole file for every key they write: a
// distribution with thousands of entries took minutes. A pass holds it instead.
enum PassMode { NO_PASS, PASS_IN_MEMORY, PASS_THROUGH_PROFILE };
static PassMode Pass;
static ProfileText Settings;
static BOOL PassWhole; // every write of the pass is in the file, or will be at its end

void BeginSaverSettings(void)
{
    Pass = PASS_THROUGH_PROFILE;
    PassWhole = TRUE;
    char path[MAX_PATH], backup[MAX_PATH];
    if (!WindowsFilePath(path, sizeof path, SAVER_SETTINGS_FILE) ||
        !WindowsFilePath(backup, sizeof backup, SAVER_SETTINGS_BACKUP))
        return;
    RestoreFromBackup(path, backup);
    // Writes made through the profile functions may still wait in their cache.
    WritePrivateProfileStringA(NULL, NULL, NULL, path);
    if (LoadProfileFile(path, TRUE, &Settings))
        Pass = PASS_IN_MEMORY;
}

static BOOL SaveSettings(void)
{
    char path[MAX_PATH], copy[MAX_PATH], backup[MAX_PATH];
    size_t size;
    char *bytes = ProfileSave(&Settings, &size);
    BOOL whole = bytes && WindowsFilePath(path, sizeof path, SAVER_SETTINGS_FILE) &&
                 WindowsFilePath(copy, sizeof copy, SAVER_SETTINGS_COPY) &&
                 WindowsFilePath(backup, sizeof backup, SAVER_SETTINGS_BACKUP) && WriteWholeFile(copy, bytes, size) &&
                 ReplaceWholeFile(copy, path, backup);
    free(bytes);
    return whole;
}

// What the pass holds in memory goes to the file; unchanged, the file is left
// alone, as the profile functions leave it.
static void SaveAndRelease(void)
{
    if (Settings.changed && !SaveSettings())
        PassWhole = FALSE;
    ProfileFree(&Settings);
}

BOOL EndSaverSettings(void)
{
    if (Pass == PASS_IN_MEMORY)
        SaveAndRelease();
    Pass = NO_PASS;
    return PassWhole;
}

void WriteSaverSetting(const char *section, const char *key, const char *value)
{
    if (Pass == PASS_IN_MEMORY) {
        if (ProfileSet(&Settings, section, key, value) >= 0)
            return;
        // Out of memory: the rest of the pass goes through the profile functions.
        SaveAndRelease();
        Pass = PASS_THROUGH_PROFILE;
    }
    // The bare name puts the file in the Windows directory.
    if (!WritePrivateProfileStringA(section, key, value, SAVER_SETTINGS_FILE))
        PassWhole = FALSE;
}

void WriteSaverNumber(const char *section, const char *key, long number)
{
    char text[16];
    FormatText(text, sizeof text, "%li", number);
    WriteSaverSetting(section, key, text);
}

BOOL NumberedKey(char *key, size_t capacity, const char *stem, int index)
{
    return FormatText(key, capacity, "%s%03i", stem, index);
}

BOOL WriteSaverPath(const char *section, const char *key, const char *subdirectory,
                    const char *file)
{
    char path[500];
    size_t capacity = (size_t)TargetDirCapacity;
    if (capacity > sizeof path)
        capacity = sizeof path;
    HRESULT fits = StringCchCopyA(path, capacity, InstallDir);
    if (SUCCEEDED(fits))
        fits = StringCchCatA(path, capacity, subdirectory);
    if (SUCCEEDED(fits) && file)
        fits = StringCchCatA(path, capacity, file);
    // A cut-off path would send the saver to some other file: better none.
    if (FAILED(fits))
        return FALSE;
    StringCchCopyA(TargetDir, TargetDirCapacity, path);
    WriteSaverSetting(section, key, TargetDir);
    return TRUE;
}

void WriteSaverMisc(int normal)
{
    WriteSaverNumber("Misc", "Normal", normal);
    WriteSaverSetting("Misc", "InstallDirectory", InstallDir);
    WriteSaverPath("Misc", "MapsDirectory", "\\MAPS", NULL);
    WriteSaverPath("Misc", "BackgroundMap", "\\MAPS", "\\BGROUND.BMP");
}

void SeedTableOrder(void)
{
    char text[128];
    ZeroMemory(text, sizeof text);
    if (Pass == PASS_IN_MEMORY) {
        ReadProfileValue(&Settings, "Global", "TableOrder", "", text, sizeof text);
    } else {
        GetPrivateProfileStringA("Global", "TableOrder", "", text, sizeof text, SAVER_SETTINGS_FILE);
    }
    if (FoldTableOrder(text) != 0)
        return;

    // Windows' long is 32 bits; past 2038 the seconds wrap, which still seeds.
    uint32_t seconds = SecondsSince1970();
    long now = seconds <= (uint32_t)INT32_MAX ? (long)seconds
                                               : -(long)(UINT32_MAX - seconds) - 1;
    WriteSaverNumber("Global", "TableOrder", now);
}
