#include "searcher/compact_position.h"

#include <array>

#include "rules/legality.h"

namespace zemtori::searcher {

namespace {

constexpr int iabs(int v) { return v < 0 ? -v : v; }

// Index of a piece code in the hash tables: kind and promotion, then side.
constexpr int code_index(int code) {
    const int m = iabs(code);
    return (m / 10 - 1) * 2 + m % 10 + (code < 0 ? 16 : 0);
}

struct Keys {
    std::array<std::array<uint64_t, 32>, SQUARES> board{};
    std::array<std::array<uint64_t, 9>, 2> hand{};
    uint64_t side = 0;
};

constexpr Keys make_keys() {
    Keys k;
    uint64_t s = 0x5a17c0ffee123457ULL;
    auto next = [&s]() {
        uint64_t z = (s += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    };
    for (auto& row : k.board)
        for (auto& v : row) v = next();
    for (auto& row : k.hand)
        for (auto& v : row) v = next();
    k.side = next();
    return k;
}

constexpr Keys KEYS = make_keys();

uint64_t piece_key(int s, int code) { return KEYS.board[s][code_index(code)]; }

constexpr int BOARD_VALUE[9][2] = {
    {0, 0}, {172, 682}, {124, 480}, {411, 612}, {648, 606}, {585, 585}, {874, 1043}, {701, 1268}, {0, 0}};
constexpr int HAND_VALUE[9] = {0, 93, 255, 344, 207, 356, 571, 751, 0};

// The steps of the upper side's pieces; the lower side's are the same
// negated (every set is symmetric left to right).
constexpr int W = WIDTH;
constexpr int STEP_HU[] = {W};
constexpr int STEP_KEI[] = {2 * W - 1, 2 * W + 1};
constexpr int STEP_GIN[] = {W - 1, W, W + 1, -W - 1, -W + 1};
constexpr int STEP_KIN[] = {W - 1, W, W + 1, -1, 1, -W};
constexpr int STEP_OU[] = {W - 1, W, W + 1, -1, 1, -W - 1, -W, -W + 1};
constexpr int ORTHO[] = {W, -W, 1, -1};
constexpr int DIAG[] = {W + 1, W - 1, -W + 1, -W - 1};

// Whether a board move of `code` from column fy to column ty may promote,
// and whether it may stay unpromoted.
inline bool may_promote(int code, int fy, int ty) {
    switch (code) {
    case HU: case KYOU: case KEI: return ty >= 7;
    case GIN: case KAKU: case HISHA: return ty >= 7 || fy >= 7;
    case -HU: case -KYOU: case -KEI: return ty <= 3;
    case -GIN: case -KAKU: case -HISHA: return ty <= 3 || fy <= 3;
    default: return false;
    }
}

inline bool may_stay(int code, int ty) {
    switch (code) {
    case HU: case KYOU: return ty != 9;
    case KEI: return ty < 8;
    case -HU: case -KYOU: return ty != 1;
    case -KEI: return ty > 2;
    default: return true;
    }
}

inline void emit(MoveList& list, int from, int to, int code, int side) {
    const int fy = sq_y(from), ty = sq_y(to);
    const Move base{static_cast<uint8_t>(from), static_cast<uint8_t>(to), static_cast<int8_t>(code),
                    static_cast<int8_t>(code)};
    if (may_promote(code, fy, ty)) {
        Move p = base;
        p.placed = static_cast<int8_t>(code + side);
        list.push(p);
        if (may_stay(code, ty)) list.push(base);
    } else {
        list.push(base);
    }
}

// Whether a destination code takes the move: empty or an enemy piece (and,
// for all moves but captures-only, an empty square).
template <bool CAPTURES>
inline bool target_ok(int t, int side) {
    if (t == WALL) return false;
    if (CAPTURES) return t * side <= -10;
    return t * side < 10;
}

template <bool CAPTURES>
inline void steps(const CompactPosition& p, MoveList& list, int from, int code, int side, const int* d, int n) {
    for (int i = 0; i < n; ++i) {
        const int to = from + d[i] * side;
        if (target_ok<CAPTURES>(p.board[to], side)) emit(list, from, to, code, side);
    }
}

template <bool CAPTURES>
inline void slides(const CompactPosition& p, MoveList& list, int from, int code, int side, const int* d, int n) {
    for (int i = 0; i < n; ++i) {
        const int delta = d[i] * side;
        for (int to = from + delta;; to += delta) {
            const int t = p.board[to];
            if (t == 0) {
                if (!CAPTURES) emit(list, from, to, code, side);
                continue;
            }
            if (t != WALL && t * side <= -10) emit(list, from, to, code, side);
            break;
        }
    }
}

template <bool CAPTURES>
void generate_board(const CompactPosition& p, MoveList& list) {
    const int side = p.side;
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x) {
            const int from = sq(x, y);
            const int code = p.board[from];
            if (code * side < 10) continue;
            switch (iabs(code)) {
            case HU: steps<CAPTURES>(p, list, from, code, side, STEP_HU, 1); break;
            case KYOU: slides<CAPTURES>(p, list, from, code, side, STEP_HU, 1); break;
            case KEI: steps<CAPTURES>(p, list, from, code, side, STEP_KEI, 2); break;
            case GIN: steps<CAPTURES>(p, list, from, code, side, STEP_GIN, 5); break;
            case KIN: case TO: case NARIKYOU: case NARIKEI: case NARIGIN:
                steps<CAPTURES>(p, list, from, code, side, STEP_KIN, 6);
                break;
            case KAKU: slides<CAPTURES>(p, list, from, code, side, DIAG, 4); break;
            case UMA:
                slides<CAPTURES>(p, list, from, code, side, DIAG, 4);
                steps<CAPTURES>(p, list, from, code, side, ORTHO, 4);
                break;
            case HISHA: slides<CAPTURES>(p, list, from, code, side, ORTHO, 4); break;
            case RYU:
                slides<CAPTURES>(p, list, from, code, side, ORTHO, 4);
                steps<CAPTURES>(p, list, from, code, side, DIAG, 4);
                break;
            case OU: steps<CAPTURES>(p, list, from, code, side, STEP_OU, 8); break;
            default: break;
            }
        }
    }
}

// The columns a drop of `code` may go to: not the last column for a pawn or
// a lance, not the last two for a knight.
inline void drop_columns(int code, int& lo, int& hi) {
    lo = 1;
    hi = 9;
    switch (code) {
    case HU: case KYOU: hi = 8; break;
    case KEI: hi = 7; break;
    case -HU: case -KYOU: lo = 2; break;
    case -KEI: lo = 3; break;
    default: break;
    }
}

void generate_drops(const CompactPosition& p, MoveList& list) {
    const int si = side_index(p.side);
    const int pawn = p.side > 0 ? HU : -HU;
    bool pawn_file[10] = {};
    bool pawn_files_known = false;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (p.hand_kazu[si][k] <= 0) continue;
        const int code = p.hand_koma[si][k];
        if (code == pawn && !pawn_files_known) {
            pawn_files_known = true;
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9 && !pawn_file[x]; ++y) pawn_file[x] = p.board[sq(x, y)] == pawn;
        }
        int lo, hi;
        drop_columns(code, lo, hi);
        const Move base{static_cast<uint8_t>(DROP + k), 0, static_cast<int8_t>(code), static_cast<int8_t>(code)};
        for (int x = 1; x <= 9; ++x) {
            if (code == pawn && pawn_file[x]) continue;
            for (int y = lo; y <= hi; ++y) {
                const int to = sq(x, y);
                if (p.board[to] != 0) continue;
                Move m = base;
                m.to = static_cast<uint8_t>(to);
                list.push(m);
            }
        }
    }
}

