#include "lzexpand_core.h"

#include <string.h>

static const unsigned char kSignature[LZ_SIGNATURE_SIZE] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};

LzHeaderKind LzReadHeader(const unsigned char *data, size_t len, uint32_t *expandedLength)
{
    *expandedLength = 0;
    if (len < LZ_SIGNATURE_SIZE || memcmp(data, kSignature, LZ_SIGNATURE_SIZE) != 0)
        return LZ_NOT_COMPRESSED;
    if (len < LZ_HEADER_SIZE || data[8] != 'A')
        return LZ_BAD_HEADER;
    *expandedLength = (uint32_t)data[10] | (uint32_t)data[11] << 8 | (uint32_t)data[12] << 16 |
                      (uint32_t)data[13] << 24;
    return LZ_COMPRESSED;
}

void LzInit(LzDecoder *d, uint32_t expandedLength)
{
    memset(d->window, ' ', sizeof d->window);
    d->position = LZ_WINDOW_SIZE - 16;
    d->flags = 1; // only the sentinel: a new flag byte is due
    d->haveFirstMatchByte = 0;
    d->firstMatchByte = 0;
    d->remaining = expandedLength;
}

LzStatus LzDecode(LzDecoder *d, const unsigned char *in, size_t inLen, size_t *inUsed,
                  unsigned char *out, size_t outCap, size_t *outMade)
{
    size_t i = 0, o = 0;
    unsigned pos = d->position;
    unsigned flags = d->flags;
    uint32_t remaining = d->remaining;
    unsigned char *window = d->window;
    LzStatus status;

    for (;;) {
        if (remaining == 0) {
            // Compressors pad their last flag group (Debian's even writes a
            // token for an empty file): bytes after the length are not read.
            status = LZ_DONE;
            break;
        }
        if (outCap - o < LZ_MAX_MATCH) {
            status = LZ_OUTPUT_FULL;
            break;
        }
        if (flags == 1) {
            if (i == inLen) {
                status = LZ_NEED_INPUT;
                break;
            }
            flags = 0x100u | in[i++];
        }
        if (flags & 1) {
            if (i == inLen) {
                status = LZ_NEED_INPUT;
                break;
            }
            unsigned char c = in[i++];
            window[pos] = c;
            pos = (pos + 1) & (LZ_WINDOW_SIZE - 1);
            out[o++] = c;
            remaining--;
        } else {
            unsigned char b1;
            if (d->haveFirstMatchByte) {
                b1 = d->firstMatchByte;
            } else {
                if (i == inLen) {
                    status = LZ_NEED_INPUT;
                    break;
                }
                b1 = in[i++];
            }
            if (i == inLen) {
                d->haveFirstMatchByte = 1;
                d->firstMatchByte = b1;
                status = LZ_NEED_INPUT;
                break;
            }
            d->haveFirstMatchByte = 0;
            unsigned char b2 = in[i++];
            unsigned from = b1 | (unsigned)(b2 & 0xF0) << 4;
            unsigned length = (b2 & 0x0F) + 3u;
            if (length > remaining) {
                status = LZ_DAMAGED;
                break;
            }
            for (unsigned k = 0; k < length; k++) {
                unsigned char c = window[(from + k) & (LZ_WINDOW_SIZE - 1)];
                window[pos] = c;
                pos = (pos + 1) & (LZ_WINDOW_SIZE - 1);
                out[o++] = c;
            }
            remaining -= length;
        }
        flags >>= 1;
    }

    d->position = pos;
    d->flags = flags;
    d->remaining = remaining;
    *inUsed = i;
    *outMade = o;
    return status;
}
