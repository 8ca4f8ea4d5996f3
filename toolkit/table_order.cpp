#include "table_order.h"

int32_t FoldTableOrder(const char *text)
{
    // Unsigned arithmetic wraps by definition; signed overflow would not.
    uint32_t value = 0;
    for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
        int32_t code = *p < 128 ? (int32_t)*p : (int32_t)*p - 256;
        value = value * 10u + (uint32_t)(code - 48);
    }
    if (value <= (uint32_t)INT32_MAX)
        return (int32_t)value;
    return -(int32_t)(UINT32_MAX - value) - 1;
}
