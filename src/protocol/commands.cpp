#include "protocol/commands.h"

#include <algorithm>
#include <cstdint>

#include "record/entry_line.h"
#include "rules/moves.h"
#include "rules/opening.h"

namespace zemtori::protocol {

namespace {

constexpr std::size_t ENTRY_COLUMNS = ENTRY_LINE_LENGTH;
constexpr std::size_t SHOWN_CHARACTERS = 40;

// The length of the UTF-8 sequence of printable text that starts at `i`, or
// 0 when the bytes there are not one (a C1 control is not printable).
std::size_t printable_sequence(const std::string& w, std::size_t i) {
    const auto byte = [&w](std::size_t k) { return static_cast<unsigned char>(w[k]); };
    const unsigned char c = byte(i);
    const std::size_t len = c >= 0xc2 && c <= 0xdf ? 2 : c >= 0xe0 && c <= 0xef ? 3 : c >= 0xf0 && c <= 0xf4 ? 4 : 0;
    if (len == 0 || i + len > w.size()) return 0;
    std::uint32_t cp = c & (0xff >> (len + 1));
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xc0) != 0x80) return 0;
        cp = cp << 6 | (byte(i + k) & 0x3f);
    }
    const std::uint32_t least[5] = {0, 0, 0xa0, 0x800, 0x10000};  // shorter forms and C1 controls
    if (cp < least[len] || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) return 0;
    return len;
}

}  // namespace

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> list;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        const std::size_t from = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        if (i > from) list.push_back(text.substr(from, i - from));
    }
    return list;
}

bool parse_number(const std::string& text, long long lo, long long hi, long long& value) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    if (i == text.size() || text.size() - i > 15) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    if (negative) v = -v;
    if (v < lo || v > hi) return false;
    value = v;
    return true;
}

std::string shown(const std::string& word) {
    static const char* const HEX = "0123456789ABCDEF";
    std::string out;
    std::size_t i = 0, characters = 0;
    while (i < word.size()) {
        if (characters == SHOWN_CHARACTERS) {
            out += "...";
            break;
        }
        const unsigned char c = static_cast<unsigned char>(word[i]);
        std::size_t len = 0;
        if (c >= 0x20 && c < 0x7f && c != '\\') len = 1;
        else if (c >= 0x80) len = printable_sequence(word, i);
        if (len > 0) {
            out.append(word, i, len);
            i += len;
        } else {
            out += "\\x";
            out += HEX[c >> 4];
            out += HEX[c & 15];
            ++i;
        }
        ++characters;
    }
    return out;
}

std::string move_token(const searcher::RulesMove& m) {
    return std::to_string(m.from_x) + ',' + std::to_string(m.from_y) + ',' + std::to_string(m.to_x) + ',' +
           std::to_string(m.to_y) + ',' + std::to_string(m.koma);
}

bool parse_move(const std::string& token, searcher::RulesMove& m) {
    long long v[5];
    std::size_t from = 0;
    for (int k = 0; k < 5; ++k) {
        const std::size_t comma = k < 4 ? token.find(',', from) : token.size();
        if (comma == std::string::npos) return false;
        if (!parse_number(token.substr(from, comma - from), -1000, 1000, v[k])) return false;
        from = comma + 1;
    }
    m = searcher::RulesMove{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                            static_cast<int>(v[3]), static_cast<int>(v[4])};
    return true;
}

MoveTime time_for_move(long long remaining, long long byoyomi, long long increment) {
    remaining = std::max(0LL, remaining);
    byoyomi = std::max(0LL, byoyomi);
    increment = std::max(0LL, increment);
    // The increment comes after the move; the byoyomi is this move's too.
    const long long can_use = remaining + byoyomi;
    // Room for the answer to reach the other end and for a busy machine: a
    // fifth of a short allowance, 50 ms of a long one.
    const long long margin = std::min(50LL, can_use * 2 / 5);
    MoveTime t;
    t.hard = std::max(1LL, can_use - margin);
    long long target;
    if (byoyomi > 0) target = remaining / 25 + byoyomi;
    else if (increment > 0) target = remaining / 25 + increment * 3 / 4;
    else target = remaining / 30;
    // The search uses its aim to the end, so the aim keeps a quarter of the
    // hard stop free for the answer's way back on a busy machine.
    t.target = std::clamp(target, 1LL, std::max(1LL, t.hard * 3 / 4));
    return t;
}