// The hand's falling pass, step by step as the rules run it: a slot with
// pieces and an empty slot below moves down, code and count together.
void settle_hand(CompactPosition& p, int si) {
    int8_t* koma = p.hand_koma[si];
    int8_t* kazu = p.hand_kazu[si];
    for (;;) {
        bool mark[MOCHI_SLOTS + 1] = {};
        bool any = false;
        for (int k = 1; k < MOCHI_SLOTS; ++k)
            if (kazu[k] > 0 && kazu[k + 1] == 0) mark[k] = any = true;
        if (!any) return;
        for (int k = 1; k < MOCHI_SLOTS; ++k)
            if (mark[k]) {
                koma[k + 1] = koma[k];
                koma[k] = 0;
                kazu[k + 1] = kazu[k];
                kazu[k] = 0;
            }
    }
}

// A captured piece joins the capturer's hand: every slot already naming
// the kind takes it (an emptied slot is reused where it stands), else the
// highest-numbered empty slot; a full hand keeps nothing.
void add_to_hand(CompactPosition& p, int si, int code) {
    int8_t* koma = p.hand_koma[si];
    int8_t* kazu = p.hand_kazu[si];
    int empty = 0, found = 0;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (kazu[k] == 0) empty = k;
        if (koma[k] == code) {
            ++kazu[k];
            ++found;
        }
    }
    if (found == 0) {
        if (empty == 0) return;
        koma[empty] = static_cast<int8_t>(code);
        ++kazu[empty];
        found = 1;
    }
    const int kind = iabs(code) / 10;
    const int sign = si == 0 ? 1 : -1;
    p.kinds[si][kind] = static_cast<int16_t>(p.kinds[si][kind] + found);
    p.hand_key += KEYS.hand[si][kind] * static_cast<uint64_t>(found);
    p.material += sign * HAND_VALUE[kind] * found;
    settle_hand(p, si);
}

