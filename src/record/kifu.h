// The in-memory record of the game: a snapshot of the board, both hands and
// both players' accumulated times before every move, and the position after
// the latest one.  The record is the one owner of where the game stands in
// it: which entry is on the board, which is the last, and how many moves
// lead to the position on the board.
#pragma once

#include <cstdint>
#include <vector>

#include "record/entry.h"
#include "rules/state.h"

namespace zemtori {

// A square and the code that arrived there.
struct Ugoki {
    int x = 0, y = 0, code = 0;
};

// What the record knows of the move that led to an entry.  Kept in memory
// only: a record file holds positions, and the moves of a file are found
// again when it is read.  Sides here are the two armies, by the sign of
// their codes: +1 the upper side's pieces, -1 the lower side's.
struct EntryMove {
    Sashite move;        // as played: its source, its destination before any fall, the code placed
    bool known = false;  // false when the move could not be told from the positions
    int mover = 0;       // the army that made the move; 0 when not known
    int winner = 0;      // the army that won in this position, 0 while the game is open
};

// The whole record as it stands, to be kept over the end of the program and
// put back at the next start (record/kept_game.h).
struct KifuWhole {
    std::vector<RecordEntry> entries;  // entries 0 .. max(shown, last)
    std::vector<EntryMove> moves;      // moves[n]: the move that led to entry n
    int shown = 0;         // the entry on the board
    int last = 0;          // the last entry stored
    int moves_before = 0;  // moves played before the board was last turned
    bool turned = false;
    bool browsing = false;  // a record read from a file is stepped through
    bool played = false;    // moves_in_game()
};

class Kifu {
public:
    // The record starts with room for entries 0..500 and grows when a longer
    // game needs more, so a game never stops being recorded.
    static constexpr int INITIAL_ENTRIES = 501;

    Kifu() : entries_(INITIAL_ENTRIES), moves_(INITIAL_ENTRIES) {}

    // Moves leading to the position on the board: the entry on the board.
    int kifu_tesu() const { return KIFU_TESU; }
    // Index of the last entry stored.
    int kifu_saigo() const { return KIFU_SAIGO; }
    // Moves played in this game up to the position on the board: those of
    // the record and those played before the board was last turned.
    int tesu() const { return TESU_MAE + KIFU_TESU; }
    // The board was turned since the last new game.
    bool hanten() const { return HANTEN; }
    // A record read from a file is being stepped through.
    bool kifu_mode() const { return KIFU_MODE; }
    // The record holds moves of this game: a move was made since the last
    // new game, or a record was read from a file.  (The entries of an
    // earlier game stay stored until something is stored over them.)
    bool moves_in_game() const { return PLAYED; }

    // A new game: back to its start, not turned, no record being stepped
    // through.  The stored entries stay, and the last entry's index with
    // them, until something is stored over them.
    void shinki();

    // Stores entry KIFU_TESU and makes it the last one.  A position that
    // differs from what the entry held forgets the move that led there.
    void kyokumen_kiroku(const Position& pos, double man_mae, double man_ato, double com_mae,
                         double com_ato);

    // A move has been made on the board and everything has fallen: the
    // position after it becomes the next entry and the last one, with the
    // move that led there and the totals after it as the entry before it
    // recorded them, and the record moves on to it.  The next move stores its
    // own snapshot over it.
    void move_made(const Position& pos, const Sashite& move);

    // The game ended in the position on the board: `winner` (+1 the upper
    // side's army, -1 the lower side's) has won.
    void game_over(int winner);

    // The record ends at entry n: what was stored after it is given up.
    void end_at(int n) {
        KIFU_SAIGO = n;
        ++revision_;
    }

    // 戻 and 進: one move back or forward.  The caller has checked that the
    // step may be taken.
    bool can_step_back() const { return KIFU_TESU >= 1; }
    bool can_step_forward() const { return KIFU_TESU < KIFU_SAIGO; }
    void step_back() { KIFU_TESU -= 1; }
    void step_forward() { KIFU_TESU += 1; }

    // The board was turned: the record no longer matches it and starts again
    // from it; the moves played so far still count.
    void turn_board();

    // A record read from a file: `entries` become entries 1.., stepped
    // through from the start.  The move of each entry is found again from
    // the one before it (entry 1 from the opening position after its fall),
    // and an entry without one of the kings is where its game was won.
    void load(const std::vector<RecordEntry>& entries);
    // Play starts: a record read from a file is no longer stepped through.
    void end_browsing() { KIFU_MODE = false; }

    // Entry n; an entry never written reads as empty squares, zero counts and
    // zero times.
    const RecordEntry& entry(int n) const;
    // The move that led to entry n, as far as it is known.
    const EntryMove& entry_move(int n) const;

    // Copies entry n into the board and hands and recomputes the hand totals.
    void restore(int n, Position& pos) const;

    // The army to move in entry n (+1 upper, -1 lower): the other one than
    // the army that moved into it; in entry 0 the one that made move 1.  0
    // when the record does not know.
    int to_move(int n) const;
    // The army that had won in entry n, 0 when its game was open there.
    int winner(int n) const { return entry_move(n).winner; }

    // The move that led to entry n as its text names it: its destination as
    // played and the code placed; for a move not known, ugoki_kensaku(n).
    Ugoki ugoki(int n) const;

    // The first square (x outer, y inner) where entry n - 1 and entry n differ
    // and entry n is not empty, with that code; all 0 when there is none.
    Ugoki ugoki_kensaku(int n) const;

    int capacity() const { return static_cast<int>(entries_.size()); }

    // Counts every change of what the record holds (a new game, a position
    // stored, a move made, the end of a game, a record cut, turned, read or
    // brought back), not the steps through it: what was made of the record
    // at one revision is of another record at the next.
    std::uint64_t revision() const { return revision_; }

    // The whole record, and the record put back from it.
    KifuWhole whole() const;
    void bring_back(const KifuWhole& whole);

private:
    void make_room(int n);

    std::vector<RecordEntry> entries_;
    std::vector<EntryMove> moves_;  // moves_[n]: the move that led to entry n
    int KIFU_TESU = 0;       // moves leading to the position on the board
    int KIFU_SAIGO = 0;      // index of the last entry stored
    int TESU_MAE = 0;        // moves played before the board was last turned
    bool HANTEN = false;     // the board was turned since the last new game
    bool KIFU_MODE = false;  // while a record read from a file is stepped through
    bool PLAYED = false;     // moves_in_game()
    std::uint64_t revision_ = 0;
};

// The move of `army` (+1 upper, -1 lower) that turns `before` into `after`
// once everything has fallen, found by trying every move and drop the rules
// allow that side, promoted and not.  Its `known` is false when no move does
// it or when moves that name different texts do; `mover` is the army
// whenever at least one move does it.
EntryMove find_played_move(const RecordEntry& before, const RecordEntry& after, int army);

}  // namespace zemtori
