#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lzexpand_core.h"

namespace {

std::string Header(uint32_t length, char mode = 'A')
{
    std::string h("SZDD\x88\xF0\x27\x33", 8);
    h += mode;
    h += '\0';
    for (int i = 0; i < 4; i++)
        h += static_cast<char>((length >> (8 * i)) & 0xFF);
    return h;
}

struct Decoded {
    LzStatus status;
    std::string out;
};

// Feeds the stream in pieces of `piece` bytes into an output buffer of outCap.
Decoded Decode(const std::string &stream, uint32_t length, size_t piece, size_t outCap)
{
    LzDecoder d;
    LzInit(&d, length);
    std::vector<unsigned char> out(outCap);
    Decoded r{LZ_NEED_INPUT, ""};
    size_t at = 0;
    for (;;) {
        size_t n = std::min(piece, stream.size() - at);
        size_t used, made;
        r.status = LzDecode(&d, reinterpret_cast<const unsigned char *>(stream.data()) + at, n,
                            &used, out.data(), out.size(), &made);
        at += used;
        r.out.append(reinterpret_cast<char *>(out.data()), made);
        if (r.status == LZ_DONE || r.status == LZ_DAMAGED)
            return r;
        if (r.status == LZ_NEED_INPUT && at == stream.size())
            return r; // the data ended first
    }
}

TEST(LzHeader, Kinds)
{
    struct Row {
        const char *what;
        std::string data;
        LzHeaderKind kind;
        uint32_t length;
    } rows[] = {
        {"empty file", "", LZ_NOT_COMPRESSED, 0},
        {"program", "MZ\x90\0\3\0\0\0\4\0\0\0\xff\xff", LZ_NOT_COMPRESSED, 0},
        {"signature prefix only", "SZDD", LZ_NOT_COMPRESSED, 0},
        {"mode A", Header(0x01020304), LZ_COMPRESSED, 0x01020304},
        {"mode B", Header(5, 'B'), LZ_BAD_HEADER, 0},
        {"signature, nothing more", Header(5).substr(0, 8), LZ_BAD_HEADER, 0},
        {"header cut at 13", Header(5).substr(0, 13), LZ_BAD_HEADER, 0},
    };
    for (const Row &r : rows) {
        uint32_t length = 99;
        EXPECT_EQ(r.kind, LzReadHeader(reinterpret_cast<const unsigned char *>(r.data.data()),
                                       r.data.size(), &length))
            << r.what;
        EXPECT_EQ(r.length, length) << r.what;
    }
}

TEST(LzDecode, StreamsFedWholeAndBytewise)
{
    // Window starts as spaces; writing starts at 4096 - 16 = 0xFF0.
    struct Row {
        const char *what;
        std::string stream;
        uint32_t length;
        LzStatus status;
        std::string out;
    } rows[] = {
        {"three literals", std::string("\x07" "abc", 4), 3, LZ_DONE, "abc"},
        {"match from the initial spaces", std::string("\x00\x00\x00", 3), 3, LZ_DONE, "   "},
        {"overlapping match repeats", std::string("\x03" "ab" "\xF0\xF3", 5), 8, LZ_DONE,
         "abababab"},
        {"longest match", std::string("\x01" "z" "\xF0\xFF", 4), 19, LZ_DONE,
         std::string(19, 'z')},
        {"nine literals need a second flag byte",
         std::string("\xFF" "12345678" "\x01" "9", 11), 9, LZ_DONE, "123456789"},
        {"bytes after the length are left", std::string("\x07" "abcjunk", 8), 2, LZ_DONE, "ab"},
        {"match running past the length", std::string("\x01" "a" "\xF0\xF3", 4), 3,
         LZ_DAMAGED, "a"},
        {"ends before the length", std::string("\x07" "ab", 3), 5, LZ_NEED_INPUT, "ab"},
        {"ends inside a match", std::string("\x01" "a" "\xF0", 3), 4, LZ_NEED_INPUT, "a"},
        {"zero length", std::string("\x01" "\x00", 2), 0, LZ_DONE, ""},
    };
    for (const Row &r : rows) {
        for (size_t piece : {r.stream.size() ? r.stream.size() : 1, size_t(1)}) {
            Decoded d = Decode(r.stream, r.length, piece, 4096);
            EXPECT_EQ(r.status, d.status) << r.what << " (pieces of " << piece << ")";
            EXPECT_EQ(r.out, d.out) << r.what << " (pieces of " << piece << ")";
        }
    }
}

TEST(LzDecode, SmallOutputBufferIsDrainedAndResumed)
{
    std::string stream("\x01" "q" "\xF0\xFF" "\xF0\xFF" "\xF0\xFF", 8);
    // flag bits: literal, match, match, match (bits 1..3 are 0)
    Decoded d = Decode(stream, 1 + 18 * 3, 3, LZ_MAX_MATCH);
    EXPECT_EQ(LZ_DONE, d.status);
    EXPECT_EQ(std::string(55, 'q'), d.out);
}

} // namespace
