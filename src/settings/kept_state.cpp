#include "settings/kept_state.h"

#include <cstdlib>

namespace zemtori {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view LEVEL_KEY = "LEVEL=";

bool absolute(const char* folder) { return folder != nullptr && *folder != '\0' && fs::path(folder).is_absolute(); }

}  // namespace

fs::path state_folder(const char* xdg_state_home, const char* home) {
    if (absolute(xdg_state_home)) return fs::path(xdg_state_home) / "zemtori";
    if (absolute(home)) return fs::path(home) / ".local" / "state" / "zemtori";
    return {};
}

fs::path state_folder() { return state_folder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")); }

std::optional<int> read_level_file(std::string_view bytes) {
    std::string_view line = bytes.substr(0, bytes.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, LEVEL_KEY.size()) != LEVEL_KEY) return std::nullopt;
    const std::string_view digits = line.substr(LEVEL_KEY.size());
    if (digits.empty() || digits.size() > 2 || digits[0] == '0') return std::nullopt;
    int level = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        level = level * 10 + (c - '0');
    }
    return level;
}

std::string level_file_bytes(int level) { return std::string(LEVEL_KEY) + std::to_string(level) + "\n"; }

}  // namespace zemtori
