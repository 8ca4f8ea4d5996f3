#include "platform.h"

BOOL OnWindows95(void)
{
    return (GetVersion() & 0x80000000u) != 0;
}

DWORD ShareAll(void)
{
    return FILE_SHARE_READ | FILE_SHARE_WRITE | (OnWindows95() ? 0 : FILE_SHARE_DELETE);
}

DWORD SecondsSince1970(void)
{
    SYSTEMTIME now;
    FILETIME ticks; // 100 ns units since 1601
    GetSystemTime(&now);
    if (!SystemTimeToFileTime(&now, &ticks))
        return 0;
    ULONGLONG since1601 = ((ULONGLONG)ticks.dwHighDateTime << 32) | ticks.dwLowDateTime;
    return (DWORD)((since1601 - 116444736000000000ull) / 10000000u);
}
