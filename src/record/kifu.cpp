#include "record/kifu.h"

#include <cstddef>

namespace zemtori {

namespace {
const RecordEntry EMPTY_ENTRY{};
}

void Kifu::set_entry(int n, const RecordEntry& e) {
    if (n < 0) return;
    if (n >= capacity()) entries_.resize(static_cast<std::size_t>(n) + 1);
    entries_[static_cast<std::size_t>(n)] = e;
}

void Kifu::shinki() {
    KIFU_TESU = 0;
    HANTEN = false;
    KIFU_MODE = false;
}

void Kifu::turn_board() {
    HANTEN = true;
    KIFU_TESU = 0;
    KIFU_SAIGO = 0;
}

void Kifu::load(const std::vector<RecordEntry>& entries) {
    KIFU_MODE = true;
    const int count = static_cast<int>(entries.size());
    for (int n = 1; n <= count; ++n) set_entry(n, entries[static_cast<std::size_t>(n - 1)]);
    KIFU_TESU = 0;
    KIFU_SAIGO = count;
}

void Kifu::kyokumen_kiroku(const Position& pos, double man_mae, double man_ato, double com_mae,
                           double com_ato) {
    const int n = KIFU_TESU;
    if (n < 0) return;
    if (n >= capacity()) entries_.resize(static_cast<std::size_t>(n) + INITIAL_ENTRIES);
    RecordEntry& e = entries_[static_cast<std::size_t>(n)];
    store_position(pos, e);
    e.MAN_MAE = man_mae;
    e.MAN_ATO = man_ato;
    e.COM_MAE = com_mae;
    e.COM_ATO = com_ato;
    KIFU_SAIGO = n;
}

void Kifu::kiroku_saishin(const Position& pos) {
    const RecordEntry& before = entry(KIFU_TESU - 1);
    const double man = before.MAN_ATO;
    const double com = before.COM_ATO;
    kyokumen_kiroku(pos, man, man, com, com);
}

const RecordEntry& Kifu::entry(int n) const {
    if (n < 0 || n >= capacity()) return EMPTY_ENTRY;
    return entries_[static_cast<std::size_t>(n)];
}

void Kifu::restore(int n, Position& pos) const { restore_position(entry(n), pos); }

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
