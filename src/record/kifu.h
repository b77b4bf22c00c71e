// The in-memory record of the game: a snapshot of the board, both hands and
// both players' accumulated times before every move.
#pragma once

#include <vector>

#include "record/entry.h"
#include "rules/state.h"

namespace zemtori {

// A square and the code that arrived there.
struct Ugoki {
    int x = 0, y = 0, code = 0;
};

class Kifu {
public:
    // The record starts with room for entries 0..500 and grows when a longer
    // game needs more, so a game never stops being recorded.
    static constexpr int INITIAL_ENTRIES = 501;

    Kifu() : entries_(INITIAL_ENTRIES) {}

    int KIFU_TESU = 0;   // moves leading to the position on the board
    int KIFU_SAIGO = 0;  // index of the last entry stored
    int HANTEN = 0;      // 1 after the board was turned since the last new game

    // Stores entry KIFU_TESU and makes it the last one.
    void kyokumen_kiroku(const Position& pos, double man_mae, double man_ato, double com_mae,
                         double com_ato);

    // Stores the position on the board after the latest move, once it has
    // fallen, at KIFU_TESU and makes it the last entry, so that the record
    // always reaches the position on the board.  Its times are the totals
    // after that move, as the entry before it recorded them.  The next move
    // stores its own snapshot over it.
    void kiroku_saishin(const Position& pos);

    // Entry n; an entry never written reads as empty squares, zero counts and
    // zero times.
    const RecordEntry& entry(int n) const;

    // Copies entry n into the board and hands and recomputes the hand totals.
    void restore(int n, Position& pos) const;

    // The first square (x outer, y inner) where entry n - 1 and entry n differ
    // and entry n is not empty, with that code; all 0 when there is none.
    Ugoki ugoki_kensaku(int n) const;

    // Replaces every entry (a record file read from disk).
    void set_entry(int n, const RecordEntry& e);
    int capacity() const { return static_cast<int>(entries_.size()); }

private:
    std::vector<RecordEntry> entries_;
};

}  // namespace zemtori
