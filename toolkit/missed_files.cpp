// The files an installation pass was to install and could not: the
// distribution installer lists them instead of claiming success.
#include "toolkit.h"

int MissedFileCount = 0;
static char Missed[MissedFilesKept][500];

void NoteMissedFile(const char *path)
{
    if (MissedFileCount < MissedFilesKept)
        StringCchCopyA(Missed[MissedFileCount], sizeof Missed[0], path); // only shown
    MissedFileCount++;
}

void ForgetMissedFiles(void)
{
    MissedFileCount = 0;
}

const char *MissedFile(int index)
{
    return index >= 0 && index < MissedFileCount && index < MissedFilesKept ? Missed[index] : "";
}
