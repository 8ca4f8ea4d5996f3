// Line handling for the virtual device line in SYSTEM.INI, on byte streams
// only, so that it builds and can be fuzzed without the Windows headers.
// Streams are opened in binary mode: line ends are handled here, so that a
// CR LF, a bare LF and a stray CR all come out the way Windows expects.
#ifndef SYSTEM_INI_LINES_H
#define SYSTEM_INI_LINES_H

#include <stdio.h>

// Lines are read in pieces of at most LinePieceCapacity - 1 bytes; only the
// first piece of a line is ever compared.
enum { LinePieceCapacity = 256 };

// Tells whether some line begins with the device line "Device=DVA.386" (the
// scan stops there) and whether some line begins with the section header
// "[386enh]"; letter case is ignored in both. 0, or -1 on a read error.
int ScanSystemIni(FILE *in, int *deviceFound, int *sectionFound);

// Copies in to out line by line, every line end written as CR LF, with the
// device line on its own line after every line that begins with the section
// header. 0, or -1 when reading or writing fails.
int CopyWithDeviceLine(FILE *in, FILE *out);

#endif
