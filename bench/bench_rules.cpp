// Cost of the legality test over a whole search-sized scan, and of a falling
// pass without drawing.
#include <benchmark/benchmark.h>

#include "rules/legality.h"
#include "rules/moves.h"

namespace {

using namespace zemtori;

// A plausible middle game, already settled by the falling rule: both kings
// near the bottom, a silver, a knight and two pawns exchanged and held in
// hand, a promoted bishop and a promoted pawn on the board.  Forty pieces.
Position midgame() {
    static const int board[9][9] = {
        //  y = 1    2    3    4    5    6    7    8    9
        {   0,   0,   0,   0,   0,   0,   0,   0,   0},   // x = 1
        {   0,   0,   0,   0,   0,   0,   0,   0,   0},   // x = 2
        {   0,   0,   0,   0,   0,   0,   0,   0,   0},   // x = 3
        {  20,   0,   0,   0,   0,   0,   0,   0, -20},   // x = 4
        {  30,   0,   0,   0,   0,   0,   0,   0, -30},   // x = 5
        {  40,  70,  10,   0,   0,   0, -10, -70, -40},   // x = 6
        {  50,  80,  10,   0,  11, -10, -10, -80, -50},   // x = 7
        {  40,  50,  10,  10,  61,  10, -10, -50, -30},   // x = 8
        {  20,  10,  10, -60, -10, -10, -10, -10, -20},   // x = 9
    };
    Position pos;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) pos.BAN[x][y] = board[x - 1][y - 1];
    pos.MOCHI_UE_KOMA[6] = GIN;    pos.MOCHI_UE_KAZU[6] = 1;
    pos.MOCHI_UE_KOMA[7] = HU;     pos.MOCHI_UE_KAZU[7] = 1;
    pos.MOCHI_UE_GOKEI = 2;
    pos.MOCHI_SITA_KOMA[6] = -KEI; pos.MOCHI_SITA_KAZU[6] = 1;
    pos.MOCHI_SITA_KOMA[7] = -HU;  pos.MOCHI_SITA_KAZU[7] = 1;
    pos.MOCHI_SITA_GOKEI = 2;
    nifu_keisan(pos);
    return pos;
}

// Every (origin, destination) pair of every piece on the board and in both
// hands, as the guidance display and the computer's scan ask them.
void BM_IdouKanouFullScan(benchmark::State& state) {
    const Position pos = midgame();
    struct Source {
        int x, y, koma;
    };
    Source sources[81 + 14];
    int n = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (pos.BAN[x][y] != KARA) sources[n++] = {x, y, pos.BAN[x][y]};
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (pos.MOCHI_UE_KAZU[k] > 0) sources[n++] = {UE_TE_X, k, pos.MOCHI_UE_KOMA[k]};
        if (pos.MOCHI_SITA_KAZU[k] > 0) sources[n++] = {SITA_TE_X, k + 2, pos.MOCHI_SITA_KOMA[k]};
    }
    int64_t calls = 0;
    for (auto _ : state) {
        int legal = 0;
        for (int i = 0; i < n; ++i)
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9; ++y)
                    legal += idou_kanou(pos, sources[i].x, sources[i].y, x, y, sources[i].koma);
        benchmark::DoNotOptimize(legal);
        calls += int64_t{n} * 81;
    }
    state.SetItemsProcessed(calls);
    state.counters["calls_per_scan"] = n * 81;
    state.counters["ns_per_call"] = benchmark::Counter(
        static_cast<double>(calls), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_IdouKanouFullScan);

// The same midgame with gaps opened under pieces in several columns (as
// after a capture or a drop into the air); the board is restored each time.
void BM_RakkaWithGaps(benchmark::State& state) {
    Position gapped = midgame();
    gapped.BAN[9][3] = KARA;   // a pawn stack of three above an empty bottom
    gapped.BAN[9][5] = KARA;   // the promoted pieces of column 5 fall
    gapped.BAN[9][7] = KARA;
    gapped.BAN[1][4] = GIN;    // drops into the air at the top
    gapped.BAN[2][6] = -KEI;
    int steps = 0;
    for (auto _ : state) {
        Position pos = gapped;
        steps = rakka(pos, nullptr);
        benchmark::DoNotOptimize(pos.BAN);
    }
    state.counters["steps"] = steps;
}
BENCHMARK(BM_RakkaWithGaps);

}  // namespace
