#include "rules/moves.h"

namespace zemtori {

namespace {

// Adds a captured piece to the capturer's hand; false when nothing was stored
// (not a piece, or a king taken while all seven slots are in use).
bool tsuika(Position& pos, TurnState& turn, int& captured) {
    // Taking a king wins the game; the king is then kept like any piece.
    if (captured == -OU) turn.SHOSHA = turn.COM_GAWA;
    if (captured == OU) turn.SHOSHA = turn.MAN_GAWA;

    // A promoted piece goes back to its plain side.
    const int magnitude = captured < 0 ? -captured : captured;
    if (magnitude % 10 == 1) captured += captured > 0 ? -1 : 1;

    int* koma;
    int* kazu;
    if (captured <= -10) {
        koma = pos.MOCHI_UE_KOMA;
        kazu = pos.MOCHI_UE_KAZU;
    } else if (captured >= 10) {
        koma = pos.MOCHI_SITA_KOMA;
        kazu = pos.MOCHI_SITA_KAZU;
    } else {
        return false;
    }
    const int code = -captured;

    // Every slot already holding this kind takes it (an emptied slot that
    // still names the kind is reused where it stands); otherwise the lowest
    // free place of the column, which is the highest-numbered empty slot.
    int empty_slot = 0;
    bool found = false;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (kazu[k] == 0) empty_slot = k;
        if (koma[k] == code) {
            ++kazu[k];
            found = true;
        }
    }
    if (found) return true;
    // Seven kinds fit in seven slots; only a captured king can find the hand
    // full, and then the game is over: the hand stays as it was.
    if (empty_slot == 0) return false;
    koma[empty_slot] = code;
    ++kazu[empty_slot];
    return true;
}

}  // namespace

void mochigoma_tsuika(Position& pos, TurnState& turn, int& captured) {
    tsuika(pos, turn, captured);
}

int funari_kanou(int to_y, int koma) {
    switch (koma) {
    case HU: case KYOU: return to_y == 9 ? 0 : 1;
    case KEI: return to_y >= 8 ? 0 : 1;
    case -HU: case -KYOU: return to_y == 1 ? 0 : 1;
    case -KEI: return to_y <= 2 ? 0 : 1;
    default: return 1;
    }
}

int nari_hantei(int from_x, int from_y, int to_x, int to_y, int koma, int* promoted) {
    (void)to_x;  // the zone is a matter of columns only
    if (is_drop(from_x)) return 0;  // a drop never promotes
    int may = 0;
    switch (koma) {
    case -HU: case -KYOU: case -KEI: may = to_y <= 3; break;
    case -GIN: case -KAKU: case -HISHA: may = to_y <= 3 || from_y <= 3; break;
    case HU: case KYOU: case KEI: may = to_y >= 7; break;
    case GIN: case KAKU: case HISHA: may = to_y >= 7 || from_y >= 7; break;
    default: may = 0; break;
    }
    if (may && promoted != nullptr) *promoted = koma < 0 ? koma - 1 : koma + 1;
    return may ? 1 : 0;
}

