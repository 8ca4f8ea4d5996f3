// What registering the device line must make of a SYSTEM.INI, stated on whole
// strings, without pieces: the reference for the randomized and fuzz checks.
#ifndef SYSTEM_INI_MODEL_H
#define SYSTEM_INI_MODEL_H

#include <string>
#include <vector>

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

#endif
