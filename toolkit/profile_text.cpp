#include "profile_text.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

struct ProfileBlock {
    ProfileBlock *next;
    size_t used, size;
};

// What the profile functions trim from lines, names and values.
static int IsSpace(char c)
{
    return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20;
}

static unsigned char Fold(char c)
{
    return (unsigned char)(c >= 'A' && c <= 'Z' ? c + 32 : c);
}

static uint32_t Hash(const char *name, size_t length, uint32_t seed)
{
    uint32_t h = 2166136261u ^ seed;
    for (size_t i = 0; i < length; i++)
        h = (h ^ Fold(name[i])) * 16777619u;
    return h;
}

static int SameName(const char *stored, const char *name, size_t length)
{
    for (size_t i = 0; i < length; i++)
        if (stored[i] == '\0' || Fold(stored[i]) != Fold(name[i]))
            return 0;
    return stored[length] == '\0';
}

static size_t TrimmedLength(const char *name)
{
    size_t n = strlen(name);
    while (n > 0 && IsSpace(name[n - 1]))
        n--;
    return n;
}

static char *Store(ProfileText *t, const char *s, size_t length)
{
    ProfileBlock *b = t->blocks;
    if (!b || b->size - b->used < length + 1) {
        size_t size = length + 1 > 16384 ? length + 1 : 16384;
        b = (ProfileBlock *)malloc(sizeof *b + size);
        if (!b)
            return NULL;
        b->next = t->blocks;
        b->used = 0;
        b->size = size;
        t->blocks = b;
    }
    char *copy = (char *)(b + 1) + b->used;
    memcpy(copy, s, length);
    copy[length] = '\0';
    b->used += length + 1;
    return copy;
}

// The slot holding the first section of this name, or the free slot where it would go.
static size_t SectionSlot(const ProfileText *t, const char *name, size_t length)
{
    size_t mask = t->sectionSlotCount - 1;
    for (size_t i = Hash(name, length, 0) & mask;; i = (i + 1) & mask) {
        int s = t->sectionSlots[i];
        if (s == 0 || SameName(t->sections[s - 1].name, name, length))
            return i;
    }
}

// The key's section is part of its hash: the table holds every section's keys.
static size_t KeySlot(const ProfileText *t, int section, const char *name, size_t length)
{
    size_t mask = t->keySlotCount - 1;
    for (size_t i = Hash(name, length, (uint32_t)section * 0x9e3779b9u) & mask;; i = (i + 1) & mask) {
        int k = t->keySlots[i];
        if (k == 0 || (t->keys[k - 1].section == section && SameName(t->keys[k - 1].name, name, length)))
            return i;
    }
}

// Lower indices come first in a section, so the first of equal names keeps the slot.
static void IndexSection(ProfileText *t, int s)
{
    size_t i = SectionSlot(t, t->sections[s].name, strlen(t->sections[s].name));
    if (t->sectionSlots[i] == 0)
        t->sectionSlots[i] = s + 1;
}

static void IndexKey(ProfileText *t, int k)
{
    size_t i = KeySlot(t, t->keys[k].section, t->keys[k].name, strlen(t->keys[k].name));
    if (t->keySlots[i] == 0)
        t->keySlots[i] = k + 1;
}

static int FindSection(const ProfileText *t, const char *name, size_t length)
{
    return t->sectionSlotCount ? t->sectionSlots[SectionSlot(t, name, length)] - 1 : -1;
}

static int FindKey(const ProfileText *t, int section, const char *name, size_t length)
{
    return t->keySlotCount ? t->keySlots[KeySlot(t, section, name, length)] - 1 : -1;
}

// A hash table with room for needed entries, the first count of them indexed
// again by index when it had to grow.
static int Rehash(ProfileText *t, int **slots, size_t *slotCount, int count, int needed,
                  void (*index)(ProfileText *, int))
{
    size_t room = *slotCount ? *slotCount : 64;
    while (room < (size_t)needed * 2)
        room *= 2;
    if (room == *slotCount)
        return 1;
    int *fresh = (int *)calloc(room, sizeof *fresh);
    if (!fresh)
        return 0;
    free(*slots);
    *slots = fresh;
    *slotCount = room;
    for (int i = 0; i < count; i++)
        index(t, i);
    return 1;
}