// Packs column y toward x = 9, keeping the order of its pieces.
inline void fall_column(CompactPosition& p, int y) {
    const int base = sq(0, y);
    int w = 9;
    for (int x = 9; x >= 1; --x) {
        const int code = p.board[base + x];
        if (code == 0) continue;
        if (x != w) {
            p.board[base + w] = static_cast<int8_t>(code);
            p.board[base + x] = 0;
            p.board_key ^= piece_key(base + x, code) ^ piece_key(base + w, code);
            if (code == OU) p.king[0] = static_cast<uint8_t>(base + w);
            else if (code == -OU) p.king[1] = static_cast<uint8_t>(base + w);
        }
        --w;
    }
}

bool column_settled(const CompactPosition& p, int y) {
    bool gap = false;
    for (int x = 9; x >= 1; --x) {
        if (p.board[sq(x, y)] == 0) gap = true;
        else if (gap) return false;
    }
    return true;
}

}  // namespace

int board_value(int code) {
    const int m = iabs(code);
    if (m < 10 || m > 80) return 0;
    const int v = BOARD_VALUE[m / 10][m % 10];
    return code > 0 ? v : -v;
}

int hand_value(int kind) { return kind >= 1 && kind <= 8 ? HAND_VALUE[kind] : 0; }

uint64_t CompactPosition::key() const { return board_key ^ hand_key ^ (side > 0 ? KEYS.side : 0); }

CompactPosition from_rules(const zemtori::Position& rp, int side) {
    CompactPosition p{};
    for (auto& b : p.board) b = WALL;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int code = is_piece(rp.BAN[x][y]) ? rp.BAN[x][y] : 0;
            const int s = sq(x, y);
            p.board[s] = static_cast<int8_t>(code);
            if (code == 0) continue;
            p.board_key ^= piece_key(s, code);
            p.material += board_value(code);
            if (code == OU) p.king[0] = static_cast<uint8_t>(s);
            if (code == -OU) p.king[1] = static_cast<uint8_t>(s);
        }
    for (int si = 0; si < 2; ++si) {
        const int* koma = si == 0 ? rp.MOCHI_UE_KOMA : rp.MOCHI_SITA_KOMA;
        const int* kazu = si == 0 ? rp.MOCHI_UE_KAZU : rp.MOCHI_SITA_KAZU;
        for (int k = 1; k <= MOCHI_SLOTS; ++k) {
            const int n = kazu[k] < 0 ? 0 : kazu[k] > 99 ? 99 : kazu[k];
            p.hand_koma[si][k] = static_cast<int8_t>(is_piece(koma[k]) ? koma[k] : 0);
            p.hand_kazu[si][k] = static_cast<int8_t>(n);
            if (n == 0 || !is_piece(koma[k])) continue;
            const int kind = iabs(koma[k]) / 10;
            p.kinds[si][kind] = static_cast<int16_t>(p.kinds[si][kind] + n);
            p.hand_key += KEYS.hand[si][kind] * static_cast<uint64_t>(n);
            p.material += (si == 0 ? 1 : -1) * HAND_VALUE[kind] * n;
        }
    }
    p.side = static_cast<int8_t>(side > 0 ? 1 : -1);
    p.settled = true;
    for (int y = 1; y <= 9; ++y) p.settled = p.settled && column_settled(p, y);
    return p;
}

