// Where the settings file lives, reading it, and replacing it whole.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zemtori {

inline constexpr const char* SETTINGS_FILE_NAME = "Zemtori.ini";

// The settings file in the user's configuration folder:
// $XDG_CONFIG_HOME/zemtori/Zemtori.ini, or $HOME/.config/zemtori/Zemtori.ini
// when XDG_CONFIG_HOME is unset, empty or not an absolute path.  Empty when
// neither gives an absolute folder: then there is no settings file.
std::filesystem::path settings_path(const char* xdg_config_home, const char* home);
// The same from the environment.
std::filesystem::path settings_path();

// The bytes at the start of the file, enough for its four lines; nothing
// when it is missing, is not a plain file or cannot be read.
std::optional<std::string> read_settings_file(const std::filesystem::path& path);

// Puts `bytes` in place of the file at `path`, making its folder (and any
// folder above it) when missing.  The bytes go to a new file in the same
// folder, which has no name (or, where the file system has no unnamed files,
// a temporary one) until it is flushed to the disk and then takes the old
// one's place, so the file is at every moment either the old one or the new
// one, whole, and a killed write leaves nothing behind (a name left by one
// killed just before its rename goes with the next write).  A link is followed:
// the file it points to is replaced, but only a regular file or one that is
// not there yet; a pipe, a device or a folder is left alone, and so is a
// file the user has made read-only.  A file-size signal still at its default
// action is set to be ignored, so a size limit fails the write.  Returns
// false when the file could not be replaced; the old one is then as it was.
bool replace_settings_file(const std::filesystem::path& path, std::string_view bytes);

// For tests of the writer: `after_sync` is called once the new bytes are on
// the disk and before the file takes its name; `named_only` keeps the writer
// to a named temporary file, as where the file system refuses unnamed ones.
struct SettingsWriteSeam {
    void (*after_sync)() = nullptr;
    bool named_only = false;
};
void set_settings_write_seam(const SettingsWriteSeam& seam);

}  // namespace zemtori
