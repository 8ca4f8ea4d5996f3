// Passes of writes to the saver settings file, and the TableOrder seed both
// installers share.
#include <stdlib.h>

#include "table_order.h"
#include "toolkit.h"

// The profile functions rewrite the whole file for every key they write: a
// distribution with thousands of entries took minutes. A pass holds it instead.
static BOOL PassOpen; // an inner pass would be overwritten by the outer one's end

SettingsPass BeginSaverSettings(void)
{
    SettingsPass pass = {};
    if (PassOpen)
        return pass;
    PassOpen = TRUE;
    pass.road = PASS_THROUGH_PROFILE;
    pass.whole = TRUE;
    char path[MAX_PATH];
    if (!WindowsFilePath(path, sizeof path, SAVER_SETTINGS_FILE))
        return pass;
    // Writes made through the profile functions may still wait in their cache.
    WritePrivateProfileStringA(NULL, NULL, NULL, path);
    if (LoadProfileFile(path, TRUE, &pass.text) && pass.text.stable)
        pass.road = PASS_IN_MEMORY;
    else
        ProfileFree(&pass.text);
    return pass;
}

// What the text holds goes to the file, whole or not at all; unchanged, the
// file is left alone, as the profile functions leave it.
static void LeaveMemory(SettingsPass *pass)
{
    char path[MAX_PATH], copy[MAX_PATH], backup[MAX_PATH];
    size_t size;
    char *bytes = pass->text.changed ? ProfileSave(&pass->text, &size) : NULL;
    BOOL saved = !pass->text.changed ||
                 (bytes && WindowsFilePath(path, sizeof path, SAVER_SETTINGS_FILE) &&
                  WindowsFilePath(copy, sizeof copy, SAVER_SETTINGS_COPY) &&
                  WindowsFilePath(backup, sizeof backup, SAVER_SETTINGS_BACKUP) &&
                  WriteWholeFile(copy, bytes, size) && ReplaceWholeFile(copy, path, backup));
    if (!saved)
        pass->whole = FALSE;
    free(bytes);
    ProfileFree(&pass->text);
    pass->road = PASS_THROUGH_PROFILE;
}

BOOL EndSaverSettings(SettingsPass *pass)
{
    if (pass->road == PASS_ENDED)
        return FALSE;
    if (pass->road == PASS_IN_MEMORY)
        LeaveMemory(pass);
    pass->road = PASS_ENDED;
    PassOpen = FALSE;
    return pass->whole;
}

void WriteSaverSetting(SettingsPass *pass, const char *section, const char *key, const char *value)
{
    if (pass->road == PASS_IN_MEMORY) {
        if (ProfileSet(&pass->text, section, key, value) >= 0)
            return;
        LeaveMemory(pass);
    }
    // The bare name puts the file in the Windows directory.
    if (pass->road != PASS_THROUGH_PROFILE ||
        !WritePrivateProfileStringA(section, key, value, SAVER_SETTINGS_FILE))
        pass->whole = FALSE;
}

void SeedTableOrder(SettingsPass *pass)
{
    char text[128];
    ZeroMemory(text, sizeof text);
    if (pass->road == PASS_IN_MEMORY)
        ProfileGet(&pass->text, "Global", "TableOrder", "", text, sizeof text);
    else
        GetPrivateProfileStringA("Global", "TableOrder", "", text, sizeof text, SAVER_SETTINGS_FILE);
    if (FoldTableOrder(text) != 0)
        return;

    // Windows' long is 32 bits; past 2038 the seconds wrap, which still seeds.
    uint32_t seconds = SecondsSince1970();
    long now = seconds <= (uint32_t)INT32_MAX ? (long)seconds
                                               : -(long)(UINT32_MAX - seconds) - 1;
    WriteSaverNumber(pass, "Global", "TableOrder", now);
}
