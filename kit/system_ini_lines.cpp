#include <string.h>

#include "system_ini_lines.h"

static const char DeviceLine[] = "Device=DVA.386";
static const char DeviceSection[] = "[386enh]";

static const char LineEnd[] = "\r\n";

// Reads the next piece of a line into piece, without its line end. A line
// ends at LF, or at CR LF; a CR on its own is an ordinary byte. lineEnded
// tells whether the line ended with this piece; a result of 0 with no line end
// means the stream is exhausted.
static size_t ReadPiece(FILE *in, char *piece, int *lineEnded)
{
    size_t len = 0;
    *lineEnded = 0;
    while (len < LinePieceCapacity - 1) {
        int c = getc(in);
        if (c == EOF)
            break;
        if (c == '\n') {
            *lineEnded = 1;
            break;
        }
        if (c == '\r') {
            int next = getc(in);
            if (next == '\n') {
                *lineEnded = 1;
                break;
            }
            if (next != EOF)
                ungetc(next, in);
        }
        piece[len++] = (char)c;
    }
    return len;
}

static int Lower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// The profile functions ignore letter case in names, and so do we: the
// section is usually written "[386Enh]".
static int BeginsWith(const char *piece, size_t len, const char *prefix)
{
    size_t n = strlen(prefix);
    if (len < n)
        return 0;
    for (size_t i = 0; i < n; i++) {
        if (Lower((unsigned char)piece[i]) != Lower((unsigned char)prefix[i]))
            return 0;
    }
    return 1;
}

int ScanSystemIni(FILE *in, int *deviceFound, int *sectionFound)
{
    char piece[LinePieceCapacity];
    int atLineStart = 1, lineEnded;
    size_t len;
    *deviceFound = 0;
    *sectionFound = 0;
    while ((len = ReadPiece(in, piece, &lineEnded)) > 0 || lineEnded) {
        if (atLineStart) {
            if (BeginsWith(piece, len, DeviceLine)) {
                *deviceFound = 1;
                return 0;
            }
            if (BeginsWith(piece, len, DeviceSection))
                *sectionFound = 1;
        }
        atLineStart = lineEnded;
    }
    return ferror(in) ? -1 : 0;
}

static int Put(FILE *out, const char *data, size_t len)
{
    return fwrite(data, 1, len, out) == len;
}

static int PutDeviceLine(FILE *out)
{
    return Put(out, DeviceLine, strlen(DeviceLine)) && Put(out, LineEnd, 2);
}

int CopyWithDeviceLine(FILE *in, FILE *out)
{
    char piece[LinePieceCapacity];
    int atLineStart = 1, lineEnded, header = 0;
    size_t len;
    while ((len = ReadPiece(in, piece, &lineEnded)) > 0 || lineEnded) {
        if (atLineStart)
            header = BeginsWith(piece, len, DeviceSection);
        if (!Put(out, piece, len))
            return -1;
        if (lineEnded) {
            if (!Put(out, LineEnd, 2))
                return -1;
            // After the whole header line, however long: never inside it.
            if (header && !PutDeviceLine(out))
                return -1;
            header = 0;
        }
        atLineStart = lineEnded;
    }
    if (ferror(in))
        return -1;
    // A header on the last line, without a line end, still gets a line of its own after it.
    if (header && !(Put(out, LineEnd, 2) && PutDeviceLine(out)))
        return -1;
    return 0;
}