Game::Game() : Game(settled_opening(), -1, 0) {}

Game::Game(const Position& start, int side, std::size_t plies_before)
    : pos_(start), side_(side), plies_before_(plies_before) {}

std::string Game::play(const std::string& token) {
    searcher::RulesMove m{};
    if (!parse_move(token, m)) return "malformed move '" + shown(token) + "'";
    if (ended_) return "move '" + shown(token) + "' after a king was taken";
    const searcher::CompactPosition sp = searcher::from_rules(pos_, side_);
    searcher::MoveList list;
    searcher::generate(sp, list);
    bool legal = false;
    for (int i = 0; i < list.size && !legal; ++i) legal = searcher::to_rules_move(sp, list.moves[i]) == m;
    if (!legal)
        return "illegal move '" + shown(token) + "' for the " + (side_ > 0 ? "upper" : "lower") + " side at move " +
               std::to_string(moves_ + 1);
    if (recent_.size() == searcher::GAME_KEYS_LOOKED_AT) recent_.erase(recent_.begin());
    recent_.push_back(pos_);
    ended_ = play_and_fall(pos_, m.from_x, m.from_y, m.to_x, m.to_y, m.koma).took_king();
    side_ = -side_;
    ++moves_;
    return {};
}

searcher::History Game::history() const {
    const std::size_t count = static_cast<std::size_t>(moves_);
    const std::size_t first_kept = count - recent_.size();
    return searcher::game_history(count, plies_before_, side_, [&](std::size_t n, Position& pos) {
        pos = recent_[n - first_kept];
        return 0;  // the sides take turns
    });
}

std::string read_position_line(const std::string& line, Game& game) {
    const std::vector<std::string> w = words(line);
    if (w.size() < 2) return "'position' takes startpos or entry";
    std::vector<std::string> rest;
    Position start;
    bool from_entry = false;
    if (w[1] == "startpos") {
        start = settled_opening();
        rest.assign(w.begin() + 2, w.end());
    } else if (w[1] == "entry") {
        // The entry line has blanks of its own: its 333 columns follow the
        // word and one blank.
        std::size_t at = line.find("entry");
        at += 6;
        if (at > line.size() || line.size() - at < ENTRY_COLUMNS)
            return "the entry line after 'entry' is shorter than " + std::to_string(ENTRY_COLUMNS) + " columns";
        const std::string entry = line.substr(at, ENTRY_COLUMNS);
        for (std::size_t i = 0; i < entry.size(); ++i) {
            const char c = entry[i];
            if (c != ' ' && c != '-' && (c < '0' || c > '9'))
                return "entry line: '" + shown(std::string(1, c)) + "' at column " + std::to_string(i + 1);
        }
        const std::string after = line.substr(at + ENTRY_COLUMNS);
        if (!after.empty() && after[0] != ' ' && after[0] != '\t')
            return "entry line longer than " + std::to_string(ENTRY_COLUMNS) + " columns: '" +
                   shown(words(after)[0]) + "'";
        start = position_from_entry_line(entry);
        rest = words(after);
        from_entry = true;
    } else {
        return "unknown position '" + shown(w[1]) + "' (startpos or entry)";
    }

    std::size_t i = 0;
    int side = -1;
    bool side_given = false;
    if (i < rest.size() && rest[i] == "side") {
        if (i + 1 >= rest.size() || (rest[i + 1] != "upper" && rest[i + 1] != "lower"))
            return "side '" + (i + 1 < rest.size() ? shown(rest[i + 1]) : std::string()) + "' (upper or lower)";
        side = rest[i + 1] == "upper" ? +1 : -1;
        i += 2;
        side_given = true;
    }
    if (from_entry && !side_given) return "'side upper' or 'side lower' must follow the entry line";
    long long plies_before = 0;
    if (from_entry && i < rest.size() && rest[i] == "ply") {
        if (i + 1 >= rest.size() || !parse_number(rest[i + 1], 0, MOST_PLIES_BEFORE, plies_before))
            return "ply '" + (i + 1 < rest.size() ? shown(rest[i + 1]) : std::string()) +
                   "' is not a number from 0 to " + std::to_string(MOST_PLIES_BEFORE);
        i += 2;
    }
    Game g(start, side, static_cast<std::size_t>(plies_before));
    if (i < rest.size()) {
        if (rest[i] != "moves") return "unexpected '" + shown(rest[i]) + "' (moves expected)";
        for (++i; i < rest.size(); ++i) {
            const std::string problem = g.play(rest[i]);
            if (!problem.empty()) return problem;
        }
    }
    game = std::move(g);
    return {};
}

