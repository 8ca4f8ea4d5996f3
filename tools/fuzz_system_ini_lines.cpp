// Native fuzz target (libFuzzer) for the platform-independent parts of the
// distribution installer: the SYSTEM.INI rewrite from one buffer into another must match its
// statement on whole strings below, and the progress edge must stay on the bar
// without undefined conversions. Built by scripts/fuzz.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "progress_edge.h"
#include "system_ini_lines.h"

// What registering the device line must make of a SYSTEM.INI, on whole
// strings, without pieces.
namespace model {

struct Line {
    std::string text; // without its line end
    bool ended;       // false only for a last line without LF
};

// A line ends at LF; a CR right before the LF belongs to the line end.
inline std::vector<Line> SplitLines(const std::string &data)
{
    std::vector<Line> lines;
    size_t at = 0;
    while (at < data.size()) {
        size_t lf = data.find('\n', at);
        if (lf == std::string::npos) {
            lines.push_back({data.substr(at), false});
            break;
        }
        size_t end = lf > at && data[lf - 1] == '\r' ? lf - 1 : lf;
        lines.push_back({data.substr(at, end - at), true});
        at = lf + 1;
    }
    return lines;
}

inline bool BeginsWithFolded(const std::string &text, const std::string &prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); i++) {
        char a = text[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

// SYSTEM.INI after registration: unchanged when a line begins with the device
// line or none begins with the section header; otherwise CR LF line ends and
// the device line after each header line.
inline std::string Registered(const std::string &data)
{
    std::vector<Line> lines = SplitLines(data);
    bool device = false, section = false;
    for (const Line &l : lines) {
        device = device || BeginsWithFolded(l.text, "device=dva.386");
        section = section || BeginsWithFolded(l.text, "[386enh]");
    }
    if (device || !section)
        return data;
    std::string out;
    for (const Line &l : lines) {
        out += l.text;
        if (l.ended || BeginsWithFolded(l.text, "[386enh]"))
            out += "\r\n";
        if (BeginsWithFolded(l.text, "[386enh]"))
            out += "Device=DVA.386\r\n";
    }
    return out;
}

} // namespace model

static std::string Registered(const std::string &input)
{
    if (!NeedsDeviceLine(input.data(), input.size()))
        return input;
    size_t needed = WithDeviceLine(input.data(), input.size(), NULL);
    std::string out(needed + 1, '\x55'); // one byte more, to see that nothing is written past it
    if (WithDeviceLine(input.data(), input.size(), &out[0]) != needed || out[needed] != '\x55')
        abort();
    out.resize(needed);
    return out;
}

static void CheckEdge(const uint8_t *data, size_t size)
{
    if (size < 8)
        return;
    int32_t step, total;
    memcpy(&step, data, 4);
    memcpy(&total, data + 4, 4);
    int edge = ProgressEdge(step, total);
    if (edge < 0 || edge > ProgressBarFull) {
        fprintf(stderr, "edge %d for %d of %d\n", edge, step, total);
        abort();
    }
    if (step < INT32_MAX && ProgressEdge(step + 1, total) < edge) {
        fprintf(stderr, "edge shrinks after %d of %d\n", step, total);
        abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckEdge(data, size);
    std::string input(reinterpret_cast<const char *>(data), size);
    if (Registered(input) != model::Registered(input)) {
        fprintf(stderr, "rewrite differs from the model for %zu input bytes\n", size);
        abort();
    }
    return 0;
}
