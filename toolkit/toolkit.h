// Routines shared by the suite installer and the distribution installer.
// Each program defines the globals below, with its own capacities, in one file
// (suite/setup_globals.cpp, kit/kit_globals.cpp).
#ifndef TOOLKIT_H
#define TOOLKIT_H

#include <windows.h>
#include <strsafe.h>

#include "format_text.h"
#include "platform.h"

// Path globals: full paths without a trailing backslash.
extern char SourceDir[];          // directory of the running installer (the media)
extern const int SourceDirCapacity;
extern char TargetDir[];          // where ExpandFile writes; callers set it per group of files
extern const int TargetDirCapacity;
extern char InstallDir[];         // the product's chosen directory, kept while TargetDir moves
extern const int InstallDirCapacity;
extern int PlainFileFlag;         // nonzero: ExpandFile reads the source under its own name

// How this program's ExpandFile behaves.
extern const int ExpandFileReports;     // nonzero: missing or damaged sources get a message box
extern const int ExpandPathCapacity;    // capacity of ExpandFile's source and target paths

// SourceDir derivation: the directory of the running executable.
void DeriveSourceDir(void);
// Ends path at its last backslash; a path without one becomes empty.
void CutAtLastBackslash(char *path);

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
// The same for InstallDir + subdirectory ("\MAPS").
BOOL TargetBelowInstallDir(const char *subdirectory);
// Creates InstallDir + subdirectory and expands the files into it; nothing when
// the path does not fit, so no file lands in InstallDir itself instead.
void ExpandIntoSubdirectory(const char *subdirectory, const char *const *names, int count);

// Writes bytes to a new file at path, through to the disk; FALSE, and no file
// left there, when it cannot be written whole.
BOOL WriteWholeFile(const char *path, const char *bytes, size_t size);
// Puts newPath in the place of path (which need not exist) in one step, or,
// where the system cannot do that, through ReplaceKeepingBackup. TRUE on
// success; on failure newPath is removed and path left as it was.
BOOL ReplaceWholeFile(const char *newPath, const char *path, const char *backupPath);
// Puts newPath in the place of path where the system cannot replace a file in
// one step, keeping path as backupPath until the new file is in place. TRUE on
// success. On failure newPath is removed where it can be, and path holds the
// old file (or, should even putting it back fail, backupPath does).
BOOL ReplaceKeepingBackup(const char *newPath, const char *path, const char *backupPath);
// An interrupted replacement may leave only the backup: when path is missing
// and backupPath is there, it becomes path again.
void RestoreFromBackup(const char *path, const char *backupPath);

// Loads a settings file into an empty text, opened as the profile functions
// open it to read (or to write, forWriting); a missing file loads empty.
// FALSE when they would not read it byte for byte (a byte-order mark, a
// multi-byte code page), cannot open it, or memory runs out.
struct ProfileText;
BOOL LoadProfileFile(const char *path, BOOL forWriting, ProfileText *text);
// What GetPrivateProfileStringA would read from the loaded file into value.
void ReadProfileValue(const ProfileText *text, const char *section, const char *key, const char *fallback,
                      char *value, size_t capacity);

// Saver settings file, addressed by its bare name: the profile functions put
// it in the Windows directory. Writes are never checked by the installers.
#define SAVER_SETTINGS_FILE "SKYLOOP.INI"
// What SKYLOOP.INI is written as, and kept as, while it is replaced.
#define SAVER_SETTINGS_COPY "SKYLOOP.QQQ"
#define SAVER_SETTINGS_BACKUP "SKYLOOP.QQB"
// A settings pass: the file is read once at its beginning, its writes made in
// memory as the profile functions make them, and the file written once at its
// end, whole or not at all, and only when a write changed it. Outside a pass,
// and where LoadProfileFile cannot take the file or memory runs out, writes go
// through the profile functions. Passes do not nest.
void BeginSaverSettings(void);
// Ends the pass: TRUE when the file holds every write made in it.
BOOL EndSaverSettings(void);
void WriteSaverSetting(const char *section, const char *key, const char *value);
void WriteSaverNumber(const char *section, const char *key, long number);
// stem + index as "%03i" ("EntryFN" and 7 give "EntryFN007"); FALSE when it does not fit.
BOOL NumberedKey(char *key, size_t capacity, const char *stem, int index);
// Writes InstallDir + subdirectory (+ file, unless NULL) and leaves that path in
// TargetDir; one that does not fit TargetDir is not written (FALSE, TargetDir kept).
BOOL WriteSaverPath(const char *section, const char *key, const char *subdirectory,
                    const char *file);
// [Misc] Normal, InstallDirectory, MapsDirectory, BackgroundMap, from InstallDir.
void WriteSaverMisc(int normal);
// Writes the current time as [Global] TableOrder unless the value there folds to nonzero.
void SeedTableOrder(void);
// The suite's defaults in two spans, so its screen saver step can move the bar
// between them: Misc and the first two entries, then the rest.
void WriteSaverDefaultsHead(void);
void WriteSaverDefaultsTail(void);

// How this program's desktop and system routines size their buffers.
extern const int OsNameCapacity;     // the OS name they look up
extern const int SystemPathCapacity; // probe, screen-saver and SYSTEM.INI paths, registry text

// The environment variable OS, or "Windows_95" when it is unset or does not fit
// (only an exact "Windows_NT" means Windows NT, and a longer value cannot be that).
void GetOsName(char *osName, int capacity);
// Windows directory + the running system's desktop folder + "\" + folderName,
// created one level deep. FALSE, and an empty buffer, when the path does not fit.
BOOL ResolveDesktopFolder(const char *folderName, char *desktopFolder, int capacity);
// Writes a shell link; COM is initialised by the caller. An error HRESULT and
// nothing saved when either path is not whole or the link path is not a full path.
HRESULT CreateShortcut(const char *targetPath, const char *linkPath, const char *description);

struct ProductShortcut {
    const char *linkFile; // in the product's desktop folder
    const char *target;   // in InstallDir
};
// The product's desktop folder and its links to files in InstallDir, the folder
// and link paths built within folderCapacity, the targets within targetCapacity
// (at most 500 each); COM is initialised by the caller. A link whose paths do
// not fit is left out.
void CreateProductShortcuts(const char *folderName, const ProductShortcut *links, int count,
                            const char *description, int folderCapacity, int targetCapacity);

// Expands SKYLOOP.SCR into the Windows directory, where the system looks for
// screen savers; TargetDir is left there.
void ExpandSaverIntoWindows(void);
// Expands it into InstallDir again, as SKYLOOP.EXE, replacing an older one: the
// saver's settings program. Where InstallDir is the Windows directory itself,
// the saver the system runs stays and is copied. TargetDir is left at InstallDir.
void InstallSaverProgram(void);

// Expands the WinG files into the system directory, WING32.DLL into the Windows
// directory's SYSTEM32 when that is writable. Leaves TargetDir at WING32.DLL's directory.
void InstallWinGRuntime(void);
// The same with the two directories given, so they need not be the running system's.
void InstallWinGRuntimeInto(const char *windowsDir, const char *systemDir);
// What SYSTEM.INI is kept as while it is replaced where the system cannot
// replace a file in one step.
#define SYSTEM_INI_BACKUP "SYSTEM.QQB"
// An interrupted replacement may leave only the backup: when SYSTEM.INI is
// missing and the backup is there, it becomes SYSTEM.INI again.
void RestoreSystemIni(void);
// Makes the Windows directory's SKYLOOP.SCR the current screen saver: SYSTEM.INI
// on Windows 95, the existing values of the user's desktop key on Windows NT.
void ActivateScreenSaver(void);

#endif
