// The settings file "Zemtori.ini": four text lines in the Japanese code page
// (CP932, a superset of Shift-JIS), each ended by CR LF, in this order:
//
//   1  the background    "背景画=緑", "背景画=畳", "背景画=竹", "背景画=宇宙", "背景画=煉瓦"
//   2  move guidance     "移動指導=ON" / "移動指導=OFF"
//   3  the clock         "経過時間=ON" / "経過時間=OFF"
//   4  the music         "BGM=ON" / "BGM=OFF"
//
// Each line is exactly one of its literals: no spaces, no comments.  A line
// with other text is not an error; it simply reads as "off" (or, for the
// background, as "none of the five").  Inside the program all text is UTF-8;
// only the bytes of the file are CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zemtori {

// The background lines with the picture code each one names.
struct BackgroundLine {
    int code;
    const char* line;
};
inline constexpr BackgroundLine BACKGROUND_LINES[] = {
    {2, "背景画=緑"}, {3, "背景画=畳"}, {4, "背景画=竹"}, {5, "背景画=宇宙"}, {6, "背景画=煉瓦"},
};
inline constexpr const char* SIDOU_ON_LINE = "移動指導=ON";
inline constexpr const char* SIDOU_OFF_LINE = "移動指導=OFF";
inline constexpr const char* KEIKA_ON_LINE = "経過時間=ON";
inline constexpr const char* KEIKA_OFF_LINE = "経過時間=OFF";
inline constexpr const char* BGM_ON_LINE = "BGM=ON";
inline constexpr const char* BGM_OFF_LINE = "BGM=OFF";

// The four options.  Writing, they are the menu's check marks; reading, what
// each line of a file says.
struct SettingsMarks {
    int haikei = 0;  // background code 2..6; 0 when no background is named
    bool sidou = false;
    bool keika = false;
    bool bgm = false;
    bool operator==(const SettingsMarks&) const = default;
};

// The file written whenever the settings cannot be read: green, no guidance,
// the clock shown, the music on.
inline constexpr SettingsMarks DEFAULT_SETTINGS{2, false, true, true};

// What a settings file holds: how many of its four lines are there, and what
// the ones that are there say.  Reading stops at the first missing line, so
// `says` means something only for lines 1..count.
struct SettingsLines {
    int count = 0;
    SettingsMarks says;
};

// Reads the lines of a settings file from its bytes.  A line ends at CR LF,
// at a lone CR or at a lone LF; a last line without an end still counts when
// it holds anything.  Whatever follows the fourth line is not looked at.
// Never fails: any bytes give an answer.
SettingsLines read_settings_lines(std::string_view bytes);

// The bytes of the file for `marks`: the background line (left out when
// `marks.haikei` names none of the five), then the other three, each ended by
// CR LF.
std::string settings_file_bytes(const SettingsMarks& marks);

// UTF-8 text in the Japanese code page; nothing when it has no such form.
std::optional<std::string> to_cp932(std::string_view utf8);

}  // namespace zemtori
