// Native fuzz target (libFuzzer) for the settings file held in memory: a file,
// three LFs, then up to 16 writes of section, key and value, each ended by a
// NUL (each write loads the file again: more would be slow). Every write made
// in memory must match the same write made to the file as last saved and
// loaded again, and a key with a plain name reads back what was written to it.
// Built by scripts/fuzz.
#include <ctype.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "profile_text.h"

static std::string Saved(const ProfileText *text)
{
    size_t size;
    char *bytes = ProfileSave(text, &size);
    if (!bytes)
        abort();
    std::string saved(bytes, size);
    free(bytes);
    return saved;
}

static bool Plain(const std::string &name)
{
    for (char c : name)
        if (!isalnum((unsigned char)c))
            return false;
    return !name.empty();
}

// What a read of a plainly named key gives back: the value trimmed, one pair of quotes dropped.
static std::string ReadBack(std::string value)
{
    const char *spaces = "\t\n\v\f\r\x1a ";
    value.erase(0, value.find_first_not_of(spaces) == std::string::npos ? value.size()
                                                                         : value.find_first_not_of(spaces));
    value.erase(value.find_last_not_of(spaces) + 1);
    if (value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string input(reinterpret_cast<const char *>(data), size);
    size_t split = input.find("\n\n\n");
    std::string file = input.substr(0, split), writes = split == std::string::npos ? "" : input.substr(split + 3);
    ProfileText text = {};
    if (!ProfileLoad(&text, file.data(), file.size()))
        abort();
    std::string parts[3];
    size_t at = 0;
    for (int n = 0, count = 0; at < writes.size() && count < 16 * 3; n = (n + 1) % 3, count++) {
        size_t end = writes.find('\0', at);
        parts[n] = writes.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? writes.size() : end + 1;
        if (n < 2)
            continue;
        ProfileText reloaded = {};
        std::string before = text.changed ? Saved(&text) : file;
        if (!ProfileLoad(&reloaded, before.data(), before.size()))
            abort();
        int changed = ProfileSet(&text, parts[0].c_str(), parts[1].c_str(), parts[2].c_str());
        int again = ProfileSet(&reloaded, parts[0].c_str(), parts[1].c_str(), parts[2].c_str());
        if (changed < 0 || changed != again || (changed && Saved(&text) != Saved(&reloaded))) {
            fprintf(stderr, "write %zu: %d in memory, %d after loading again\n", at, changed, again);
            abort();
        }
        ProfileFree(&reloaded);
        size_t length;
        const char *value = ProfileGet(&text, parts[0].c_str(), parts[1].c_str(), "", (size_t)-1, &length);
        if (Plain(parts[0]) && Plain(parts[1]) && parts[2].find_first_of("\r\n") == std::string::npos &&
            std::string(value, length) != ReadBack(parts[2])) {
            fprintf(stderr, "write %zu reads back as \"%.*s\"\n", at, (int)length, value);
            abort();
        }
    }
    ProfileFree(&text);
    return 0;
}
