// Line handling for the virtual device line in SYSTEM.INI, from one buffer
// into another, so that it builds and can be fuzzed without the Windows
// headers. Line ends are handled here, so that a CR LF, a bare LF and a stray
// CR all come out the way Windows expects.
#ifndef SYSTEM_INI_LINES_H
#define SYSTEM_INI_LINES_H

#include <stddef.h>

// Whether SYSTEM.INI needs the device line: no line begins with the device
// line "Device=DVA.386", and some line begins with the section header
// "[386enh]" (without it there is no place for the line); letter case is
// ignored in both.
int NeedsDeviceLine(const char *text, size_t size);

// Writes text into out line by line, every line end as CR LF, with the device
// line on its own line after every line that begins with the section header;
// returns the bytes that takes. With out NULL it only counts them.
size_t WithDeviceLine(const char *text, size_t size, char *out);

#endif
