// The settings file: reading its lines, where it lives, replacing it.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include "settings/format.h"
#include "settings/store.h"

namespace zemtori {
namespace {

namespace fs = std::filesystem;

std::string sj(const char* utf8) { return to_cp932(utf8).value(); }

TEST(SettingsFile, EachLineSaysOnlyWhatItsExactLiteralSays) {
    const struct {
        std::string bytes;
        int count;
        SettingsMarks says;
    } cases[] = {
        {"", 0, {}},
        {sj("背景画=竹\r\n移動指導=ON\r\n"), 2, {4, true, false, false}},
        {sj("背景画=畳\n移動指導=ON\r経過時間=ON\r\nBGM=ON"), 4, {3, true, true, true}},
        {sj("背景画=煉瓦 \r\n移動指導=on\r\n経過時間=ON\t\r\nBGM=ON\r\n背景画=竹\r\n"), 4, {0, false, false, true}},
        {"背景画=宇宙\r\n" + sj("移動指導=ON\r\n\r\n"), 3, {0, true, false, false}},  // UTF-8 is not the code page
    };
    for (const auto& c : cases) {
        const SettingsLines read = read_settings_lines(c.bytes);
        EXPECT_EQ(read.count, c.count) << c.bytes;
        EXPECT_EQ(read.says, c.says) << c.bytes;
    }
}

TEST(SettingsFile, LivesInTheUsersConfigurationFolder) {
    EXPECT_EQ(settings_path("/x/conf", "/home/u"), fs::path("/x/conf/zemtori/Zemtori.ini"));
    for (const char* unset : {static_cast<const char*>(nullptr), "", "relative"})
        EXPECT_EQ(settings_path(unset, "/home/u"), fs::path("/home/u/.config/zemtori/Zemtori.ini"));
    EXPECT_EQ(settings_path(nullptr, "relative"), fs::path());
}

TEST(SettingsFile, IsReplacedWholeInFoldersMadeForIt) {
    std::string name = (fs::temp_directory_path() / "zemtori-store-XXXXXX").string();
    const fs::path dir = ::mkdtemp(name.data());
    const fs::path file = dir / "a" / "zemtori" / "Zemtori.ini";
    ASSERT_TRUE(replace_settings_file(file, "first, the longer text\r\n"));
    ASSERT_TRUE(replace_settings_file(file, "second\r\n"));
    EXPECT_EQ(read_settings_file(file), "second\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1) << "a temporary file stayed";
    EXPECT_EQ(fs::status(dir / "a").permissions(), fs::perms::owner_all);
    // A link goes on pointing at the file it names, which is what changes.
    fs::create_symlink(file, dir / "link.ini");
    ASSERT_TRUE(replace_settings_file(dir / "link.ini", "third\r\n"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(read_settings_file(file), "third\r\n");
    // No folder can be made under a plain file; nothing is read from a folder or a pipe.
    EXPECT_FALSE(replace_settings_file(file / "zemtori" / "Zemtori.ini", "x\r\n"));
    EXPECT_EQ(read_settings_file(dir), std::nullopt);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(read_settings_file(dir / "pipe"), std::nullopt);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace zemtori