// Room in *items for needed of them, *room doubled as often as that takes; 0,
// both as they were, when out of memory.
static int GrowArray(void **items, int *room, int needed, size_t size, int initial)
{
    if (needed <= *room)
        return 1;
    int grown = *room ? *room : initial;
    while (grown < needed)
        grown *= 2;
    void *moved = realloc(*items, (size_t)grown * size);
    if (!moved)
        return 0;
    *items = moved;
    *room = grown;
    return 1;
}

// Room for more sections and keys, so that adding them cannot fail.
static int Grow(ProfileText *t, int moreSections, int moreKeys)
{
    void *sections = t->sections, *keys = t->keys;
    int grown = GrowArray(&sections, &t->sectionRoom, t->sectionCount + moreSections, sizeof *t->sections, 16) &&
                GrowArray(&keys, &t->keyRoom, t->keyCount + moreKeys, sizeof *t->keys, 64);
    t->sections = (ProfileSection *)sections;
    t->keys = (ProfileKey *)keys;
    return grown &&
           Rehash(t, &t->sectionSlots, &t->sectionSlotCount, t->sectionCount, t->sectionCount + moreSections,
                  IndexSection) &&
           Rehash(t, &t->keySlots, &t->keySlotCount, t->keyCount, t->keyCount + moreKeys, IndexKey);
}

static void AddSection(ProfileText *t, char *name)
{
    int s = t->sectionCount++;
    t->sections[s].name = name;
    t->sections[s].first = t->sections[s].last = -1;
    IndexSection(t, s);
}

static int AddKey(ProfileText *t, int s, char *name, char *value)
{
    int k = t->keyCount++;
    t->keys[k].name = name;
    t->keys[k].value = value;
    t->keys[k].next = -1;
    t->keys[k].section = s;
    if (t->sections[s].last >= 0)
        t->keys[t->sections[s].last].next = k;
    else
        t->sections[s].first = k;
    t->sections[s].last = k;
    IndexKey(t, k);
    return k;
}

enum { LINE_BLANK, LINE_HEADER, LINE_KEY };

struct Line {
    const char *name, *value; // value NULL: no '='
    size_t nameLength, valueLength;
};

// Reads the line at *at, moving *at past it and the line ends after it: any
// run of CR and LF ends a line.
static int ReadLine(const char **at, const char *end, Line *line)
{
    const char *start = *at, *stop = start;
    while (stop < end && *stop != '\n' && *stop != '\r')
        stop++;
    *at = stop;
    while (*at < end && (**at == '\n' || **at == '\r'))
        (*at)++;
    while (start < stop && IsSpace(*start))
        start++;
    while (stop > start && IsSpace(stop[-1]))
        stop--;
    if (start == stop)
        return LINE_BLANK;
    if (*start == '[') {
        const char *close = stop; // just past the last ']'
        while (close > start && close[-1] != ']')
            close--;
        if (close > start) {
            const char *name = start + 1, *nameEnd = close - 1;
            while (name < nameEnd && IsSpace(*name))
                name++;
            while (nameEnd > name && IsSpace(nameEnd[-1]))
                nameEnd--;
            line->name = name;
            line->nameLength = (size_t)(nameEnd - name);
            return LINE_HEADER;
        }
    }
    const char *equals = start;
    while (equals < stop && *equals != '=')
        equals++;
    line->name = start;
    line->value = equals < stop ? equals : NULL;
    const char *nameEnd = equals;
    while (nameEnd > start && IsSpace(nameEnd[-1]))
        nameEnd--;
    line->nameLength = (size_t)(nameEnd - start);
    if (line->value) {
        line->value++;
        while (line->value < stop && IsSpace(*line->value))
            line->value++;
        line->valueLength = (size_t)(stop - line->value);
    }
    return LINE_KEY;
}

// Names and values are cut in place in one copy of the bytes; like the
// profile functions' strings, each ends at its first NUL.
static int LoadOnly(ProfileText *t, const char *bytes, size_t size)
{
    if (size == 0)
        return 1;
    char *copy = Store(t, bytes, size);
    if (!copy || !Grow(t, 1, 0))
        return 0;
    AddSection(t, copy + size); // the "" at its end
    const char *at = copy, *end = copy + size;
    int previous = -1;
    Line line;
    while (at < end) {
        int kind = ReadLine(&at, end, &line);
        if (kind == LINE_HEADER) {
            if (!Grow(t, 1, 0))
                return 0;
            char *name = copy + (line.name - copy);
            name[line.nameLength] = '\0';
            AddSection(t, name);
            previous = -1;
        } else if (kind == LINE_KEY) {
            // A nameless line after a nameless key is dropped.
            if (!line.nameLength && previous >= 0 && !t->keys[previous].name[0])
                continue;
            if (!Grow(t, 0, 1))
                return 0;
            char *name = copy + (line.name - copy), *value = NULL;
            if (line.value) {
                value = copy + (line.value - copy);
                value[line.valueLength] = '\0';
            }
            name[line.nameLength] = '\0';
            previous = AddKey(t, t->sectionCount - 1, name, value);
        }
    }
    return 1;
}

