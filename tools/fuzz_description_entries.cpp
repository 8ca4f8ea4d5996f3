// Native fuzz target (libFuzzer) for what the distribution installer takes
// from a description file anybody may have written: the entry counts and the
// listed file names. Built by scripts/fuzz.
#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "description_entries.h"

// The count on whole numbers: the standard conversion, held to 0..MaxEntryCount.
static int ExpectedCount(const char *text)
{
    errno = 0;
    long long n = strtoll(text, nullptr, 10);
    if (errno == ERANGE)
        n = n < 0 ? -1 : MaxEntryCount + 1;
    return n < 0 ? 0 : n > MaxEntryCount ? MaxEntryCount : (int)n;
}

static bool IsDeviceStem(std::string stem)
{
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char &c : stem)
        c = (char)toupper((unsigned char)c);
    for (const char *device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (stem == device)
            return true;
    unsigned char digit = stem.size() == 4 ? (unsigned char)stem[3] : 0;
    return (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem.size() == 4 &&
           ((digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    text = text.substr(0, text.find('\0'));
    int count = ReadEntryCount(text.c_str());
    if (count != ExpectedCount(text.c_str()))
        abort();

    bool plain = IsPlainFileName(text.c_str()) != 0;
    bool separators = text.find_first_of("\\/:") != std::string::npos, control = false;
    for (unsigned char c : text)
        control = control || c < 32;
    bool onlyDots = text.find_first_not_of(". ") == std::string::npos;
    bool expected = !separators && !control && !onlyDots && !IsDeviceStem(text.substr(0, text.find('.')));
    if (plain != expected)
        abort();
    return 0;
}
