#include <string.h>

#include "system_ini_lines.h"

static const char DeviceLine[] = "Device=DVA.386";
static const char DeviceSection[] = "[386enh]";

// The line that starts at text[at]: its length without the line end, and
// where the next one starts. A line ends at LF, or at CR LF; a CR on its own
// is an ordinary byte.
static size_t LineAt(const char *text, size_t size, size_t at, size_t *next, int *ended)
{
    size_t end = at;
    while (end < size && text[end] != '\n')
        end++;
    *ended = end < size;
    *next = *ended ? end + 1 : end;
    return (*ended && end > at && text[end - 1] == '\r' ? end - 1 : end) - at;
}

static int Lower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// The profile functions ignore letter case in names, and so do we: the
// section is usually written "[386Enh]".
static int BeginsWith(const char *line, size_t len, const char *prefix)
{
    size_t n = strlen(prefix);
    if (len < n)
        return 0;
    for (size_t i = 0; i < n; i++) {
        if (Lower((unsigned char)line[i]) != Lower((unsigned char)prefix[i]))
            return 0;
    }
    return 1;
}

int NeedsDeviceLine(const char *text, size_t size)
{
    int sectionFound = 0, ended;
    size_t next;
    for (size_t at = 0; at < size; at = next) {
        size_t len = LineAt(text, size, at, &next, &ended);
        if (BeginsWith(text + at, len, DeviceLine))
            return 0;
        sectionFound = sectionFound || BeginsWith(text + at, len, DeviceSection);
    }
    return sectionFound;
}

static size_t Put(char *out, size_t at, const char *data, size_t len)
{
    if (out)
        memcpy(out + at, data, len);
    return at + len;
}

size_t WithDeviceLine(const char *text, size_t size, char *out)
{
    size_t written = 0, next;
    int ended;
    for (size_t at = 0; at < size; at = next) {
        size_t len = LineAt(text, size, at, &next, &ended);
        written = Put(out, written, text + at, len);
        // A header on the last line, without a line end, still gets a line of its own after it.
        int header = BeginsWith(text + at, len, DeviceSection);
        if (ended || header)
            written = Put(out, written, "\r\n", 2);
        if (header)
            written = Put(out, Put(out, written, DeviceLine, strlen(DeviceLine)), "\r\n", 2);
    }
    return written;
}
