// A settings folder of a test's own (standing for XDG_CONFIG_HOME), so that no
// test touches the user's real configuration.  For the suites that link the
// settings layer.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

#include "settings/format.h"

namespace zemtori::test {

struct SettingsFolder {
    SettingsFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "zemtori-settings-XXXXXX").string();
        dir = ::mkdtemp(name.data());
    }
    ~SettingsFolder() { std::error_code ec; std::filesystem::remove_all(dir, ec); }

    std::filesystem::path file() const { return dir / "zemtori" / "Zemtori.ini"; }
    // The file of these lines (UTF-8 here), in the code page with CR LF.
    void write(std::initializer_list<const char*> lines) const {
        std::filesystem::create_directories(file().parent_path());
        std::ofstream out(file(), std::ios::binary);
        for (const char* line : lines) out << to_cp932(line).value() << "\r\n";
    }
    // The options the older play and window tests were written under.
    void write_plain() const { write({"背景画=緑", "移動指導=OFF", "経過時間=OFF", "BGM=OFF"}); }
    std::string bytes() const {
        std::ifstream in(file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::filesystem::path dir;
};

}  // namespace zemtori::test