zemtori::Position to_rules_position(const CompactPosition& p) {
    zemtori::Position rp;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) rp.BAN[x][y] = p.board[sq(x, y)];
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        rp.MOCHI_UE_KOMA[k] = p.hand_koma[0][k];
        rp.MOCHI_UE_KAZU[k] = p.hand_kazu[0][k];
        rp.MOCHI_SITA_KOMA[k] = p.hand_koma[1][k];
        rp.MOCHI_SITA_KAZU[k] = p.hand_kazu[1][k];
        rp.MOCHI_UE_GOKEI += p.hand_kazu[0][k];
        rp.MOCHI_SITA_GOKEI += p.hand_kazu[1][k];
    }
    nifu_keisan(rp);
    return rp;
}

RulesMove to_rules_move(const CompactPosition& p, Move m) {
    RulesMove r{};
    if (m.is_drop()) {
        const int k = m.from - DROP;
        r.from_x = p.side > 0 ? UE_TE_X : SITA_TE_X;
        r.from_y = p.side > 0 ? k : k + 2;
    } else {
        r.from_x = sq_x(m.from);
        r.from_y = sq_y(m.from);
    }
    r.to_x = sq_x(m.to);
    r.to_y = sq_y(m.to);
    r.koma = m.placed;
    return r;
}

void generate(const CompactPosition& p, MoveList& list) {
    list.size = 0;
    generate_board<false>(p, list);
    generate_drops(p, list);
}

void generate_captures(const CompactPosition& p, MoveList& list) {
    list.size = 0;
    generate_board<true>(p, list);
}

void make(CompactPosition& p, Move m) {
    const int side = p.side, si = side_index(side);
    const int to = m.to;
    const int captured = p.board[to];
    if (captured != 0) {
        p.board_key ^= piece_key(to, captured);
        p.material -= board_value(captured);
        if (captured == OU || captured == -OU) {
            p.winner = static_cast<int8_t>(side);
            p.king[1 - si] = 0;
        }
        const int m10 = iabs(captured);
        const int plain = m10 % 10 == 1 ? m10 - 1 : m10;
        add_to_hand(p, si, side > 0 ? plain : -plain);
    }
    p.board[to] = m.placed;
    p.board_key ^= piece_key(to, m.placed);
    p.material += board_value(m.placed);
    if (m.placed == OU) p.king[0] = static_cast<uint8_t>(to);
    else if (m.placed == -OU) p.king[1] = static_cast<uint8_t>(to);

    int from_column = 0;
    if (m.is_drop()) {
        const int k = m.from - DROP;
        if (p.hand_kazu[si][k] > 0) {
            --p.hand_kazu[si][k];
            const int kind = iabs(m.piece) / 10;
            --p.kinds[si][kind];
            p.hand_key -= KEYS.hand[si][kind];
            p.material -= (side > 0 ? 1 : -1) * HAND_VALUE[kind];
        }
        settle_hand(p, si);
    } else {
        p.board[m.from] = 0;
        p.board_key ^= piece_key(m.from, m.piece);
        p.material -= board_value(m.piece);
        from_column = sq_y(m.from);
    }

    if (p.settled) {
        if (from_column != 0) fall_column(p, from_column);
        fall_column(p, sq_y(to));
    } else {
        for (int y = 1; y <= 9; ++y) fall_column(p, y);
        p.settled = true;
    }
    p.side = static_cast<int8_t>(-side);
}

}  // namespace zemtori::searcher
