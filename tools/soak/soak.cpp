#include "soak.h"

#include <memory>
#include <sstream>

#include "commands.h"
#include "port/geometry.h"
#include "port/headless_port.h"
#include "play/game.h"
#include "sound/effects.h"
#include "rules/legality.h"
#include "rules/moves.h"
#include "searcher/levels.h"
#include "splitmix.h"

namespace zemtori::soak {

namespace {

using analyse::Move;

// Every move and drop the movement rules allow `side` (+1 upper, -1 lower).
std::vector<Move> legal_moves(Position pos, int side) {
    nifu_keisan(pos);
    std::vector<Move> list;
    analyse::legal_moves(pos, side, list);
    return list;
}

// What is wrong with the position, or nothing.  Every kind keeps its number
// of pieces on the board and in the hands (eighteen pawns, four each of
// lances, knights, silvers and golds, two each of bishops, rooks and kings),
// except that a king taken while the taker's hand is full is not kept: the
// game is over then.
std::string check_position(const Position& p, bool ended) {
    static const int KINDS[9] = {0, 18, 4, 4, 4, 4, 2, 2, 2};
    int kinds[9] = {};
    std::ostringstream why;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int c = p.BAN[x][y];
            if (c == 0) continue;
            if (!is_piece(c)) why << "code " << c << " on " << x << "," << y << "; ";
            else ++kinds[(c < 0 ? -c : c) / 10];
        }
    int ue = 0, sita = 0;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        const int uk = p.MOCHI_UE_KAZU[k], sk = p.MOCHI_SITA_KAZU[k];
        if (uk < 0 || sk < 0) why << "negative count in slot " << k << "; ";
        if (uk > 0 && (p.MOCHI_UE_KOMA[k] < 10 || p.MOCHI_UE_KOMA[k] % 10 != 0 || !is_piece(p.MOCHI_UE_KOMA[k])))
            why << "upper slot " << k << " holds " << p.MOCHI_UE_KOMA[k] << "; ";
        if (sk > 0 && (p.MOCHI_SITA_KOMA[k] > -10 || p.MOCHI_SITA_KOMA[k] % 10 != 0 || !is_piece(p.MOCHI_SITA_KOMA[k])))
            why << "lower slot " << k << " holds " << p.MOCHI_SITA_KOMA[k] << "; ";
        if (uk > 0 && is_piece(p.MOCHI_UE_KOMA[k])) kinds[p.MOCHI_UE_KOMA[k] / 10] += uk;
        if (sk > 0 && is_piece(p.MOCHI_SITA_KOMA[k])) kinds[-p.MOCHI_SITA_KOMA[k] / 10] += sk;
        ue += uk > 0 ? uk : 0;
        sita += sk > 0 ? sk : 0;
    }
    if (ue != p.MOCHI_UE_GOKEI || sita != p.MOCHI_SITA_GOKEI)
        why << "hand totals " << p.MOCHI_UE_GOKEI << "/" << p.MOCHI_SITA_GOKEI << " but counts " << ue << "/"
            << sita << "; ";
    for (int kind = 1; kind <= 8; ++kind) {
        const bool king_lost = kind == 8 && ended && kinds[8] == 1;
        if (kinds[kind] != KINDS[kind] && !king_lost)
            why << kinds[kind] << " pieces of kind " << kind * 10 << "; ";
    }
    return why.str();
}

bool has_piece(const Position& p, int code) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (p.BAN[x][y] == code) return true;
    return false;
}

// The board and both hands are the same.
bool same_board(const Position& a, const Position& b) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (a.BAN[x][y] != b.BAN[x][y]) return false;
    for (int k = 1; k <= MOCHI_SLOTS; ++k)
        if (a.MOCHI_UE_KOMA[k] != b.MOCHI_UE_KOMA[k] || a.MOCHI_UE_KAZU[k] != b.MOCHI_UE_KAZU[k] ||
            a.MOCHI_SITA_KOMA[k] != b.MOCHI_SITA_KOMA[k] || a.MOCHI_SITA_KAZU[k] != b.MOCHI_SITA_KAZU[k])
            return false;
    return true;
}

