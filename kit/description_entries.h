// What the distribution installer takes from a distribution description file,
// which anybody may have assembled and passed on: the entry counts and the
// names of the listed files. Free of the Windows headers, so that it builds
// natively and can be fuzzed.
#ifndef DESCRIPTION_ENTRIES_H
#define DESCRIPTION_ENTRIES_H

enum { MaxEntryCount = 9999 };

// The leading decimal number of text, after blanks and an optional sign, as
// the standard conversion reads it; 0 when there is none or it is negative,
// MaxEntryCount when it is larger: a damaged file must not keep the installer
// reading keys for hours.
int ReadEntryCount(const char *text);

// Nonzero when name is a plain file name: no path separator, no drive or
// stream colon, not "." or ".." (nor only dots and blanks), no control character, and not
// a device name such as CON or COM1 (with or without an extension). Such a
// name can only name a file in the directory it is joined to.
int IsPlainFileName(const char *name);

#endif
