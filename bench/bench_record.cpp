// Reading a record back: finding every entry's move again from the positions
// of a long game, as a record file of the largest size the game reads holds.
// Keeping a game at the end of the program: the kept-game file written as
// the window closes.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "play/game.h"
#include "port/quiet_port.h"
#include "record/kept_game.h"
#include "settings/store.h"

#include "record/kifu.h"
#include "record/record_file.h"
#include "rules/legality.h"
#include "rules/moves.h"
#include "rules/opening.h"

namespace {

using namespace zemtori;

// The entries of a game of `moves` random moves and drops that take no king,
// from the opening after its fall, the lower side first.
std::vector<RecordEntry> random_game(int moves) {
    Position p = settled_opening();
    std::uint32_t seed = 2026;
    std::vector<RecordEntry> entries;
    struct Choice { int fx, fy, tx, ty, koma; };
    std::vector<Choice> list;
    for (int n = 0; n < moves; ++n) {
        const bool upper = n % 2 == 1;
        nifu_keisan(p);
        list.clear();
        const auto targets = [&](int fx, int fy, int koma) {
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty) {
                    const int t = p.BAN[tx][ty];
                    if (t == OU || t == -OU || (t != 0 && (t > 0) == upper)) continue;
                    if (idou_kanou(p, fx, fy, tx, ty, koma) == 1) list.push_back({fx, fy, tx, ty, koma});
                }
        };
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (p.BAN[x][y] != 0 && (p.BAN[x][y] > 0) == upper) targets(x, y, p.BAN[x][y]);
        for (int k = 1; k <= MOCHI_SLOTS; ++k) {
            if (upper && p.MOCHI_UE_KAZU[k] > 0) targets(UE_TE_X, k, p.MOCHI_UE_KOMA[k]);
            if (!upper && p.MOCHI_SITA_KAZU[k] > 0) targets(SITA_TE_X, k + 2, p.MOCHI_SITA_KOMA[k]);
        }
        if (list.empty()) break;
        seed = seed * 1664525u + 1013904223u;
        const Choice c = list[(seed >> 8) % list.size()];
        int koma = c.koma;
        int promoted = 0;
        if (nari_hantei(c.fx, c.fy, c.tx, c.ty, c.koma, &promoted) == 1 &&
            (funari_kanou(c.ty, c.koma) == 0 || (seed >> 4) % 2 == 0))
            koma = promoted;
        play_and_fall(p, c.fx, c.fy, c.tx, c.ty, koma);
        RecordEntry e;
        store_position(p, e);
        entries.push_back(e);
    }
    return entries;
}

// A folder of the benchmark's own, removed at the end.
struct TempFolder {
    TempFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "zemtori-bench-kept-XXXXXX").string();
        path = ::mkdtemp(name.data());
    }
    ~TempFolder() { std::error_code ec; std::filesystem::remove_all(path, ec); }
    std::filesystem::path path;
};

void BM_LoadRecordFindingItsMoves(benchmark::State& state) {
    const std::vector<RecordEntry> entries = random_game(static_cast<int>(state.range(0)));
    Kifu kifu;
    for (auto _ : state) {
        kifu.load(entries);
        benchmark::DoNotOptimize(kifu.entry_move(kifu.kifu_saigo()));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(entries.size()));
}
// 30000 entries: as many as a record file within the size limit holds.
BENCHMARK(BM_LoadRecordFindingItsMoves)->Arg(500)->Arg(30000)->Unit(benchmark::kMillisecond);

// zemtori-analyse review on a record file of N entries at one node a
// position: reading the file, finding its moves, a search of one node per
// position and a line per move, each written as soon as its two positions
// are reviewed.  The time grows with the record's length and no faster.
void BM_ReviewRecordFile(benchmark::State& state) {
    RecordFile file;
    file.title = "長い対局";
    file.entries = random_game(static_cast<int>(state.range(0)));
    TempFolder folder;
    const std::string path = (folder.path / "long.棋譜").string();
    std::string bytes, reason;
    int bad_line = 0;
    if (!format_record_file(file, bytes, bad_line) || !write_file_atomically(path, bytes, reason)) {
        state.SkipWithError("the record file could not be written");
        return;
    }
    analyse::BestLimits one_node;
    one_node.nodes = 1;
    for (auto _ : state) {
        std::ostringstream out, err;
        benchmark::DoNotOptimize(analyse::review_file(path, out, err, one_node));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(file.entries.size()));
}
BENCHMARK(BM_ReviewRecordFile)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);


// What the window's close costs the game: Game::closing() with a record of
// N entries being stepped through, from the kept game's bytes to the file on
// the disk (written, flushed to the disk and named).  A game of 300 moves is
// a long one; 30000 entries the longest record a file can bring.
void BM_KeepGameAtClose(benchmark::State& state) {
    RecordFile file;
    file.title = "長い対局";
    file.entries = random_game(static_cast<int>(state.range(0)));
    TempFolder folder;
    QuietPort port;
    SilentSound sound;
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto game = std::make_unique<Game>(port, sound);
        game->settings_file = folder.path / "Zemtori.ini";
        game->state_folder = folder.path / "state";
        GameSetup::load_record(*game, file);
        game->menu("AFTER");
        state.ResumeTiming();
        game->closing();
        state.PauseTiming();
        bytes = std::filesystem::file_size(game->kept_game_file());
        std::filesystem::remove(game->kept_game_file());
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_KeepGameAtClose)->Arg(300)->Arg(30000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same, the bytes alone: the part that does not wait for the disk.
void BM_KeptGameBytes(benchmark::State& state) {
    Kifu kifu;
    kifu.load(random_game(static_cast<int>(state.range(0))));
    KeptGame g;
    g.record = kifu.whole();
    for (auto _ : state) benchmark::DoNotOptimize(kept_game_bytes(g));
}
BENCHMARK(BM_KeptGameBytes)->Arg(300)->Arg(30000)->Unit(benchmark::kMillisecond);

// Reading it back at the next start: the check sum, then every line.
void BM_ReadKeptGame(benchmark::State& state) {
    Kifu kifu;
    kifu.load(random_game(static_cast<int>(state.range(0))));
    KeptGame g;
    g.record = kifu.whole();
    const std::string bytes = kept_game_bytes(g);
    for (auto _ : state) benchmark::DoNotOptimize(read_kept_game(bytes));
}
BENCHMARK(BM_ReadKeptGame)->Arg(300)->Arg(30000)->Unit(benchmark::kMillisecond);

}  // namespace
