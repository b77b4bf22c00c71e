// zemtori-tune: fits the searching player's evaluation weights to the
// results of its own games.
//
//   zemtori-tune play --games N --nodes K --seed S > positions.txt
//     plays N games of the searching player against itself at K nodes a
//     move, each from the settled opening after a few seeded random moves,
//     and writes one line per quiet position: the game's result for the
//     upper side (1, 0.5 or 0) and the evaluation's terms there.
//   zemtori-tune fit positions.txt...
//     fits the weights by logistic regression of the result on the
//     weighted terms (the mean squared error of the predicted score, the
//     scale fitted first with today's weights), checks them on every tenth
//     game kept aside, and prints them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "rules/opening.h"
#include "searcher/alpha_beta.h"
#include "searcher/eval_terms.h"
#include "splitmix.h"

namespace {

using namespace zemtori;
using namespace zemtori::searcher;

constexpr int MOVE_LIMIT = 300;

long long arg_value(int argc, char** argv, const char* name, long long fallback) {
    for (int i = 2; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoll(argv[i + 1]);
    return fallback;
}

// The capture search's quiet end: the position where the side to move
// stands pat along the best line of captures (no king in reach of capture
// on the way); false when the line meets a king that can be taken.
struct Leaf {
    int score;
    CompactPosition pos;
    bool tactical;
};

Leaf quiet_leaf(const CompactPosition& pos, int alpha, int beta, int depth) {
    MoveList list;
    generate_captures(pos, list);
    for (int i = 0; i < list.size; ++i)
        if (std::abs(pos.board[list.moves[i].to]) == 80) return {WIN, pos, true};
    Leaf best{evaluate(pos), pos, false};
    if (best.score >= beta || depth == 0) return best;
    alpha = std::max(alpha, best.score);
    std::sort(list.moves, list.moves + list.size, [&](const Move& a, const Move& b) {
        return std::abs(board_value(pos.board[a.to])) > std::abs(board_value(pos.board[b.to]));
    });
    for (int i = 0; i < std::min(list.size, 6); ++i) {
        CompactPosition next = pos;
        make(next, list.moves[i]);
        Leaf l = quiet_leaf(next, -beta, -alpha, depth - 1);
        l.score = -l.score;
        if (l.score > best.score) {
            best = l;
            if (l.score > alpha) alpha = l.score;
            if (alpha >= beta) break;
        }
    }
    return best;
}

int play(int argc, char** argv) {
    const int games = static_cast<int>(arg_value(argc, argv, "--games", 100));
    const long long nodes = arg_value(argc, argv, "--nodes", 5000);
    const unsigned long long seed = static_cast<unsigned long long>(arg_value(argc, argv, "--seed", 1));
    const Position opening = settled_opening();
    long long kept = 0;
    for (int g = 0; g < games; ++g) {
        SplitMix64 rng{seed * 0x9e3779b97f4a7c15ULL + static_cast<unsigned long long>(g)};
        CompactPosition pos = from_rules(opening, g % 2 ? 1 : -1);
        std::unique_ptr<Searcher> searchers[2] = {std::make_unique<Searcher>(18), std::make_unique<Searcher>(18)};
        std::vector<uint64_t> keys;
        std::vector<EvalTerms> seen;
        const int random_plies = 2 + rng.below(7);
        double result = 0.5;
        for (int ply = 0; ply < MOVE_LIMIT; ++ply) {
            MoveList list;
            generate(pos, list);
            if (list.size == 0) {
                result = pos.side > 0 ? 0.0 : 1.0;
                break;
            }
            Move m;
            if (ply < random_plies) {
                m = list.moves[rng.below(list.size)];
            } else {
                if (!king_attacked(pos)) {
                    const Leaf l = quiet_leaf(pos, -WIN - 1, WIN + 1, 6);
                    if (!l.tactical && l.pos.king[0] != 0 && l.pos.king[1] != 0) seen.push_back(eval_terms(l.pos));
                }
                Searcher& s = *searchers[pos.side > 0 ? 0 : 1];
                // The positions before this one, every one a ply of the game.
                s.set_game(History{keys, keys.size(), false});
                m = s.think(pos, Limits{0, nodes, 0}).best;
            }
            keys.push_back(pos.key());
            const int mover = pos.side;
            make(pos, m);
            if (pos.winner != 0) {
                result = mover > 0 ? 1.0 : 0.0;
                break;
            }
        }
        for (const EvalTerms& t : seen) {
            std::printf("%g %d", result, g);
            for (const int v : t) std::printf(" %d", v);
            std::printf("\n");
        }
        kept += static_cast<long long>(seen.size());
        std::fprintf(stderr, "game %d result %g positions %zu\n", g, result, seen.size());
    }
    std::fprintf(stderr, "%lld positions\n", kept);
    return 0;
}

struct Sample {
    double result;
    int game;
    double terms[TERM_COUNT];
};

double predicted(const Sample& s, const double* w, double k) {
    double e = 0;
    for (int i = 0; i < TERM_COUNT; ++i) e += w[i] * s.terms[i];
    e = std::clamp(e, -double(EVAL_LIMIT), double(EVAL_LIMIT));
    return 1.0 / (1.0 + std::pow(10.0, -k * e / 400.0));
}

double error(const std::vector<Sample>& set, const double* w, double k) {
    double sum = 0;
    for (const Sample& s : set) {
        const double d = s.result - predicted(s, w, k);
        sum += d * d;
    }
    return set.empty() ? 0 : sum / static_cast<double>(set.size());
}

int fit(int argc, char** argv) {
    std::vector<Sample> train, check;
    for (int a = 2; a < argc; ++a) {
        if (argv[a][0] == '-') {
            ++a;  // an option and its value
            continue;
        }
        std::ifstream in(argv[a]);
        for (std::string line; std::getline(in, line);) {
            std::istringstream s(line);
            Sample x{};
            s >> x.result >> x.game;
            for (double& t : x.terms) s >> t;
            if (!s) continue;
            (x.game % 10 == 9 ? check : train).push_back(x);
        }
    }
    std::fprintf(stderr, "%zu positions to fit, %zu to check\n", train.size(), check.size());
    const EvalTerms today = eval_weights();
    double w[TERM_COUNT];
    for (int i = 0; i < TERM_COUNT; ++i) w[i] = today[i];
    // The scale: the one that fits today's weights best.
    double k = 1.0, best_error = error(train, w, k);
    for (double step = 0.5; step > 0.001; step /= 2)
        for (const double c : {k - step, k + step})
            if (c > 0 && error(train, w, c) < best_error) {
                best_error = error(train, w, c);
                k = c;
            }
    std::fprintf(stderr, "scale %.4f, error today %.6f (kept aside %.6f)\n", k, best_error, error(check, w, k));
    // Gradient descent (Adam) on the mean squared error; a term no position
    // has (a promoted gold) keeps its weight.
    double m[TERM_COUNT] = {}, v[TERM_COUNT] = {};
    const double rate = 1.0, b1 = 0.9, b2 = 0.999;
    const int rounds = static_cast<int>(arg_value(argc, argv, "--rounds", 400));
    // A pull back toward today's weights, in error per centipawn squared:
    // positions from one game are alike, so a few hundred games cannot
    // carry every weight far on their own.
    const double prior = static_cast<double>(arg_value(argc, argv, "--prior", 0)) * 1e-9;
    for (int r = 1; r <= rounds; ++r) {
        double g[TERM_COUNT] = {};
        for (const Sample& s : train) {
            const double p = predicted(s, w, k);
            const double d = (p - s.result) * p * (1 - p);
            for (int i = 0; i < TERM_COUNT; ++i) g[i] += d * s.terms[i];
        }
        for (int i = 0; i < TERM_COUNT; ++i) {
            g[i] /= static_cast<double>(train.size());
            g[i] += 2 * prior * (w[i] - today[i]);
            m[i] = b1 * m[i] + (1 - b1) * g[i];
            v[i] = b2 * v[i] + (1 - b2) * g[i] * g[i];
            const double mh = m[i] / (1 - std::pow(b1, r)), vh = v[i] / (1 - std::pow(b2, r));
            w[i] -= rate * mh / (std::sqrt(vh) + 1e-12);
        }
        if (r % 50 == 0)
            std::fprintf(stderr, "round %d error %.6f (kept aside %.6f)\n", r, error(train, w, k), error(check, w, k));
    }
    for (int i = 0; i < TERM_COUNT; ++i) std::printf("%d %d %ld\n", i, today[i], std::lround(w[i]));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "play") == 0) return play(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "fit") == 0) return fit(argc, argv);
    std::fprintf(stderr,
                 "usage: zemtori-tune play --games N --nodes K --seed S > positions.txt\n"
                 "       zemtori-tune fit positions.txt... [--rounds R]\n");
    return 2;
}
