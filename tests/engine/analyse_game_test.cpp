// zemtori-analyse game: whole games of the computer against given moves.
//
// The tool plays them through the game object and its mouse handler; here
// the same protocol is played directly on the rules and the engine, one
// engine kept through each game, and the two transcripts must agree line by
// line over hundreds of random games.  A few transcripts are checked by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "record/entry_line.h"
#include "rules/legality.h"
#include "rules/moves.h"
#include "test_support.h"
#include "tool_run.h"

namespace zemtori {
namespace {

using test::run_tool;
using test::ToolRun;

std::string line_of(const Position& pos) {
    RecordEntry e;
    store_position(pos, e);
    return format_entry_line(e);
}

std::string move_line(int fx, int fy, int tx, int ty, int koma) {
    std::ostringstream out;
    out << "move " << fx << ' ' << fy << ' ' << tx << ' ' << ty << ' ' << koma;
    return out.str();
}

// The protocol, played on the rules and the engine alone.
class Reference {
public:
    Reference(int level, const std::string& line) {
        RecordEntry entry = parse_entry_line(line);
        keep_only_pieces(entry);
        restore_position(entry, pos);
        engine.COM_LEVEL = level;
        turn.MAN_GAWA = -1;
        turn.COM_GAWA = 1;
        kiki_keisan(engine);
        tsumi_hantei_ue(engine);
        computer();
    }

    // The person's move; `koma` is the code on the destination after it.
    void man(int fx, int fy, int tx, int ty, int koma) {
        int code = 0;
        if (on_board(fx, fy) && pos.BAN[fx][fy] <= -10) code = pos.BAN[fx][fy];
        else if (fx == 11 && fy >= 3 && fy <= 9 && pos.MOCHI_SITA_KAZU[fy - 2] > 0)
            code = pos.MOCHI_SITA_KOMA[fy - 2];
        nifu_keisan(pos);
        int promoted = 0;
        const bool may_promote = nari_hantei(fx, fy, tx, ty, code, &promoted) == 1;
        const bool legal = code != 0 && idou_kanou(pos, fx, fy, tx, ty, code) == 1 &&
                           ((koma == code && funari_kanou(ty, code) == 1) ||
                            (may_promote && koma == promoted));
        if (!legal) return finish("illegal");
        const int captured = pos.BAN[tx][ty];
        sashite_jikkou(pos, turn, nullptr, fx, fy, tx, ty, koma);
        rakka(pos, nullptr);
        out.push_back("pos " + line_of(pos));
        kiki_keisan(engine);
        if (tsumi_hantei_ue(engine) == 1 || captured == OU) return finish("win man");
        computer();
    }

    // A line that is not a move: the game ends as for an illegal move.
    void garbage() { finish("illegal"); }

    Position pos;
    TurnState turn;
    Engine engine{pos};
    bool open = true;
    std::vector<std::string> out;
    std::string ending;  // how the game ended

private:
    void computer() {
        com_junbi(engine);
        if (!com_search(engine)) return finish("com none");
        const Candidate b = engine.work.best;
        char buf[128];
        std::snprintf(buf, sizeof buf, "com %d %d %d %d %d %.4f", b.from_x, b.from_y, b.to_x, b.to_y,
                      b.koma, engine.work.SAIZEN_TEN);
        out.push_back(buf);
        sashite_jikkou(pos, turn, nullptr, b.from_x, b.from_y, b.to_x, b.to_y, b.koma);
        rakka(pos, nullptr);
        kiki_keisan(engine);
        if (turn.SHOSHA == turn.COM_GAWA) out.push_back("win com");
        else if (tsumi_hantei(engine) == 1) out.push_back("tsumi");
        else if (engine.maps.KIKI_UE[pos.OU_SITA_X][pos.OU_SITA_Y] > 0) out.push_back("oute");
        out.push_back("pos " + line_of(pos));
        if (turn.SHOSHA != 0) {
            out.push_back("end");
            open = false;
            ending = "win com";
        }
    }

