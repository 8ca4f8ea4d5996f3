// A settings file held in memory as Wine's profile functions hold it: the tests
// hold it against them, write by write and byte by byte. A run of writes then
// costs one read and one write of the file instead of a rewrite per key. Files
// in a single-byte code page without a byte-order mark; names matched with
// ASCII letters folded. Free of the Windows headers: it builds natively and is
// fuzzed.
#ifndef PROFILE_TEXT_H
#define PROFILE_TEXT_H

#include <stddef.h>

struct ProfileKey {
    char *name, *value; // value NULL: its line had no '='
    int section, next;  // next: the section's next key, -1 after its last
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
    int *slots; // hash table: 0 free, key index + 1, or -(section index + 1)
    size_t slotCount;
    ProfileBlock *blocks;
    int stable;  // saved and loaded again, it comes back the same: writes can be made in place
    int changed; // the file differs from what was loaded
};

// Loads a file's bytes (none: a missing or empty file). 0 when out of memory.
int ProfileLoad(ProfileText *text, const char *bytes, size_t size);

// Makes a write in place as the profile write makes it: a key replaced where it
// stands, a new key at the end of its section, a new section at the end. 1
// when the text changed, 0 when not, -1, nothing changed, when it cannot make
// this write exactly: an unstable text; a name not of printable ASCII or with
// '[', ']' or '='; a value with a line end, or ending in a blank (Wine's
// profile functions load the file again before the next write, which trims
// it); or memory runs out.
int ProfileSet(ProfileText *text, const char *section, const char *key, const char *value);

// What a profile read (GetPrivateProfileStringA) puts into value, a buffer of
// capacity characters, and returns, for names without surrounding blanks: the
// entry, or fallback for a missing key or one without '=', quotes stripped as
// that read strips them.
size_t ProfileGet(const ProfileText *text, const char *section, const char *key, const char *fallback,
                  char *value, size_t capacity);

// The bytes of the file as the profile functions save it, in storage the
// caller frees; NULL when out of memory.
char *ProfileSave(const ProfileText *text, size_t *size);

void ProfileFree(ProfileText *text);

#endif
