// The distribution description (SKYSETUP.INI beside the installer) into the
// saver settings file: its models and maps expanded, its settings copied.
#include "description_entries.h"
#include "kit.h"
#include "profile_text.h"
#include "toolkit.h"

enum {
    DescriptionPathCapacity = 500,
    CountCapacity = 255,
    ValueCapacity = 500,
    KeyCapacity = 256,
    ModelPathCapacity = 256
};

static char Description[DescriptionPathCapacity]; // SourceDir\SKYSETUP.INI
// The description read once: a profile read opens the file anew each time, and
// a description with counts of 9999 asks for some 40,000 keys.
static ProfileText DescriptionText;
static BOOL DescriptionInMemory;

static void Read(const char *section, const char *key, const char *fallback, char *value, DWORD capacity)
{
    if (!DescriptionInMemory) {
        GetPrivateProfileStringA(section, key, fallback, value, capacity, Description);
        return;
    }
    ReadProfileValue(&DescriptionText, section, key, fallback, value, capacity);
}

// Reads a count and returns its value; its text is left in text.
static int ReadCount(const char *key, char *text)
{
    Read("Global", key, "1", text, CountCapacity);
    return ReadEntryCount(text);
}

// Copies a key unchanged; an absent key is written empty.
static void CopySetting(const char *section, const char *key)
{
    char value[ValueCapacity];
    Read(section, key, "", value, sizeof value);
    WriteSaverSetting(section, key, value);
}

// Reads the name under stem + index and expands it into TargetDir. Returns
// the path it names there for the saver settings: the directory ending in a
// backslash for an empty name, empty for a name that is no plain file name or
// whose path does not fit (such a file is noted as missed).
static void ExpandEntry(const char *section, const char *stem, int index, char *path)
{
    char key[KeyCapacity], name[ValueCapacity];
    FormatText(key, sizeof key, "%s%03i", stem, index); // at most 11 characters
    Read(section, key, "", name, sizeof name);
    path[0] = '\0';
    if (name[0] == '\0') {
        JoinPath(path, ModelPathCapacity, TargetDir, "\\");
        return;
    }
    if (!IsPlainFileName(name))
        return; // never a file, nor a path to one, outside TargetDir
    char tail[ValueCapacity + 1];
    FormatText(tail, sizeof tail, "\\%s", name); // 499 characters at most: fits
    if (!JoinPath(path, ModelPathCapacity, TargetDir, tail)) {
        // A file the pass was to install all the same.
        char shown[ModelPathCapacity + ValueCapacity];
        FormatText(shown, sizeof shown, "%s%s", TargetDir, tail);
        NoteMissedFile(shown);
        path[0] = '\0';
        return;
    }
    ExpandFile(name);
}

static void ExpandMaps(const char *countKey, const char *section)
{
    char text[CountCapacity], unused[ModelPathCapacity];
    int count = ReadCount(countKey, text);
    for (int i = 0; i < count; i++)
        ExpandEntry(section, "EntryMap", i, unused);
}

void TransferDistributionSettings(void)
{
    FormatText(Description, sizeof Description, "%s\\SKYSETUP.INI", SourceDir); // 200 + 13: fits
    DescriptionInMemory = LoadProfileFile(Description, FALSE, &DescriptionText);
    BeginSaverSettings(); // one write of the saver settings file, however many entries

    char text[CountCapacity];
    int models = ReadCount("NoOfEntries", text);
    WriteSaverSetting("Global", "NoOfEntries", text);
    for (int i = 0; i < models; i++) {
        char key[KeyCapacity], path[ModelPathCapacity];
        ExpandEntry("Entries", "EntryFN", i, path);
        FormatText(key, sizeof key, "EntryFN%03i", i);
        WriteSaverSetting("Entries", key, path);
        FormatText(key, sizeof key, "EntryPM%03i", i);
        CopySetting("Entries", key);
    }

    // Private maps lie beside the models; public ones in the shared directory.
    ExpandMaps("PrivateBMPEntries", "PrivateMaps");
    if (TargetBelowInstallDir("\\MAPS"))
        ExpandMaps("PublicBMPEntries", "PublicMaps");

    WriteSaverMisc(0);
    CopySetting("Global", "Speed");
    CopySetting("Global", "Sequence");
    SeedTableOrder();
    static const char *const reminder[] = {"Activated", "Caption1", "Caption2", "Caption3", "ExecFile",
                                           "ReminderPeriod"};
    for (const char *key : reminder)
        CopySetting("Reminder", key);
    // Settings the screen saver would not find are a file the pass could not install.
    char settings[MAX_PATH];
    if (!EndSaverSettings())
        NoteMissedFile(WindowsFilePath(settings, sizeof settings, SAVER_SETTINGS_FILE) ? settings
                                                                                       : SAVER_SETTINGS_FILE);
    ProfileFree(&DescriptionText);
    DescriptionInMemory = FALSE;
}
