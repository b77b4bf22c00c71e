// Speed of the searching player: nodes per second of a fixed-depth search
// over the benchmark suite (positions_seed1.txt, the upper side to move),
// the cost of its move generation and of making every move, and the time
// to a move on the worst board we know at the game's budgets.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "record/entry.h"
#include "record/entry_line.h"
#include "searcher/alpha_beta.h"

#ifndef ZEMTORI_BENCH_DIR
#define ZEMTORI_BENCH_DIR "."
#endif

namespace {

using namespace zemtori;

const std::vector<searcher::CompactPosition>& suite() {
    static const std::vector<searcher::CompactPosition> positions = [] {
        std::vector<searcher::CompactPosition> list;
        std::ifstream in(ZEMTORI_BENCH_DIR "/positions_seed1.txt");
        std::string line;
        while (std::getline(in, line)) {
            if (line.size() < 243) continue;
            RecordEntry e = parse_entry_line(line);
            keep_only_pieces(e);
            Position pos;
            restore_position(e, pos);
            list.push_back(searcher::from_rules(pos, 1));
        }
        return list;
    }();
    return positions;
}

// One search of the given depth per position of the suite, one table kept
// (and cleared by each search) as a game would keep it.
void BM_SearchFixedDepth(benchmark::State& state) {
    const auto& positions = suite();
    if (positions.size() < 50) {
        state.SkipWithError("positions_seed1.txt is missing or short");
        return;
    }
    searcher::Searcher searcher(20);
    const searcher::Limits limits{static_cast<int>(state.range(0)), 0, 0};
    int64_t nodes = 0;
    for (auto _ : state) {
        for (const auto& p : positions) {
            const searcher::SearchResult r = searcher.think(p, limits);
            nodes += r.nodes;
            benchmark::DoNotOptimize(r.best);
        }
    }
    state.counters["nodes"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SearchFixedDepth)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

// 81 promoted rooks, the rows alternating between the sides: every piece
// can take the ones above and below it, and every capture leaves the board
// as full.  The time to a move at the hint's 300 ms and LEVEL4's 1000 ms, by
// the real clock; it should stay close to the budget.
void BM_WorstBoardMove(benchmark::State& state) {
    Position rules;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) rules.BAN[x][y] = x % 2 == 1 ? RYU : -RYU;
    const searcher::CompactPosition pos = searcher::from_rules(rules, 1);
    searcher::Searcher searcher(20);
    const searcher::Limits limits{0, 0, state.range(0)};
    for (auto _ : state) {
        const searcher::SearchResult r = searcher.think(pos, limits);
        benchmark::DoNotOptimize(r.best);
    }
}
BENCHMARK(BM_WorstBoardMove)->Arg(300)->Arg(1000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GenerateSuite(benchmark::State& state) {
    const auto& positions = suite();
    searcher::MoveList list;
    int64_t moves = 0;
    for (auto _ : state) {
        for (const auto& p : positions) {
            searcher::generate(p, list);
            moves += list.size;
            benchmark::DoNotOptimize(list.moves[0]);
        }
    }
    state.counters["moves"] = benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GenerateSuite);

// Every move of every position made on a copy (copy-make, falls included).
void BM_MakeEveryMoveSuite(benchmark::State& state) {
    const auto& positions = suite();
    std::vector<searcher::MoveList> lists(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) searcher::generate(positions[i], lists[i]);
    int64_t made = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const searcher::MoveList& list = lists[i];
            for (int k = 0; k < list.size; ++k) {
                searcher::CompactPosition next = positions[i];
                searcher::make(next, list.moves[k]);
                benchmark::DoNotOptimize(next.board_key);
            }
            made += list.size;
        }
    }
    state.counters["moves"] = benchmark::Counter(static_cast<double>(made), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MakeEveryMoveSuite);

}  // namespace
