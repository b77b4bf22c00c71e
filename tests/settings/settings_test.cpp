// The settings file: its bytes, reading its lines, where it lives and
// replacing it on the disk.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/format.h"
#include "settings/store.h"

namespace zemtori {
namespace {

namespace fs = std::filesystem;

// The lines in Shift-JIS, byte for byte.
const std::string MIDORI_SJIS = "\x94\x77\x8c\x69\x89\xe6=\x97\xce";          // 背景画=緑
const std::string TAKE_SJIS = "\x94\x77\x8c\x69\x89\xe6=\x92\x7c";            // 背景画=竹
const std::string TATAMI_SJIS = "\x94\x77\x8c\x69\x89\xe6=\x8f\xf4";          // 背景画=畳
const std::string UCHU_SJIS = "\x94\x77\x8c\x69\x89\xe6=\x89\x46\x92\x88";    // 背景画=宇宙
const std::string RENGA_SJIS = "\x94\x77\x8c\x69\x89\xe6=\x97\xf9\x8a\xa2";   // 背景画=煉瓦
const std::string SIDOU_SJIS = "\x88\xda\x93\xae\x8e\x77\x93\xb1=";           // 移動指導=
const std::string KEIKA_SJIS = "\x8c\x6f\x89\xdf\x8e\x9e\x8a\xd4=";           // 経過時間=

TEST(SettingsFileBytes, AreTheLiteralLinesInShiftJisEndedByCrLf) {
    EXPECT_EQ(settings_file_bytes(DEFAULT_SETTINGS),
              MIDORI_SJIS + "\r\n" + SIDOU_SJIS + "OFF\r\n" + KEIKA_SJIS + "ON\r\nBGM=ON\r\n");
    EXPECT_EQ(settings_file_bytes({5, true, false, false}),
              UCHU_SJIS + "\r\n" + SIDOU_SJIS + "ON\r\n" + KEIKA_SJIS + "OFF\r\nBGM=OFF\r\n");
    const std::pair<int, std::string> backgrounds[] = {
        {2, MIDORI_SJIS}, {3, TATAMI_SJIS}, {4, TAKE_SJIS}, {5, UCHU_SJIS}, {6, RENGA_SJIS}};
    for (const auto& [code, line] : backgrounds)
        EXPECT_EQ(settings_file_bytes({code, false, false, true}).substr(0, line.size() + 2), line + "\r\n") << code;
    // No background named: the file has three lines.
    EXPECT_EQ(settings_file_bytes({0, false, true, false}),
              SIDOU_SJIS + "OFF\r\n" + KEIKA_SJIS + "ON\r\nBGM=OFF\r\n");
    EXPECT_EQ(settings_file_bytes({7, false, true, false}), settings_file_bytes({0, false, true, false}));
}

TEST(SettingsFileBytes, ReadBackAsTheyWereWrittenForEveryChoice) {
    for (const int code : {2, 3, 4, 5, 6})
        for (int bits = 0; bits < 8; ++bits) {
            const SettingsMarks marks{code, (bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
            const SettingsLines read = read_settings_lines(settings_file_bytes(marks));
            EXPECT_EQ(read.count, 4);
            EXPECT_EQ(read.says, marks) << code << " " << bits;
        }
}

struct LinesCase {
    const char* name;
    std::string bytes;
    int count;
    SettingsMarks says;
};

TEST(SettingsLinesRead, EachLineSaysWhatItsExactLiteralSays) {
    const std::string on = SIDOU_SJIS + "ON", keika_on = KEIKA_SJIS + "ON";
    const LinesCase cases[] = {
        {"empty file", "", 0, {}},
        {"two lines", TAKE_SJIS + "\r\n" + on + "\r\n", 2, {4, true, false, false}},
        {"last line without its end", RENGA_SJIS + "\r\n" + on + "\r\n" + keika_on + "\r\nBGM=ON", 4, {6, true, true, true}},
        {"lines ended by LF", TATAMI_SJIS + "\n" + on + "\n" + keika_on + "\nBGM=ON\n", 4, {3, true, true, true}},
        {"lines ended by CR", TATAMI_SJIS + "\r" + on + "\r" + keika_on + "\rBGM=ON\r", 4, {3, true, true, true}},
        {"empty lines count", "\r\n\r\n\r\n", 3, {}},
        {"first line none of the five", "背景画=竹\r\n" + on + "\r\n" + keika_on + "\r\nBGM=ON\r\n", 4, {0, true, true, true}},
        {"blank after a literal", UCHU_SJIS + " \r\n" + on + " \r\n" + keika_on + "\t\r\nBGM=ON \r\n", 4, {}},
        {"other case", UCHU_SJIS + "\r\n" + SIDOU_SJIS + "on\r\n" + KEIKA_SJIS + "On\r\nbgm=ON\r\n", 4, {5, false, false, false}},
        {"lines after the fourth", MIDORI_SJIS + "\r\n" + on + "\r\n" + keika_on + "\r\nBGM=ON\r\n" + TAKE_SJIS, 4, {2, true, true, true}},
        {"a NUL in a line", MIDORI_SJIS + std::string(1, '\0') + "\r\n" + on + "\r\n", 2, {0, true, false, false}},
    };
    for (const LinesCase& c : cases) {
        const SettingsLines read = read_settings_lines(c.bytes);
        EXPECT_EQ(read.count, c.count) << c.name;
        EXPECT_EQ(read.says, c.says) << c.name;
    }
}

TEST(SettingsPlace, IsTheUsersConfigurationFolder) {
    EXPECT_EQ(settings_path("/x/conf", "/home/u"), fs::path("/x/conf/zemtori/Zemtori.ini"));
    EXPECT_EQ(settings_path(nullptr, "/home/u"), fs::path("/home/u/.config/zemtori/Zemtori.ini"));
    EXPECT_EQ(settings_path("", "/home/u"), fs::path("/home/u/.config/zemtori/Zemtori.ini"));
    // A relative folder is no configuration folder.
    EXPECT_EQ(settings_path("conf", "/home/u"), fs::path("/home/u/.config/zemtori/Zemtori.ini"));
    EXPECT_EQ(settings_path(nullptr, nullptr), fs::path());
    EXPECT_EQ(settings_path("", ""), fs::path());
    EXPECT_EQ(settings_path("rel", "rel"), fs::path());
}

class SettingsStore : public ::testing::Test {
protected:
    SettingsStore() {
        std::string t = (fs::temp_directory_path() / "zemtori-store-XXXXXX").string();
        dir = ::mkdtemp(t.data());
    }
    ~SettingsStore() override { fs::remove_all(dir); }

    static std::string contents(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

    fs::path dir;
};

TEST_F(SettingsStore, ReplacingMakesTheFoldersAndLeavesOnlyTheWholeFile) {
    const fs::path file = dir / "a" / "zemtori" / "Zemtori.ini";
    ASSERT_TRUE(replace_settings_file(file, "first, the longer text\r\n"));
    ASSERT_TRUE(replace_settings_file(file, "second\r\n"));
    EXPECT_EQ(contents(file), "second\r\n");
    EXPECT_EQ(read_settings_file(file), "second\r\n");
    // Made private to the user, like any configuration folder.
    EXPECT_EQ(fs::status(dir / "a").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(file.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(SettingsStore, AFolderThatCannotBeMadeIsAFailureThatWritesNothing) {
    put(dir / "plain", "a file where a folder should be");
    EXPECT_FALSE(replace_settings_file(dir / "plain" / "zemtori" / "Zemtori.ini", "x\r\n"));
    EXPECT_FALSE(replace_settings_file(fs::path(), "x\r\n"));
    // A folder in the file's place stays, and no temporary file is left.
    fs::create_directories(dir / "z" / "Zemtori.ini");
    EXPECT_FALSE(replace_settings_file(dir / "z" / "Zemtori.ini", "x\r\n"));
    EXPECT_TRUE(fs::is_directory(dir / "z" / "Zemtori.ini"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "z"), fs::directory_iterator()), 1);
}

TEST_F(SettingsStore, ALinkKeepsPointingAtTheFileItNames) {
    fs::create_directories(dir / "dotfiles");
    fs::create_directories(dir / "conf");
    put(dir / "dotfiles" / "Zemtori.ini", "old\r\n");
    fs::create_symlink("../dotfiles/Zemtori.ini", dir / "conf" / "Zemtori.ini");
    ::chmod((dir / "dotfiles" / "Zemtori.ini").c_str(), 0640);
    ASSERT_TRUE(replace_settings_file(dir / "conf" / "Zemtori.ini", "new\r\n"));
    EXPECT_TRUE(fs::is_symlink(dir / "conf" / "Zemtori.ini"));
    EXPECT_EQ(contents(dir / "dotfiles" / "Zemtori.ini"), "new\r\n");
    EXPECT_EQ(fs::status(dir / "dotfiles" / "Zemtori.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SettingsStore, AReadOnlyFileIsLeftAlone) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    put(dir / "Zemtori.ini", "kept\r\n");
    ::chmod((dir / "Zemtori.ini").c_str(), 0444);
    EXPECT_FALSE(replace_settings_file(dir / "Zemtori.ini", "new\r\n"));
    EXPECT_EQ(contents(dir / "Zemtori.ini"), "kept\r\n");
}

TEST_F(SettingsStore, OnlyAPlainFileIsRead) {
    EXPECT_EQ(read_settings_file(dir / "missing.ini"), std::nullopt);
    EXPECT_EQ(read_settings_file(dir), std::nullopt);
    EXPECT_EQ(read_settings_file(fs::path()), std::nullopt);
    // A pipe in the file's place is turned away at once, not waited on.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(read_settings_file(dir / "pipe"), std::nullopt);
}

TEST_F(SettingsStore, AHugeFileIsReadAsFarAsItsLastWholeLineWithinTheLimit) {
    // Four lines, the last of which runs past the limit: it is not there, so
    // it cannot read as "BGM=ON" however it was cut.
    std::string head = MIDORI_SJIS + "\r\n" + SIDOU_SJIS + "ON\r\n" + KEIKA_SJIS + "ON";
    head += std::string(64 * 1024 - head.size() - 8, ' ') + "\r\n";
    put(dir / "big.ini", head + "BGM=ON" + "junk\r\n");
    const std::optional<std::string> bytes = read_settings_file(dir / "big.ini");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, head);
    EXPECT_EQ(read_settings_lines(*bytes).count, 3);
}

}  // namespace
}  // namespace zemtori
