#include "record/kifu.h"

#include <cstddef>

#include "rules/legality.h"
#include "rules/moves.h"
#include "rules/opening.h"

namespace zemtori {

namespace {

const RecordEntry EMPTY_ENTRY{};
const EntryMove NO_MOVE{};

bool same_position(const Position& p, const RecordEntry& e) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (p.BAN[x][y] != e.BAN[x][y]) return false;
    for (int k = 1; k <= MOCHI_SLOTS; ++k)
        if (p.MOCHI_UE_KOMA[k] != e.UE_KOMA[k] || p.MOCHI_UE_KAZU[k] != e.UE_KAZU[k] ||
            p.MOCHI_SITA_KOMA[k] != e.SITA_KOMA[k] || p.MOCHI_SITA_KAZU[k] != e.SITA_KAZU[k])
            return false;
    return true;
}

// The army that has won in `e`: the one whose opponent's king is no longer
// on the board; 0 while both kings stand (or neither does).
int kingless_winner(const RecordEntry& e) {
    bool upper_king = false, lower_king = false;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            upper_king = upper_king || e.BAN[x][y] == OU;
            lower_king = lower_king || e.BAN[x][y] == -OU;
        }
    if (upper_king && !lower_king) return +1;
    if (lower_king && !upper_king) return -1;
    return 0;
}


}  // namespace

EntryMove find_played_move(const RecordEntry& before, const RecordEntry& after, int army) {
    Position p;
    restore_position(before, p);
    nifu_keisan(p);
    // Falling moves pieces within their column only.  A move out of its
    // column changes the source column (one piece fewer) and the
    // destination's (one more, or a code of the other side), and no other;
    // a move within its column changes that column at most; a drop changes
    // its destination's column.
    bool differs[10] = {};
    int changed = 0;
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x)
            if (before.BAN[x][y] != after.BAN[x][y]) differs[y] = true;
        changed += differs[y];
    }
    const auto fits = [&differs, changed](int fy, int ty) {
        if (fy == ty) return changed == 0 || (changed == 1 && differs[fy]);
        return changed == 2 && differs[fy] && differs[ty];
    };

    EntryMove found;
    int matches = 0;
    bool one_text = true;
    const auto consider = [&](int fx, int fy, int tx, int ty, int koma) {
        Position q = p;
        play_and_fall(q, fx, fy, tx, ty, koma);
        if (!same_position(q, after)) return;
        if (matches == 0) found.move = {fx, fy, tx, ty, koma};
        else if (found.move.to_x != tx || found.move.to_y != ty || found.move.koma != koma) one_text = false;
        ++matches;
    };

    if (changed > 2) return found;
    for (int fx = 1; fx <= 9; ++fx)
        for (int fy = 1; fy <= 9; ++fy) {
            const int code = p.BAN[fx][fy];
            if (army > 0 ? code < 10 : code > -10) continue;
            if (changed > 0 && !differs[fy]) continue;
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty) {
                    if (!fits(fy, ty) || idou_kanou(p, fx, fy, tx, ty, code) != 1) continue;
                    // The right button promotes where the move may promote and
                    // moves plainly where it may not; the left button never
                    // promotes and is refused where the piece must.
                    int promoted = 0;
                    const bool may_promote = nari_hantei(fx, fy, tx, ty, code, &promoted) == 1;
                    if (!may_promote || funari_kanou(ty, code) == 1) consider(fx, fy, tx, ty, code);
                    if (may_promote) consider(fx, fy, tx, ty, promoted);
                }
        }
    const int* koma = army > 0 ? p.MOCHI_UE_KOMA : p.MOCHI_SITA_KOMA;
    const int* kazu = army > 0 ? p.MOCHI_UE_KAZU : p.MOCHI_SITA_KAZU;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (kazu[k] <= 0) continue;
        const int fx = army > 0 ? UE_TE_X : SITA_TE_X;
        const int fy = army > 0 ? k : k + 2;
        for (int tx = 1; tx <= 9; ++tx)
            for (int ty = 1; ty <= 9; ++ty)
                if (changed == 1 && differs[ty] && idou_kanou(p, fx, fy, tx, ty, koma[k]) == 1)
                    consider(fx, fy, tx, ty, koma[k]);
    }
    found.mover = matches > 0 ? army : 0;
    found.known = matches > 0 && one_text;
    return found;
}