    void finish(const char* last) {
        out.push_back(last);
        out.push_back("end");
        open = false;
        ending = last;
    }
};

// ---------------------------------------------------------------------------
// Transcripts checked by hand.

std::string game_input(const std::vector<std::string>& lines) {
    std::string input;
    for (const std::string& l : lines) input += l + "\n";
    return input;
}

std::vector<std::string> play(const std::vector<std::string>& lines, int level = 3) {
    const ToolRun r = run_tool("game --level " + std::to_string(level), game_input(lines));
    EXPECT_EQ(r.status, 0);
    return r.lines;
}

std::string pos_line(const std::string& board, int sita_hand = 0) {
    Position p = test::board_from_text(board);
    p.MOCHI_SITA_KOMA[7] = sita_hand;
    p.MOCHI_SITA_KAZU[7] = sita_hand != 0;
    return line_of(p);
}

// The upper king in the bottom-left corner, a lower lance above the upper
// pawn, the lower rook and king on the bottom row.
const std::string CORNER = pos_line(R"(
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  . -20 . -10 .  .  .
   80  .  . 10  . -70 -80 . .
)");
// The king's only safe step is along the bottom row.
const std::string CORNER_AFTER_COM = "com 9 1 9 2 80 -2.0000";
const std::string CORNER_AFTER_COM_POS = "pos " + pos_line(R"(
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  . -20 . -10 .  .  .
    . 80  . 10  . -70 -80 . .
)");

TEST(AnalyseGame, TheComputersKingMatedAfterThePersonsMove) {
    const std::vector<std::string> out =
        play({"move 5 7 5 6 -10", "", CORNER, "move 9 6 9 4 -70", "move 9 7 9 8 -80"});
    // The rook takes the pawn (a pawn for the lower hand) and the lower pawn
    // falls into its square: check along the row, and the lance covers the
    // row above the king.  Lines before the game and after its end print nothing.
    EXPECT_EQ(out, (std::vector<std::string>{CORNER_AFTER_COM, CORNER_AFTER_COM_POS,
                                             "pos " + pos_line(R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  . -20 .  .  .  .  .
        . 80  . -70 . -10 -80 . .
    )", -HU), "win man", "end"}));
}

TEST(AnalyseGame, EitherSideTakingTheKing) {
    // Every step of the boxed-in king leaves it attacked: the first in scan
    // order is played, and the gold below it takes it (and falls back).
    const std::vector<std::string> man = play({pos_line(R"(
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .  -50  .   . .   .   . .
        . -50 80 -40  . -20 -80 . .
    )"), "move 9 2 8 2 -50"}, 2);
    EXPECT_EQ(man, (std::vector<std::string>{"com 9 3 8 2 80 -9998.0000", "pos " + pos_line(R"(
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . 80  .   .   . .   .   . .
        . -50 -50 -40 . -20 -80 . .
    )"), "pos " + pos_line(R"(
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . .   .   .   . .   .   . .
        . -50 -50 -40 . -20 -80 . .
    )", -OU), "win man", "end"}));

    // The gold takes the lower king: the king goes to the upper hand.
    Position taken = test::board_from_text(R"(
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        80 . . -10 . 60 . 70 50
    )");
    taken.MOCHI_UE_KOMA[7] = OU;
    taken.MOCHI_UE_KAZU[7] = 1;
    const std::vector<std::string> com = play({pos_line(R"(
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . .  .
        .  . . .   . .  . 50 .
        80 . . -10 . 60 . 70 -80
    )"), "move 9 4 9 3 -10"});
    EXPECT_EQ(com, (std::vector<std::string>{"com 8 8 9 9 50 9999.0000", "win com", "pos " + line_of(taken), "end"}));
}

TEST(AnalyseGame, AMoveThePersonCouldNotMakeEndsTheGame) {
    for (const char* bad : {
             "move 9 6 9 4 -71",     // promotes outside the zone
             "move 8 4 8 1 -20",     // a lance on the last column must promote
             "move 9 2 9 3 80",      // the computer's piece
             "move 11 9 5 5 -50",    // an empty hand slot
             "move -1 7 5 5 50",     // the upper hand
             "move 9 7 9 6 -80",     // onto an own piece
             "move 9 6 1 6 -70",     // through the pawn
             "move 9 6 9 10 -70",    // off the board
             "move 9 6 9 4",         // four numbers
             "move 9 6 9 4 -70 0",   // six numbers
             "move 9 6 9 4.0 -70",   // not an integer
             "move",
         }) {
        EXPECT_EQ(play({CORNER, bad, "move 9 6 9 4 -70"}),
                  (std::vector<std::string>{CORNER_AFTER_COM, CORNER_AFTER_COM_POS, "illegal", "end"}))
            << bad;
    }
    // The promoted lance is a move the person can make: the game goes on.
    const std::vector<std::string> promoted = play({CORNER, "move 8 4 8 1 -21"});
    ASSERT_GE(promoted.size(), 4u);
    EXPECT_EQ(promoted[3].rfind("com ", 0), 0u);
}

TEST(AnalyseGame, NoMoveForTheComputerAndGamesLeftOpen) {
    const std::string lone_king = pos_line(R"(
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . -80
    )");
    // A game still open when the next position comes, or the input ends,
    // ends there.
    EXPECT_EQ(play({lone_king, "move 9 9 9 8 -80", "  ", CORNER, CORNER}),
              (std::vector<std::string>{"com none", "end", CORNER_AFTER_COM, CORNER_AFTER_COM_POS, "end",
                                        CORNER_AFTER_COM, CORNER_AFTER_COM_POS, "end"}));
}

// Every upper piece but the silver is boxed in; once the silver is taken,
// the rooks in hand can only be dropped, and a drop is scored with the king
// distance of the last board move tried: the silver's, a turn earlier, five
// columns from the king.  A freshly started program has 0 there.
TEST(AnalyseGame, TheSecondTurnCarriesWhatTheFirstLeft) {
    Position boxed = test::board_from_text(R"(
        .  .  .  .  .  .  .  .   .
        .  .  .  .  .  .  .  .   .
        .  .  .  .  .  .  .  .   .
        .  .  .  .  .  .  .  .   .
        .  .  .  .  .  .  .  .   .
        .  .  .  .  .  .  .  .   .
        . -80 .  .  .  . 40 -70 -40
       10 10 10 10 10 10 10 10  20
       80 10 10 10 10 10 10 10  20
    )");
    boxed.MOCHI_UE_KOMA[7] = HISHA;
    boxed.MOCHI_UE_KAZU[7] = 1;
    const std::vector<std::string> out = play({line_of(boxed), "move 7 9 7 8 -40"});
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[0], "com 7 7 7 8 41 105.5000");
    EXPECT_EQ(out[3], "com -1 7 7 4 70 60.2000");
    EXPECT_EQ(out[4], "oute");
    const ToolRun fresh = run_tool("think", out[2].substr(4) + "\n");
    EXPECT_EQ(fresh.lines, std::vector<std::string>{"best -1 7 7 4 70 60.1000"});
}

// ---------------------------------------------------------------------------
// Random games against the protocol played on the engine.

struct Rng {
    std::uint64_t s;
    std::uint64_t next() {
        std::uint64_t z = (s += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
};

struct Move {
    int fx, fy, tx, ty, koma;
};

// Every move the person may make, each promotion choice a move of its own.
std::vector<Move> man_moves(Position pos) {
    nifu_keisan(pos);
    std::vector<Move> list;
    const auto add = [&](int fx, int fy, int code) {
        for (int tx = 1; tx <= 9; ++tx)
            for (int ty = 1; ty <= 9; ++ty) {
                if (idou_kanou(pos, fx, fy, tx, ty, code) != 1) continue;
                int promoted = 0;
                if (funari_kanou(ty, code) == 1) list.push_back({fx, fy, tx, ty, code});
                if (nari_hantei(fx, fy, tx, ty, code, &promoted) == 1) list.push_back({fx, fy, tx, ty, promoted});
            }
    };
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (pos.BAN[x][y] <= -10) add(x, y, pos.BAN[x][y]);
    for (int k = 1; k <= MOCHI_SLOTS; ++k)
        if (pos.MOCHI_SITA_KAZU[k] > 0) add(11, k + 2, pos.MOCHI_SITA_KOMA[k]);
    return list;
}

// A move that takes the computer's king or leaves it mated, if there is one.
bool winning_move(const Position& pos, const std::vector<Move>& list, Move& found) {
    for (const Move& m : list) {
        Position after = pos;
        TurnState turn;
        if (after.BAN[m.tx][m.ty] == OU) {
            found = m;
            return true;
        }
        sashite_jikkou(after, turn, nullptr, m.fx, m.fy, m.tx, m.ty, m.koma);
        rakka(after, nullptr);
        Engine e(after);
        kiki_keisan(e);
        if (tsumi_hantei_ue(e) == 1) {
            found = m;
            return true;
        }
    }
    return false;
}

// The benchmark positions and as many again from other random play.
std::vector<std::string> start_positions() {
    std::ifstream in(ZEMTORI_BENCH_DIR "/positions_seed1.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const ToolRun more = run_tool("gen --seed 2 --count 50", "");
    lines.insert(lines.end(), more.lines.begin(), more.lines.end());
    return lines;
}

// Random games from generated positions: the person takes or mates the
// computer's king when it can, otherwise mostly plays a legal move at random,
// now and then one the mouse could not make, a line that is no move at all, a
// blank line, a position line in the middle of a game, or moves after the
// end.  The tool must print what the reference printed.
TEST(AnalyseGame, RandomGamesAgreeWithTheProtocolPlayedOnTheEngine) {
    const std::vector<std::string> starts = start_positions();
    ASSERT_EQ(starts.size(), 100u);
    for (int level = 1; level <= 3; ++level) {
        Rng rng{static_cast<std::uint64_t>(level) * 7919};
        std::string input = move_line(5, 7, 5, 6, -10) + "\n";  // before any game: skipped
        std::vector<std::string> want;
        int games = 0, moves = 0;
        std::vector<std::string> endings;
        for (const std::string& start : starts) {
            ++games;
            input += start + "\n";
            Reference ref(level, start);
            for (int n = 0; ref.open && n < 80; ++n) {
                const int kind = rng.below(200);
                if (kind == 0) {  // a new game while this one is open
                    ref.out.push_back("end");
                    break;
                }
                if (kind == 1) {
                    input += "\n   \n";
                    continue;
                }
                if (kind == 2) {
                    input += "move 5 7 5 6 -10 0\n";
                    ref.garbage();
                    break;
                }
                const std::vector<Move> list = man_moves(ref.pos);
                Move m{};
                if (kind < 6 || list.empty()) {
                    // Anything at all, mostly refused.
                    m = {rng.below(13) - 1, rng.below(11), rng.below(11), rng.below(11),
                         (rng.below(9) + 1) * -10 - rng.below(2)};
                } else if (!winning_move(ref.pos, list, m)) {
                    m = list[static_cast<std::size_t>(rng.below(static_cast<int>(list.size())))];
                }
                input += move_line(m.fx, m.fy, m.tx, m.ty, m.koma) + "\n";
                ++moves;
                ref.man(m.fx, m.fy, m.tx, m.ty, m.koma);
            }
            if (!ref.open) {
                endings.push_back(ref.ending);
                input += move_line(5, 7, 5, 6, -10) + "\n";  // after the end: skipped
            }
            want.insert(want.end(), ref.out.begin(), ref.out.end());
        }

        const ToolRun r = run_tool("game --level " + std::to_string(level), input);
        ASSERT_EQ(r.status, 0);
        for (std::size_t i = 0; i < want.size() && i < r.lines.size(); ++i)
            ASSERT_EQ(r.lines[i], want[i]) << "level " << level << ", first difference at line " << i + 1;
        EXPECT_EQ(r.lines.size(), want.size());

        // The games must have reached the ways a game ends, not only refusals.
        const auto count = [&](const std::string& what) {
            int n = 0;
            for (const std::string& e : endings) n += e == what;
            return n;
        };
        for (const char* how : {"win com", "win man", "illegal"})
            EXPECT_GT(count(how), 0) << how << ", level " << level;
        EXPECT_GT(moves, 300) << "level " << level;
    }
}

}  // namespace
}  // namespace zemtori
