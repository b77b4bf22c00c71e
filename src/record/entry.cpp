#include "record/entry.h"

namespace zemtori {

void store_position(const Position& pos, RecordEntry& e) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) e.BAN[x][y] = pos.BAN[x][y];
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        e.SITA_KOMA[k] = pos.MOCHI_SITA_KOMA[k];
        e.UE_KOMA[k] = pos.MOCHI_UE_KOMA[k];
        e.SITA_KAZU[k] = pos.MOCHI_SITA_KAZU[k];
        e.UE_KAZU[k] = pos.MOCHI_UE_KAZU[k];
    }
}

void restore_position(const RecordEntry& e, Position& pos) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) pos.BAN[x][y] = e.BAN[x][y];
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        pos.MOCHI_SITA_KOMA[k] = e.SITA_KOMA[k];
        pos.MOCHI_UE_KOMA[k] = e.UE_KOMA[k];
        pos.MOCHI_SITA_KAZU[k] = e.SITA_KAZU[k];
        pos.MOCHI_UE_KAZU[k] = e.UE_KAZU[k];
    }
    pos.MOCHI_UE_GOKEI = mochigoma_gokei(pos, 1);
    pos.MOCHI_SITA_GOKEI = mochigoma_gokei(pos, -1);
}

int mochigoma_gokei(const Position& pos, int side) {
    const int* kazu = side > 0 ? pos.MOCHI_UE_KAZU : pos.MOCHI_SITA_KAZU;
    int total = 0;
    for (int k = 1; k <= MOCHI_SLOTS; ++k)
        if (kazu[k] > 0) total += kazu[k];
    return total;
}

}  // namespace zemtori
