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

    // Moves leading to the position on the board.
    int kifu_tesu() const { return KIFU_TESU; }
    // Index of the last entry stored.
    int kifu_saigo() const { return KIFU_SAIGO; }
    // The board was turned since the last new game.
    bool hanten() const { return HANTEN; }
    // A record read from a file is being stepped through.
    bool kifu_mode() const { return KIFU_MODE; }

    // A new game: back to its start, not turned, no record being stepped
    // through.  The stored entries stay, and the last entry's index with
    // them, until something is stored over them.
    void shinki();

    // Stores entry KIFU_TESU and makes it the last one.
    void kyokumen_kiroku(const Position& pos, double man_mae, double man_ato, double com_mae,
                         double com_ato);

    // A move has been made on the board: the record moves on to its entry.
    void move_made() { KIFU_TESU += 1; }

    // Stores the position on the board after the latest move, once it has
    // fallen, at KIFU_TESU and makes it the last entry, so that the record
    // always reaches the position on the board.  Its times are the totals
    // after that move, as the entry before it recorded them.  The next move
    // stores its own snapshot over it.
    void kiroku_saishin(const Position& pos);

    // The record ends at entry n: what was stored after it is given up.
    void end_at(int n) { KIFU_SAIGO = n; }

    // 戻 and 進: one move back or forward.  The caller has checked that the
    // step may be taken.
    bool can_step_back() const { return KIFU_TESU >= 1; }
    bool can_step_forward() const { return KIFU_TESU < KIFU_SAIGO; }
    void step_back() { KIFU_TESU -= 1; }
    void step_forward() { KIFU_TESU += 1; }

    // The board was turned: the record no longer matches it and starts again
    // from it.
    void turn_board();

    // A record read from a file: `entries` become entries 1.., stepped
    // through from the start.
    void load(const std::vector<RecordEntry>& entries);
    // Play starts: a record read from a file is no longer stepped through.
    void end_browsing() { KIFU_MODE = false; }

    // Entry n; an entry never written reads as empty squares, zero counts and
    // zero times.
    const RecordEntry& entry(int n) const;

    // Copies entry n into the board and hands and recomputes the hand totals.
    void restore(int n, Position& pos) const;

    // The first square (x outer, y inner) where entry n - 1 and entry n differ
    // and entry n is not empty, with that code; all 0 when there is none.
    Ugoki ugoki_kensaku(int n) const;

    int capacity() const { return static_cast<int>(entries_.size()); }

private:
    void set_entry(int n, const RecordEntry& e);

    std::vector<RecordEntry> entries_;
    int KIFU_TESU = 0;       // moves leading to the position on the board
    int KIFU_SAIGO = 0;      // index of the last entry stored
    bool HANTEN = false;     // the board was turned since the last new game
    bool KIFU_MODE = false;  // while a record read from a file is stepped through
};

}  // namespace zemtori
