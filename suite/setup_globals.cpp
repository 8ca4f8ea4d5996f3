// The suite installer's process-wide state: the toolkit globals with this
// program's capacities, and the wizard's own.
#include "suite.h"
#include "toolkit.h"

char SourceDir[200];
extern const int SourceDirCapacity = sizeof SourceDir;
char TargetDir[500] = "C:\\MODELEX";
extern const int TargetDirCapacity = sizeof TargetDir;
char InstallDir[500];
extern const int InstallDirCapacity = sizeof InstallDir;
int PlainFileFlag = 0;

extern const int ExpandFileReports = 1;
extern const int ExpandPathCapacity = 500;

extern const int OsNameCapacity = 500;
extern const int SystemPathCapacity = 500;

HINSTANCE AppInstance;
char DirEntry[DirEntryCapacity];
int CancelFlag = 0;
