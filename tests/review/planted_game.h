// A record built with the game's own rules, in which one side leaves its
// rook to be taken for nothing: the review tests and the window test read it.
#pragma once

#include <string>

#include "record/entry.h"
#include "record/record_file.h"
#include "rules/moves.h"
#include "rules/opening.h"
#include "searcher/alpha_beta.h"
#include "searcher/compact_position.h"

namespace zemtori::test {

struct PlantedGame {
    RecordFile file;
    int blunder = 0;  // the move that leaves the rook
    searcher::RulesMove blunder_move{};
};

namespace planted {

inline Position after(const Position& p, const searcher::RulesMove& m) {
    Position q = p;
    TurnState turn;
    sashite_jikkou(q, turn, nullptr, m.from_x, m.from_y, m.to_x, m.to_y, m.koma);
    rakka(q, nullptr);
    return q;
}

// The side's best move at a small depth, as the searching player finds it.
inline searcher::RulesMove good_move(const Position& p, int side) {
    const searcher::CompactPosition c = searcher::from_rules(p, side);
    searcher::Limits l;
    l.depth = 4;
    return searcher::to_rules_move(c, searcher::think(c, l).best);
}

inline int score_for(const Position& p, int side) {
    searcher::Limits l;
    l.depth = 4;
    return searcher::think(searcher::from_rules(p, side), l).score;
}

// True when the other side can take `side`'s rook in `p`.
inline bool rook_hangs(const Position& p, int side) {
    const searcher::CompactPosition c = searcher::from_rules(p, -side);
    searcher::MoveList list;
    searcher::generate_captures(c, list);
    for (int i = 0; i < list.size; ++i) {
        const int taken = c.board[list.moves[i].to];
        if (taken == side * HISHA || taken == side * RYU) return true;
    }
    return false;
}

// True when the side to move in `c` can take the other king.
inline bool king_hangs(const searcher::CompactPosition& c) {
    searcher::MoveList list;
    searcher::generate_captures(c, list);
    for (int i = 0; i < list.size; ++i) {
        const int taken = c.board[list.moves[i].to];
        if (taken == OU || taken == -OU) return true;
    }
    return false;
}

}  // namespace planted

// From the settled opening the two sides play seeded random moves (the
// lower side, 先手, first) until the lower side has a move after which its
// rook can be taken and which loses at least a rook's worth at a small
// depth; it plays the first such move in the searching player's order, and
// then the sides play `good_after` good moves.
inline PlantedGame planted_rook_blunder(int good_after = 3, uint64_t seed = 1) {
    PlantedGame g;
    g.file.title = "見落とし";
    g.file.ue_player = "上手";
    g.file.sita_player = "下手";
    Position p;
    shoki_haichi(p);
    rakka(p, nullptr);
    int side = -1;
    const auto play = [&](const searcher::RulesMove& m) {
        p = planted::after(p, m);
        RecordEntry e;
        store_position(p, e);
        g.file.entries.push_back(e);
        side = -side;
    };
    uint64_t state = seed;
    const auto random = [&state](int n) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((state >> 33) % static_cast<uint64_t>(n));
    };
    for (int ply = 0; ply < 200 && g.blunder == 0; ++ply) {
        const searcher::CompactPosition c = searcher::from_rules(p, side);
        searcher::MoveList list;
        searcher::generate(c, list);
        if (list.size == 0 || c.king[0] == 0 || c.king[1] == 0) return g;
        if (side == -1) {
            const int best = planted::score_for(p, side);
            for (int i = 0; i < list.size && g.blunder == 0; ++i) {
                const searcher::RulesMove m = searcher::to_rules_move(c, list.moves[i]);
                const Position q = planted::after(p, m);
                if (!planted::rook_hangs(q, side)) continue;
                if (best + planted::score_for(q, -side) < 900) continue;
                g.blunder = static_cast<int>(g.file.entries.size()) + 1;
                g.blunder_move = m;
            }
            if (g.blunder != 0) break;
        }
        // A random move that neither takes a king nor leaves one to be taken.
        for (int tries = 0; tries < 50; ++tries) {
            const searcher::Move m = list.moves[random(list.size)];
            searcher::CompactPosition q = c;
            searcher::make(q, m);
            if (q.king[0] == 0 || q.king[1] == 0 || planted::king_hangs(q)) continue;
            play(searcher::to_rules_move(c, m));
            break;
        }
    }
    if (g.blunder == 0) return g;
    play(g.blunder_move);
    for (int i = 0; i < good_after; ++i) play(planted::good_move(p, side));
    return g;
}

}  // namespace zemtori::test
