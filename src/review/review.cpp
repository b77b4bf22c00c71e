#include "review/review.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <utility>

#include "rules/moves.h"
#include "rules/opening.h"

namespace zemtori::review {

namespace {

constexpr double LOGISTIC_SCALE = 600.0;

bool has_king(const RecordEntry& e, int army) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (e.BAN[x][y] == army * OU) return true;
    return false;
}

Sashite sashite_of(const searcher::RulesMove& m) { return {m.from_x, m.from_y, m.to_x, m.to_y, m.koma}; }

bool same_move(const Sashite& a, const Sashite& b) {
    return a.from_x == b.from_x && a.from_y == b.from_y && a.to_x == b.to_x && a.to_y == b.to_y && a.koma == b.koma;
}

void write_move(std::ostringstream& out, bool known, const Sashite& m) {
    if (!known) {
        out << "none";
        return;
    }
    out << m.from_x << ' ' << m.from_y << ' ' << m.to_x << ' ' << m.to_y << ' ' << m.koma;
}

}  // namespace

double expected_score(int score) { return 1.0 / (1.0 + std::exp(-score / LOGISTIC_SCALE)); }

Mark mark_of(double expected_loss) {
    if (expected_loss >= BLUNDER_LOSS) return Mark::Blunder;
    if (expected_loss >= DUBIOUS_LOSS) return Mark::Dubious;
    return Mark::None;
}

const char* mark_word(Mark mark) {
    switch (mark) {
    case Mark::Blunder: return "悪手";
    case Mark::Dubious: return "疑問手";
    case Mark::None: break;
    }
    return "";
}

int chart_score(int score) { return std::clamp(score, -CHART_LIMIT, CHART_LIMIT); }

Record from_kifu(const Kifu& kifu) {
    Record r;
    for (int n = 0; n <= kifu.kifu_saigo(); ++n) {
        r.entries.push_back(kifu.entry(n));
        r.moves.push_back(n == 0 ? EntryMove{} : kifu.entry_move(n));
    }
    // Reading a file leaves entry 0 as it was; the file's first move was
    // made in the settled opening.
    if (kifu.kifu_mode()) store_position(settled_opening(), r.entries[0]);
    return r;
}

Record from_file(const RecordFile& file) {
    Kifu kifu;
    kifu.load(file.entries);
    return from_kifu(kifu);
}

Review::Review(Record record) : record_(std::move(record)) {
    record_.moves.resize(record_.entries.size());
}

// The other army than the one that moved into it; in position 0 the one
// that made move 1; the lower side first when the record does not say.
int Review::side_to_move(int n) const {
    if (n >= 1 && record_.moves[static_cast<std::size_t>(n)].mover != 0)
        return -record_.moves[static_cast<std::size_t>(n)].mover;
    if (n + 1 < positions() && record_.moves[static_cast<std::size_t>(n + 1)].mover != 0)
        return record_.moves[static_cast<std::size_t>(n + 1)].mover;
    if (n >= 1) return -looked_[static_cast<std::size_t>(n - 1)].side;
    return -1;
}

// The army that had won in position n: the record's word for it, or the
// one whose king still stands when the other's is gone; 0 while it is open.
int Review::decided_winner(int n) const {
    const EntryMove& m = record_.moves[static_cast<std::size_t>(n)];
    if (n >= 1 && m.winner != 0) return m.winner;
    const RecordEntry& e = record_.entries[static_cast<std::size_t>(n)];
    const bool upper = has_king(e, +1), lower = has_king(e, -1);
    if (upper != lower) return upper ? +1 : -1;
    return 0;
}

std::optional<searcher::CompactPosition> Review::next_root() const {
    const int n = done();
    if (n >= positions() || decided_winner(n) != 0) return std::nullopt;
    Position p;
    restore_position(record_.entries[static_cast<std::size_t>(n)], p);
    return searcher::from_rules(p, side_to_move(n));
}

searcher::History Review::next_history() const {
    const std::size_t n = looked_.size();
    // A repetition is a draw worth nothing to either side: the review's
    // scores are the same whichever side it searches for.
    return searcher::game_history(
        n, 0, side_to_move(static_cast<int>(n)),
        [this](std::size_t i, Position& p) {
            restore_position(record_.entries[i], p);
            return looked_[i].side;
        },
        true);
}