// A change not yet in the sections and keys: a key's new value (key), a key
// appended to a section (section), or a new section with its key (neither).
struct Edit {
    int key, section;
    const char *sectionName, *keyName, *value; // value NULL: no change
};

static size_t Put(char *out, size_t at, const char *s)
{
    size_t n = strlen(s);
    if (out)
        memcpy(out + at, s, n);
    return at + n;
}

static size_t PutHeader(char *out, size_t at, const char *name)
{
    if (!name[0])
        return at;
    at = Put(out, at, "[");
    at = Put(out, at, name);
    return Put(out, at, "]\r\n");
}

static size_t PutKey(char *out, size_t at, const char *name, const char *value)
{
    at = Put(out, at, name);
    if (value) {
        at = Put(out, at, "=");
        at = Put(out, at, value);
    }
    return Put(out, at, "\r\n");
}

// The profile functions' save: each section's header (none for a nameless one), then its keys, a line each.
static size_t Emit(const ProfileText *t, const Edit *e, char *out)
{
    size_t at = 0;
    for (int s = 0; s < t->sectionCount; s++) {
        at = PutHeader(out, at, t->sections[s].name);
        for (int k = t->sections[s].first; k >= 0; k = t->keys[k].next)
            at = PutKey(out, at, t->keys[k].name, e->value && k == e->key ? e->value : t->keys[k].value);
        if (e->value && e->key < 0 && e->section == s)
            at = PutKey(out, at, e->keyName, e->value);
    }
    if (e->value && e->key < 0 && e->section < 0) {
        at = PutHeader(out, at, e->sectionName);
        at = PutKey(out, at, e->keyName, e->value);
    }
    return at;
}

static char *EmitAll(const ProfileText *t, const Edit *e, size_t *size)
{
    *size = Emit(t, e, NULL);
    char *bytes = (char *)malloc(*size + 1);
    if (bytes)
        Emit(t, e, bytes);
    return bytes;
}

static int SameText(const ProfileText *a, const ProfileText *b)
{
    if (a->sectionCount != b->sectionCount)
        return 0;
    for (int s = 0; s < a->sectionCount; s++) {
        if (strcmp(a->sections[s].name, b->sections[s].name) != 0)
            return 0;
        int ka = a->sections[s].first, kb = b->sections[s].first;
        for (; ka >= 0 && kb >= 0; ka = a->keys[ka].next, kb = b->keys[kb].next) {
            const char *va = a->keys[ka].value, *vb = b->keys[kb].value;
            if (strcmp(a->keys[ka].name, b->keys[kb].name) != 0 || !va != !vb || (va && strcmp(va, vb) != 0))
                return 0;
        }
        if (ka != kb)
            return 0;
    }
    return 1;
}

int ProfileLoad(ProfileText *t, const char *bytes, size_t size)
{
    if (!LoadOnly(t, bytes, size)) {
        ProfileFree(t);
        return 0;
    }
    // Most files come back the same; then a change is saved and loaded again
    // by updating one key. Otherwise (or without the memory to tell) every
    // change is saved and loaded whole.
    Edit none = {-1, -1, NULL, NULL, NULL};
    size_t again;
    char *saved = EmitAll(t, &none, &again);
    ProfileText reloaded = {};
    t->stable = saved && LoadOnly(&reloaded, saved, again) && SameText(t, &reloaded);
    ProfileFree(&reloaded);
    free(saved);
    return 1;
}

static int SaveAndReload(ProfileText *t, const Edit *e)
{
    size_t size;
    char *bytes = EmitAll(t, e, &size);
    ProfileText fresh = {};
    if (!bytes || !ProfileLoad(&fresh, bytes, size)) {
        free(bytes);
        return -1;
    }
    ProfileFree(t);
    *t = fresh;
    t->saved = bytes;
    t->savedSize = size;
    t->changed = 1;
    return 1;
}

static const char *SkipSpaces(const char *text)
{
    while (IsSpace(*text))
        text++;
    return text;
}

