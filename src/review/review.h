// Reviewing a game: the searching player looks at every position of a
// record, and each move is scored by what it lost for the side that made it.
//
// A review searches positions 0, 1, …, m of the record one after the other
// (position n is the record's entry n, the position after move n), each
// within the same budget and with one table kept from one position to the
// next, so that a node budget gives the same review on any machine.  Move n
// is judged from the searches of the position it was made in and the one it
// led to: the score after it, from its maker's view, against the score of
// the best move before it.
//
// The window runs the searches on the thinker's worker thread and hands each
// result to a Review; the command line runs them here with run().
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "record/entry.h"
#include "record/kifu.h"
#include "record/record_file.h"
#include "rules/state.h"
#include "searcher/alpha_beta.h"
#include "searcher/compact_position.h"
#include "searcher/history.h"

namespace zemtori::review {

// Every position gets this many nodes unless told otherwise: the same
// review on any machine, and about a fifth of a second on a desktop
// processor of today (a million nodes a second), so a game of sixty moves
// is reviewed in some twelve seconds.
constexpr int64_t DEFAULT_NODES = 200000;

// The chance of winning a score stands for, from the same side's view: a
// logistic of the score with a scale of 600 hundredths of a pawn (a pawn
// ahead is a 54% game, a rook ahead about 95%).
double expected_score(int score);

// The marks, by what a move lost in expected score for its maker: at least
// 0.20 a 悪手 (a blunder), at least 0.10 a 疑問手 (a dubious move).  A loss
// in a game already won or lost costs little expected score, so a move is
// marked only where it changed the game's outlook.
enum class Mark { None, Dubious, Blunder };
constexpr double DUBIOUS_LOSS = 0.10;
constexpr double BLUNDER_LOSS = 0.20;
Mark mark_of(double expected_loss);
// The mark's word as the player reads it: 悪手, 疑問手, or empty.
const char* mark_word(Mark mark);

// The chart shows scores up to this far either way; a won game stands at
// the edge.
constexpr int CHART_LIMIT = 3000;
int chart_score(int score);

// What a review reads: the positions 0..m and the move that led to each.
struct Record {
    std::vector<RecordEntry> entries;  // entries[n]: the position after move n
    std::vector<EntryMove> moves;      // moves[n]: move n (moves[0] unused)
};
// Entries 0 .. kifu_saigo() of the record in memory; for a record read from
// a file, entry 0 is the settled opening its first move was made in.
Record from_kifu(const Kifu& kifu);
// A file's entries after the settled opening, its moves found as 読込 finds
// them.
Record from_file(const RecordFile& file);

// One reviewed move: the line of the list and of the command line.
struct MoveReview {
    int n = 0;               // the move, and the entry it led to
    int mover = 0;           // the army that made it: +1 upper, -1 lower
    int score = 0;           // the position after it, from the lower side's view
    bool played_known = false;
    Sashite played;          // as the record holds it (source, destination, code placed)
    bool has_best = false;
    Sashite best;            // the searching player's move in the position before it
    int loss = 0;            // hundredths of a pawn, >= 0, for its maker
    double expected_loss = 0;
    Mark mark = Mark::None;
};

// Where the searching player looked and what it found.
struct PositionReview {
    int side = 0;        // the army to move
    int score = 0;       // from the side to move's view
    bool decided = false;  // a king was gone or the game over: no search
    bool has_best = false;
    searcher::RulesMove best{};
    int depth = 0;
    int64_t nodes = 0;
};

class Review {
public:
    explicit Review(Record record);

    int positions() const { return static_cast<int>(record_.entries.size()); }
    // Positions reviewed so far (0..positions()).
    int done() const { return static_cast<int>(looked_.size()); }
    bool finished() const { return done() == positions(); }

    // The next position, to search (nothing when it needs no search: a king
    // is gone or the record says the game was over), and the game before it
    // as the searcher is told it: every position before it, a repetition
    // scoring 0 for both sides.
    std::optional<searcher::CompactPosition> next_root() const;
    searcher::History next_history() const;
    // The next position's search result; or, for one that needs none, nothing.
    void add(const std::optional<searcher::SearchResult>& result);

    const Record& record() const { return record_; }
    const std::vector<PositionReview>& looked() const { return looked_; }
    // Move n, 1 <= n < done(): a move whose two positions are reviewed.
    MoveReview move(int n) const;
    // Moves 1 .. done() - 1.
    std::vector<MoveReview> moves() const;

private:
    int side_to_move(int n) const;
    int decided_winner(int n) const;

    Record record_;
    std::vector<PositionReview> looked_;
};

// Reviews the whole record within `limits` on one searcher, telling
// `progress` (may be empty) after each position; `stop` ends it early with
// what was done.
Review run(const Record& record, const searcher::Limits& limits,
           const std::function<void(const Review&)>& progress = {}, std::atomic<bool>* stop = nullptr);

// The command line's line for a move:
// "entry N score S played FX FY TX TY KOMA best FX FY TX TY KOMA loss L [MARK]"
// ("none" for a move not known), and the summary after the last one.
std::string line_of(const MoveReview& m);
std::string summary_of(const Review& review);

}  // namespace zemtori::review
