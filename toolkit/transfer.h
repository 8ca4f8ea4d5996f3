// File transfer: the path globals, expansion and raw copies from the media,
// probes and directories, and the paths they are built from.
#ifndef TRANSFER_H
#define TRANSFER_H

#include <windows.h>

// Each program defines these, with its own capacities, in one file
// (suite/setup_globals.cpp, kit/kit_globals.cpp). Full paths without a trailing backslash.
extern char SourceDir[];          // directory of the running installer (the media)
extern const int SourceDirCapacity;
extern char TargetDir[];          // where the next files go: ExpandFile writes there
extern const int TargetDirCapacity;
extern char InstallDir[];         // the product's chosen directory, kept while TargetDir moves
extern const int InstallDirCapacity;
extern int PlainFileFlag;         // nonzero: ExpandFile reads the source under its own name
extern const int ExpandFileReports;  // nonzero: missing or damaged sources get a message box
extern const int ExpandPathCapacity; // capacity of ExpandFile's source and target paths

// SourceDir derivation: the directory of the running executable (empty when
// its path has no backslash).
void DeriveSourceDir(void);

// Expands SourceDir\name (compressed name unless PlainFileFlag) to TargetDir\name.
// TRUE when that is there whole; otherwise the target is noted as missed (and
// the suite reports a missing or damaged source).
BOOL ExpandFile(const char *name);
// The same for a file the caller then installs under installedPath, the path noted.
BOOL ExpandFileFor(const char *name, const char *installedPath);
// Compressed name rule: the last character replaced by an underscore.
void MakeCompressedName(char *path);

// The files noted since ForgetMissedFiles: ones a pass was to install that are
// not there whole. The first MissedFilesKept paths are kept.
enum { MissedFilesKept = 10 };
extern int MissedFileCount; // how many were noted
void NoteMissedFile(const char *path);
void ForgetMissedFiles(void);
const char *MissedFile(int index); // "" beyond the kept ones

// Byte-for-byte copy keeping the source's last-write time (two-second resolution).
void CopyFileRaw(const char *destinationPath, const char *sourcePath);
enum { CopyPathCapacity = 500 };

enum ProbeMode {
    PROBE_EXCLUSIVE, // fails when the file exists
    PROBE_OPEN       // opens without truncating, or creates
};
// Returns an open handle (caller closes and deletes the file) or INVALID_HANDLE_VALUE (-1).
HANDLE OpenProbeFile(const char *probePath, ProbeMode mode);

// Creates one directory level: 0 when created, -1 otherwise (also when it exists).
int MakeDirectory(const char *path);

// path = dir + tail; FALSE when that does not fit capacity: a cut-off path
// could name some other file.
BOOL JoinPath(char *path, size_t capacity, const char *dir, const char *tail);
// path = the Windows directory + "\\" + name; FALSE when that does not fit.
BOOL WindowsFilePath(char *path, size_t capacity, const char *name);
// "C:\..." or "\\server\...": anything else depends on the current directory.
BOOL IsFullPath(const char *path);
// Makes a directory typed relative ("SKY", "..\SKY", "\SKY") absolute against
// the current directory, so that no setting, link or registry value written
// from it depends on where the reader runs; an empty one stays empty. FALSE,
// dir unchanged, when the full path does not fit capacity.
BOOL MakeAbsoluteDir(char *dir, size_t capacity);
// Points TargetDir at dir; FALSE, TargetDir unchanged, when dir does not fit it,
// so that nothing lands in a cut-off directory.
BOOL SetTargetDir(const char *dir);
// Creates InstallDir + subdirectory (it may exist) and expands the files into
// it, TargetDir pointing there only meanwhile. Nothing when the path does not
// fit TargetDir, so no file lands in InstallDir itself instead.
void ExpandIntoSubdirectory(const char *subdirectory, const char *const *names, int count);
// Expands one file into dir, TargetDir pointing there only meanwhile; FALSE,
// and the file noted as missed, when dir does not fit TargetDir.
BOOL ExpandFileInto(const char *dir, const char *name);

#endif
