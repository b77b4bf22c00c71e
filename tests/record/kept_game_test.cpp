// The kept game's file: everything a game holds comes back from its bytes
// exactly, and a file cut short, changed, foreign or holding a value no game
// has is refused whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "record/kept_game.h"
#include "record/kifu.h"
#include "record/record_file.h"
#include "rules/moves.h"
#include "test_support.h"

namespace zemtori {
using test::board_with;
namespace {

// A record with moves, fractions of seconds, a move the record does not
// know and a winner, stepped back one move; and a game around it.
KeptGame sample() {
    Kifu kifu;
    kifu.kyokumen_kiroku(board_with({{5, 5, 10}, {9, 9, -OU}}), 0, 4.25, 0, 0);
    kifu.move_made(board_with({{5, 5, 20}, {9, 9, -OU}}), Sashite{5, 6, 5, 5, -20});
    kifu.kyokumen_kiroku(board_with({{5, 5, 20}, {9, 9, -OU}}), 4.25, 4.25, 0, 7.125);
    kifu.move_made(board_with({{5, 5, 30}}), Sashite{UE_TE_X, 3, 5, 5, 30});
    kifu.game_over(+1);
    kifu.step_back();
    KeptGame g;
    g.record = kifu.whole();
    Position p = board_with({{5, 5, 20}, {9, 9, -OU}});
    p.MOCHI_UE_KOMA[2] = KEI;
    p.MOCHI_UE_KAZU[2] = 3;
    store_position(p, g.board);
    g.man_side = SENTE_GAWA;
    g.to_move = GOTE_GAWA;
    g.against_computer = true;
    g.winner = NASHI;
    g.paused = true;
    g.level = 9;
    g.handicap_rung = -10;
    g.handicap_set = true;
    g.man_total = 4.25;
    g.com_total = 1.0 / 3.0;
    g.running = 86399.999;
    g.title = "竜王戦 第1局";
    g.upper_name = "";
    g.lower_name = "先手 太郎";
    return g;
}

// The file's check sum, for a test that changes a value and signs the file
// again so that only the value is wrong.
std::string signed_again(std::string bytes) {
    const std::size_t end = bytes.rfind("end ");
    bytes.resize(end);
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return bytes + "end " + hex + "\n";
}

std::string replaced(std::string bytes, const std::string& from, const std::string& to) {
    const std::size_t at = bytes.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) bytes.replace(at, from.size(), to);
    return signed_again(bytes);
}

TEST(KeptGameFile, EverythingComesBackExactly) {
    const KeptGame g = sample();
    const std::string bytes = kept_game_bytes(g);
    const std::optional<KeptGame> back = read_kept_game(bytes);
    ASSERT_TRUE(back.has_value()) << bytes;
    // Written again, the same bytes: nothing was lost or changed on the way.
    EXPECT_EQ(kept_game_bytes(*back), bytes);
    EXPECT_EQ(back->record.shown, 1);
    EXPECT_EQ(back->record.last, 2);
    EXPECT_TRUE(back->record.played);
    ASSERT_EQ(back->record.entries.size(), 3u);
    EXPECT_EQ(back->record.entries[1].COM_ATO, 7.125);
    EXPECT_EQ(back->record.moves[2].move.from_x, UE_TE_X);
    EXPECT_EQ(back->record.moves[2].winner, +1);
    EXPECT_EQ(back->board.UE_KAZU[2], 3);
    EXPECT_EQ(back->com_total, 1.0 / 3.0);
    EXPECT_EQ(back->running, 86399.999);
    EXPECT_EQ(back->level, 9);
    EXPECT_EQ(back->handicap_rung, -10);
    EXPECT_EQ(back->title, "竜王戦 第1局");
    EXPECT_EQ(back->upper_name, "");
    EXPECT_EQ(back->lower_name, "先手 太郎");

    // The record put back from it is the record it was taken from.
    Kifu kifu;
    kifu.bring_back(back->record);
    EXPECT_EQ(kifu.kifu_tesu(), 1);
    EXPECT_EQ(kifu.kifu_saigo(), 2);
    EXPECT_TRUE(kifu.moves_in_game());
    EXPECT_EQ(kifu.to_move(1), +1);
    EXPECT_EQ(kifu.winner(2), +1);
    ASSERT_TRUE(kifu.can_step_forward());
    kifu.step_forward();
    EXPECT_EQ(kifu.entry(2).BAN[5][5], 30);
    EXPECT_EQ(kifu.ugoki(2).code, 30);
}

TEST(KeptGameFile, AFileCutShortOrChangedAnywhereIsRefused) {
    const std::string bytes = kept_game_bytes(sample());
    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        ASSERT_FALSE(read_kept_game(bytes.substr(0, cut)).has_value()) << "cut at " << cut;
    for (std::size_t at = 0; at < bytes.size(); at += 7) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 0x04);
        ASSERT_FALSE(read_kept_game(changed).has_value()) << "byte " << at;
    }
    EXPECT_FALSE(read_kept_game(bytes + "\n").has_value());
    EXPECT_FALSE(read_kept_game(bytes + bytes).has_value());
}

