#include "rules/opening.h"

#include "rules/moves.h"

namespace zemtori {

void shoki_haichi(Position& pos) {
    static const int camp[10] = {0, KYOU, KEI, GIN, KIN, OU, KIN, GIN, KEI, KYOU};
    for (int x = 1; x <= 9; ++x) {
        pos.BAN[x][1] = camp[x];
        pos.BAN[x][3] = HU;
        pos.BAN[x][7] = -HU;
        pos.BAN[x][9] = -camp[x];
    }
    pos.BAN[2][2] = HISHA;
    pos.BAN[8][2] = KAKU;
    pos.BAN[2][8] = -KAKU;
    pos.BAN[8][8] = -HISHA;
}

Position settled_opening() {
    Position pos;
    shoki_haichi(pos);
    rakka(pos, nullptr);
    return pos;
}

}  // namespace zemtori