void Kifu::make_room(int n) {
    if (n < capacity()) return;
    const std::size_t size = static_cast<std::size_t>(n) + INITIAL_ENTRIES;
    entries_.resize(size);
    moves_.resize(size);
}

void Kifu::shinki() {
    ++revision_;
    KIFU_TESU = 0;
    TESU_MAE = 0;
    HANTEN = false;
    KIFU_MODE = false;
    PLAYED = false;
}

void Kifu::turn_board() {
    ++revision_;
    HANTEN = true;
    TESU_MAE += KIFU_TESU;
    KIFU_TESU = 0;
    KIFU_SAIGO = 0;
}

void Kifu::load(const std::vector<RecordEntry>& entries) {
    ++revision_;
    KIFU_MODE = true;
    const int count = static_cast<int>(entries.size());
    make_room(count);
    for (int n = 1; n <= count; ++n) entries_[static_cast<std::size_t>(n)] = entries[static_cast<std::size_t>(n - 1)];
    KIFU_TESU = 0;
    TESU_MAE = 0;
    KIFU_SAIGO = count;
    PLAYED = count > 0;

    // The moves, entry by entry, the armies taking turns.  The first move is
    // looked for among the lower side's moves first, as 先手 of a game
    // between two people; a move not found by the army whose turn it is may
    // still be found by the other.
    // Every saved game starts from the settled opening.
    RecordEntry start;
    store_position(settled_opening(), start);
    int expected = 0;
    for (int n = 1; n <= count; ++n) {
        const RecordEntry& before = n == 1 ? start : entries_[static_cast<std::size_t>(n - 1)];
        const RecordEntry& after = entries_[static_cast<std::size_t>(n)];
        const int first_try = expected != 0 ? expected : -1;
        EntryMove m = find_played_move(before, after, first_try);
        if (m.mover == 0) {
            const EntryMove other = find_played_move(before, after, -first_try);
            if (other.mover != 0) m = other;
        }
        if (m.mover == 0) m.mover = expected;
        m.winner = kingless_winner(after);
        moves_[static_cast<std::size_t>(n)] = m;
        expected = -m.mover;
    }
    // The armies of the moves before the first one found alternate back from
    // it; with none found, the lower side moved first.
    int first_known = 0;
    for (int n = 1; n <= count && first_known == 0; ++n)
        if (moves_[static_cast<std::size_t>(n)].mover != 0) first_known = n;
    for (int n = 1; n <= count && (first_known == 0 || n < first_known); ++n) {
        const int lower_first = n % 2 == 1 ? -1 : +1;
        const int from_known =
            first_known == 0 ? lower_first
                             : ((first_known - n) % 2 == 0 ? 1 : -1) * moves_[static_cast<std::size_t>(first_known)].mover;
        moves_[static_cast<std::size_t>(n)].mover = from_known;
    }
    moves_[0] = EntryMove{};
}

void Kifu::kyokumen_kiroku(const Position& pos, double man_mae, double man_ato, double com_mae,
                           double com_ato) {
    ++revision_;
    const int n = KIFU_TESU;
    if (n < 0) return;
    make_room(n);
    RecordEntry& e = entries_[static_cast<std::size_t>(n)];
    EntryMove& m = moves_[static_cast<std::size_t>(n)];
    // Entry 0 has no move before it; a later one keeps its move while it
    // holds the same position.
    if (n == 0) m = EntryMove{};
    else if (!same_position(pos, e)) m.known = false;
    // A move is made from this position: the game is open in it.
    m.winner = 0;
    store_position(pos, e);
    e.MAN_MAE = man_mae;
    e.MAN_ATO = man_ato;
    e.COM_MAE = com_mae;
    e.COM_ATO = com_ato;
    KIFU_SAIGO = n;
}

