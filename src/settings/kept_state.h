// What the game keeps between runs apart from the options: the game in
// progress when the program ended (record/kept_game.h) and the computer's
// level.  Both live in the user's state folder, each in a file of its own:
//
//   $XDG_STATE_HOME/zemtori/Zemtori-game.txt    the kept game
//   $XDG_STATE_HOME/zemtori/Zemtori-level.ini   one line, "LEVEL=N"
//
// ($HOME/.local/state/zemtori when XDG_STATE_HOME is unset, empty or not an
// absolute path.)  They are written through the same whole-file writer as
// the settings file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zemtori {

inline constexpr const char* KEPT_GAME_FILE_NAME = "Zemtori-game.txt";
inline constexpr const char* LEVEL_FILE_NAME = "Zemtori-level.ini";

// The state folder; empty when neither gives an absolute folder: then
// nothing is kept.
std::filesystem::path state_folder(const char* xdg_state_home, const char* home);
// The same from the environment.
std::filesystem::path state_folder();

// The level a level file's bytes name: its first line, "LEVEL=N" with N a
// number from 1 to 99 without a leading zero (CR LF or no end at all read the
// same); nothing for anything else.  Which levels there are is the game's to
// say.
std::optional<int> read_level_file(std::string_view bytes);
std::string level_file_bytes(int level);

}  // namespace zemtori
