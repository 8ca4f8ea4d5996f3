// Decoder for the LZ ("SZDD") compressed file format, on memory buffers only,
// so that it builds and can be fuzzed without the Windows headers.
#ifndef LZEXPAND_CORE_H
#define LZEXPAND_CORE_H

#include <stddef.h>
#include <stdint.h>

enum { LZ_HEADER_SIZE = 14, LZ_SIGNATURE_SIZE = 8, LZ_WINDOW_SIZE = 4096, LZ_MAX_MATCH = 18 };

enum LzHeaderKind {
    LZ_NOT_COMPRESSED, // no signature: the file is taken as it is
    LZ_COMPRESSED,     // signature and mode 'A'
    LZ_BAD_HEADER      // signature, but an unknown mode or a header cut short
};

// Looks at the first bytes of a file; len is how many of them the caller has
// (at least LZ_HEADER_SIZE unless the file is shorter).
LzHeaderKind LzReadHeader(const unsigned char *data, size_t len, uint32_t *expandedLength);

enum LzStatus {
    LZ_NEED_INPUT, // every input byte used; call again with more (or LzFinish)
    LZ_OUTPUT_FULL, // drain the output buffer and call again
    LZ_DONE,        // the expanded length has been produced
    LZ_DAMAGED      // a match that would run past the expanded length
};

struct LzDecoder {
    unsigned char window[LZ_WINDOW_SIZE];
    unsigned position;      // next write position in the window
    unsigned flags;         // flag byte being consumed, with a sentinel bit above
    int haveFirstMatchByte; // a match's first byte arrived at the end of the last input
    unsigned char firstMatchByte;
    uint32_t remaining;     // bytes still to be produced
};

void LzInit(LzDecoder *d, uint32_t expandedLength);

// Decodes from in (inLen bytes) into out (outCap bytes). Reports the bytes used
// and produced. A match that would run past the expanded length is damage;
// input after the expanded length is left unread.
LzStatus LzDecode(LzDecoder *d, const unsigned char *in, size_t inLen, size_t *inUsed,
                  unsigned char *out, size_t outCap, size_t *outMade);

#endif
