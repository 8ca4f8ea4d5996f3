// The line handling on streams: pieces of long lines, line ends, stream errors,
// and a randomized comparison with the whole-string statement of the rewrite.
#include <gtest/gtest.h>

#include <stdio.h>

#include <random>
#include <string>

#include "system_ini_lines.h"
#include "system_ini_model.h"
#include "test_files.h"

namespace {

// Printable form of test data for failure messages.
std::string Shown(const std::string &data)
{
    std::string out;
    for (unsigned char c : data.substr(0, 400)) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c < 32 || c > 126)
            out += "\\x" + std::string(1, "0123456789abcdef"[c >> 4]) + "0123456789abcdef"[c & 15];
        else
            out += static_cast<char>(c);
    }
    return data.size() > 400 ? out + "... (" + std::to_string(data.size()) + " bytes)" : out;
}

class SystemIniLinesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = FreshDirectory("inilines");
        inPath = root + "\\IN.INI";
        outPath = root + "\\OUT.INI";
    }
    void TearDown() override { RemoveTree(root); }

    // Scans input and, when there is something to do, copies it the way the
    // registration does; the result is what SYSTEM.INI would then hold.
    std::string Registered(const std::string &input)
    {
        EXPECT_TRUE(WriteWhole(inPath, input));
        FILE *in = fopen(inPath.c_str(), "rb");
        if (!in) {
            ADD_FAILURE() << "cannot open the input";
            return "";
        }
        int device = -1, section = -1;
        EXPECT_EQ(0, ScanSystemIni(in, &device, &section));
        if (device || !section) {
            fclose(in);
            return input;
        }
        fseek(in, 0, SEEK_SET);
        FILE *out = fopen(outPath.c_str(), "wb");
        EXPECT_EQ(0, CopyWithDeviceLine(in, out));
        fclose(in);
        fclose(out);
        return ReadWhole(outPath);
    }

    std::string root, inPath, outPath;
};

const int Piece = LinePieceCapacity - 1; // bytes of a line's first piece

// A literal with its NUL bytes.
template <size_t N> std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

TEST_F(SystemIniLinesTest, LinesAroundThePieceSizeStayWholeAndAreComparedOnlyAtTheirStart)
{
    struct Row {
        std::string what, input, expected;
    };
    std::vector<Row> rows;
    for (int n = Piece - 3; n <= Piece + 2; n++) {
        std::string tag = " (" + std::to_string(n) + " bytes before)";
        std::string filler(n, 'a');
        // The device line or the header in a later piece of a long line is only text.
        rows.push_back({"device line inside a long line" + tag,
                        "[386enh]\r\n" + filler + "Device=DVA.386\r\n",
                        "[386enh]\r\nDevice=DVA.386\r\n" + filler + "Device=DVA.386\r\n"});
        rows.push_back({"header inside a long line" + tag,
                        "[386enh]\r\n" + filler + "[386enh]\r\n",
                        "[386enh]\r\nDevice=DVA.386\r\n" + filler + "[386enh]\r\n"});
        // A line end whose CR and LF fall into different pieces is still one line end.
        rows.push_back({"CR LF across pieces" + tag,
                        filler + "\r\n[386enh]" + filler + "\r\nx\r\n",
                        filler + "\r\n[386enh]" + filler + "\r\nDevice=DVA.386\r\nx\r\n"});
        rows.push_back({"LF only" + tag, filler + "\n[386enh]" + filler + "\nx",
                        filler + "\r\n[386enh]" + filler + "\r\nDevice=DVA.386\r\nx"});
    }
    rows.push_back({"stray CR, CR CR LF, NUL and Ctrl-Z are kept",
                    Bytes("a\rb\r\r\n[386enh]\r\nc\0d\r\n\x1a"),
                    Bytes("a\rb\r\r\n[386enh]\r\nDevice=DVA.386\r\nc\0d\r\n\x1a")});
    rows.push_back({"header last, without a line end", "x\r\n[386enh]",
                    "x\r\n[386enh]\r\nDevice=DVA.386\r\n"});
    rows.push_back({"header last, then a CR", "[386enh]\r", "[386enh]\r\r\nDevice=DVA.386\r\n"});
    rows.push_back({"empty lines", "\r\n\n[386enh]\n\n", "\r\n\r\n[386enh]\r\nDevice=DVA.386\r\n\r\n"});
    for (const Row &r : rows)
        EXPECT_EQ(Shown(r.expected), Shown(Registered(r.input))) << r.what;
}

TEST_F(SystemIniLinesTest, FailedWritesAreReported)
{
    ASSERT_TRUE(WriteWhole(inPath, "[386enh]\r\nx=y\r\n"));
    ASSERT_TRUE(WriteWhole(outPath, ""));
    FILE *in = fopen(inPath.c_str(), "rb");
    FILE *readOnly = fopen(outPath.c_str(), "rb");
    ASSERT_TRUE(in && readOnly);
    EXPECT_EQ(-1, CopyWithDeviceLine(in, readOnly));
    fclose(readOnly);
    fclose(in);
}

// Random files built from the pieces that matter: headers and device lines in
// both cases, every kind of line end, runs that straddle the piece size.
std::string RandomIni(std::mt19937 &rng)
{
    static const std::string tokens[] = {
        "[386enh]", "[386Enh]", "[386ENH] ;x", "[boot]", "Device=DVA.386", "dEVICE=dva.386xyz",
        "Device=DVA.38", "[386enh", "\r\n", "\r\n", "\r\n", "\n", "\r", "key=value",
        std::string("\0", 1), "\x1a", " ",
    };
    const size_t count = sizeof tokens / sizeof tokens[0];
    std::string ini;
    int n = static_cast<int>(rng() % 40);
    for (int i = 0; i < n; i++) {
        size_t pick = rng() % (count + 3);
        if (pick < count) {
            // Device lines rarely, or nearly every file would be left alone.
            if (tokens[pick][0] == 'D' || tokens[pick][0] == 'd') {
                if (rng() % 8 != 0)
                    continue;
            }
            ini += tokens[pick];
        } else {
            size_t run = rng() % 2 ? Piece - 3 + rng() % 6 : rng() % 600;
            ini += std::string(run, static_cast<char>('a' + rng() % 3));
        }
    }
    return ini;
}

TEST_F(SystemIniLinesTest, RandomFilesMatchTheWholeStringStatement)
{
    std::mt19937 rng(7);
    int rewritten = 0;
    for (int i = 0; i < 400; i++) {
        std::string input = RandomIni(rng);
        std::string expected = model::Registered(input);
        rewritten += expected != input;
        std::string got = Registered(input);
        if (got != expected) {
            ADD_FAILURE() << "case " << i << "\n  input:    " << Shown(input)
                          << "\n  expected: " << Shown(expected) << "\n  got:      " << Shown(got);
            break;
        }
    }
    EXPECT_GT(rewritten, 100) << "the generator should mostly produce files to rewrite";
}

} // namespace
