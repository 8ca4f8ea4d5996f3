// The distribution installer's process-wide state: the toolkit globals with
// this program's capacities, and the install driver's own.
#include "kit.h"
#include "toolkit.h"

char SourceDir[200];
extern const int SourceDirCapacity = sizeof SourceDir;
char TargetDir[200] = "C:\\SKYLOOP";
extern const int TargetDirCapacity = sizeof TargetDir;
char InstallDir[200];
extern const int InstallDirCapacity = sizeof InstallDir;
int PlainFileFlag = 0;

extern const int ExpandFileReports = 0;
extern const int ExpandPathCapacity = 256;

extern const int OsNameCapacity = 256;
extern const int SystemPathCapacity = 256;

HINSTANCE AppInstance;
UINT_PTR StartTimer;
int CancelFlag = 0;
int StatusCode = 0;
