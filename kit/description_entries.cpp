#include "description_entries.h"

#include <string.h>

int ReadEntryCount(const char *text)
{
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        p++;
    int negative = *p == '-';
    if (*p == '-' || *p == '+')
        p++;
    int count = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        count = count * 10 + (*p - '0');
        if (count > MaxEntryCount)
            count = MaxEntryCount + 1; // stays above the cap without overflowing
    }
    if (negative)
        return 0;
    return count > MaxEntryCount ? MaxEntryCount : count;
}

static int Upper(char c)
{
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

// The system opens a device for these names in any directory, whatever follows a dot.
static int IsDeviceName(const char *name)
{
    static const char *const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    size_t stem = strcspn(name, ".");
    while (stem > 0 && name[stem - 1] == ' ')
        stem--;
    for (const char *device : devices) {
        size_t n = strlen(device), i = 0;
        while (i < n && Upper(name[i]) == device[i])
            i++;
        if (i == n && stem == n)
            return 1;
    }
    // COM1 to COM9 and LPT1 to LPT9, and with a superscript digit.
    if (stem != 4)
        return 0;
    unsigned char digit = (unsigned char)name[3];
    return ((digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3) &&
           ((Upper(name[0]) == 'C' && Upper(name[1]) == 'O' && Upper(name[2]) == 'M') ||
            (Upper(name[0]) == 'L' && Upper(name[1]) == 'P' && Upper(name[2]) == 'T'));
}

int IsPlainFileName(const char *name)
{
    int onlyDots = 1; // and blanks: the system drops them at the end of a name
    for (const unsigned char *p = (const unsigned char *)name; *p; p++) {
        if (*p == '\\' || *p == '/' || *p == ':' || *p < 32)
            return 0;
        if (*p != '.' && *p != ' ')
            onlyDots = 0;
    }
    return name[0] != '\0' && !onlyDots && !IsDeviceName(name);
}
