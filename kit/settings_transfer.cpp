// The distribution description (SKYSETUP.INI beside the installer) into the
// saver settings file: its models and maps expanded, its settings copied.
#include "description_entries.h"
#include "kit.h"
#include "toolkit.h"

enum {
    DescriptionPathCapacity = 500,
    CountCapacity = 255,
    ValueCapacity = 500,
    KeyCapacity = 256,
    ModelPathCapacity = 256
};

// The description, read once: a profile read opens the file anew each time, and
// a description with counts of 9999 asks for some 40,000 keys.
struct Description {
    char path[DescriptionPathCapacity]; // SourceDir\SKYSETUP.INI
    BOOL inMemory;                      // else read through the profile functions
    ProfileText text;
};

static void Read(const Description *d, const char *section, const char *key, const char *fallback,
                 char *value, DWORD capacity)
{
    if (d->inMemory)
        ProfileGet(&d->text, section, key, fallback, value, capacity);
    else
        GetPrivateProfileStringA(section, key, fallback, value, capacity, d->path);
}

// Reads a count and returns its value; its text is left in text.
static int ReadCount(const Description *d, const char *key, char *text)
{
    Read(d, "Global", key, "1", text, CountCapacity);
    return ReadEntryCount(text);
}

// Copies a key unchanged; an absent key is written empty.
static void CopySetting(const Description *d, SettingsPass *pass, const char *section, const char *key)
{
    char value[ValueCapacity];
    Read(d, section, key, "", value, sizeof value);
    WriteSaverSetting(pass, section, key, value);
}

// Reads the name under stem + index and expands it into dir. Returns the path
// it names there for the saver settings: dir ending in a backslash for an
// empty name, empty for a name that is no plain file name or whose path does
// not fit (such a file is noted as missed).
static void ExpandEntry(const Description *d, const char *dir, const char *section, const char *stem,
                        int index, char *path)
{
    char key[KeyCapacity], name[ValueCapacity];
    FormatText(key, sizeof key, "%s%03i", stem, index); // at most 11 characters
    Read(d, section, key, "", name, sizeof name);
    path[0] = '\0';
    if (name[0] == '\0') {
        JoinPath(path, ModelPathCapacity, dir, "\\");
        return;
    }
    if (!IsPlainFileName(name))
        return; // never a file, nor a path to one, outside dir
    char tail[ValueCapacity + 1];
    FormatText(tail, sizeof tail, "\\%s", name); // 499 characters at most: fits
    if (!JoinPath(path, ModelPathCapacity, dir, tail)) {
        // A file the pass was to install all the same.
        char shown[ModelPathCapacity + ValueCapacity];
        FormatText(shown, sizeof shown, "%s%s", dir, tail);
        NoteMissedFile(shown);
        path[0] = '\0';
        return;
    }
    ExpandFileInto(dir, name);
}

static void ExpandMaps(const Description *d, const char *dir, const char *countKey, const char *section)
{
    char text[CountCapacity], unused[ModelPathCapacity];
    int count = ReadCount(d, countKey, text);
    for (int i = 0; i < count; i++)
        ExpandEntry(d, dir, section, "EntryMap", i, unused);
}

void TransferDistributionSettings(void)
{
    Description d = {};
    FormatText(d.path, sizeof d.path, "%s\\SKYSETUP.INI", SourceDir); // 200 + 13: fits
    d.inMemory = LoadProfileFile(d.path, FALSE, &d.text);
    char samples[ModelPathCapacity], maps[ModelPathCapacity]; // InstallDir: 200 characters at most
    JoinPath(samples, sizeof samples, InstallDir, "\\SAMPLES");
    JoinPath(maps, sizeof maps, InstallDir, "\\MAPS");
    SettingsPass pass = BeginSaverSettings(); // one write of the saver settings file, however many entries

    char text[CountCapacity];
    int models = ReadCount(&d, "NoOfEntries", text);
    WriteSaverSetting(&pass, "Global", "NoOfEntries", text);
    for (int i = 0; i < models; i++) {
        char key[KeyCapacity], path[ModelPathCapacity];
        ExpandEntry(&d, samples, "Entries", "EntryFN", i, path);
        FormatText(key, sizeof key, "EntryFN%03i", i);
        WriteSaverSetting(&pass, "Entries", key, path);
        FormatText(key, sizeof key, "EntryPM%03i", i);
        CopySetting(&d, &pass, "Entries", key);
    }

    // Private maps lie beside the models; public ones in the shared directory.
    ExpandMaps(&d, samples, "PrivateBMPEntries", "PrivateMaps");
    ExpandMaps(&d, maps, "PublicBMPEntries", "PublicMaps");

    WriteSaverMisc(&pass, 0);
    CopySetting(&d, &pass, "Global", "Speed");
    CopySetting(&d, &pass, "Global", "Sequence");
    SeedTableOrder(&pass);
    static const char *const reminder[] = {"Activated", "Caption1", "Caption2", "Caption3", "ExecFile",
                                           "ReminderPeriod"};
    for (const char *key : reminder)
        CopySetting(&d, &pass, "Reminder", key);
    // Settings the screen saver would not find are a file the pass could not install.
    char settings[MAX_PATH];
    if (!EndSaverSettings(&pass))
        NoteMissedFile(WindowsFilePath(settings, sizeof settings, SAVER_SETTINGS_FILE) ? settings
                                                                                       : SAVER_SETTINGS_FILE);
    ProfileFree(&d.text);
}
