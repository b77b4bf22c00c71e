#include "engine/position_line.h"

#include <cstdio>
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

void append_field(std::string& out, int value, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%*d", width, value);
    out += buf;
}

// A hand slot keeps only a plain code of its own side (the king included:
// a captured king goes to the hand like any piece).
bool plain_hand_code(int code, int side) {
    const int m = code * side;
    return m >= HU && m <= OU && m % 10 == 0;
}

int count_or_zero(int n) { return n >= 0 && n <= 99 ? n : 0; }

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

EntryLine parse_entry_line(std::string_view line) {
    EntryLine e;
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

std::string format_entry_line(const EntryLine& e) {
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
    append_field(out, e.MAN_MAE, TIME_WIDTH);
    append_field(out, e.MAN_ATO, TIME_WIDTH);
    append_field(out, e.COM_MAE, TIME_WIDTH);
    append_field(out, e.COM_ATO, TIME_WIDTH);
    return out;
}

Position position_from_entry(const EntryLine& e) {
    Position pos;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) pos.BAN[x][y] = is_piece(e.BAN[x][y]) ? e.BAN[x][y] : 0;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (plain_hand_code(e.UE_KOMA[k], +1)) {
            pos.MOCHI_UE_KOMA[k] = e.UE_KOMA[k];
            pos.MOCHI_UE_KAZU[k] = count_or_zero(e.UE_KAZU[k]);
        }
        if (plain_hand_code(e.SITA_KOMA[k], -1)) {
            pos.MOCHI_SITA_KOMA[k] = e.SITA_KOMA[k];
            pos.MOCHI_SITA_KAZU[k] = count_or_zero(e.SITA_KAZU[k]);
        }
        pos.MOCHI_UE_GOKEI += pos.MOCHI_UE_KAZU[k];
        pos.MOCHI_SITA_GOKEI += pos.MOCHI_SITA_KAZU[k];
    }
    return pos;
}

EntryLine entry_from_position(const Position& pos, int man_mae, int man_ato, int com_mae,
                              int com_ato) {
    EntryLine e;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) e.BAN[x][y] = pos.BAN[x][y];
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        e.SITA_KOMA[k] = pos.MOCHI_SITA_KOMA[k];
        e.UE_KOMA[k] = pos.MOCHI_UE_KOMA[k];
        e.SITA_KAZU[k] = pos.MOCHI_SITA_KAZU[k];
        e.UE_KAZU[k] = pos.MOCHI_UE_KAZU[k];
    }
    e.MAN_MAE = man_mae;
    e.MAN_ATO = man_ato;
    e.COM_MAE = com_mae;
    e.COM_ATO = com_ato;
    return e;
}

}  // namespace zemtori