// One program, started once: the window, the game and its one engine.
class Table {
public:
    Table(const Options& options, Report& report, std::uint64_t seed, std::string name)
        : options_(options), report_(report), rng_{seed}, name_(std::move(name)),
          sound_(port_, options.data_dir), game_(port_, sound_) {
        // No settings file: the options are the defaults and nothing of the
        // player's own configuration is read or written.
        game_.settings_file.clear();
        game_.load();
        const searcher::Limits budget{0, options.search_nodes, 0};
        game_.set_search_limits(budget, budget);
        // The searching level's choices come from the table's seed, so a
        // soak replays.
        game_.fix_level_seed(seed);
    }

    // A game against the computer at `level`, from a new game.
    void computer_game(int level, int number) {
        game_number_ = number;
        const TurnState& turn = game_.view().turn;
        if (turn.SHOSHA == NASHI && turn.TEBAN != NASHI) menu("CANCEL");  // the last one was left unfinished
        menu("LEVEL" + std::to_string(level));
        menu(rng_.chance(50) ? "SENTE" : "GOTE");
        check("start");
        int events = 0;
        while (turn.SHOSHA == NASHI && game_.view().kifu.tesu() < options_.max_moves && events < 4 * options_.max_moves) {
            ++events;
            const int roll = rng_.below(100);
            if (roll < 3 && game_.view().kifu.tesu() >= 2) {
                step_back_and_resume();
            } else if (roll < 6) {
                stray_clicks();
            } else if (roll < 8) {
                ask_for_hint(-1);
            } else if (!person_moves(-1, false)) {
                break;  // the person has no move at all: left unfinished
            }
        }
        ++report_.games;
        const Position& p = game_.view().pos;
        if (turn.SHOSHA == turn.COM_GAWA) ++report_.com_took_king;
        else if (turn.SHOSHA == turn.MAN_GAWA && turn.TEBAN == turn.COM_GAWA) ++report_.com_no_move;
        else if (turn.SHOSHA == turn.MAN_GAWA && !has_piece(p, OU)) ++report_.man_took_king;
        else if (turn.SHOSHA == turn.MAN_GAWA) ++report_.man_mated;
        else ++report_.unfinished;

        if (turn.SHOSHA != NASHI) {
            click_cell(rng_.below(9) + 1, rng_.below(9) + 1, HIDARI_BUTTON);
            if (port_.messages.empty() || port_.messages.back().text != "新規に対局してください")
                fail("a click after the end did not ask for a new game");
            // One step back reopens the game; one forward ends it again, with
            // the same winner, and a click still asks for a new game.
            const int winner = turn.SHOSHA;
            const int tesu = game_.view().kifu.tesu();
            if (tesu > 0) {
                menu("REPLAY");
                if (turn.SHOSHA != NASHI) fail("a step back did not reopen the game");
                menu("AFTER");
            }
            if (turn.SHOSHA != winner) fail("a step onto the final position did not end the game again");
            click_cell(rng_.below(9) + 1, rng_.below(9) + 1, HIDARI_BUTTON);
            if (game_.view().kifu.tesu() != tesu || port_.messages.empty() ||
                port_.messages.back().text != "新規に対局してください")
                fail("a click on the final position stepped onto played on");
        }
    }

    // Two random movers that never take a king, past the record's first 501
    // entries; then back and forward through the record's end.
    void long_game(int number) {
        game_number_ = number;
        menu("CANCEL");
        menu("START");
        const TurnState& turn = game_.view().turn;
        while (game_.view().kifu.tesu() < options_.long_game_moves) {
            const int side = turn.TEBAN == turn.MAN_GAWA ? GOTE_GAWA : SENTE_GAWA;
            const int before = game_.view().kifu.tesu();
            if (!person_moves(side, true)) break;
            report_.long_game_moves += game_.view().kifu.tesu() - before;
        }
        ++report_.long_games;
        if (game_.view().kifu.tesu() < options_.long_game_moves)
            fail("the movers ran out of moves at " + std::to_string(game_.view().kifu.tesu()));
        // The record reaches the position on the board: three steps back and
        // three forward return to it, and a fourth forward is refused.
        const Position latest = game_.view().pos;
        for (const char* step : {"REPLAY", "REPLAY", "REPLAY", "AFTER", "AFTER", "AFTER", "AFTER"}) menu(step);
        if (game_.view().kifu.tesu() != options_.long_game_moves)
            fail("after three steps back and three forward the game stands at " + std::to_string(game_.view().kifu.tesu()));
        if (!same_board(latest, game_.view().pos)) fail("stepping back and forward did not return to the latest position");
    }

private:
    void menu(const std::string& item) {
        game_.menu(item);
        check(item);
    }

