#include "toolkit.h"

HANDLE OpenProbeFile(const char *probePath, ProbeMode mode)
{
    return CreateFileA(probePath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       mode == PROBE_EXCLUSIVE ? CREATE_NEW : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       NULL);
}

int MakeDirectory(const char *path)
{
    return CreateDirectoryA(path, NULL) ? 0 : -1;
}
