// A settings file held in memory the way the profile functions hold it, so
// that a run of writes costs one read and one write of the file instead of a
// rewrite per key. Loading, finding, setting and saving follow their rules
// byte for byte for files in a single-byte code page without a byte-order
// mark, names matched with ASCII letters folded. Free of the Windows headers:
// it builds natively and is fuzzed.
#ifndef PROFILE_TEXT_H
#define PROFILE_TEXT_H

#include <stddef.h>

struct ProfileKey {
    char *name;
    char *value; // NULL: its line had no '='
    int next;    // the section's next key, -1 after its last
    int section;
};

struct ProfileSection {
    char *name;      // "" for the lines before the first header
    int first, last; // its keys, -1 when it has none
};

struct ProfileBlock; // storage for names and values, freed together

// Start from all zeros; ProfileFree returns it there.
struct ProfileText {
    ProfileSection *sections;
    int sectionCount, sectionRoom;
    ProfileKey *keys;
    int keyCount, keyRoom;
    int *sectionSlots, *keySlots; // hash tables of index + 1; 0 is free
    size_t sectionSlotCount, keySlotCount;
    ProfileBlock *blocks;
    char *line; // scratch for one line
    size_t lineRoom;
    int stable;  // saved and loaded again, it would come back the same
    int changed; // the file differs from what was loaded
    // The last change as it was saved, before loading it again trimmed it:
    // its key and value, or the whole file when the change was saved whole.
    int rawKey;
    char *rawValue;
    char *saved;
    size_t savedSize;
};

// Loads a file's bytes (none: a missing or empty file). 0 when out of memory.
int ProfileLoad(ProfileText *text, const char *bytes, size_t size);

// Writes a key as the profile write does, saving and loading the file again
// when it changed. Returns 1 when it changed, 0 when it did not, -1 when out
// of memory (nothing written; the text stays whole).
int ProfileSet(ProfileText *text, const char *section, const char *key, const char *value);

// What a profile read into a buffer of capacity characters returns: a span of
// the entry (or of fallback, for a missing key or one without '='), its
// length in *length, quotes stripped as that read strips them.
const char *ProfileGet(const ProfileText *text, const char *section, const char *key, const char *fallback,
                       size_t capacity, size_t *length);

// The bytes the file holds once a write changed it, in storage the caller
// frees; NULL when out of memory.
char *ProfileSave(const ProfileText *text, size_t *size);

void ProfileFree(ProfileText *text);

#endif
