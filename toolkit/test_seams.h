// Test seams: toolkit routines with what they would take from the running
// system given instead. Only the tests call them.
#ifndef TEST_SEAMS_H
#define TEST_SEAMS_H

#include <windows.h>

// InstallWinGRuntime with the two directories given.
void InstallWinGRuntimeInto(const char *windowsDir, const char *systemDir);
// ReplaceWholeFile's way where the system cannot replace a file in one step.
BOOL ReplaceKeepingBackup(const char *newPath, const char *path, const char *backupPath);

#endif