// The key's index, its section's in *s (-1: none). Leading spaces never count;
// trailing ones are not matched, but stay in a name that is added.
static int FindEntry(const ProfileText *t, const char **section, const char **key, int *s)
{
    *section = SkipSpaces(*section);
    *key = SkipSpaces(*key);
    *s = FindSection(t, *section, TrimmedLength(*section));
    return *s >= 0 ? FindKey(t, *s, *key, TrimmedLength(*key)) : -1;
}

int ProfileSet(ProfileText *t, const char *section, const char *key, const char *value)
{
    int s, k = FindEntry(t, &section, &key, &s);
    value = SkipSpaces(value);
    if (k >= 0 && t->keys[k].value && strcmp(t->keys[k].value, value) == 0)
        return 0;
    Edit e = {k, s, section, key, value};
    if (s < 0 || !t->stable)
        return SaveAndReload(t, &e);

    // Loaded again, the key's line alone must give back its key, or the whole file is.
    const char *name = k >= 0 ? t->keys[k].name : key;
    size_t nameLength = strlen(name), valueLength = strlen(value), length = nameLength + valueLength + 1;
    if (length + 1 > t->lineRoom) {
        char *room = (char *)realloc(t->line, length + 1);
        if (!room)
            return -1;
        t->line = room;
        t->lineRoom = length + 1;
    }
    memcpy(t->line, name, nameLength);
    t->line[nameLength] = '=';
    memcpy(t->line + nameLength + 1, value, valueLength);
    const char *at = t->line, *end = t->line + length;
    Line line, rest;
    if (ReadLine(&at, end, &line) != LINE_KEY || !line.value || line.nameLength != nameLength ||
        memcmp(line.name, name, nameLength) != 0)
        return SaveAndReload(t, &e);
    while (at < end)
        if (ReadLine(&at, end, &rest) != LINE_BLANK)
            return SaveAndReload(t, &e);
    int last = t->sections[s].last;
    if (k < 0 && !nameLength && last >= 0 && !t->keys[last].name[0])
        return SaveAndReload(t, &e);

    if (!Grow(t, 0, k < 0))
        return -1;
    char *raw = Store(t, value, valueLength);
    char *loaded = raw && line.valueLength != valueLength ? Store(t, line.value, line.valueLength) : raw;
    char *added = loaded && k < 0 ? Store(t, key, nameLength) : NULL;
    if (!loaded || (k < 0 && !added))
        return -1;
    if (k < 0)
        k = AddKey(t, s, added, loaded);
    else
        t->keys[k].value = loaded;
    free(t->saved);
    t->saved = NULL;
    t->rawKey = k;
    t->rawValue = raw;
    t->changed = 1;
    return 1;
}

const char *ProfileGet(const ProfileText *t, const char *section, const char *key, const char *fallback,
                       size_t capacity, size_t *length)
{
    int s, k = FindEntry(t, &section, &key, &s);
    const char *v = k >= 0 ? t->keys[k].value : NULL;
    size_t n;
    if (v) {
        n = strlen(v);
    } else {
        // The fallback loses trailing blanks, but never its first character.
        v = fallback;
        n = strlen(v);
        while (n > 1 && v[n - 1] == ' ')
            n--;
    }
    int quoted = n > 1 && (v[0] == '\'' || v[0] == '"') && v[n - 1] == v[0];
    if (quoted) {
        v++;
        n--;
    }
    size_t copied = capacity ? (n < capacity - 1 ? n : capacity - 1) : 0;
    // The closing quote goes only when the rest fits; then the last character
    // copied goes, whatever it is.
    if (quoted && capacity >= n && copied > 0)
        copied--;
    *length = copied;
    return v;
}

char *ProfileSave(const ProfileText *t, size_t *size)
{
    if (t->saved) {
        char *copy = (char *)malloc(t->savedSize + 1);
        if (copy)
            memcpy(copy, t->saved, t->savedSize);
        *size = t->savedSize;
        return copy;
    }
    Edit raw = {t->rawValue ? t->rawKey : -1, -1, NULL, NULL, t->rawValue};
    return EmitAll(t, &raw, size);
}

void ProfileFree(ProfileText *t)
{
    while (t->blocks) {
        ProfileBlock *next = t->blocks->next;
        free(t->blocks);
        t->blocks = next;
    }
    free(t->sections);
    free(t->keys);
    free(t->sectionSlots);
    free(t->keySlots);
    free(t->line);
    free(t->saved);
    memset(t, 0, sizeof *t);
}
