// Record files: the bytes of a ".棋譜" file, read and written, and the files
// on disk.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "record/entry_line.h"
#include "record/record_file.h"
#include "test_support.h"

namespace zemtori {
namespace {

namespace fs = std::filesystem;

RecordEntry entry_with(int tesu) {
    Position pos = test::opening_position();
    pos.BAN[5][5] = -RYU;
    pos.MOCHI_UE_KOMA[1] = HU;
    pos.MOCHI_UE_KAZU[1] = tesu;
    RecordEntry e;
    store_position(pos, e);
    e.MAN_MAE = tesu;
    e.MAN_ATO = tesu + 0.75;
    e.COM_MAE = 1000;
    e.COM_ATO = 1000.5;
    return e;
}

std::string file_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ---------------------------------------------------------------------------
// The bytes of a file.

TEST(RecordFileBytes, ShiftJisHeadersCrLfAndOneEntryLinePerEntry) {
    RecordFile f;
    f.title = "名人戦 表";  // 表 ends in the byte of a backslash
    f.ue_player = "後手花子";
    f.sita_player = "ﾊﾝﾃﾞ";
    f.entries = {entry_with(1), entry_with(2)};
    std::string bytes;
    int bad = -1;
    ASSERT_TRUE(format_record_file(f, bytes, bad));
    EXPECT_EQ(bad, 0);
    const std::string head = "\x96\xbc\x90\x6c\x90\xed \x95\x5c\r\n"
                             "\x8c\xe3\x8e\xe8\x89\xd4\x8e\x71\r\n"
                             "\xca\xdd\xc3\xde\r\n";
    ASSERT_EQ(bytes.substr(0, head.size()), head);
    const std::string line1 = format_entry_line(entry_with(1));
    EXPECT_EQ(bytes.substr(head.size()), line1 + "\r\n" + format_entry_line(entry_with(2)) + "\r\n");
    // The 1000-second clocks keep their five columns, with the fraction dropped.
    EXPECT_EQ(line1.substr(313), "    1    1 1000 1000");

    const RecordFile back = parse_record_file(bytes);
    EXPECT_EQ(back.title, f.title);
    EXPECT_EQ(back.ue_player, f.ue_player);
    EXPECT_EQ(back.sita_player, f.sita_player);
    ASSERT_EQ(back.entries.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(format_entry_line(back.entries[i]), format_entry_line(f.entries[i]));
    EXPECT_EQ(back.entries[1].MAN_ATO, 2);  // whole seconds
}

TEST(RecordFileBytes, HeadersCp932CannotHoldAreRefused) {
    RecordFile f;
    f.title = "ok";
    f.sita_player = "한국";  // Hangul has no code in CP932
    std::string bytes = "left over";
    int bad = 0;
    EXPECT_FALSE(format_record_file(f, bytes, bad));
    EXPECT_EQ(bad, 3);
    EXPECT_TRUE(bytes.empty());
    f.sita_player.clear();
    f.ue_player = "two\nlines";  // would make a line of its own
    EXPECT_FALSE(format_record_file(f, bytes, bad));
    EXPECT_EQ(bad, 2);
    // The wave dash of JIS and of Windows both have their CP932 code.
    f.ue_player = "〜～";
    EXPECT_TRUE(format_record_file(f, bytes, bad));
    EXPECT_EQ(bytes.substr(4, 6), "\x81\x60\x81\x60\r\n");
}

TEST(RecordFileBytes, ClocksTooLargeForTheirColumnsAreWrittenAs99999) {
    RecordEntry e = entry_with(3);
    e.MAN_MAE = 99999.9;
    e.MAN_ATO = 100000;
    e.COM_MAE = 1e15;
    e.COM_ATO = 12345;
    const std::string line = format_entry_line(e);
    ASSERT_EQ(line.size(), 333u);
    EXPECT_EQ(line.substr(313), "99999999999999912345");
}

TEST(RecordFileReading, LinesMayEndInLfAloneAndMissingPartsReadEmpty) {
    const std::string entry = format_entry_line(entry_with(4));
    // LF-only lines, the last without its end; a short entry line.
    RecordFile f = parse_record_file("\x91\xce\x8b\xc7\n\nlower\r\n" + entry + "\n" + entry.substr(0, 6));
    EXPECT_EQ(f.title, "対局");
    EXPECT_EQ(f.ue_player, "");
    EXPECT_EQ(f.sita_player, "lower");
    ASSERT_EQ(f.entries.size(), 2u);
    EXPECT_EQ(format_entry_line(f.entries[0]), entry);
    EXPECT_EQ(f.entries[1].BAN[1][1], KYOU);
    EXPECT_EQ(f.entries[1].BAN[1][2], 0);
    EXPECT_EQ(f.entries[1].COM_ATO, 0);

    // Headers only, or not even those: no entries.
    EXPECT_TRUE(parse_record_file("t\r\nu\r\ns\r\n").entries.empty());
    f = parse_record_file("only a title");
    EXPECT_EQ(f.title, "only a title");
    EXPECT_EQ(f.sita_player, "");
    EXPECT_TRUE(f.entries.empty());
    EXPECT_TRUE(parse_record_file("").entries.empty());
    // One empty line after the headers is an entry of an empty board.
    EXPECT_EQ(parse_record_file("t\r\nu\r\ns\r\n\r\n").entries.size(), 1u);
}

TEST(RecordFileReading, BytesThatAreNotShiftJisReadAsReplacementCharacters) {
    const RecordFile f = parse_record_file("a\x80" "b\x91\r\n\xff\xfe\r\n");
    EXPECT_EQ(f.title, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(f.ue_player, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(RecordFileReading, WhatCannotStandInAPositionIsCleared) {
    std::string line = format_entry_line(entry_with(5));
    line.replace(0, 3, "999");           // (1, 1): no piece
    line.replace(3, 3, "-51");           // (1, 2): no piece
    line.replace(243 + 3, 3, " 11");     // upper slot 1: a promoted code in a hand
    line.replace(243 + 10, 3, " 20");    // lower slot 2: an upper code in the lower hand
    line.replace(243 + 14, 2, " 3");
    line.replace(313, 5, "-9999");       // a negative clock
    const RecordEntry e = parse_record_file("t\r\nu\r\ns\r\n" + line + "\r\n").entries.at(0);
    EXPECT_EQ(e.BAN[1][1], 0);
    EXPECT_EQ(e.BAN[1][2], 0);
    EXPECT_EQ(e.BAN[5][5], -RYU);
    EXPECT_EQ(e.UE_KOMA[1], 0);
    EXPECT_EQ(e.UE_KAZU[1], 0);
    EXPECT_EQ(e.SITA_KOMA[2], 0);
    EXPECT_EQ(e.SITA_KAZU[2], 0);
    EXPECT_EQ(e.MAN_MAE, 0);
    EXPECT_EQ(e.COM_MAE, 1000);
}

TEST(RecordFileReading, LongHeadersAndEndlessFilesAreCut) {
    const RecordFile f = parse_record_file(std::string(3000, 'a') + "\r\n\r\n\r\n" + std::string(40000, '\n'));
    EXPECT_EQ(f.title.size(), MAX_HEADER_CHARS);
    EXPECT_EQ(f.entries.size(), static_cast<std::size_t>(MAX_RECORD_FILE_ENTRIES));
    // What was read can always be written and read back.
    EXPECT_LT(MAX_RECORD_FILE_ENTRIES * (ENTRY_LINE_LENGTH + 2) + 3 * (2 * MAX_HEADER_CHARS + 2),
              MAX_RECORD_FILE_BYTES);
}

// ---------------------------------------------------------------------------
// Files on disk.

struct RecordFileOnDisk : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zemtori-record-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const char* name) const { return (dir / name).string(); }
};

TEST_F(RecordFileOnDisk, WritingReplacesTheFileWholeAndKeepsItsPermissions) {
    std::string reason;
    ASSERT_TRUE(write_file_atomically(path("a.棋譜"), "first", reason)) << reason;
    ::chmod(path("a.棋譜").c_str(), 0640);
    ASSERT_TRUE(write_file_atomically(path("a.棋譜"), "second", reason)) << reason;
    EXPECT_EQ(file_bytes(dir / "a.棋譜"), "second");
    EXPECT_EQ(fs::status(dir / "a.棋譜").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    std::string bytes;
    EXPECT_EQ(read_record_bytes(path("a.棋譜"), bytes, reason), ReadFailure::None);
    EXPECT_EQ(bytes, "second");
}

// A disk that fills up in the middle of writing (the file size limit stands
// in for it, also for root) leaves the previous file and no temporary one.
TEST_F(RecordFileOnDisk, AFailedWriteLeavesThePreviousFileIntact) {
    std::string reason;
    ASSERT_TRUE(write_file_atomically(path("b.棋譜"), "previous", reason));
    const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit;
    ::getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit small = old_limit;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = write_file_atomically(path("b.棋譜"), std::string(5000, 'x'), reason);
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    ::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(ok);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(file_bytes(dir / "b.棋譜"), "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(RecordFileOnDisk, FailuresGiveTheSystemsReason) {
    std::string reason, bytes;
    EXPECT_FALSE(write_file_atomically(path("no such folder/c.棋譜"), "x", reason));
    EXPECT_EQ(reason, std::strerror(ENOENT));
    EXPECT_EQ(read_record_bytes(path("missing.棋譜"), bytes, reason), ReadFailure::System);
    EXPECT_EQ(reason, std::strerror(ENOENT));
    fs::create_directory(dir / "d.棋譜");
    EXPECT_EQ(read_record_bytes(path("d.棋譜"), bytes, reason), ReadFailure::System);
    EXPECT_EQ(reason, std::strerror(EISDIR));
    // A named pipe is refused at once instead of waiting for a writer.
    ASSERT_EQ(::mkfifo(path("p.棋譜").c_str(), 0600), 0);
    EXPECT_EQ(read_record_bytes(path("p.棋譜"), bytes, reason), ReadFailure::System);
}

TEST_F(RecordFileOnDisk, AFileOverTheLimitIsNotRead) {
    std::string reason, bytes = "kept?";
    { std::ofstream create(path("big.棋譜")); }
    fs::resize_file(dir / "big.棋譜", MAX_RECORD_FILE_BYTES + 1);
    EXPECT_EQ(read_record_bytes(path("big.棋譜"), bytes, reason), ReadFailure::TooLarge);
    EXPECT_TRUE(bytes.empty());
    fs::resize_file(dir / "big.棋譜", MAX_RECORD_FILE_BYTES);
    EXPECT_EQ(read_record_bytes(path("big.棋譜"), bytes, reason), ReadFailure::None);
    EXPECT_EQ(bytes.size(), MAX_RECORD_FILE_BYTES);
}

}  // namespace
}  // namespace zemtori
