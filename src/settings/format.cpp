#include "settings/format.h"

#include <iconv.h>

#include <array>

namespace zemtori {

namespace {

// Every literal of the file in its CP932 bytes, converted once.
struct EncodedLines {
    std::array<std::string, std::size(BACKGROUND_LINES)> background;
    std::string sidou_on, sidou_off, keika_on, keika_off, bgm_on, bgm_off;
};

std::string encoded(const char* utf8) {
    // The literals are all in the code page; an iconv without it has no
    // Japanese at all, and then no line can be read or written.
    return to_cp932(utf8).value_or(std::string());
}

const EncodedLines& lines() {
    static const EncodedLines encoded_lines = [] {
        EncodedLines e;
        for (std::size_t i = 0; i < std::size(BACKGROUND_LINES); ++i)
            e.background[i] = encoded(BACKGROUND_LINES[i].line);
        e.sidou_on = encoded(SIDOU_ON_LINE);
        e.sidou_off = encoded(SIDOU_OFF_LINE);
        e.keika_on = encoded(KEIKA_ON_LINE);
        e.keika_off = encoded(KEIKA_OFF_LINE);
        e.bgm_on = encoded(BGM_ON_LINE);
        e.bgm_off = encoded(BGM_OFF_LINE);
        return e;
    }();
    return encoded_lines;
}

// A literal that could not be converted is empty and matches no line.
bool is(std::string_view line, const std::string& literal) { return !literal.empty() && line == literal; }

// The next line of `rest` and whether there was one; `rest` moves past it
// and its end.
bool next_line(std::string_view& rest, std::string_view& line) {
    if (rest.empty()) return false;
    const std::size_t end = rest.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        line = rest;
        rest = {};
        return true;
    }
    line = rest.substr(0, end);
    const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
    rest.remove_prefix(end + (crlf ? 2 : 1));
    return true;
}

}  // namespace

std::optional<std::string> to_cp932(std::string_view utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(utf8.size() * 2 + 8, '\0');  // never longer than the UTF-8 text
    char* in = const_cast<char*>(utf8.data());
    std::size_t in_left = utf8.size();
    char* at = out.data();
    std::size_t out_left = out.size();
    const std::size_t r = iconv(cd, &in, &in_left, &at, &out_left);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1) || in_left != 0) return std::nullopt;
    out.resize(out.size() - out_left);
    return out;
}

SettingsLines read_settings_lines(std::string_view bytes) {
    const EncodedLines& e = lines();
    SettingsLines result;
    std::string_view line;

    if (!next_line(bytes, line)) return result;
    result.count = 1;
    for (std::size_t i = 0; i < std::size(BACKGROUND_LINES); ++i)
        if (is(line, e.background[i])) result.says.haikei = BACKGROUND_LINES[i].code;

    if (!next_line(bytes, line)) return result;
    result.count = 2;
    result.says.sidou = is(line, e.sidou_on);

    if (!next_line(bytes, line)) return result;
    result.count = 3;
    result.says.keika = is(line, e.keika_on);

    if (!next_line(bytes, line)) return result;
    result.count = 4;
    result.says.bgm = is(line, e.bgm_on);
    return result;
}

std::string settings_file_bytes(const SettingsMarks& marks) {
    const EncodedLines& e = lines();
    std::string out;
    for (std::size_t i = 0; i < std::size(BACKGROUND_LINES); ++i)
        if (marks.haikei == BACKGROUND_LINES[i].code) out += e.background[i] + "\r\n";
    out += (marks.sidou ? e.sidou_on : e.sidou_off) + "\r\n";
    out += (marks.keika ? e.keika_on : e.keika_off) + "\r\n";
    out += (marks.bgm ? e.bgm_on : e.bgm_off) + "\r\n";
    return out;
}

}  // namespace zemtori
