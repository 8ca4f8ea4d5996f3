// A bounded formatter for the few formats the programs use, in place of the C
// runtime's: no Windows headers, so that it builds natively and is checked
// against snprintf there.
#ifndef FORMAT_TEXT_H
#define FORMAT_TEXT_H

#include <stdarg.h>
#include <stddef.h>

// Conversions %s %c %d %i %u %x %%, each with an optional '-' or '0' flag, a
// width and an 'l'. As StringCchPrintfA does, dest always ends up terminated,
// cut to capacity; false when it was cut, when the format holds anything
// else, or when capacity is 0.
bool FormatText(char *dest, size_t capacity, const char *format, ...);
bool FormatTextV(char *dest, size_t capacity, const char *format, va_list args);

#endif