void sashite_jikkou(Position& pos, TurnState& turn, MoveObserver* observer, int from_x,
                    int from_y, int to_x, int to_y, int koma) {
    if (!on_board(to_x, to_y)) return;

    // 1. A captured piece goes to the capturer's hand, which settles at once.
    int captured = pos.BAN[to_x][to_y];
    if (captured <= -10) {
        ++pos.MOCHI_UE_GOKEI;
        if (!tsuika(pos, turn, captured)) --pos.MOCHI_UE_GOKEI;
        mochigoma_rakka(pos, SENTE_GAWA, observer);
        if (observer) observer->hand_settled(pos, SENTE_GAWA);
    } else if (captured >= 10) {
        ++pos.MOCHI_SITA_GOKEI;
        if (!tsuika(pos, turn, captured)) --pos.MOCHI_SITA_GOKEI;
        mochigoma_rakka(pos, GOTE_GAWA, observer);
        if (observer) observer->hand_settled(pos, GOTE_GAWA);
    }

    // 2. The source shows an empty cell.
    const bool from_ue = from_x == UE_TE_X, from_sita = from_x == SITA_TE_X;
    if (observer) observer->source_emptied(source_cell(from_x, from_y));

    // 3, 4. The piece stands on the destination; the lower king's square is
    // known at once.
    pos.BAN[to_x][to_y] = koma;
    if (koma == -OU) {
        pos.OU_SITA_X = to_x;
        pos.OU_SITA_Y = to_y;
    }

    // 5. Empty the source.
    if (from_ue) {
        const int k = from_y;
        if (k >= 1 && k <= MOCHI_SLOTS && pos.MOCHI_UE_KAZU[k] > 0) {
            --pos.MOCHI_UE_GOKEI;
            --pos.MOCHI_UE_KAZU[k];
        }
        mochigoma_rakka(pos, SENTE_GAWA, observer);
        if (observer) observer->hand_settled(pos, SENTE_GAWA);
    } else if (from_sita) {
        const int k = from_y - 2;
        if (k >= 1 && k <= MOCHI_SLOTS && pos.MOCHI_SITA_KAZU[k] > 0) {
            --pos.MOCHI_SITA_GOKEI;
            --pos.MOCHI_SITA_KAZU[k];
        }
        mochigoma_rakka(pos, GOTE_GAWA, observer);
        if (observer) observer->hand_settled(pos, GOTE_GAWA);
    } else if (on_board(from_x, from_y)) {
        pos.BAN[from_x][from_y] = KARA;
    }

    // 6. The destination shows the piece.
    if (observer) observer->piece_placed(koma, to_x, to_y);
}

int rakka(Position& pos, MoveObserver* observer) {
    int steps = 0;
    for (;;) {
        // Only a piece with an empty square directly below it falls; the
        // bottom row never does.  The marks are all taken before anything
        // moves, so no piece falls two squares in one step.
        bool mark[10][10] = {};
        bool any = false;
        for (int x = 1; x <= 8; ++x)
            for (int y = 1; y <= 9; ++y)
                if (pos.BAN[x][y] != KARA && pos.BAN[x + 1][y] == KARA) {
                    mark[x][y] = true;
                    any = true;
                }
        if (!any) return steps;

        for (int x = 1; x <= 8; ++x)
            for (int y = 1; y <= 9; ++y)
                if (mark[x][y]) {
                    pos.BAN[x + 1][y] = pos.BAN[x][y];
                    pos.BAN[x][y] = KARA;
                }
        ++steps;
        if (observer) observer->board_fall_step(pos);
    }
}

int mochigoma_rakka(Position& pos, int side, MoveObserver* observer) {
    if (side != SENTE_GAWA && side != GOTE_GAWA) return 0;
    int* koma = side > 0 ? pos.MOCHI_UE_KOMA : pos.MOCHI_SITA_KOMA;
    int* kazu = side > 0 ? pos.MOCHI_UE_KAZU : pos.MOCHI_SITA_KAZU;
    int steps = 0;
    for (;;) {
        // Slot k + 1 lies directly below slot k in the hand column.
        bool mark[MOCHI_SLOTS + 1] = {};
        bool any = false;
        for (int k = 1; k < MOCHI_SLOTS; ++k)
            if (kazu[k] > 0 && kazu[k + 1] == 0) {
                mark[k] = true;
                any = true;
            }
        if (!any) return steps;

        for (int k = 1; k < MOCHI_SLOTS; ++k)
            if (mark[k]) {
                koma[k + 1] = koma[k];
                koma[k] = KARA;
                kazu[k + 1] = kazu[k];
                kazu[k] = 0;
            }
        ++steps;
        if (observer) observer->hand_fall_step(pos, side);
    }
}

Played play_and_fall(Position& pos, int from_x, int from_y, int to_x, int to_y, int koma) {
    Played played;
    if (!on_board(to_x, to_y)) return played;
    played.captured = pos.BAN[to_x][to_y];
    TurnState turn;  // the winner it would note is the captured code's to tell
    sashite_jikkou(pos, turn, nullptr, from_x, from_y, to_x, to_y, koma);
    // A column keeps the order of its pieces as they fall: the moved piece
    // comes to rest as far up from the bottom as there are pieces below it.
    int below = 0;
    for (int x = to_x + 1; x <= 9; ++x)
        if (pos.BAN[x][to_y] != KARA) ++below;
    played.rest_x = 9 - below;
    rakka(pos, nullptr);
    return played;
}

}  // namespace zemtori
