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