    void click_cell(int c, int r, int button) {
        game_.mouse_down(button, grid_x(c) + MASU_HABA / 2.0, grid_y(r) + MASU_TAKASA / 2.0);
    }

    // One or two steps back (and perhaps one forward), then a click off the
    // board: the computer moves first when it is to move.
    void step_back_and_resume() {
        menu("REPLAY");
        if (rng_.chance(50)) menu("REPLAY");
        if (rng_.chance(30)) menu("AFTER");
        const int before = game_.view().kifu.tesu();
        click_cell(5, 11, HIDARI_BUTTON);
        report_.moves += game_.view().kifu.tesu() > before ? game_.view().kifu.tesu() - before : 0;
        check("a click to resume");
    }

    // ヒント for the person, who plays `side`: a suggestion must be one of
    // that side's moves, with the piece's own code or, where the move may
    // promote, its promoted code.
    void ask_for_hint(int side) {
        menu("HINT");
        const std::optional<Sashite>& h = game_.view().hint;
        if (!h) return;
        for (const Move& m : legal_moves(game_.view().pos, side)) {
            if (m.from_x != h->from_x || m.from_y != h->from_y || m.to_x != h->to_x || m.to_y != h->to_y) continue;
            int promoted = 0;
            if (h->koma == m.koma ||
                (nari_hantei(m.from_x, m.from_y, m.to_x, m.to_y, m.koma, &promoted) == 1 && h->koma == promoted))
                return;
        }
        fail("the hint suggests a move the rules do not allow");
    }

    // Clicks anywhere, with any button: refusals, selections, stray moves.
    void stray_clicks() {
        static const int buttons[] = {HIDARI_BUTTON, MIGI_BUTTON, NAKA_BUTTON};
        for (int i = 0; i < 2; ++i) {
            const int before = game_.view().kifu.tesu();
            game_.mouse_down(buttons[rng_.below(3)], rng_.below(16000) - 2000.0, rng_.below(9000) - 2000.0);
            report_.moves += game_.view().kifu.tesu() > before ? game_.view().kifu.tesu() - before : 0;
            check("a stray click");
            if (game_.view().turn.SHOSHA != NASHI) return;
        }
    }

    // A random move of `side` by two clicks; with `spare_kings` never onto
    // a king, else onto one when it can, now and then.  False when `side`
    // has no move.
    bool person_moves(int side, bool spare_kings) {
        std::vector<Move> list = legal_moves(game_.view().pos, side);
        std::vector<Move> kept, king_takers;
        for (const Move& m : list) {
            const int target = game_.view().pos.BAN[m.to_x][m.to_y];
            if (target == OU || target == -OU) king_takers.push_back(m);
            else kept.push_back(m);
        }
        if (kept.empty() && (spare_kings || king_takers.empty())) return false;
        const bool take_king = !spare_kings && !king_takers.empty() && (kept.empty() || rng_.chance(50));
        const std::vector<Move>& from = take_king ? king_takers : kept;
        const Move m = from[static_cast<std::size_t>(rng_.below(static_cast<int>(from.size())))];

        int promoted = 0;
        int button = HIDARI_BUTTON;
        if (nari_hantei(m.from_x, m.from_y, m.to_x, m.to_y, m.koma, &promoted) == 1) {
            button = funari_kanou(m.to_y, m.koma) == 0 || rng_.chance(50) ? MIGI_BUTTON : HIDARI_BUTTON;
        } else {
            static const int any[] = {HIDARI_BUTTON, MIGI_BUTTON, NAKA_BUTTON};
            button = any[rng_.below(3)];
        }

        const TurnState& turn = game_.view().turn;
        const int before = game_.view().kifu.tesu();
        const Cell from_cell = source_cell(m.from_x, m.from_y);
        // A selection left by stray clicks may swallow the first click.
        for (int i = 0; i < 2 && !(turn.SENTAKU && turn.SASHITE.from_x == m.from_x && turn.SASHITE.from_y == m.from_y);
             ++i)
            click_cell(from_cell.c, from_cell.r, HIDARI_BUTTON);
        if (game_.view().kifu.tesu() != before) {
            // A click resumed the computer's turn first; plan again.
            report_.moves += game_.view().kifu.tesu() - before;
            check("a resumed turn");
            return true;
        }
        if (!(turn.SENTAKU && turn.SASHITE.from_x == m.from_x && turn.SASHITE.from_y == m.from_y)) {
            fail("the mouse did not select " + std::to_string(m.from_x) + "," + std::to_string(m.from_y));
            return false;
        }
        const Cell to = square_cell(m.to_x, m.to_y);
        click_cell(to.c, to.r, button);
        if (game_.view().kifu.tesu() == before) {
            fail("the mouse refused a legal move " + std::to_string(m.from_x) + "," + std::to_string(m.from_y) + " to " +
                 std::to_string(m.to_x) + "," + std::to_string(m.to_y));
            return false;
        }
        report_.moves += game_.view().kifu.tesu() - before;
        // The computer recorded the position it moved from: the person's.
        if (game_.view().kifu.tesu() == before + 2) check_one(game_.view().kifu, game_.view().kifu.kifu_tesu() - 1, "the person's move");
        check("a move");
        return true;
    }