void Review::add(const std::optional<searcher::SearchResult>& result) {
    const int n = done();
    if (n >= positions()) return;
    PositionReview r;
    r.side = side_to_move(n);
    const std::optional<searcher::CompactPosition> root = next_root();
    if (!root || !result) {
        // A finished game: the side to move has won or lost already.
        const int winner = decided_winner(n);
        r.decided = true;
        r.score = winner == 0 ? 0 : winner == r.side ? searcher::WIN : -searcher::WIN;
    } else {
        r.score = result->score;
        r.depth = result->depth;
        r.nodes = result->nodes;
        r.has_best = !result->best.is_null();
        if (r.has_best) r.best = searcher::to_rules_move(*root, result->best);
        // A side with no move has lost.
        else r.score = -searcher::WIN;
    }
    looked_.push_back(r);
}

MoveReview Review::move(int n) const {
    const PositionReview& before = looked_[static_cast<std::size_t>(n - 1)];
    const PositionReview& after = looked_[static_cast<std::size_t>(n)];
    const EntryMove& em = record_.moves[static_cast<std::size_t>(n)];
    MoveReview m;
    m.n = n;
    m.mover = before.side;
    m.score = after.side < 0 ? after.score : -after.score;
    // A move that could not be told apart from another still names the
    // first one that does it.
    m.played_known = em.mover != 0 && em.move.from_x != 0;
    m.played = em.move;
    m.has_best = before.has_best;
    if (m.has_best) m.best = sashite_of(before.best);
    // Both scores from the mover's view.
    const int was = before.score;
    const int now = after.side == m.mover ? after.score : -after.score;
    // The best move is the played one only with the same code placed: a
    // promotion and the plain move between the same squares are two moves.
    const bool best_played = m.has_best && m.played_known && same_move(m.played, m.best);
    if (!best_played) {
        m.loss = std::max(0, was - now);
        m.expected_loss = std::max(0.0, expected_score(was) - expected_score(now));
    }
    m.mark = mark_of(m.expected_loss);
    return m;
}

std::vector<MoveReview> Review::moves() const {
    std::vector<MoveReview> list;
    for (int n = 1; n < done(); ++n) list.push_back(move(n));
    return list;
}

Review run(const Record& record, const searcher::Limits& limits, const std::function<void(const Review&)>& progress,
           std::atomic<bool>* stop) {
    Review review(record);
    searcher::Searcher searcher;
    while (!review.finished()) {
        if (stop != nullptr && stop->load()) break;
        const std::optional<searcher::CompactPosition> root = review.next_root();
        if (!root) {
            review.add(std::nullopt);
        } else {
            searcher.set_game(review.next_history());
            const searcher::SearchResult r = searcher.think(*root, limits, stop);
            if (stop != nullptr && stop->load()) break;
            review.add(r);
        }
        if (progress) progress(review);
    }
    return review;
}

std::string line_of(const MoveReview& m) {
    std::ostringstream out;
    out << "entry " << m.n << " score " << m.score << " played ";
    write_move(out, m.played_known, m.played);
    out << " best ";
    write_move(out, m.has_best, m.best);
    out << " loss " << m.loss;
    if (m.mark != Mark::None) out << ' ' << mark_word(m.mark);
    return out.str();
}

std::string summary_of(const Review& review) {
    int count[2][3] = {};
    int64_t nodes = 0;
    for (const PositionReview& p : review.looked()) nodes += p.nodes;
    const std::vector<MoveReview> moves = review.moves();
    for (const MoveReview& m : moves) ++count[m.mover > 0 ? 0 : 1][static_cast<int>(m.mark)];
    std::ostringstream out;
    out << "summary entries " << review.positions() - 1 << " reviewed " << moves.size() << " nodes " << nodes
        << " lower 悪手 " << count[1][2] << " 疑問手 " << count[1][1] << " upper 悪手 " << count[0][2] << " 疑問手 "
        << count[0][1];
    return out.str();
}

}  // namespace zemtori::review
