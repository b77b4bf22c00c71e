#include "rules/legality.h"

#include "rules/board.h"
#include "rules/moves.h"

namespace zemtori {

namespace {

// The hand column a drop of `koma` comes from: the upper hand for positive
// codes, the lower hand for negative ones.
constexpr int own_hand_x(int koma) { return koma > 0 ? UE_TE_X : SITA_TE_X; }

}  // namespace

int kakudo_michi(const Position& pos, int from_x, int from_y, int to_x, int to_y) {
    // A hand slot is not a square: no line runs from it.
    if (!on_board(from_x, from_y) || !on_board(to_x, to_y)) return 0;
    const int dx = to_x - from_x, dy = to_y - from_y;
    if (dx != dy && dx != -dy) return 0;
    const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
    // Only the squares strictly between; the destination was judged already.
    for (int k = 1; k < iabs(dx); ++k)
        if (pos.BAN[from_x + sx * k][from_y + sy * k] != KARA) return 0;
    return 1;
}

int hisha_michi(const Position& pos, int from_x, int from_y, int to_x, int to_y) {
    if (!on_board(from_x, from_y) || !on_board(to_x, to_y)) return 0;
    const int dx = to_x - from_x, dy = to_y - from_y;
    if (dx != 0 && dy != 0) return 0;
    if (dy != 0) {
        const int s = to_y > from_y ? 1 : -1;
        for (int k = from_y + s; k != to_y; k += s)
            if (pos.BAN[from_x][k] != KARA) return 0;
    }
    if (dx != 0) {
        const int s = to_x > from_x ? 1 : -1;
        for (int k = from_x + s; k != to_x; k += s)
            if (pos.BAN[k][to_y] != KARA) return 0;
    }
    return 1;
}

int idou_kanou(const Position& pos, int from_x, int from_y, int to_x, int to_y, int koma) {
    // 1. The destination is a square of the board.
    if (!on_board(to_x, to_y)) return 0;
    // 2. A piece cannot stay where it is.
    if (to_x == from_x && to_y == from_y) return 0;
    // 3. Never onto a piece of the mover's own side; an enemy piece is a capture.
    const int target = pos.BAN[to_x][to_y];
    if (koma >= 10) {
        if (target >= 10) return 0;
    } else {
        if (target <= -10) return 0;
    }

    // 4. Drops: onto an empty square, not a second pawn on a file.  Only a
    //    pawn, lance or knight has more to check (its last files).
    const bool drop = is_drop(from_x);
    if (drop) {
        if (target != KARA) return 0;
        if (koma == -HU && pos.NIFU_SITA[to_x] == 1) return 0;
        if (koma == HU && pos.NIFU_UE[to_x] == 1) return 0;
        switch (koma) {
        case HU: case -HU: case KYOU: case -KYOU: case KEI: case -KEI:
            break;
        default:
            return 1;
        }
    }

    // 5. The piece's own movement.  A drop from the piece's own hand checks
    //    only that the piece may stand unpromoted in the target column; any
    //    other source is a board move.
    if (drop && from_x == own_hand_x(koma)) return funari_kanou(to_y, koma);
    // From a hand slot of the other side nothing can move, and a source off
    // the board is never a square to move from.
    if (!on_board(from_x, from_y)) return 0;

    const int dx = to_x - from_x, dy = to_y - from_y;
    const int ax = iabs(dx), ay = iabs(dy);
    switch (koma) {
    case HU:
        return dx == 0 && dy == 1 ? 1 : 0;
    case -HU:
        return dx == 0 && dy == -1 ? 1 : 0;
    case KYOU:
        if (dx != 0 || dy <= 0) return 0;
        for (int k = from_y + 1; k < to_y; ++k)
            if (pos.BAN[to_x][k] != KARA) return 0;
        return 1;
    case -KYOU:
        if (dx != 0 || dy >= 0) return 0;
        for (int k = to_y + 1; k < from_y; ++k)
            if (pos.BAN[to_x][k] != KARA) return 0;
        return 1;
    case KEI:  // jumps: the squares on the way do not matter
        return dy == 2 && ax == 1 ? 1 : 0;
    case -KEI:
        return dy == -2 && ax == 1 ? 1 : 0;
    case GIN:
        return ax <= 1 && (dy == 1 || (dy == -1 && dx != 0)) ? 1 : 0;
    case -GIN:
        return ax <= 1 && (dy == -1 || (dy == 1 && dx != 0)) ? 1 : 0;
    case KIN: case TO: case NARIKYOU: case NARIKEI: case NARIGIN:
        return (ax <= 1 && (dy == 0 || dy == 1)) || (dx == 0 && dy == -1) ? 1 : 0;
    case -KIN: case -TO: case -NARIKYOU: case -NARIKEI: case -NARIGIN:
        return (ax <= 1 && (dy == 0 || dy == -1)) || (dx == 0 && dy == 1) ? 1 : 0;
    case KAKU: case -KAKU:
        return kakudo_michi(pos, from_x, from_y, to_x, to_y);
    case UMA: case -UMA:
        if (ax <= 1 && ay <= 1) return 1;
        return kakudo_michi(pos, from_x, from_y, to_x, to_y);
    case HISHA: case -HISHA:
        return hisha_michi(pos, from_x, from_y, to_x, to_y);
    case RYU: case -RYU:
        if (ax <= 1 && ay <= 1) return 1;
        return hisha_michi(pos, from_x, from_y, to_x, to_y);
    case OU: case -OU:
        return ax <= 1 && ay <= 1 ? 1 : 0;
    default:
        return 1;
    }
}

void nifu_keisan(Position& pos) {
    for (int x = 1; x <= 9; ++x) {
        pos.NIFU_SITA[x] = 0;
        pos.NIFU_UE[x] = 0;
        for (int y = 1; y <= 9; ++y) {
            if (pos.BAN[x][y] == -HU) pos.NIFU_SITA[x] = 1;
            if (pos.BAN[x][y] == HU) pos.NIFU_UE[x] = 1;
        }
    }
}

}  // namespace zemtori
