// Entry lines: the fixed-column form of one record entry, written and read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "record/entry_line.h"
#include "record/record_file.h"
#include "test_support.h"

namespace zemtori {
namespace {

// ---------------------------------------------------------------------------
// Reading and writing entry lines.

struct FieldCase {
    const char* text;
    std::size_t start, width;
    int value;
};

TEST(EntryLineFields, ToleratesWhatAFileMayHold) {
    const FieldCase cases[] = {
        {"  5", 0, 3, 5},
        {"-10", 0, 3, -10},
        {" 10", 0, 3, 10},
        {"   ", 0, 3, 0},            // blank
        {"abc", 0, 3, 0},            // letters
        {" 1a", 0, 3, 0},            // a number followed by letters
        {"  -", 0, 3, 0},            // a sign alone
        {"- 5", 0, 3, 0},            // a sign apart from its digits
        {"+7 ", 0, 3, 7},
        {"12", 0, 3, 12},            // the line ends inside the field
        {"5", 1, 3, 0},              // the field starts past the end
        {"1234", 1, 2, 23},          // only the field's own columns count
        {"99999999999", 0, 11, 0},   // too large for any field
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(read_field(c.text, c.start, c.width), c.value) << '"' << c.text << '"';
}

RecordEntry sample_entry() {
    Position pos = test::opening_position();
    pos.BAN[5][5] = -RYU;
    pos.MOCHI_UE_KOMA[7] = HU;
    pos.MOCHI_UE_KAZU[7] = 18;
    pos.MOCHI_SITA_KOMA[6] = -KAKU;
    pos.MOCHI_SITA_KAZU[6] = 1;
    RecordEntry e;
    store_position(pos, e);
    e.MAN_MAE = 59;
    e.MAN_ATO = 1234.75;  // the fraction of a second is not written
    e.COM_MAE = 0;
    e.COM_ATO = 99999;
    return e;
}

TEST(EntryLineFormat, FixedColumnsRightAligned) {
    const std::string line = format_entry_line(sample_entry());
    ASSERT_EQ(line.size(), static_cast<std::size_t>(ENTRY_LINE_LENGTH));
    EXPECT_EQ(line.substr(0, 3), " 20");                  // (1, 1)
    EXPECT_EQ(line.substr(3, 3), "  0");                  // (1, 2)
    EXPECT_EQ(line.substr(18, 3), "-10");                 // (1, 7)
    EXPECT_EQ(line.substr(3 * (4 * 9 + 4), 3), "-71");    // (5, 5)
    // Slot 6: lower bishop, no upper code, counts 1 and 0.
    EXPECT_EQ(line.substr(243 + 50, 10), "-60  0 1 0");
    // Slot 7: upper pawns, 18 of them.
    EXPECT_EQ(line.substr(243 + 60, 10), "  0 10 018");
    EXPECT_EQ(line.substr(313), "   59 1234    099999");
}

TEST(EntryLineFormat, WrittenLineReadsBackTheSame) {
    const RecordEntry a = sample_entry();
    const RecordEntry b = parse_entry_line(format_entry_line(a));
    EXPECT_EQ(format_entry_line(b), format_entry_line(a));
    EXPECT_EQ(b.BAN[5][5], -RYU);
    EXPECT_EQ(b.UE_KAZU[7], 18);
    EXPECT_EQ(b.SITA_KOMA[6], -KAKU);
    EXPECT_EQ(b.MAN_ATO, 1234);
    EXPECT_EQ(b.COM_ATO, 99999);
}

TEST(EntryLineReading, ShortAndLongLines) {
    // A short line: everything after it reads 0.
    const RecordEntry s = parse_entry_line(" 20 30");
    EXPECT_EQ(s.BAN[1][1], 20);
    EXPECT_EQ(s.BAN[1][2], 30);
    EXPECT_EQ(s.BAN[1][3], 0);
    EXPECT_EQ(s.UE_KAZU[7], 0);

    // Characters past the last field are ignored.
    const std::string full = format_entry_line(sample_entry());
    const RecordEntry l = parse_entry_line(full + "  7 garbage" + std::string(5000, '9'));
    EXPECT_EQ(format_entry_line(l), full);
}

TEST(EntryLineReading, TolerantReadingKeepsOnlyWhatTheRulesKnow) {
    RecordEntry e;
    e.BAN[1][1] = 80;
    e.BAN[1][2] = 5;      // not a piece
    e.BAN[1][3] = 51;     // not a piece
    e.BAN[1][4] = -51;    // not a piece
    e.BAN[1][5] = 999;    // not a piece
    e.BAN[9][9] = -71;
    e.UE_KOMA[1] = 10;  e.UE_KAZU[1] = 3;
    e.UE_KOMA[2] = 20;  e.UE_KAZU[2] = -4;   // negative count
    e.UE_KOMA[3] = -30; e.UE_KAZU[3] = 2;    // a lower code in the upper hand
    e.UE_KOMA[4] = 11;  e.UE_KAZU[4] = 1;    // promoted codes never stand in a hand
    e.UE_KOMA[5] = 80;  e.UE_KAZU[5] = 1;    // a captured king does
    e.SITA_KOMA[7] = -70; e.SITA_KAZU[7] = 2;
    e.SITA_KOMA[6] = 40;  e.SITA_KAZU[6] = 9;
    e.SITA_KOMA[5] = -50; e.SITA_KAZU[5] = 0;  // an old kind in an empty slot stays

    keep_only_pieces(e);
    Position pos;
    restore_position(e, pos);
    EXPECT_EQ(pos.BAN[1][1], 80);
    for (int y = 2; y <= 5; ++y) EXPECT_EQ(pos.BAN[1][y], 0) << "y = " << y;
    EXPECT_EQ(pos.BAN[9][9], -71);

    EXPECT_EQ(pos.MOCHI_UE_KAZU[1], 3);
    EXPECT_EQ(pos.MOCHI_UE_KAZU[2], 0);
    EXPECT_EQ(pos.MOCHI_UE_KAZU[3], 0);
    EXPECT_EQ(pos.MOCHI_UE_KOMA[3], 0);
    EXPECT_EQ(pos.MOCHI_UE_KAZU[4], 0);
    EXPECT_EQ(pos.MOCHI_UE_KOMA[5], 80);
    EXPECT_EQ(pos.MOCHI_UE_GOKEI, 4);
    EXPECT_EQ(pos.MOCHI_SITA_KAZU[6], 0);
    EXPECT_EQ(pos.MOCHI_SITA_KOMA[5], -50);
    EXPECT_EQ(pos.MOCHI_SITA_GOKEI, 2);
    EXPECT_EQ(pos.OU_UE_X, 0);
    EXPECT_EQ(pos.NIFU_UE[1], 0);
}


// ---------------------------------------------------------------------------
// Boundaries of the fields: what the writer does with values that do not fit,
// and what the file reader does with a negative clock.

// The writer formats its fields by hand; every value must come out as the
// C library would print the value clamped into its field.
TEST(EntryLineBoundaries, EveryFieldMatchesPrintfOfTheClampedValue) {
    auto printed = [](long long v, int width) {
        long long most = 9, least = -9;
        for (int i = 1; i < width; ++i) {
            most = most * 10 + 9;
            if (i + 1 < width) least = least * 10 - 9;
        }
        v = v > most ? most : v < least ? least : v;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%*lld", width, v);
        return std::string(buf);
    };
    for (int v = -1200; v <= 1200; ++v) {
        RecordEntry e;
        e.BAN[1][1] = v;       // width 3, columns 0..2
        e.SITA_KOMA[1] = -v;   // width 3, column 243
        e.UE_KAZU[1] = v;      // width 2, column 251
        e.COM_ATO = v * 97;    // width 5, column 328
        const std::string line = format_entry_line(e);
        ASSERT_EQ(line.size(), static_cast<std::size_t>(ENTRY_LINE_LENGTH)) << v;
        ASSERT_EQ(line.substr(0, 3), printed(v, 3)) << v;
        ASSERT_EQ(line.substr(243, 3), printed(-v, 3)) << v;
        ASSERT_EQ(line.substr(251, 2), printed(v, 2)) << v;
        ASSERT_EQ(line.substr(328, 5), printed(v * 97LL, 5)) << v;
    }
}

TEST(EntryLineBoundaries, TimesThatAreNotOrdinaryNumbers) {
    struct Case { double t; const char* field; };
    const Case cases[] = {
        {std::numeric_limits<double>::quiet_NaN(), "    0"},  // a NaN clock is written as 0
        {std::numeric_limits<double>::infinity(), "99999"},
        {-std::numeric_limits<double>::infinity(), "-9999"},
        {1e300, "99999"},
        {100000.0, "99999"},
        {99999.99, "99999"},
        {-0.75, "    0"},   // the fraction is dropped toward zero
        {-1.0, "   -1"},
    };
    for (const Case& c : cases) {
        RecordEntry e;
        e.MAN_MAE = c.t;
        EXPECT_EQ(format_entry_line(e).substr(313, 5), c.field) << c.t;
    }
}

TEST(EntryLineBoundaries, ANegativeClockInAFileReadsAsZero) {
    RecordEntry e;
    e.MAN_MAE = 12;
    e.MAN_ATO = 34;
    e.COM_MAE = 56;
    e.COM_ATO = 78;
    std::string line = format_entry_line(e);
    line.replace(318, 5, "   -1");   // the human's clock after the move
    line.replace(328, 5, "-9999");   // the other player's clock after the move

    // The line alone keeps the sign: it is the file's reader that refuses it.
    EXPECT_EQ(parse_entry_line(line).MAN_ATO, -1);

    const RecordFile f = parse_record_file("t\r\nu\r\ns\r\n" + line + "\r\n");
    ASSERT_EQ(f.entries.size(), 1u);
    EXPECT_EQ(f.entries[0].MAN_MAE, 12);
    EXPECT_EQ(f.entries[0].MAN_ATO, 0);
    EXPECT_EQ(f.entries[0].COM_MAE, 56);
    EXPECT_EQ(f.entries[0].COM_ATO, 0);
}

}  // namespace
}  // namespace zemtori
