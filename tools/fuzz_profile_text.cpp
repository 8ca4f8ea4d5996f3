// Native fuzz target (libFuzzer) for the settings file held in memory: a file,
// three LFs, then up to 16 writes of section, key and value, each ended by a
// NUL. A stable text saved and loaded again comes back the same and stable;
// every write it makes must match the same write made to the file as last
// saved and loaded again (the profile functions load it again between two
// writes); a write it refuses leaves it as it was; and a written key reads
// back what was written to it. Built by scripts/fuzz.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

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

static void Fail(const char *what, size_t at)
{
    fprintf(stderr, "write at %zu: %s\n", at, what);
    abort();
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
        std::string before = Saved(&text);
        ProfileText reloaded = {};
        if (!ProfileLoad(&reloaded, before.data(), before.size()))
            abort();
        if (text.stable && (!reloaded.stable || Saved(&reloaded) != before))
            Fail("a stable text comes back otherwise", at);
        int changed = ProfileSet(&text, parts[0].c_str(), parts[1].c_str(), parts[2].c_str());
        if (changed < 0) {
            if (Saved(&text) != before)
                Fail("refused, yet changed", at);
        } else if (changed != ProfileSet(&reloaded, parts[0].c_str(), parts[1].c_str(), parts[2].c_str()) ||
                   Saved(&text) != Saved(&reloaded)) {
            Fail("differs from the write made after loading again", at);
        } else {
            size_t skip = parts[2].find_first_not_of("\t\n\v\f\r\x1a ");
            std::string value(parts[2].size() + 2, '#');
            value.resize(ProfileGet(&text, parts[0].c_str(), parts[1].c_str(), "", &value[0], value.size()));
            std::string written = skip == std::string::npos ? "" : parts[2].substr(skip);
            if (written.size() > 1 && (written[0] == '"' || written[0] == '\'') && written.back() == written[0])
                written = written.substr(1, written.size() - 2);
            if (value != written)
                Fail("reads back otherwise", at);
        }
        ProfileFree(&reloaded);
    }
    ProfileFree(&text);
    return 0;
}
