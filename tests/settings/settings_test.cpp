// The settings file: reading its lines, where it lives, replacing it.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "settings/format.h"
#include "settings/store.h"
#include "test_support.h"

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

struct SettingsWriter : ::testing::Test {
    fs::path dir;
    fs::path file;

    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "zemtori-settings-XXXXXX").string();
        dir = ::mkdtemp(name.data());
        file = dir / "zemtori" / "Zemtori.ini";
        ASSERT_TRUE(replace_settings_file(file, "old\r\n"));
    }
    void TearDown() override {
        set_settings_write_seam({});
        fs::remove_all(dir);
    }
    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(file.parent_path()), {})); }

};

// Through a link only a regular file, or one not there yet, is written; a
// pipe, a folder or a read-only file (even for root) is left as it is.
TEST_F(SettingsWriter, OnlyARegularFileOrNoneIsReplaced) {
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    fs::copy_file(file, dir / "kept.ini");
    fs::permissions(dir / "kept.ini", fs::perms(0444));
    for (const char* target : {"pipe", "folder", "kept.ini"}) {
        const fs::path link = dir / (std::string(target) + ".link");
        fs::create_symlink(dir / target, link);
        EXPECT_FALSE(replace_settings_file(link, "new\r\n")) << target;
        EXPECT_TRUE(fs::is_symlink(link)) << target;
    }
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(read_settings_file(dir / "kept.ini"), "old\r\n");
    // A pipe in the file's own place is not replaced either.
    ASSERT_EQ(::mkfifo((dir / "own").c_str(), 0600), 0);
    EXPECT_FALSE(replace_settings_file(dir / "own", "new\r\n"));
    EXPECT_TRUE(fs::is_fifo(dir / "own"));

    // A link to a file not there yet makes that file.
    fs::create_symlink(dir / "later.ini", dir / "later.link");
    EXPECT_TRUE(replace_settings_file(dir / "later.link", "new\r\n"));
    EXPECT_TRUE(fs::is_symlink(dir / "later.link"));
    EXPECT_EQ(read_settings_file(dir / "later.ini"), "new\r\n");
}

// Killed once its bytes are on the disk but before they have the file's
// name, a write leaves the old file and nothing else; a size limit fails the
// write instead of ending the program; the named way, where unnamed files
// are refused, still replaces the file whole.
TEST_F(SettingsWriter, InterruptedOrLimitedWritesLeaveTheOldFileAlone) {
    int status = test::in_child([&] {
        set_settings_write_seam({[] { ::raise(SIGKILL); }, false});
        replace_settings_file(file, "killed\r\n");
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(read_settings_file(file), "old\r\n");

    for (const bool named : {false, true}) {
        status = test::in_child([&] {
            set_settings_write_seam({nullptr, named});
            rlimit tiny{3, 3};
            if (::setrlimit(RLIMIT_FSIZE, &tiny) != 0) return 10;
            return replace_settings_file(file, "limited\r\n") ? 11 : 0;
        });
        ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status) << ", named " << named;
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(entries(), 1u);
        EXPECT_EQ(read_settings_file(file), "old\r\n");

        set_settings_write_seam({nullptr, named});
        EXPECT_TRUE(replace_settings_file(file, named ? "named\r\n" : "unnamed\r\n"));
        EXPECT_EQ(read_settings_file(file), named ? "named\r\n" : "unnamed\r\n");
        EXPECT_EQ(entries(), 1u);
        ASSERT_TRUE(replace_settings_file(file, "old\r\n"));
    }
}

// A write killed between the temporary name and the rename leaves the new
// file under that name; the next write of the settings removes it, and
// nothing that only looks like it.
TEST_F(SettingsWriter, ANameLeftByAKilledWriteGoesWithTheNextWrite) {
    const fs::path folder = file.parent_path();
    std::ofstream(folder / "Zemtori.ini.Ab12Cd") << "killed\r\n";
    std::ofstream(folder / "Zemtori.ini.Ab12Cd.bak") << "kept\r\n";
    std::ofstream(folder / "Zemtori.ini.Ab12") << "kept\r\n";
    ASSERT_TRUE(replace_settings_file(file, "new\r\n"));
    EXPECT_FALSE(fs::exists(folder / "Zemtori.ini.Ab12Cd"));
    EXPECT_TRUE(fs::exists(folder / "Zemtori.ini.Ab12Cd.bak"));
    EXPECT_TRUE(fs::exists(folder / "Zemtori.ini.Ab12"));
    EXPECT_EQ(entries(), 3u);
    EXPECT_EQ(read_settings_file(file), "new\r\n");
}

}  // namespace
}  // namespace zemtori
