// Cost of the computer's thinking: one attack-map pass, and a whole level-3
// turn (preparation and search) on a fixed suite of positions reached by
// seeded random play (positions_seed1.txt, entry lines of a record file).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "record/entry_line.h"

#ifndef ZEMTORI_BENCH_DIR
#define ZEMTORI_BENCH_DIR "."
#endif

namespace {

using namespace zemtori;

constexpr int kSuiteSize = 50;

// A position of the suite, read from its entry line.
Position parse_entry(const std::string& line) {
    Position pos;
    restore_position(parse_entry_line(line), pos);
    return pos;
}

const std::vector<Position>& suite() {
    static const std::vector<Position> positions = [] {
        std::vector<Position> list;
        std::ifstream in(ZEMTORI_BENCH_DIR "/positions_seed1.txt");
        std::string line;
        while (std::getline(in, line))
            if (line.size() >= 243) list.push_back(parse_entry(line));
        return list;
    }();
    return positions;
}

void BM_KikiKeisanSuite(benchmark::State& state) {
    const auto& positions = suite();
    if (positions.size() < kSuiteSize) {
        state.SkipWithError("positions_seed1.txt is missing or short");
        return;
    }
    std::vector<Position> work(positions);
    std::vector<Engine> engines;
    engines.reserve(work.size());
    for (auto& p : work) engines.emplace_back(p);
    for (auto _ : state) {
        for (auto& e : engines) kiki_keisan(e);
        benchmark::DoNotOptimize(engines.back().maps.KIKI_SITA[5][5]);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(engines.size()));
}
BENCHMARK(BM_KikiKeisanSuite);

// One computer turn's thinking, from the maps the hand-over leaves.
double think(const Position& start, Position& scratch, Engine& e) {
    scratch = start;
    e.maps = AttackMaps{};
    e.work = EngineWork{};
    kiki_keisan(e);
    com_junbi(e);
    com_search(e);
    return e.work.SAIZEN_TEN;
}

void BM_ComTurnSuite(benchmark::State& state) {
    const auto& positions = suite();
    if (positions.size() < kSuiteSize) {
        state.SkipWithError("positions_seed1.txt is missing or short");
        return;
    }
    Position scratch;
    Engine e(scratch);
    e.COM_LEVEL = 3;
    for (auto _ : state) {
        for (const auto& p : positions) benchmark::DoNotOptimize(think(p, scratch, e));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(positions.size()));
}
BENCHMARK(BM_ComTurnSuite)->Unit(benchmark::kMillisecond);

// The same, one position at a time, for the median and the slowest.
void BM_ComTurn(benchmark::State& state) {
    const auto& positions = suite();
    const auto i = static_cast<std::size_t>(state.range(0));
    if (i >= positions.size()) {
        state.SkipWithError("positions_seed1.txt is missing or short");
        return;
    }
    Position scratch;
    Engine e(scratch);
    e.COM_LEVEL = 3;
    for (auto _ : state) benchmark::DoNotOptimize(think(positions[i], scratch, e));
}
BENCHMARK(BM_ComTurn)->DenseRange(0, kSuiteSize - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
