// Record files: the bytes of a ".棋譜" file, and replacing one on disk.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "record/entry_line.h"
#include "record/record_file.h"
#include "test_support.h"

namespace zemtori {
namespace {

TEST(RecordFileBytes, LinesEndInCrLfOrLfAloneAndWhatIsMissingReadsEmpty) {
    RecordEntry e;
    store_position(test::opening_position(), e);
    e.MAN_ATO = 1000.5;  // five columns, the fraction dropped
    e.COM_MAE = 100000;  // too wide: 99999
    const std::string line = format_entry_line(e);
    EXPECT_EQ(line.substr(313), "    0 100099999    0");
    const RecordFile f = parse_record_file("\x91\xce\x8b\xc7\n\xff\n\r\n" + line + "\n" + line.substr(0, 6));
    EXPECT_EQ(f.title, "対局");
    EXPECT_EQ(f.ue_player, "\xEF\xBF\xBD");  // a byte that is not Shift-JIS
    EXPECT_EQ(f.sita_player, "");
    ASSERT_EQ(f.entries.size(), 2u);
    EXPECT_EQ(format_entry_line(f.entries[0]), line);
    EXPECT_EQ(f.entries[1].BAN[1][2], e.BAN[1][2]);
    EXPECT_EQ(f.entries[1].BAN[1][3], 0);  // a short line
    EXPECT_TRUE(parse_record_file("only a title").entries.empty());
    // Long headers and endless files are cut.
    const RecordFile endless = parse_record_file(std::string(3000, 'a') + "\n\n\n" + std::string(40000, '\n'));
    EXPECT_EQ(endless.title.size(), MAX_HEADER_CHARS);
    EXPECT_EQ(endless.entries.size(), static_cast<std::size_t>(MAX_RECORD_FILE_ENTRIES));
}

// A disk that fills up while the file is written (the file size limit stands
// in for it, also for root) leaves the previous file and no temporary one.
TEST(RecordFileOnDisk, AFailedWriteLeavesThePreviousFileIntact) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("zemtori-record-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "b.棋譜").string();
    std::string reason;
    ASSERT_TRUE(write_file_atomically(path, "previous", reason));
    const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit;
    ::getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit small = old_limit;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = write_file_atomically(path, std::string(5000, 'x'), reason);
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    ::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(ok);
    EXPECT_FALSE(reason.empty());
    std::ifstream in(path);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

namespace fs = std::filesystem;

std::string text_of(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> names_in(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct RecordFileWriter : ::testing::Test {
    fs::path dir;
    std::string path;
    std::string reason;

    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "zemtori-writer-XXXXXX").string();
        dir = ::mkdtemp(name.data());
        path = (dir / "a.棋譜").string();
        ASSERT_TRUE(write_file_atomically(path, "previous\r\n", reason)) << reason;
    }
    void TearDown() override {
        set_record_write_seam({});
        fs::remove_all(dir);
    }
};

// A size limit makes the write fail, said in Japanese as every reason; the program
// goes on, the previous file stays whole and no temporary file is left.
TEST_F(RecordFileWriter, ASizeLimitFailsTheWriteAndEndsNothing) {
    for (const bool named : {false, true}) {
        const int status = test::in_child([&] {
            set_record_write_seam({nullptr, named});
            rlimit small{1000, 1000};
            if (::setrlimit(RLIMIT_FSIZE, &small) != 0) return 10;
            std::string why;
            if (write_file_atomically(path, std::string(2 * 1024 * 1024, 'x'), why)) return 11;
            return why == "ﾌｧｲﾙが大きすぎます" ? 0 : 12;
        });
        ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status) << ", named " << named;
        EXPECT_EQ(WEXITSTATUS(status), 0) << named;
        EXPECT_EQ(text_of(path), "previous\r\n");
        EXPECT_EQ(names_in(dir), std::vector<std::string>{"a.棋譜"}) << named;
    }
}

// Killed after its bytes are on the disk but before they have a name, a
// save leaves the previous file and nothing else.
TEST_F(RecordFileWriter, ASaveKilledBeforeItsFileIsNamedLeavesNothing) {
    for (const std::string& target : {path, (dir / "new.棋譜").string()}) {
        const int status = test::in_child([&] {
            set_record_write_seam({[] { ::raise(SIGKILL); }, false});
            std::string why;
            write_file_atomically(target, std::string(100000, 'y'), why);
            return 0;
        });
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(names_in(dir), std::vector<std::string>{"a.棋譜"}) << target;
        EXPECT_EQ(text_of(path), "previous\r\n");
    }
}

// Both ways of writing (an unnamed file, or a named temporary one where the
// file system refuses that) replace the file whole, keep its permissions,
// give a new file those of the umask and replace a link, not its target.
TEST_F(RecordFileWriter, BothWaysReplaceTheFileAndKeepItsPermissions) {
    for (const bool named : {false, true}) {
        set_record_write_seam({nullptr, named});
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        ASSERT_TRUE(write_file_atomically(path, "second", reason)) << reason;
        EXPECT_EQ(text_of(path), "second");
        EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));

        const mode_t mask = ::umask(022);
        const fs::path fresh = dir / "fresh.棋譜";
        ASSERT_TRUE(write_file_atomically(fresh.string(), "fresh", reason)) << reason;
        ::umask(mask);
        EXPECT_EQ(text_of(fresh), "fresh");
        EXPECT_EQ(fs::status(fresh).permissions(), fs::perms(0644));

        const fs::path link = dir / "link.棋譜";
        fs::create_symlink(fresh, link);
        ASSERT_TRUE(write_file_atomically(link.string(), "through", reason)) << reason;
        EXPECT_FALSE(fs::is_symlink(link));
        EXPECT_EQ(text_of(link), "through");
        EXPECT_EQ(text_of(fresh), "fresh");
        EXPECT_EQ(names_in(dir), (std::vector<std::string>{"a.棋譜", "fresh.棋譜", "link.棋譜"})) << named;
        fs::remove(fresh);
        fs::remove(link);
    }
}

// A file the user made read-only is kept, also for root (who could write
// it); the common reasons a file cannot be used read in Japanese.
TEST_F(RecordFileWriter, AReadOnlyFileIsKeptAndReasonsReadInJapanese) {
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(write_file_atomically(path, "new", reason));
    EXPECT_EQ(reason, "読み取り専用のﾌｧｲﾙです");
    EXPECT_EQ(text_of(path), "previous\r\n");

    const std::string long_name = (dir / (std::string(300, 'n') + ".棋譜")).string();
    const std::pair<std::string, const char*> writes[] = {
        {(dir / "gone" / "b.棋譜").string(), "見つかりません"},
        {dir.string(), "ﾌｫﾙﾀﾞです"},
        {long_name, "ﾌｧｲﾙ名が長すぎます"},
    };
    for (const auto& [where, why] : writes) {
        EXPECT_FALSE(write_file_atomically(where, "x", reason)) << where;
        EXPECT_EQ(reason, why) << where;
    }
    std::string bytes;
    for (const auto& [where, why] : writes) {
        EXPECT_EQ(read_record_bytes(where, bytes, reason), ReadFailure::System) << where;
        EXPECT_EQ(reason, why) << where;
    }
    EXPECT_EQ(names_in(dir), std::vector<std::string>{"a.棋譜"});
}

}  // namespace
}  // namespace zemtori