std::string read_go_line(const std::vector<std::string>& w, int side, GoPlan& plan) {
    GoPlan p;
    long long movetime = 0, time[2] = {-1, -1}, byoyomi = 0, inc[2] = {0, 0};
    bool clock = false;
    for (std::size_t i = 1; i < w.size(); ++i) {
        const std::string& word = w[i];
        if (word == "infinite") {
            p.infinite = true;
            continue;
        }
        if (word == "ponder" || word == "mate") return "'go " + word + "' is not supported";
        const bool count = word == "depth" || word == "nodes";
        const bool ms = word == "movetime" || word == "btime" || word == "wtime" || word == "byoyomi" ||
                        word == "binc" || word == "winc";
        if (!count && !ms) return "unknown go parameter '" + shown(word) + "'";
        const std::string value = i + 1 < w.size() ? w[i + 1] : std::string();
        long long v = 0;
        if (count && !parse_number(value, 0, 1000000000000LL, v))
            return "'" + shown(value) + "' after '" + word + "' is not a number";
        if (ms && !parse_number(value, 0, searcher::LONGEST_MOVETIME, v))
            return "'" + shown(value) + "' after '" + word + "' is not a number of milliseconds from 0 to " +
                   std::to_string(searcher::LONGEST_MOVETIME);
        ++i;
        if (word == "depth") p.limits.depth = static_cast<int>(std::clamp(v, 1LL, 1000LL));
        else if (word == "nodes") p.limits.nodes = std::max(1LL, v);
        else if (word == "movetime") movetime = std::max(1LL, v);
        else {
            clock = true;
            if (word == "btime") time[0] = v;
            else if (word == "wtime") time[1] = v;
            else if (word == "byoyomi") byoyomi = v;
            else if (word == "binc") inc[0] = v;
            else inc[1] = v;
        }
    }
    if (p.limits.depth == 0 && p.limits.nodes == 0 && movetime == 0 && !clock) p.infinite = true;

    // A movetime is a deadline of its own; a clock gives another, and the
    // earlier one holds.
    long long hard = movetime;
    if (clock) {
        const int me = side < 0 ? 0 : 1;  // the lower side holds btime
        const MoveTime t = time_for_move(std::max(0LL, time[me]), byoyomi, inc[me]);
        movetime = movetime > 0 ? std::min(movetime, t.target) : t.target;
        hard = hard > 0 ? std::min(hard, t.hard) : t.hard;
    }
    if (p.infinite) {
        movetime = 0;
        hard = 0;
    }
    p.limits.movetime = movetime;
    p.hard_ms = hard;
    plan = p;
    return {};
}

}  // namespace zemtori::protocol
