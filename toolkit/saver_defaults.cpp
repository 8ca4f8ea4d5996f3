// The suite installer's default saver settings, for the screen saver step.
#include "toolkit.h"

static const struct {
    const char *model;      // under InstallDir\MODELS
    const char *parameters; // the saver's 13 display parameters
} DefaultEntries[] = {
    {"\\3D.SKY", "2,350,350,1,0,3,0,0,10,0,270,10,45"},
    {"\\TORUSF.SKY", "2,400,400,1,0,1,1,0,10,0,270,10,45"},
    {"\\HEARTFG.SKY", "2,450,450,1,0,3,1,0,10,10,0,0,0"},
};
enum { DefaultEntryCount = sizeof DefaultEntries / sizeof DefaultEntries[0] };
enum { HeadEntryCount = 2 }; // the step moves its bar after EntryPM001

// The maker's page; a domain reserved for examples, so it can reach no third party.
static const char MakerPage[] = "http://www.example.com/";

static void WriteDefaultEntry(int index)
{
    char key[16];
    NumberedKey(key, sizeof key, "EntryFN", index);
    WriteSaverPath("Entries", key, "\\MODELS", DefaultEntries[index].model);
    NumberedKey(key, sizeof key, "EntryPM", index);
    WriteSaverSetting("Entries", key, DefaultEntries[index].parameters);
}

// Each span is a pass of its own: the file is on the disk before the bar moves.
void WriteSaverDefaultsHead(void)
{
    BeginSaverSettings();
    WriteSaverMisc(1);
    for (int i = 0; i < HeadEntryCount; i++)
        WriteDefaultEntry(i);
    EndSaverSettings();
}

void WriteSaverDefaultsTail(void)
{
    BeginSaverSettings();
    for (int i = HeadEntryCount; i < DefaultEntryCount; i++)
        WriteDefaultEntry(i);
    WriteSaverNumber("Global", "NoOfEntries", DefaultEntryCount);
    WriteSaverNumber("Global", "Speed", 10);
    WriteSaverNumber("Global", "Sequence", 0);
    SeedTableOrder();
    WriteSaverNumber("Reminder", "Activated", 1);
    WriteSaverSetting("Reminder", "Caption1", "It's been a while since you visited");
    WriteSaverSetting("Reminder", "Caption2", "Zentrix- you may be missing out on");
    WriteSaverSetting("Reminder", "Caption3", "lots of new stuff - would you like to visit it now?");
    WriteSaverSetting("Reminder", "ExecFile", MakerPage);
    WriteSaverNumber("Reminder", "ReminderPeriod", 1209600L);
    EndSaverSettings();
}
