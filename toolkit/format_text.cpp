#include "format_text.h"

namespace {
struct Output {
    char *dest;
    size_t capacity, length; // length: what fits, the terminator's place kept
    bool cut;
};
} // namespace

static void Put(Output *out, char c)
{
    if (out->length + 1 < out->capacity)
        out->dest[out->length++] = c;
    else
        out->cut = true;
}

static void PutPadded(Output *out, const char *text, size_t length, size_t width, bool left, char pad)
{
    size_t fill = width > length ? width - length : 0;
    // Zeros go after a sign, as printf puts them.
    if (pad == '0' && length > 0 && text[0] == '-') {
        Put(out, '-');
        text++;
        length--;
    }
    if (!left)
        for (size_t i = 0; i < fill; i++)
            Put(out, pad);
    for (size_t i = 0; i < length; i++)
        Put(out, text[i]);
    if (left)
        for (size_t i = 0; i < fill; i++)
            Put(out, ' ');
}

// Digits of value in base, with a minus sign when negative; returns the length.
static size_t Digits(char *text, unsigned long value, bool negative, unsigned base)
{
    char reversed[24];
    size_t n = 0;
    do {
        reversed[n++] = "0123456789abcdef"[value % base];
        value /= base;
    } while (value);
    size_t length = 0;
    if (negative)
        text[length++] = '-';
    while (n)
        text[length++] = reversed[--n];
    return length;
}

bool FormatTextV(char *dest, size_t capacity, const char *format, va_list args)
{
    if (capacity == 0)
        return false;
    Output out = {dest, capacity, 0, false};
    bool valid = true;
    for (const char *p = format; valid && *p; p++) {
        if (*p != '%') {
            Put(&out, *p);
            continue;
        }
        p++;
        bool left = false;
        char pad = ' ';
        for (; *p == '-' || *p == '0'; p++) {
            if (*p == '-')
                left = true;
            else
                pad = '0';
        }
        if (left)
            pad = ' ';
        size_t width = 0;
        for (; *p >= '0' && *p <= '9' && width < 1000; p++)
            width = width * 10 + (size_t)(*p - '0');
        bool isLong = *p == 'l';
        if (isLong)
            p++;
        char number[24];
        switch (*p) {
        case 's': {
            const char *text = va_arg(args, const char *);
            if (!text)
                text = "(null)";
            size_t length = 0;
            while (text[length])
                length++;
            PutPadded(&out, text, length, width, left, ' ');
            break;
        }
        case 'c':
            number[0] = (char)va_arg(args, int);
            PutPadded(&out, number, 1, width, left, ' ');
            break;
        case 'd':
        case 'i': {
            long value = isLong ? va_arg(args, long) : va_arg(args, int);
            // Negated as unsigned: the most negative value has no positive twin.
            unsigned long magnitude = value < 0 ? 0ul - (unsigned long)value : (unsigned long)value;
            PutPadded(&out, number, Digits(number, magnitude, value < 0, 10), width, left, pad);
            break;
        }
        case 'u':
        case 'x': {
            unsigned long value = isLong ? va_arg(args, unsigned long) : va_arg(args, unsigned);
            PutPadded(&out, number, Digits(number, value, false, *p == 'u' ? 10 : 16), width, left, pad);
            break;
        }
        case '%':
            Put(&out, '%');
            break;
        default:
            valid = false;
        }
    }
    dest[out.length] = '\0';
    return valid && !out.cut;
}

bool FormatText(char *dest, size_t capacity, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    bool whole = FormatTextV(dest, capacity, format, args);
    va_end(args);
    return whole;
}
