#include "record/entry_line.h"

#include <limits>

namespace zemtori {

namespace {

constexpr std::size_t BOARD_WIDTH = 3, CODE_WIDTH = 3, COUNT_WIDTH = 2, TIME_WIDTH = 5;

// Reads consecutive fields, advancing the column by each field's width.
struct FieldReader {
    std::string_view line;
    std::size_t col = 0;
    int next(std::size_t width) {
        const int v = read_field(line, col, width);
        col += width;
        return v;
    }
};

// A value is written within its field's width, so that every later field
// keeps its column: one too large or too small for the field is written as
// the nearest value that fits (99 for a count of 100).  The rules never
// produce one, except a clock past 99999 seconds.
void append_field(std::string& out, long long value, int width) {
    long long most = 9, least = -9;
    for (int i = 1; i < width; ++i) {
        most = most * 10 + 9;
        if (i + 1 < width) least = least * 10 - 9;
    }
    if (value > most) value = most;
    if (value < least) value = least;
    // The digits, last first, then the sign; blanks fill the field from the left.
    char digits[24];
    int n = 0;
    long long rest = value < 0 ? -value : value;
    do {
        digits[n++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0) digits[n++] = '-';
    out.append(static_cast<std::size_t>(width - n), ' ');
    while (n > 0) out += digits[--n];
}

// A hand slot keeps only a plain code of its own side (the king included:
// a captured king goes to the hand like any piece).
bool plain_hand_code(int code, int side) {
    const int m = code * side;
    return m >= HU && m <= OU && m % 10 == 0;
}

// A slot keeps its code and count only when both can stand in a hand.
void keep_slot(int& code, int& count, int side) {
    if (!plain_hand_code(code, side)) {
        code = 0;
        count = 0;
    } else if (count < 0 || count > 99) {
        count = 0;
    }
}

// Whole seconds: the fraction of a second is dropped.  A time beyond any
// field keeps its sign; a time that is not a number reads 0.
long long whole_seconds(double t) {
    if (!(t == t)) return 0;
    if (t >= 1e12) return 1000000000000LL;
    if (t <= -1e12) return -1000000000000LL;
    return static_cast<long long>(t);
}

}  // namespace

int read_field(std::string_view line, std::size_t start, std::size_t width) {
    if (start >= line.size()) return 0;
    const std::string_view f = line.substr(start, width);
    std::size_t i = 0;
    while (i < f.size() && f[i] == ' ') ++i;
    bool neg = false;
    if (i < f.size() && (f[i] == '-' || f[i] == '+')) {
        neg = f[i] == '-';
        ++i;
    }
    long long v = 0;
    std::size_t digits = 0;
    for (; i < f.size() && f[i] >= '0' && f[i] <= '9'; ++i, ++digits) {
        v = v * 10 + (f[i] - '0');
        if (v > std::numeric_limits<int>::max()) return 0;
    }
    if (digits == 0) return 0;
    for (; i < f.size(); ++i)
        if (f[i] != ' ') return 0;
    return static_cast<int>(neg ? -v : v);
}

RecordEntry parse_entry_line(std::string_view line) {
    RecordEntry e;
    FieldReader r{line};
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) e.BAN[x][y] = r.next(BOARD_WIDTH);
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        e.SITA_KOMA[k] = r.next(CODE_WIDTH);
        e.UE_KOMA[k] = r.next(CODE_WIDTH);
        e.SITA_KAZU[k] = r.next(COUNT_WIDTH);
        e.UE_KAZU[k] = r.next(COUNT_WIDTH);
    }
    e.MAN_MAE = r.next(TIME_WIDTH);
    e.MAN_ATO = r.next(TIME_WIDTH);
    e.COM_MAE = r.next(TIME_WIDTH);
    e.COM_ATO = r.next(TIME_WIDTH);
    return e;
}

std::string format_entry_line(const RecordEntry& e) {
    std::string out;
    out.reserve(ENTRY_LINE_LENGTH);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) append_field(out, e.BAN[x][y], BOARD_WIDTH);
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        append_field(out, e.SITA_KOMA[k], CODE_WIDTH);
        append_field(out, e.UE_KOMA[k], CODE_WIDTH);
        append_field(out, e.SITA_KAZU[k], COUNT_WIDTH);
        append_field(out, e.UE_KAZU[k], COUNT_WIDTH);
    }
    append_field(out, whole_seconds(e.MAN_MAE), TIME_WIDTH);
    append_field(out, whole_seconds(e.MAN_ATO), TIME_WIDTH);
    append_field(out, whole_seconds(e.COM_MAE), TIME_WIDTH);
    append_field(out, whole_seconds(e.COM_ATO), TIME_WIDTH);
    return out;
}

void keep_only_pieces(RecordEntry& e) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (!is_piece(e.BAN[x][y])) e.BAN[x][y] = 0;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        keep_slot(e.UE_KOMA[k], e.UE_KAZU[k], +1);
        keep_slot(e.SITA_KOMA[k], e.SITA_KAZU[k], -1);
    }
}

Position position_from_entry_line(std::string_view line) {
    RecordEntry entry = parse_entry_line(line);
    keep_only_pieces(entry);
    Position pos;
    restore_position(entry, pos);
    return pos;
}

std::string entry_line_of(const Position& pos) {
    RecordEntry entry;
    store_position(pos, entry);
    return format_entry_line(entry);
}

}  // namespace zemtori
