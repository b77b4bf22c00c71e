// The options kept beside the settings file, in a small file of their own so
// that "Zemtori.ini" keeps its four lines: the pace of the animations (速度)
// and the sound effects (効果音).  The file "Zemtori-play.ini" holds UTF-8
// lines ended by LF:
//
//   速度=普通 / 速度=速い
//   効果音=ON / 効果音=OFF
//
// A line that is none of these is passed over, and an option without its line
// keeps its default (普通, effects on): a missing or damaged file reads as the
// defaults.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zemtori {

inline constexpr const char* PLAY_OPTIONS_FILE_NAME = "Zemtori-play.ini";

struct PlayOptions {
    bool fast = false;    // 速度=速い
    bool effects = true;  // 効果音=ON
    bool operator==(const PlayOptions&) const = default;
};

// What the bytes of the file say.  Never fails: any bytes give an answer.
PlayOptions read_play_options(std::string_view bytes);
// The bytes of the file for `options`: both lines.
std::string play_options_bytes(const PlayOptions& options);
// The file beside the settings file `settings_file`; empty when that is.
std::filesystem::path play_options_path(const std::filesystem::path& settings_file);

}  // namespace zemtori
