// What the installers write into the saver settings file: paths below
// InstallDir, and the suite's defaults.
#include "toolkit.h"

BOOL NumberedKey(char *key, size_t capacity, const char *stem, int index)
{
    return FormatText(key, capacity, "%s%03i", stem, index);
}

void WriteSaverNumber(SettingsPass *pass, const char *section, const char *key, long number)
{
    char text[16];
    FormatText(text, sizeof text, "%li", number);
    WriteSaverSetting(pass, section, key, text);
}

BOOL WriteSaverPath(SettingsPass *pass, const char *section, const char *key, const char *subdirectory,
                    const char *file)
{
    char path[500];
    size_t capacity = (size_t)InstallDirCapacity < sizeof path ? (size_t)InstallDirCapacity : sizeof path;
    if (!JoinPath(path, capacity, InstallDir, subdirectory) ||
        (file && FAILED(StringCchCatA(path, capacity, file))))
        return FALSE;
    WriteSaverSetting(pass, section, key, path);
    return TRUE;
}

void WriteSaverMisc(SettingsPass *pass, int normal)
{
    WriteSaverNumber(pass, "Misc", "Normal", normal);
    WriteSaverSetting(pass, "Misc", "InstallDirectory", InstallDir);
    WriteSaverPath(pass, "Misc", "MapsDirectory", "\\MAPS", NULL);
    WriteSaverPath(pass, "Misc", "BackgroundMap", "\\MAPS", "\\BGROUND.BMP");
}

static const struct {
    const char *model;      // under InstallDir\MODELS
    const char *parameters; // the saver's 13 display parameters
} DefaultEntries[] = {
    {"\\3D.SKY", "2,350,350,1,0,3,0,0,10,0,270,10,45"},
    {"\\TORUSF.SKY", "2,400,400,1,0,1,1,0,10,0,270,10,45"},
    {"\\HEARTFG.SKY", "2,450,450,1,0,3,1,0,10,10,0,0,0"},
};
enum { HeadEntryCount = 2 }; // the step moves its bar after EntryPM001

// The maker's page; a domain reserved for examples, so it can reach no third party.
static const char MakerPage[] = "http://www.example.com/";

static void WriteDefaultEntry(SettingsPass *pass, int index)
{
    char key[16];
    NumberedKey(key, sizeof key, "EntryFN", index);
    WriteSaverPath(pass, "Entries", key, "\\MODELS", DefaultEntries[index].model);
    NumberedKey(key, sizeof key, "EntryPM", index);
    WriteSaverSetting(pass, "Entries", key, DefaultEntries[index].parameters);
}

// Each span is a pass of its own: the file is on the disk before the bar moves.
void WriteSaverDefaultsHead(void)
{
    SettingsPass pass = BeginSaverSettings();
    WriteSaverMisc(&pass, 1);
    for (int i = 0; i < HeadEntryCount; i++)
        WriteDefaultEntry(&pass, i);
    EndSaverSettings(&pass);
}

void WriteSaverDefaultsTail(void)
{
    SettingsPass pass = BeginSaverSettings();
    for (int i = HeadEntryCount; i < (int)ARRAYSIZE(DefaultEntries); i++)
        WriteDefaultEntry(&pass, i);
    WriteSaverNumber(&pass, "Global", "NoOfEntries", (int)ARRAYSIZE(DefaultEntries));
    WriteSaverNumber(&pass, "Global", "Speed", 10);
    WriteSaverNumber(&pass, "Global", "Sequence", 0);
    SeedTableOrder(&pass);
    WriteSaverNumber(&pass, "Reminder", "Activated", 1);
    WriteSaverSetting(&pass, "Reminder", "Caption1", "It's been a while since you visited");
    WriteSaverSetting(&pass, "Reminder", "Caption2", "Zentrix- you may be missing out on");
    WriteSaverSetting(&pass, "Reminder", "Caption3", "lots of new stuff - would you like to visit it now?");
    WriteSaverSetting(&pass, "Reminder", "ExecFile", MakerPage);
    WriteSaverNumber(&pass, "Reminder", "ReminderPeriod", 1209600L);
    EndSaverSettings(&pass);
}
