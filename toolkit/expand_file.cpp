#include <string.h>

#include "lzexpand_core.h"
#include "toolkit.h"

enum ExpandResult { EXPANDED, SOURCE_MISSING, SOURCE_DAMAGED, TARGET_FAILED };

// Large blocks keep Wine's per-call cost out of the way; one installer thread.
enum { BLOCK = 256 * 1024 };
static unsigned char inBlock[BLOCK];
static unsigned char outBlock[BLOCK];

void MakeCompressedName(char *path)
{
    size_t len = strlen(path);
    if (len > 0)
        path[len - 1] = '_';
}

static BOOL WriteAll(HANDLE h, const unsigned char *data, size_t len)
{
    DWORD written;
    return WriteFile(h, data, (DWORD)len, &written, NULL) && written == len;
}

static BOOL ReadBlock(HANDLE h, unsigned char *block, DWORD *got)
{
    return ReadFile(h, block, BLOCK, got, NULL);
}

static ExpandResult CopyPlain(HANDLE source, HANDLE target, DWORD firstLen)
{
    DWORD got = firstLen;
    for (;;) {
        if (got == 0)
            return EXPANDED;
        if (!WriteAll(target, inBlock, got))
            return TARGET_FAILED;
        if (!ReadBlock(source, inBlock, &got))
            return SOURCE_DAMAGED;
    }
}

static ExpandResult Decompress(HANDLE source, HANDLE target, DWORD firstLen, uint32_t length)
{
    static LzDecoder decoder;
    LzInit(&decoder, length);
    DWORD got = firstLen;
    size_t at = LZ_HEADER_SIZE, made = 0;
    for (;;) {
        size_t used, produced;
        LzStatus s = LzDecode(&decoder, inBlock + at, got - at, &used, outBlock + made,
                              BLOCK - made, &produced);
        at += used;
        made += produced;
        if (s == LZ_DAMAGED)
            return SOURCE_DAMAGED;
        if (s == LZ_OUTPUT_FULL || s == LZ_DONE) {
            if (!WriteAll(target, outBlock, made))
                return TARGET_FAILED;
            made = 0;
        }
        if (s == LZ_DONE)
            return EXPANDED;
        if (s == LZ_NEED_INPUT) {
            if (!ReadBlock(source, inBlock, &got))
                return SOURCE_DAMAGED;
            if (got == 0)
                return SOURCE_DAMAGED; // ends before the expanded length
            at = 0;
        }
    }
}

static ExpandResult Expand(const char *sourcePath, const char *targetPath)
{
    HANDLE source = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (source == INVALID_HANDLE_VALUE)
        return SOURCE_MISSING;

    // Read enough to recognise the header, even from a source that delivers
    // it in pieces.
    DWORD got = 0;
    for (;;) {
        DWORD piece;
        if (!ReadFile(source, inBlock + got, BLOCK - got, &piece, NULL)) {
            CloseHandle(source);
            return SOURCE_MISSING;
        }
        got += piece;
        if (piece == 0 || got >= LZ_HEADER_SIZE)
            break;
    }
    uint32_t length;
    LzHeaderKind kind = LzReadHeader(inBlock, got, &length);
    if (kind == LZ_BAD_HEADER) {
        CloseHandle(source);
        return SOURCE_DAMAGED;
    }

    if (ExpandFileReports)
        DeleteFileA(targetPath);
    HANDLE target = CreateFileA(targetPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (target == INVALID_HANDLE_VALUE) {
        CloseHandle(source);
        return TARGET_FAILED;
    }
    ExpandResult r = kind == LZ_COMPRESSED ? Decompress(source, target, got, length)
                                           : CopyPlain(source, target, got);
    BOOL closed = CloseHandle(target);
    CloseHandle(source);
    if (r == EXPANDED && !closed)
        r = TARGET_FAILED;
    if (r != EXPANDED)
        DeleteFileA(targetPath); // never leave a partial file as if it were whole
    return r;
}

static void Report(const char *format, const char *path)
{
    if (!ExpandFileReports)
        return;
    char message[500];
    FormatText(message, sizeof message, format, path);
    MessageBoxA(NULL, message, "Decomp Error", MB_OK);
}

BOOL ExpandFileFor(const char *name, const char *installedPath)
{
    char sourcePath[500], targetPath[500];
    size_t capacity = (size_t)ExpandPathCapacity;
    if (capacity > sizeof sourcePath)
        capacity = sizeof sourcePath;

    bool sourceFits = FormatText(sourcePath, capacity, "%s\\%s", SourceDir, name);
    if (sourceFits && !PlainFileFlag)
        MakeCompressedName(sourcePath);
    bool targetFits = FormatText(targetPath, capacity, "%s\\%s", TargetDir, name);
    ExpandResult r = SOURCE_MISSING; // a cut-off path could name another file
    if (sourceFits && targetFits)
        r = Expand(sourcePath, targetPath);
    if (r == SOURCE_MISSING)
        Report("Can't Find Source File %s", sourcePath);
    else if (r == SOURCE_DAMAGED)
        Report("Damaged Source File %s", sourcePath);
    if (r != EXPANDED)
        NoteMissedFile(installedPath ? installedPath : targetPath); // shown cut at worst, never used
    return r == EXPANDED;
}

BOOL ExpandFile(const char *name)
{
    return ExpandFileFor(name, NULL);
}
