// Native fuzz target (libFuzzer) for the programs' bounded formatter: one of
// the conversions it takes, between texts from the input, with a number or a
// text from the input, must give what snprintf gives, cut to the capacity,
// and say whether it cut. Built by scripts/fuzz.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "format_text.h"

static const char *const Conversions[] = {"%s",  "%d",  "%i",   "%u",   "%x",  "%c",   "%%",   "%ld",
                                          "%li", "%lu", "%03i", "%-5d", "%05x", "%-3s", "%12s", "%010lu"};

// What stands before the first NUL of the input's next bytes, with no conversion in it.
static std::string Literal(const uint8_t *data, size_t size, size_t *at)
{
    std::string text;
    while (*at < size && data[*at] && data[*at] != '%')
        text += (char)data[(*at)++];
    if (*at < size)
        (*at)++;
    return text;
}

template <typename T> static void Check(size_t capacity, const std::string &format, T value)
{
    char want[512], got[256];
    int length = snprintf(want, sizeof want, format.c_str(), value);
    memset(got, 0x55, sizeof got);
    bool whole = FormatText(got, capacity, format.c_str(), value);
    if (capacity == 0) {
        if (whole || got[0] != 0x55)
            abort();
        return;
    }
    size_t kept = (size_t)length < capacity ? (size_t)length : capacity - 1;
    if (whole != ((size_t)length < capacity) || memcmp(got, want, kept) != 0 || got[kept] != '\0' ||
        (kept + 1 < sizeof got && got[kept + 1] != 0x55)) {
        fprintf(stderr, "\"%s\" in %zu: \"%s\", want \"%.*s\" (%s)\n", format.c_str(), capacity, got, (int)kept,
                want, whole ? "whole" : "cut");
        abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2 + sizeof(long))
        return 0;
    size_t capacity = data[0] % 256, at = 2 + sizeof(long);
    const char *conversion = Conversions[data[1] % (sizeof Conversions / sizeof *Conversions)];
    long number;
    memcpy(&number, data + 2, sizeof number);
    std::string format = Literal(data, size, &at) + conversion;
    format += Literal(data, size, &at);
    std::string text = Literal(data, size, &at);
    switch (conversion[strlen(conversion) - 1]) {
    case 's':
        Check(capacity, format, text.c_str());
        break;
    case 'u':
    case 'x':
        if (strchr(conversion, 'l'))
            Check(capacity, format, (unsigned long)number);
        else
            Check(capacity, format, (unsigned)number);
        break;
    default:
        if (strchr(conversion, 'l'))
            Check(capacity, format, number);
        else
            Check(capacity, format, (int)number);
    }
    return 0;
}
