// Record files: the bytes of a ".棋譜" file, and replacing one on disk.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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

}  // namespace
}  // namespace zemtori
