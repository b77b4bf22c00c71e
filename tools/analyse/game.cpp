// zemtori-analyse game: whole games of the computer against given moves.
//
// The games are played by the game itself (play/Game), not by a copy of its
// steps: the person's moves are two mouse clicks on the cells of the board,
// and the computer answers through the same hand-over and the same com_ban
// that the window runs, with one engine kept for the whole game.  The window
// is a QuietPort: it paints nothing, plays no sound, and its clock jumps at
// every reading, so the pauses of a turn cost no time.
//
// What the tool prints is read from what a player would have seen: the
// announcements are the message boxes shown, the computer's move is the best
// candidate of its search, and the position it moved from is the one it put
// into the record just before its move.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "port/geometry.h"
#include "engine/engine.h"
#include "port/quiet_port.h"
#include "play/game.h"
#include "rules/board.h"
#include "rules/moves.h"

namespace zemtori::analyse {

namespace {

// Longest input line kept; a move line with more than blanks beyond it is
// refused.  Position lines use their first 333 columns only.
constexpr std::size_t LINE_KEEP = 4096;

bool is_blank_char(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f'; }

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> list;
    std::string word;
    for (const char ch : line) {
        if (is_blank_char(ch)) {
            if (!word.empty()) list.push_back(word);
            word.clear();
        } else {
            word.push_back(ch);
        }
    }
    if (!word.empty()) list.push_back(word);
    return list;
}

// An optionally signed decimal integer that fits an int, and nothing else.
bool parse_int(const std::string& text, int& value) {
    std::size_t i = text[0] == '+' || text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    for (std::size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

// One game, from a freshly started program: a new game object, so a new
// engine with every working value 0.
class Match {
public:
    Match(std::ostream& out, int level, const BestLimits& budget = {}, std::uint64_t seed = 1) : out_(out) {
        // No data folder: no sound is ever loaded, and none is played.
        game_.menu("LEVEL" + std::to_string(level));
        // A searching level thinks within its own node budget unless given
        // another; its choices come from the seed, so a game replays.
        const searcher::Limits limits{budget.depth, budget.nodes, budget.movetime};
        if (limits.depth != 0 || limits.nodes != 0 || limits.movetime != 0) game_.set_search_limits(limits, limits);
        game_.fix_level_seed(seed);
    }

    // The position of `line` as given (nothing falls), the computer to move.
    // False when the game has ended.
    bool start(const std::string& line) {
        GameSetup::set_position(game_, read_position(line));
        // With the hand-over that comes before every computer turn; with no
        // move of the person before it, its answer decides nothing.
        GameSetup::computer_to_move(game_);

        const int tesu = game_.view().kifu.tesu();
        port_.messages.clear();
        game_.com_ban();
        return report_computer(tesu);
    }

    // The person's move, as two clicks.  False when the game has ended.
    bool man_move(const std::string& line, bool cut) {
        const std::vector<std::string> w = words(line);
        int v[5];
        bool ok = !cut && w.size() == 6;
        for (int i = 0; ok && i < 5; ++i) ok = parse_int(w[i + 1], v[i]);
        const int button = ok ? button_for(v[0], v[1], v[2], v[3], v[4]) : 0;
        if (button == 0) return refused();

        const TurnState& turn = game_.view().turn;
        const int tesu = game_.view().kifu.tesu();
        port_.messages.clear();
        click_cell(source_cell(v[0], v[1]), HIDARI_BUTTON);
        if (!turn.SENTAKU || turn.SASHITE.from_x != v[0] || turn.SASHITE.from_y != v[1])
            return refused();
        click_cell(square_cell(v[2], v[3]), button);
        if (game_.view().kifu.tesu() == tesu) return refused();

        // The computer records the position it moves from; when it did not
        // move, the position on the board is still the person's.
        const bool computer_moved = game_.view().kifu.tesu() == tesu + 2;
        if (computer_moved) {
            Position after_man;
            game_.view().kifu.restore(game_.view().kifu.kifu_tesu() - 1, after_man);
            print_position(after_man);
        } else {
            print_position(game_.view().pos);
        }
        // The computer's king was taken or mated: its turn never began.
        if (!computer_moved && turn.TEBAN == turn.MAN_GAWA) {
            out_ << "win man\n";
            return false;
        }
        return report_computer(tesu + 1);
    }

private:
    // The mouse button that makes the move with `koma` on the destination,
    // or 0 when the person could not ask for it: the left button keeps the
    // piece's own code, the right one promotes where promotion is allowed.
    int button_for(int fx, int fy, int tx, int ty, int koma) const {
        const Position& pos = game_.view().pos;
        int code = 0;
        if (on_board(fx, fy) && pos.BAN[fx][fy] <= -10) {
            code = pos.BAN[fx][fy];
        } else if (fx == SITA_TE_X && fy >= 3 && fy <= 9 && pos.MOCHI_SITA_KAZU[fy - 2] > 0) {
            code = pos.MOCHI_SITA_KOMA[fy - 2];
        } else {
            return 0;
        }
        if (!on_board(tx, ty)) return 0;
        if (koma == code) return HIDARI_BUTTON;
        int promoted = 0;
        if (nari_hantei(fx, fy, tx, ty, code, &promoted) == 1 && koma == promoted) return MIGI_BUTTON;
        return 0;
    }

    // A click in the middle of a grid cell.
    void click_cell(Cell cell, int button) {
        game_.mouse_down(button, grid_x(cell.c) + MASU_HABA / 2.0, grid_y(cell.r) + MASU_TAKASA / 2.0);
    }

    bool refused() {
        out_ << "illegal\n";
        return false;
    }

    void print_position(const Position& pos) { out_ << "pos " << entry_line(pos) << '\n'; }

    // What the computer's turn showed, for a turn that began when the game
    // stood at `tesu` moves.  False when the game has ended.
    bool report_computer(int tesu) {
        const TurnState& turn = game_.view().turn;
        if (game_.view().kifu.tesu() == tesu) {
            out_ << "com none\n";
            return false;
        }
        const Candidate& b = game_.view().com_move;
        char buf[128];
        std::snprintf(buf, sizeof buf, "com %d %d %d %d %d %.4f", b.from_x, b.from_y, b.to_x, b.to_y,
                      b.koma, b.score);
        out_ << buf << '\n';
        // At most one announcement is shown.
        for (const std::string& text : port_.messages) {
            if (text == "ｺﾝﾋﾟｭｰﾀの勝ちです") out_ << "win com\n";
            else if (text == "よし！!") out_ << "tsumi\n";
            else if (text == "   ** 王手 **") out_ << "oute\n";
        }
        print_position(game_.view().pos);
        return turn.SHOSHA == NASHI;
    }

    std::ostream& out_;
    QuietPort port_;
    SilentSound sound_;
    Game game_{port_, sound_};
};

LevelGame::LevelGame(int level) : match_(std::make_unique<Match>(out_, level)) {}
LevelGame::~LevelGame() = default;

std::vector<std::string> LevelGame::take_lines() {
    std::vector<std::string> lines;
    std::istringstream in(out_.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    out_.str(std::string());
    out_.clear();
    return lines;
}

std::vector<std::string> LevelGame::start(const std::string& line) {
    open_ = match_->start(line);
    return take_lines();
}

std::vector<std::string> LevelGame::man_move(const std::string& line) {
    open_ = open_ && match_->man_move(line, false);
    return take_lines();
}

void game(std::istream& in, std::ostream& out, int level, const BestLimits& budget, std::uint64_t seed) {
    std::unique_ptr<Match> match;  // the open game, if any
    std::string line;
    bool cut = false;
    while (read_line(in, line, LINE_KEEP, &cut)) {
        const std::vector<std::string> w = words(line);
        if (w.empty() && !cut) continue;
        const bool move_line = !w.empty() && w[0] == "move";
        bool open = false;
        if (move_line) {
            if (!match) continue;  // no game open: skipped
            open = match->man_move(line, cut);
        } else {
            if (match) out << "end\n";
            match = std::make_unique<Match>(out, level, budget, seed);
            open = match->start(line);
        }
        if (!open) {
            out << "end\n";
            match.reset();
        }
        // Each answer goes out before the next line is read, so a program
        // can play through a pipe move by move.
        out.flush();
    }
    if (match) out << "end\n";
    out.flush();
}

}  // namespace zemtori::analyse