TEST(KeptGameFile, AForeignFileIsRefused) {
    RecordFile record;
    record.title = "対局";
    record.entries.resize(3);
    std::string record_bytes;
    int bad = 0;
    ASSERT_TRUE(format_record_file(record, record_bytes, bad));
    for (const std::string& foreign : {std::string(), std::string("zemtori kept game 1\n"), std::string("end \n"),
                                       record_bytes, std::string("速度=速い\n効果音=ON\n"),
                                       std::string(4096, '\0'), signed_again("zemtori kept game 1\nend x\n")})
        EXPECT_FALSE(read_kept_game(foreign).has_value()) << foreign;
    // A later version of the file, or its lines with CR LF, signed as they are.
    const std::string bytes = kept_game_bytes(sample());
    EXPECT_FALSE(read_kept_game(replaced(bytes, "kept game 1", "kept game 2")).has_value());
    std::string crlf;
    for (const char c : bytes.substr(0, bytes.rfind("end "))) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_FALSE(read_kept_game(signed_again(crlf + "end x")).has_value());
}

// Words are parted by one blank and a line ends with a word: a blank at the
// end of any line of values (its last word empty) spoils the line, signed
// as it is.  The texts of the header keep their blanks.
TEST(KeptGameFile, ALineEndingInABlankIsRefused) {
    const std::string bytes = kept_game_bytes(sample());
    const std::string body = bytes.substr(0, bytes.rfind("end "));
    int lines = 0;
    for (std::size_t at = body.find('\n'); at != std::string::npos; at = body.find('\n', at + 1)) {
        const std::size_t start = body.rfind('\n', at - 1) == std::string::npos ? 0 : body.rfind('\n', at - 1) + 1;
        const std::string line = body.substr(start, at - start);
        if (line.rfind("title", 0) == 0 || line.rfind("upper", 0) == 0 || line.rfind("lower", 0) == 0) continue;
        std::string changed = body;
        changed.insert(at, " ");
        EXPECT_FALSE(read_kept_game(signed_again(changed + "end x")).has_value()) << line;
        ++lines;
    }
    EXPECT_GE(lines, 10);
}

// A kept game of another format is told from a damaged one by its first
// line alone, so that it is left for the version that wrote it.
TEST(KeptGameFile, AnotherVersionIsToldFromADamagedFile) {
    const std::string bytes = kept_game_bytes(sample());
    EXPECT_FALSE(from_other_version(bytes)) << "this version's own";
    EXPECT_TRUE(from_other_version(replaced(bytes, "kept game 1", "kept game 2")));
    EXPECT_TRUE(from_other_version("zemtori kept game 17\nwhatever follows, signed or not"));
    for (const std::string& not_other :
         {std::string("zemtori kept game 1\n"), std::string("zemtori kept game \n"), std::string("zemtori kept game 2"),
          std::string("zemtori kept game 2x\n"), std::string("zemtori kept game -2\n"),
          std::string("zemtori kept game 1234567890\n"), std::string("Zemtori kept game 2\n"), std::string()})
        EXPECT_FALSE(from_other_version(not_other)) << not_other;
}

TEST(KeptGameFile, AValueNoGameHoldsIsRefusedEvenWhenTheFileIsWhole) {
    const std::string bytes = kept_game_bytes(sample());
    ASSERT_TRUE(read_kept_game(signed_again(bytes)).has_value()) << "signing again changes nothing";
    for (const auto& [from, to] : std::initializer_list<std::pair<std::string, std::string>>{
             {"level 9", "level 100"},
             {"level 9", "level 0"},
             {"level 9", "level 09x"},
             {"sides 1", "sides 0"},
             {"turn -1", "turn 2"},
             {"winner 0", "winner -2"},
             {"paused 1", "paused 2"},
             {"handicap -10", "handicap -11"},
             {"clock 4.25", "clock -4.25"},
             {"clock 4.25", "clock nan"},
             {"clock 4.25", "clock inf"},
             {"clock 4.25", "clock 4.25 "},
             {"record 1 2", "record 3 2"},   // an entry shown that is not there
             {"record 1 2", "record 1 1"},   // one entry more than the record holds
             {"record 1 2", "record 1 5"},   // entries missing
             {"record 1 2", "record 1 200000"},
             {"move 0 0 0 0 0 0", "move 0 0 0 0 0 7"},
             {" move 5 6 5 5 -20 1", " move 5 6 5 12 -20 1"},
             {" move 5 6 5 5 -20 1", " move 5 6 5 5 -25 1"},
             {"\nupper \n", "\nupper\n\n"},
             {"\nboard ", "\nboard  "},
         })
        EXPECT_FALSE(read_kept_game(replaced(bytes, from, to)).has_value()) << from << " -> " << to;
}

}  // namespace
}  // namespace zemtori
