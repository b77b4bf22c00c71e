// Cost of the computer's thinking: one attack-map pass, and a whole level-3
// turn (preparation and search) on a fixed suite of positions reached by
// seeded random play (positions_seed1.txt, entry lines of a record file).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "rules/legality.h"
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

// One engine over a copy of each suite position; empty (and the benchmark
// skipped) when the suite is missing or short.
struct SuiteEngines {
    explicit SuiteEngines(benchmark::State& state) {
        const auto& positions = suite();
        if (positions.size() < kSuiteSize) {
            state.SkipWithError("positions_seed1.txt is missing or short");
            return;
        }
        work = positions;
        engines.reserve(work.size());
        for (auto& p : work) engines.emplace_back(p);
    }
    std::vector<Position> work;  // the engines point into it
    std::vector<Engine> engines;
};

void BM_KikiKeisanSuite(benchmark::State& state) {
    SuiteEngines suite_engines(state);
    auto& engines = suite_engines.engines;
    if (engines.empty()) return;
    for (auto _ : state) {
        for (auto& e : engines) kiki_keisan(e);
        benchmark::DoNotOptimize(engines.back().maps.KIKI_SITA[5][5]);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(engines.size()));
}
BENCHMARK(BM_KikiKeisanSuite);

// The pin markers of a turn, over the suite.
void BM_PinKeisanSuite(benchmark::State& state) {
    SuiteEngines suite_engines(state);
    auto& engines = suite_engines.engines;
    if (engines.empty()) return;
    for (auto& e : engines) kiki_keisan(e);
    for (auto _ : state) {
        for (auto& e : engines) pin_keisan(e);
        benchmark::DoNotOptimize(engines.back().work.KUGI_UE_ARI);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(engines.size()));
}
BENCHMARK(BM_PinKeisanSuite);

// Positions one move after the suite's in which the king of one side is in
// check: every legal board move of the side `mover` (+1 upper, -1 lower) that
// checks, without falling.  The mate tests do their work only there.
std::vector<Position> checks_after_one_move(int mover) {
    std::vector<Position> out;
    for (const Position& start : suite()) {
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                const int koma = start.BAN[x][y];
                if (koma * mover < HU || koma * mover == OU) continue;
                for (int tx = 1; tx <= 9; ++tx) {
                    for (int ty = 1; ty <= 9; ++ty) {
                        if (idou_kanou(start, x, y, tx, ty, koma) != 1) continue;
                        if (start.BAN[tx][ty] * mover == -OU) continue;
                        Position p = start;
                        p.BAN[x][y] = KARA;
                        p.BAN[tx][ty] = koma;
                        Engine e(p);
                        kiki_keisan(e);
                        const bool check = mover > 0 ? e.maps.KIKI_UE[p.OU_SITA_X][p.OU_SITA_Y] > 0
                                                     : e.maps.KIKI_SITA[p.OU_UE_X][p.OU_UE_Y] > 0;
                        if (check) out.push_back(p);
                    }
                }
            }
        }
    }
    return out;
}

// The lower king's mate test on every checking position; the maps are built
// once, as the test reads them and changes nothing.
void BM_TsumiHanteiChecks(benchmark::State& state) {
    std::vector<Position> work = checks_after_one_move(+1);
    if (work.empty()) {
        state.SkipWithError("positions_seed1.txt is missing or gives no check");
        return;
    }
    std::vector<Engine> engines;
    engines.reserve(work.size());
    for (auto& p : work) engines.emplace_back(p);
    for (auto& e : engines) kiki_keisan(e);
    for (auto _ : state) {
        int mated = 0;
        for (auto& e : engines) mated += tsumi_hantei(e);
        benchmark::DoNotOptimize(mated);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(engines.size()));
}
BENCHMARK(BM_TsumiHanteiChecks);

// The upper king's; it rebuilds the maps for each trial, so they are rebuilt
// before each position too (one attack-map pass included per item).
void BM_TsumiHanteiUeChecks(benchmark::State& state) {
    std::vector<Position> work = checks_after_one_move(-1);
    if (work.empty()) {
        state.SkipWithError("positions_seed1.txt is missing or gives no check");
        return;
    }
    std::vector<Engine> engines;
    engines.reserve(work.size());
    for (auto& p : work) engines.emplace_back(p);
    for (auto _ : state) {
        int mated = 0;
        for (auto& e : engines) {
            kiki_keisan(e);
            mated += tsumi_hantei_ue(e);
        }
        benchmark::DoNotOptimize(mated);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(engines.size()));
}
BENCHMARK(BM_TsumiHanteiUeChecks);

// Writing the suite's positions as entry lines, as the record and `game` do.
void BM_FormatEntryLineSuite(benchmark::State& state) {
    const auto& positions = suite();
    std::vector<RecordEntry> entries(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        store_position(positions[i], entries[i]);
        entries[i].MAN_MAE = 12.5 * static_cast<double>(i);
        entries[i].COM_ATO = 100000.0 + static_cast<double>(i);
    }
    for (auto _ : state) {
        std::size_t total = 0;
        for (const auto& e : entries) total += format_entry_line(e).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(entries.size()));
}
BENCHMARK(BM_FormatEntryLineSuite);

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
