// Native fuzz target (libFuzzer) for the LZ decoder: any input is taken as a
// compressed file. The decoder must never write past its output buffer or the
// expanded length, and must give the same bytes and verdict however the input
// is split and however small the output buffer. Built by scripts/fuzz.
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "lzexpand_core.h"

struct Result {
    LzStatus status;
    std::string out;
};

static Result Run(const uint8_t *data, size_t size, uint32_t length, size_t piece, size_t outCap)
{
    LzDecoder d;
    LzInit(&d, length);
    std::vector<unsigned char> out(outCap);
    Result r{LZ_NEED_INPUT, ""};
    size_t at = 0;
    for (;;) {
        size_t n = size - at < piece ? size - at : piece;
        size_t used, made;
        r.status = LzDecode(&d, data + at, n, &used, out.data(), out.size(), &made);
        if (used > n || made > outCap)
            abort();
        at += used;
        r.out.append(reinterpret_cast<char *>(out.data()), made);
        if (r.status == LZ_DONE || r.status == LZ_DAMAGED)
            break;
        if (r.status == LZ_NEED_INPUT && at == size)
            break;
    }
    if (r.out.size() > length)
        abort();
    if (r.status == LZ_DONE && r.out.size() != length)
        abort();
    return r;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint32_t length;
    if (LzReadHeader(data, size, &length) != LZ_COMPRESSED)
        return 0;
    if (length > (1u << 20))
        length = 1u << 20; // keep runs short; the decoder does not care
    data += LZ_HEADER_SIZE;
    size -= LZ_HEADER_SIZE;
    Result whole = Run(data, size, length, size ? size : 1, 1 << 16);
    Result bytewise = Run(data, size, length, 1, LZ_MAX_MATCH);
    if (whole.status != bytewise.status || whole.out != bytewise.out)
        abort();
    return 0;
}
