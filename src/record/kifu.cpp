#include "record/kifu.h"

#include <cstddef>

namespace zemtori {

namespace {
const KifuEntry EMPTY_ENTRY{};
}

void Kifu::set_entry(int n, const KifuEntry& e) {
    if (n < 0) return;
    if (n >= capacity()) entries_.resize(static_cast<std::size_t>(n) + 1);
    entries_[static_cast<std::size_t>(n)] = e;
}

void Kifu::kyokumen_kiroku(const Position& pos, double man_mae, double man_ato, double com_mae,
                           double com_ato) {
    const int n = KIFU_TESU;
    if (n < 0) return;
    if (n >= capacity()) entries_.resize(static_cast<std::size_t>(n) + INITIAL_ENTRIES);
    KifuEntry& e = entries_[static_cast<std::size_t>(n)];
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
    KIFU_SAIGO = n;
}

const KifuEntry& Kifu::entry(int n) const {
    if (n < 0 || n >= capacity()) return EMPTY_ENTRY;
    return entries_[static_cast<std::size_t>(n)];
}

void Kifu::restore(int n, Position& pos) const {
    const KifuEntry& e = entry(n);
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

Ugoki Kifu::ugoki_kensaku(int n) const {
    const KifuEntry& before = entry(n - 1);
    const KifuEntry& after = entry(n);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (before.BAN[x][y] != after.BAN[x][y] && after.BAN[x][y] != 0)
                return {x, y, after.BAN[x][y]};
    return {};
}

int mochigoma_gokei(const Position& pos, int side) {
    const int* kazu = side > 0 ? pos.MOCHI_UE_KAZU : pos.MOCHI_SITA_KAZU;
    int total = 0;
    for (int k = 1; k <= MOCHI_SLOTS; ++k)
        if (kazu[k] > 0) total += kazu[k];
    return total;
}

}  // namespace zemtori
