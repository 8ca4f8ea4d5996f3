// Settings files: the saver settings file, SKYLOOP.INI, written in passes, and
// settings files read once into memory, as the profile functions read them.
#ifndef SETTINGS_H
#define SETTINGS_H

#include <windows.h>

#include "profile_text.h"

// Loads a settings file into an empty text, opened as the profile functions
// open it to read (or to write, forWriting); a missing file loads empty.
// FALSE when they would not read it byte for byte (a byte-order mark, a
// multi-byte code page), cannot open it, or memory runs out.
BOOL LoadProfileFile(const char *path, BOOL forWriting, ProfileText *text);

// Addressed by its bare name: the profile functions put it in the Windows directory.
#define SAVER_SETTINGS_FILE "SKYLOOP.INI"
// What SKYLOOP.INI is written as, and kept as, while it is replaced.
#define SAVER_SETTINGS_COPY "SKYLOOP.QQQ"
#define SAVER_SETTINGS_BACKUP "SKYLOOP.QQB"

enum SettingsRoad {
    PASS_ENDED,           // ended, or refused: begun inside another pass
    PASS_IN_MEMORY,       // in text, written whole at the end when a write changed it
    PASS_THROUGH_PROFILE  // each write through WritePrivateProfileStringA
};
// A pass over SKYLOOP.INI, held by its caller from Begin to End. The road is
// chosen at Begin: in memory when the file loads and its text is stable, else
// through the profile functions. It leaves memory at one write only: one the
// text cannot make exactly (ProfileSet); what the text holds is then written
// out and the rest of the pass goes through the profile functions. Either way
// the file ends as those functions would leave it.
struct SettingsPass {
    SettingsRoad road;
    BOOL whole;       // every write so far is in the file, or in text for the end
    ProfileText text; // the file, on the road in memory
};
SettingsPass BeginSaverSettings(void);
// Ends the pass: TRUE when the file holds every write made in it.
BOOL EndSaverSettings(SettingsPass *pass);
void WriteSaverSetting(SettingsPass *pass, const char *section, const char *key, const char *value);
void WriteSaverNumber(SettingsPass *pass, const char *section, const char *key, long number);
// The current time as [Global] TableOrder, unless the value there folds to nonzero.
void SeedTableOrder(SettingsPass *pass);

// stem + index as "%03i" ("EntryFN" and 7 give "EntryFN007"); FALSE when it does not fit.
BOOL NumberedKey(char *key, size_t capacity, const char *stem, int index);
// Writes InstallDir + subdirectory (+ file, unless NULL); a path longer than
// InstallDir can hold is not written (FALSE): it would send the saver elsewhere.
BOOL WriteSaverPath(SettingsPass *pass, const char *section, const char *key, const char *subdirectory,
                    const char *file);
// [Misc] Normal, InstallDirectory, MapsDirectory, BackgroundMap, from InstallDir.
void WriteSaverMisc(SettingsPass *pass, int normal);
// The suite's defaults in two passes, so its screen saver step can move the bar
// between them: Misc and the first two entries, then the rest.
void WriteSaverDefaultsHead(void);
void WriteSaverDefaultsTail(void);

#endif
