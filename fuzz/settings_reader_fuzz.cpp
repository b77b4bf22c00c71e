// The settings reader on any bytes at all: it answers without failing, says
// nothing about lines that are not there, names only the five backgrounds,
// and what it read, written back, reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zemtori;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const SettingsLines read = read_settings_lines(bytes);
    const SettingsMarks& says = read.says;

    if (read.count < 0 || read.count > 4) std::abort();
    if (says.haikei != 0 && (says.haikei < 2 || says.haikei > 6)) std::abort();
    if ((read.count < 1 && says.haikei != 0) || (read.count < 2 && says.sidou) ||
        (read.count < 3 && says.keika) || (read.count < 4 && says.bgm))
        std::abort();
    // Appending to a file never changes what its first lines said.
    if (read.count == 4) {
        const SettingsLines longer = read_settings_lines(std::string(bytes) + "\r\nmore");
        if (longer.count != 4 || !(longer.says == says)) std::abort();
    }
    // The file written for what was read holds the same options: four lines,
    // or three when no background was named.
    const SettingsLines again = read_settings_lines(settings_file_bytes(says));
    if (again.count != (says.haikei != 0 ? 4 : 3)) std::abort();
    if (says.haikei != 0 && !(again.says == says)) std::abort();
    return 0;
}