void Kifu::move_made(const Position& pos, const Sashite& move) {
    ++revision_;
    const RecordEntry& before = entry(KIFU_TESU);
    const double man = before.MAN_ATO;
    const double com = before.COM_ATO;
    const int n = KIFU_TESU + 1;
    make_room(n);
    RecordEntry& e = entries_[static_cast<std::size_t>(n)];
    store_position(pos, e);
    e.MAN_MAE = e.MAN_ATO = man;
    e.COM_MAE = e.COM_ATO = com;
    moves_[static_cast<std::size_t>(n)] = {move, true, move.koma > 0 ? +1 : -1, 0};
    KIFU_TESU = n;
    KIFU_SAIGO = n;
    PLAYED = true;
}

void Kifu::game_over(int winner) {
    ++revision_;
    make_room(KIFU_TESU);
    moves_[static_cast<std::size_t>(KIFU_TESU)].winner = winner;
}

KifuWhole Kifu::whole() const {
    KifuWhole w;
    const int top = KIFU_TESU > KIFU_SAIGO ? KIFU_TESU : KIFU_SAIGO;
    for (int n = 0; n <= top; ++n) {
        w.entries.push_back(entry(n));
        w.moves.push_back(entry_move(n));
    }
    w.shown = KIFU_TESU;
    w.last = KIFU_SAIGO;
    w.moves_before = TESU_MAE;
    w.turned = HANTEN;
    w.browsing = KIFU_MODE;
    w.played = PLAYED;
    return w;
}

void Kifu::bring_back(const KifuWhole& w) {
    ++revision_;
    const int count = static_cast<int>(w.entries.size());
    entries_.assign(static_cast<std::size_t>(INITIAL_ENTRIES), RecordEntry{});
    moves_.assign(static_cast<std::size_t>(INITIAL_ENTRIES), EntryMove{});
    make_room(count);
    for (int n = 0; n < count; ++n) {
        entries_[static_cast<std::size_t>(n)] = w.entries[static_cast<std::size_t>(n)];
        if (n < static_cast<int>(w.moves.size())) moves_[static_cast<std::size_t>(n)] = w.moves[static_cast<std::size_t>(n)];
    }
    KIFU_TESU = w.shown;
    KIFU_SAIGO = w.last;
    TESU_MAE = w.moves_before;
    HANTEN = w.turned;
    KIFU_MODE = w.browsing;
    PLAYED = w.played;
}

const RecordEntry& Kifu::entry(int n) const {
    if (n < 0 || n >= capacity()) return EMPTY_ENTRY;
    return entries_[static_cast<std::size_t>(n)];
}

const EntryMove& Kifu::entry_move(int n) const {
    if (n < 0 || n >= capacity()) return NO_MOVE;
    return moves_[static_cast<std::size_t>(n)];
}

void Kifu::restore(int n, Position& pos) const { restore_position(entry(n), pos); }

int Kifu::to_move(int n) const {
    if (n >= 1 && entry_move(n).mover != 0) return -entry_move(n).mover;
    if (n + 1 <= KIFU_SAIGO && entry_move(n + 1).mover != 0) return entry_move(n + 1).mover;
    return 0;
}

Ugoki Kifu::ugoki(int n) const {
    const EntryMove& m = entry_move(n);
    if (n >= 1 && m.known) return {m.move.to_x, m.move.to_y, m.move.koma};
    return ugoki_kensaku(n);
}

Ugoki Kifu::ugoki_kensaku(int n) const {
    const RecordEntry& before = entry(n - 1);
    const RecordEntry& after = entry(n);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (before.BAN[x][y] != after.BAN[x][y] && after.BAN[x][y] != 0)
                return {x, y, after.BAN[x][y]};
    return {};
}

}  // namespace zemtori