    void check_one(const Kifu& kifu, int n, const std::string& what) {
        Position p;
        restore_position(kifu.entry(n), p);
        const std::string why = check_position(p, false);
        if (!why.empty()) fail(what + " (record entry " + std::to_string(n) + "): " + why);
    }

    void check(const std::string& what) {
        const TurnState& turn = game_.view().turn;
        const std::string why = check_position(game_.view().pos, turn.SHOSHA != NASHI);
        if (!why.empty()) fail(what + ": " + why);
        // In an open game the side to move is the one the record has to move
        // in the position on the board: no side ever moves twice in a row.
        const Kifu& kifu = game_.view().kifu;
        const int army = kifu.to_move(kifu.kifu_tesu());
        if (turn.SHOSHA == NASHI && turn.TEBAN != NASHI && army != 0 &&
            turn.TEBAN != (army > 0 ? turn.COM_GAWA : turn.MAN_GAWA))
            fail(what + ": the record has the " + (army > 0 ? "upper" : "lower") + " side to move at entry " +
                 std::to_string(kifu.kifu_tesu()) + ", the turn " + std::to_string(turn.TEBAN));
        if (kifu.tesu() < kifu.kifu_tesu())
            fail(what + ": move count " + std::to_string(kifu.tesu()) + ", record position " +
                 std::to_string(kifu.kifu_tesu()));
        // The window's log is for tests that look at one event.
        port_.clear();
    }

    void fail(const std::string& what) {
        if (report_.failures.size() < 50)
            report_.failures.push_back(name_ + " game " + std::to_string(game_number_) + " move " +
                                       std::to_string(game_.view().kifu.tesu()) + ": " + what);
    }

    const Options& options_;
    Report& report_;
    SplitMix64 rng_;
    std::string name_;
    int game_number_ = 0;
    HeadlessPort port_;
    // The real sound layer (on the library's dummy output under the soak).
    SoundEffects sound_;
    Game game_;
};

}  // namespace

Report run(const Options& options) {
    Report report;
    for (int level = 1; level <= searcher::LAST_LEVEL; ++level) {
        auto table = std::make_unique<Table>(options, report, options.seed * 1000 + level,
                                             "level " + std::to_string(level));
        for (int g = 1; g <= options.games_per_level; ++g) table->computer_game(level, g);
    }
    auto people = std::make_unique<Table>(options, report, options.seed * 1000 + 99, "two people");
    for (int g = 1; g <= options.long_games; ++g) people->long_game(g);
    return report;
}

std::string describe(const Report& r) {
    std::ostringstream out;
    out << "games against the computer: " << r.games << ", moves " << r.moves << "\n"
        << "  the person won: " << r.man_took_king + r.man_mated + r.com_no_move << " (took the king "
        << r.man_took_king << ", mated it " << r.man_mated << ", the computer had no move " << r.com_no_move
        << ")\n"
        << "  the computer won: " << r.com_took_king << "\n"
        << "  unfinished: " << r.unfinished << "\n"
        << "games between two people: " << r.long_games << ", moves " << r.long_game_moves << "\n"
        << "failures: " << r.failures.size() << "\n";
    for (const std::string& f : r.failures) out << "  " << f << "\n";
    return out.str();
}

}  // namespace zemtori::soak
