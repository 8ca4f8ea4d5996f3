// What the programs ask of the running system instead of the C runtime.
#ifndef PLATFORM_H
#define PLATFORM_H

#include <windows.h>

// Windows 95 (GetVersion's high bit, as on 98 and Me): it rejects delete
// sharing and exports MoveFileEx without doing it.
BOOL OnWindows95(void);
// FILE_SHARE_READ | FILE_SHARE_WRITE, and FILE_SHARE_DELETE where the system takes it.
DWORD ShareAll(void);
// The time as seconds since 1970, UTC, cut to 32 bits.
DWORD SecondsSince1970(void);

#endif
