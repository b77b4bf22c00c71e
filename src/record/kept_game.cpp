#include "record/kept_game.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

#include "record/entry_line.h"
#include "record/record_file.h"

namespace zemtori {

namespace {

constexpr std::string_view MAGIC = "zemtori kept game 1";
// A kept header is at most as long as a record file's header, in bytes of UTF-8.
constexpr std::size_t MAX_TEXT_BYTES = MAX_HEADER_CHARS * 4;
// A clock beyond this (some 30 years) is not one the game ran.
constexpr double MAX_SECONDS = 1e9;

std::uint64_t check_sum(std::string_view bytes) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    return h;
}

std::string hex16(std::uint64_t v) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4) s[static_cast<std::size_t>(i)] = DIGITS[v & 15];
    return s;
}

void put_number(std::string& out, double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void put_int(std::string& out, int v) { out += std::to_string(v); }

// A text on one line: a line end in it would make a line of its own.
std::string one_line(const std::string& text) {
    std::string s = text.substr(0, MAX_TEXT_BYTES);
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

// The words of one line, read one after the other; any word that is not
// what is asked for spoils the line.
class Words {
public:
    explicit Words(std::string_view line) : rest_(line) {}

    bool word(std::string_view expected) {
        const std::string_view w = next();
        ok_ = ok_ && w == expected;
        return ok_;
    }
    int integer(int least, int most) {
        const std::string_view w = next();
        int v = 0;
        const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
        if (w.empty() || r.ec != std::errc() || r.ptr != w.data() + w.size() || v < least || v > most) ok_ = false;
        return ok_ ? v : 0;
    }
    bool flag() { return integer(0, 1) == 1; }
    double seconds() {
        const std::string_view w = next();
        double v = 0;
        const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
        if (w.empty() || r.ec != std::errc() || r.ptr != w.data() + w.size() || !std::isfinite(v) || v < 0 ||
            v > MAX_SECONDS)
            ok_ = false;
        return ok_ ? v : 0;
    }
    // All words read, and each was right.
    bool done() const { return ok_ && rest_.empty(); }
    bool ok() const { return ok_; }

private:
    // Words are parted by one blank; a line starts and ends with a word.
    std::string_view next() {
        if (!ok_ || rest_.empty()) {
            ok_ = false;
            return {};
        }
        const std::size_t end = rest_.find(' ');
        const std::string_view w = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
        if (end != std::string_view::npos && rest_.empty()) ok_ = false;
        return w;
    }

    std::string_view rest_;
    bool ok_ = true;
};

// The lines of the file, each ended by LF.
class Lines {
public:
    explicit Lines(std::string_view bytes) : bytes_(bytes) {}
    // The next line; false at the end or at a last line without its end.
    bool next(std::string_view& line) {
        const std::size_t end = bytes_.find('\n', at_);
        if (end == std::string_view::npos) return false;
        line = bytes_.substr(at_, end - at_);
        at_ = end + 1;
        return true;
    }
    std::size_t at() const { return at_; }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

// A line that starts with `key` and a blank: the rest of it.
bool after_key(std::string_view line, std::string_view key, std::string_view& rest) {
    if (line.size() < key.size() + 1 || line.substr(0, key.size()) != key || line[key.size()] != ' ') return false;
    rest = line.substr(key.size() + 1);
    return true;
}

// An entry line of 333 columns at the start of `text`; what follows it.
bool entry_columns(std::string_view text, RecordEntry& e, std::string_view& rest) {
    if (text.size() < static_cast<std::size_t>(ENTRY_LINE_LENGTH)) return false;
    e = parse_entry_line(text.substr(0, ENTRY_LINE_LENGTH));
    keep_only_pieces(e);
    rest = text.substr(ENTRY_LINE_LENGTH);
    return true;
}

bool side_value(int v) { return v == SENTE_GAWA || v == GOTE_GAWA; }

// A move's squares lie on the board or in a hand column, and a move the
// record knows places a piece on the board.
bool sound_move(const EntryMove& m) {
    const Sashite& s = m.move;
    if (!m.known) return true;
    const bool drop = s.from_x == UE_TE_X || s.from_x == SITA_TE_X;
    const bool from_ok = drop ? s.from_y >= 1 && s.from_y <= 9 : s.from_x >= 1 && s.from_x <= 9 && s.from_y >= 1 && s.from_y <= 9;
    return from_ok && s.to_x >= 1 && s.to_x <= 9 && s.to_y >= 1 && s.to_y <= 9 && is_piece(s.koma);
}

}  // namespace

std::string kept_game_bytes(const KeptGame& g) {
    const KifuWhole& r = g.record;
    std::string out;
    out.reserve(512 + r.entries.size() * (ENTRY_LINE_LENGTH + 96));
    out += MAGIC;
    out += "\nlevel ";
    put_int(out, g.level);
    out += "\nsides ";
    put_int(out, g.man_side);
    out += "\nturn ";
    put_int(out, g.to_move);
    out += " computer ";
    put_int(out, g.against_computer);
    out += " winner ";
    put_int(out, g.winner);
    out += " paused ";
    put_int(out, g.paused);
    out += "\nhandicap ";
    put_int(out, g.handicap_rung);
    out += ' ';
    put_int(out, g.handicap_set);
    out += "\nclock ";
    put_number(out, g.man_total);
    out += ' ';
    put_number(out, g.com_total);
    out += ' ';
    put_number(out, g.running);
    out += "\nrecord ";
    for (const int v : {r.shown, r.last, r.moves_before, int{r.turned}, int{r.browsing}, int{r.played}}) {
        put_int(out, v);
        out += ' ';
    }
    out.back() = '\n';
    out += "title " + one_line(g.title) + "\nupper " + one_line(g.upper_name) + "\nlower " +
           one_line(g.lower_name) + "\nboard " + format_entry_line(g.board) + "\n";
    for (std::size_t n = 0; n < r.entries.size(); ++n) {
        const RecordEntry& e = r.entries[n];
        const EntryMove m = n < r.moves.size() ? r.moves[n] : EntryMove{};
        out += "entry ";
        out += format_entry_line(e);
        for (const double t : {e.MAN_MAE, e.MAN_ATO, e.COM_MAE, e.COM_ATO}) {
            out += ' ';
            put_number(out, t);
        }
        out += " move";
        for (const int v : {m.move.from_x, m.move.from_y, m.move.to_x, m.move.to_y, m.move.koma, int{m.known},
                            m.mover, m.winner}) {
            out += ' ';
            put_int(out, v);
        }
        out += '\n';
    }
    out += "end " + hex16(check_sum(out)) + "\n";
    return out;
}

bool from_other_version(std::string_view bytes) {
    constexpr std::string_view FAMILY = "zemtori kept game ";
    if (bytes.substr(0, FAMILY.size()) != FAMILY) return false;
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos) return false;
    const std::string_view number = bytes.substr(FAMILY.size(), end - FAMILY.size());
    if (number.empty() || number.size() > 9 || number == MAGIC.substr(FAMILY.size())) return false;
    for (const char c : number)
        if (c < '0' || c > '9') return false;
    return true;
}

std::optional<KeptGame> read_kept_game(std::string_view bytes) {
    if (bytes.size() > MAX_KEPT_GAME_BYTES) return std::nullopt;
    // The check sum first: a file cut short or changed anywhere goes at once.
    const std::size_t end_at = bytes.rfind("end ");
    if (end_at == std::string_view::npos || (end_at != 0 && bytes[end_at - 1] != '\n')) return std::nullopt;
    if (bytes.substr(end_at) != "end " + hex16(check_sum(bytes.substr(0, end_at))) + "\n") return std::nullopt;
    const std::string_view body = bytes.substr(0, end_at);

    KeptGame g;
    Lines lines(body);
    std::string_view line, rest;
    const auto keyed = [&](std::string_view key) { return lines.next(line) && after_key(line, key, rest); };

    if (!lines.next(line) || line != MAGIC) return std::nullopt;
    if (!keyed("level")) return std::nullopt;
    {
        Words w(rest);
        // Which levels there are is the game's to say when it comes back.
        g.level = w.integer(1, MAX_KEPT_LEVEL_NUMBER);
        if (!w.done()) return std::nullopt;
    }
    if (!keyed("sides")) return std::nullopt;
    {
        Words w(rest);
        g.man_side = w.integer(-1, 1);
        if (!w.done() || !side_value(g.man_side)) return std::nullopt;
    }
    if (!keyed("turn")) return std::nullopt;
    {
        Words w(rest);
        g.to_move = w.integer(-1, 1);
        w.word("computer");
        g.against_computer = w.flag();
        w.word("winner");
        g.winner = w.integer(-1, 1);
        w.word("paused");
        g.paused = w.flag();
        if (!w.done()) return std::nullopt;
    }
    if (!keyed("handicap")) return std::nullopt;
    {
        Words w(rest);
        g.handicap_rung = w.integer(-10, 10);
        g.handicap_set = w.flag();
        if (!w.done()) return std::nullopt;
    }
    if (!keyed("clock")) return std::nullopt;
    {
        Words w(rest);
        g.man_total = w.seconds();
        g.com_total = w.seconds();
        g.running = w.seconds();
        if (!w.done()) return std::nullopt;
    }
    KifuWhole& r = g.record;
    if (!keyed("record")) return std::nullopt;
    {
        Words w(rest);
        r.shown = w.integer(0, MAX_KEPT_ENTRIES - 1);
        r.last = w.integer(0, MAX_KEPT_ENTRIES - 1);
        r.moves_before = w.integer(0, MAX_KEPT_ENTRIES);
        r.turned = w.flag();
        r.browsing = w.flag();
        r.played = w.flag();
        if (!w.done()) return std::nullopt;
    }
    for (std::string* text : {&g.title, &g.upper_name, &g.lower_name}) {
        const std::string_view key = text == &g.title ? "title" : text == &g.upper_name ? "upper" : "lower";
        if (!lines.next(line)) return std::nullopt;
        if (line == key) continue;  // an empty text: the blank after the key is all there is
        if (!after_key(line, key, rest) || rest.size() > MAX_TEXT_BYTES) return std::nullopt;
        text->assign(rest);
    }
    if (!keyed("board") || !entry_columns(rest, g.board, rest) || !rest.empty()) return std::nullopt;

    const int count = (r.shown > r.last ? r.shown : r.last) + 1;
    r.entries.reserve(static_cast<std::size_t>(count));
    r.moves.reserve(static_cast<std::size_t>(count));
    while (lines.next(line)) {
        if (static_cast<int>(r.entries.size()) >= count) return std::nullopt;
        RecordEntry e;
        if (!after_key(line, "entry", rest) || !entry_columns(rest, e, rest) || rest.empty() || rest[0] != ' ')
            return std::nullopt;
        Words w(rest.substr(1));
        e.MAN_MAE = w.seconds();
        e.MAN_ATO = w.seconds();
        e.COM_MAE = w.seconds();
        e.COM_ATO = w.seconds();
        w.word("move");
        EntryMove m;
        m.move.from_x = w.integer(-1, 11);
        m.move.from_y = w.integer(0, 11);
        m.move.to_x = w.integer(0, 9);
        m.move.to_y = w.integer(0, 9);
        m.move.koma = w.integer(-OU, OU);
        m.known = w.flag();
        m.mover = w.integer(-1, 1);
        m.winner = w.integer(-1, 1);
        if (!w.done() || !sound_move(m)) return std::nullopt;
        r.entries.push_back(e);
        r.moves.push_back(m);
    }
    if (lines.at() != body.size() || static_cast<int>(r.entries.size()) != count) return std::nullopt;
    return g;
}

}  // namespace zemtori
