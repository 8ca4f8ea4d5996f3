// Times ExpandFile against the platform's LZCopy on the same files, and
// CopyFileRaw, in one run. Usage: expand_bench DIR NAME...
// DIR holds NAME (the original) and the compressed file under the compressed name.
#include <windows.h>
#include <lzexpand.h>
#include <stdio.h>

#include "toolkit.h"

static double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

static double TimeLzCopy(const char *source, const char *target)
{
    OFSTRUCT os, ot;
    double start = Now();
    INT s = LZOpenFileA((LPSTR)source, &os, OF_READ);
    INT t = LZOpenFileA((LPSTR)target, &ot, OF_CREATE);
    if (s < 0 || t < 0) {
        printf("LZOpenFile failed for %s\n", source);
        return -1;
    }
    LONG n = LZCopy(s, t);
    LZClose(s);
    LZClose(t);
    if (n < 0)
        printf("LZCopy failed: %ld\n", n);
    return Now() - start;
}

static LONGLONG SizeOf(const char *path)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &d))
        return -1;
    return (LONGLONG)d.nFileSizeHigh << 32 | d.nFileSizeLow;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        printf("usage: expand_bench DIR NAME...\n");
        return 2;
    }
    const int runs = 3;
    StringCchCopyA(SourceDir, SourceDirCapacity, argv[1]);
    StringCchCopyA(TargetDir, TargetDirCapacity, "C:\\bench");
    CreateDirectoryA(TargetDir, NULL);
    printf("%-12s %10s %12s %12s %7s %12s\n", "file", "MiB", "ExpandFile s", "LZCopy s", "ratio",
           "CopyFileRaw s");
    for (int i = 2; i < argc; i++) {
        char source[MAX_PATH], target[MAX_PATH], plain[MAX_PATH];
        StringCchPrintfA(source, MAX_PATH, "%s\\%s", SourceDir, argv[i]);
        StringCchCopyA(plain, MAX_PATH, source);
        MakeCompressedName(source);
        StringCchPrintfA(target, MAX_PATH, "%s\\%s", TargetDir, argv[i]);
        double expand = 1e9, lz = 1e9, copy = 1e9;
        for (int r = 0; r < runs; r++) {
            double start = Now();
            ExpandFile(argv[i]);
            double e = Now() - start;
            if (SizeOf(target) != SizeOf(plain))
                printf("ExpandFile gave %lld bytes, not %lld\n", SizeOf(target), SizeOf(plain));
            DeleteFileA(target);
            double l = TimeLzCopy(source, target);
            if (SizeOf(target) != SizeOf(plain))
                printf("LZCopy gave %lld bytes, not %lld\n", SizeOf(target), SizeOf(plain));
            DeleteFileA(target);
            start = Now();
            CopyFileRaw(target, plain);
            double c = Now() - start;
            DeleteFileA(target);
            expand = e < expand ? e : expand;
            lz = l < lz ? l : lz;
            copy = c < copy ? c : copy;
        }
        printf("%-12s %10.1f %12.3f %12.3f %7.2f %12.3f\n", argv[i], SizeOf(plain) / 1048576.0,
               expand, lz, expand / lz, copy);
    }
    RemoveDirectoryA(TargetDir);
    return 0;
}
