#include "settings/play_options.h"

namespace zemtori {

namespace {
constexpr std::string_view NORMAL_LINE = "速度=普通";
constexpr std::string_view FAST_LINE = "速度=速い";
constexpr std::string_view EFFECTS_ON_LINE = "効果音=ON";
constexpr std::string_view EFFECTS_OFF_LINE = "効果音=OFF";
}  // namespace

PlayOptions read_play_options(std::string_view bytes) {
    PlayOptions options;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        const std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line == NORMAL_LINE) options.fast = false;
        else if (line == FAST_LINE) options.fast = true;
        else if (line == EFFECTS_ON_LINE) options.effects = true;
        else if (line == EFFECTS_OFF_LINE) options.effects = false;
    }
    return options;
}

std::string play_options_bytes(const PlayOptions& options) {
    std::string bytes;
    bytes += options.fast ? FAST_LINE : NORMAL_LINE;
    bytes += '\n';
    bytes += options.effects ? EFFECTS_ON_LINE : EFFECTS_OFF_LINE;
    bytes += '\n';
    return bytes;
}

std::filesystem::path play_options_path(const std::filesystem::path& settings_file) {
    if (settings_file.empty()) return {};
    return settings_file.parent_path() / PLAY_OPTIONS_FILE_NAME;
}

}  // namespace zemtori
