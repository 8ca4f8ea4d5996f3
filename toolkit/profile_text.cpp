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

static uint32_t Hash(const char *name, int section)
{
    uint32_t h = 2166136261u ^ ((uint32_t)section * 0x9e3779b9u);
    for (; *name; name++)
        h = (h ^ Fold(*name)) * 16777619u;
    return h;
}

static int SameName(const char *a, const char *b)
{
    while (*a && Fold(*a) == Fold(*b))
        a++, b++;
    return *a == *b;
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

// The slot of section's key of this name, or with section -1 of the first
// section of this name; else the free slot where it would go.
static size_t Slot(const ProfileText *t, int section, const char *name)
{
    size_t mask = t->slotCount - 1;
    for (size_t i = Hash(name, section) & mask;; i = (i + 1) & mask) {
        int e = t->slots[i];
        if (e == 0)
            return i;
        if (section < 0 ? e < 0 && SameName(t->sections[-e - 1].name, name)
                        : e > 0 && t->keys[e - 1].section == section && SameName(t->keys[e - 1].name, name))
            return i;
    }
}

// Lower indices come first in the file, so the first of equal names keeps the slot.
static void Index(ProfileText *t, int section, const char *name, int entry)
{
    size_t i = Slot(t, section, name);
    if (t->slots[i] == 0)
        t->slots[i] = entry;
}

// A section's index (section -1) or a key's in section; -1 when there is none.
static int Find(const ProfileText *t, int section, const char *name)
{
    int e = t->slotCount ? t->slots[Slot(t, section, name)] : 0;
    return e > 0 ? e - 1 : -e - 1;
}

// Room in *items for needed of them, *room doubled as often as that takes.
static int GrowArray(void **items, int *room, int needed, size_t size)
{
    if (needed <= *room)
        return 1;
    int grown = *room ? *room : 16;
    while (grown < needed)
        grown *= 2;
    void *moved = realloc(*items, (size_t)grown * size);
    if (!moved)
        return 0;
    *items = moved;
    *room = grown;
    return 1;
}

// Room for more sections and keys, so that adding them cannot fail; the hash
// table stays at most half full.
static int Grow(ProfileText *t, int moreSections, int moreKeys)
{
    void *sections = t->sections, *keys = t->keys;
    int grown = GrowArray(&sections, &t->sectionRoom, t->sectionCount + moreSections, sizeof *t->sections) &&
                GrowArray(&keys, &t->keyRoom, t->keyCount + moreKeys, sizeof *t->keys);
    t->sections = (ProfileSection *)sections;
    t->keys = (ProfileKey *)keys;
    size_t needed = 2 * (size_t)(t->sectionCount + moreSections + t->keyCount + moreKeys);
    size_t room = t->slotCount ? t->slotCount : 64;
    while (room < needed)
        room *= 2;
    if (!grown || room == t->slotCount)
        return grown;
    int *slots = (int *)calloc(room, sizeof *slots);
    if (!slots)
        return 0;
    free(t->slots);
    t->slots = slots;
    t->slotCount = room;
    for (int s = 0; s < t->sectionCount; s++)
        Index(t, -1, t->sections[s].name, -(s + 1));
    for (int k = 0; k < t->keyCount; k++)
        Index(t, t->keys[k].section, t->keys[k].name, k + 1);
    return 1;
}

static int AddSection(ProfileText *t, char *name)
{
    int s = t->sectionCount++;
    t->sections[s] = ProfileSection{name, -1, -1};
    Index(t, -1, name, -(s + 1));
    return s;
}

static int AddKey(ProfileText *t, int s, char *name, char *value)
{
    int k = t->keyCount++;
    t->keys[k] = ProfileKey{name, value, s, -1};
    if (t->sections[s].last >= 0)
        t->keys[t->sections[s].last].next = k;
    else
        t->sections[s].first = k;
    t->sections[s].last = k;
    Index(t, s, name, k + 1);
    return k;
}

enum { LINE_BLANK, LINE_HEADER, LINE_KEY };

struct Line {
    char *name, *value; // value NULL: no '='
    size_t nameLength, valueLength;
};

// Moves start and stop inward past what the profile functions trim.
static void Trim(char **start, char **stop)
{
    while (*start < *stop && IsSpace(**start))
        ++*start;
    while (*stop > *start && IsSpace((*stop)[-1]))
        --*stop;
}

// Reads the line at *at, moving *at past it and the line ends after it: any
// run of CR and LF ends a line.
static int ReadLine(char **at, char *end, Line *line)
{
    char *start = *at, *stop = start;
    while (stop < end && *stop != '\n' && *stop != '\r')
        stop++;
    for (*at = stop; *at < end && (**at == '\n' || **at == '\r');)
        ++*at;
    Trim(&start, &stop);
    if (start == stop)
        return LINE_BLANK;
    char *close = stop; // just past the last ']'
    while (*start == '[' && close > start && close[-1] != ']')
        close--;
    if (*start == '[' && close > start) {
        line->name = start + 1;
        char *nameEnd = close - 1;
        Trim(&line->name, &nameEnd);
        line->nameLength = (size_t)(nameEnd - line->name);
        return LINE_HEADER;
    }
    char *equals = start;
    while (equals < stop && *equals != '=')
        equals++;
    char *nameEnd = equals;
    Trim(&start, &nameEnd);
    line->name = start;
    line->nameLength = (size_t)(nameEnd - start);
    line->value = equals < stop ? equals + 1 : NULL;
    if (line->value) {
        Trim(&line->value, &stop);
        line->valueLength = (size_t)(stop - line->value);
    }
    return LINE_KEY;
}

// Names and values are cut in place in one copy of the bytes.
static int LoadLines(ProfileText *t, const char *bytes, size_t size)
{
    t->stable = 1;
    if (size == 0)
        return 1;
    char *at = Store(t, bytes, size), *end = at ? at + size : NULL;
    if (!at || !Grow(t, 1, 0))
        return 0;
    // Like Wine's strings, each name and value ends at its first NUL: such a
    // file, saved and loaded again, would not come back the same.
    t->stable = strlen(at) == size;
    AddSection(t, end); // the "" at its end
    int previous = -1;
    Line line;
    while (at < end) {
        int kind = ReadLine(&at, end, &line);
        // A nameless line after a nameless key is dropped.
        if (kind == LINE_BLANK ||
            (kind == LINE_KEY && !line.nameLength && previous >= 0 && !t->keys[previous].name[0]))
            continue;
        if (!Grow(t, kind == LINE_HEADER, kind == LINE_KEY))
            return 0;
        line.name[line.nameLength] = '\0';
        if (kind == LINE_HEADER) {
            // Saved without a header, its keys would join the section before.
            t->stable = t->stable && line.name[0];
            AddSection(t, line.name);
            previous = -1;
        } else {
            if (line.value)
                line.value[line.valueLength] = '\0';
            previous = AddKey(t, t->sectionCount - 1, line.name, line.value);
        }
    }
    return 1;
}

int ProfileLoad(ProfileText *t, const char *bytes, size_t size)
{
    if (LoadLines(t, bytes, size))
        return 1;
    ProfileFree(t);
    return 0;
}

// What a writer of fixed names uses, and what a line gives back as it stands.
static int PlainName(const char *name)
{
    for (const char *c = name; *c; c++)
        if (*c <= ' ' || *c >= 0x7f || *c == '[' || *c == ']' || *c == '=')
            return 0;
    return name[0] != '\0';
}

int ProfileSet(ProfileText *t, const char *section, const char *key, const char *value)
{
    while (IsSpace(*value))
        value++;
    size_t length = strlen(value);
    if (!t->stable || !PlainName(section) || !PlainName(key) || strchr(value, '\r') || strchr(value, '\n') ||
        (length > 0 && IsSpace(value[length - 1])))
        return -1;
    int s = Find(t, -1, section), k = s >= 0 ? Find(t, s, key) : -1;
    if (k >= 0 && t->keys[k].value && strcmp(t->keys[k].value, value) == 0)
        return 0;
    if (!Grow(t, s < 0, k < 0))
        return -1;
    // Each NULL when out of memory, the next then too.
    char *stored = Store(t, value, length);
    char *name = k >= 0 || !stored ? stored : Store(t, key, strlen(key));
    char *header = s >= 0 || !name ? name : Store(t, section, strlen(section));
    if (!header)
        return -1;
    if (s < 0)
        s = AddSection(t, header);
    if (k < 0)
        AddKey(t, s, name, stored);
    else
        t->keys[k].value = stored;
    t->changed = 1;
    return 1;
}

size_t ProfileGet(const ProfileText *t, const char *section, const char *key, const char *fallback,
                  char *value, size_t capacity)
{
    int s = Find(t, -1, section), k = s >= 0 ? Find(t, s, key) : -1;
    const char *v = k >= 0 && t->keys[k].value ? t->keys[k].value : fallback;
    size_t n = strlen(v);
    // The fallback loses trailing blanks, but never its first character.
    while (v == fallback && n > 1 && v[n - 1] == ' ')
        n--;
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
    if (capacity) {
        memcpy(value, v, copied);
        value[copied] = '\0';
    }
    return copied;
}

// a + b + c and a line end.
static size_t PutLine(char *out, size_t at, const char *a, const char *b, const char *c)
{
    const char *parts[] = {a, b, c, "\r\n"};
    for (const char *part : parts) {
        size_t n = strlen(part);
        if (out)
            memcpy(out + at, part, n);
        at += n;
    }
    return at;
}

// Each section's header (none for a nameless one), then its keys, a line each.
static size_t Emit(const ProfileText *t, char *out)
{
    size_t at = 0;
    for (int s = 0; s < t->sectionCount; s++) {
        if (t->sections[s].name[0])
            at = PutLine(out, at, "[", t->sections[s].name, "]");
        for (int k = t->sections[s].first; k >= 0; k = t->keys[k].next) {
            const char *value = t->keys[k].value;
            at = PutLine(out, at, t->keys[k].name, value ? "=" : "", value ? value : "");
        }
    }
    return at;
}

char *ProfileSave(const ProfileText *t, size_t *size)
{
    *size = Emit(t, NULL);
    char *bytes = (char *)malloc(*size + 1);
    if (bytes)
        Emit(t, bytes);
    return bytes;
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
    free(t->slots);
    memset(t, 0, sizeof *t);
}
