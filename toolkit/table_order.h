// The TableOrder fold, kept free of the Windows headers so that it builds
// natively and can be fuzzed.
#ifndef TABLE_ORDER_H
#define TABLE_ORDER_H

#include <stdint.h>

// value = value * 10 + (code - 48) over every character, each taken as a
// signed 8-bit code, wrapping as a signed 32-bit value. Nothing is rejected.
int32_t FoldTableOrder(const char *text);

#endif
