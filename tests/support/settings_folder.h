// A settings folder of a test's own, so that no test reads or writes the
// user's real configuration.  Header only, for the suites that link the
// settings layer (play and the window).
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>

#include "settings/format.h"

namespace zemtori::test {

class SettingsFolder {
public:
    SettingsFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "zemtori-settings-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("no temporary folder");
        dir_ = name;
    }
    ~SettingsFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    SettingsFolder(const SettingsFolder&) = delete;
    SettingsFolder& operator=(const SettingsFolder&) = delete;

    // The folder that stands for XDG_CONFIG_HOME, and the settings file in it.
    const std::filesystem::path& dir() const { return dir_; }
    std::filesystem::path file() const { return dir_ / "zemtori" / "Zemtori.ini"; }

    // A settings file of these lines (UTF-8 here), in the file's code page
    // with CR LF after each.
    void write(std::initializer_list<const char*> lines) const {
        std::filesystem::create_directories(file().parent_path());
        std::ofstream out(file(), std::ios::binary | std::ios::trunc);
        for (const char* line : lines) out << to_cp932(line).value() << "\r\n";
    }
    // The options the older play and window tests were written under: the
    // green background, no guidance, no clock, no music.
    void write_plain() const { write({"背景画=緑", "移動指導=OFF", "経過時間=OFF", "BGM=OFF"}); }

    // The bytes of the settings file; empty when there is none.
    std::string bytes() const {
        std::ifstream in(file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    std::filesystem::path dir_;
};

}  // namespace zemtori::test
