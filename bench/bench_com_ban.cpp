// The computer's whole turn as the window runs it: com_ban from the thinking
// label to handing the turn back (record, blink, move, fall, maps, mate and
// check tests, move text), at each level, over the benchmark suite.  The
// window is a QuietPort, whose clock jumps at every reading: the turn's fixed
// pauses (the blink, the pauses around the move, the falling steps) cost
// nothing here.  Each turn starts as after the person's move: the hand-over's
// attack maps, then com_ban.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "port/quiet_port.h"
#include "play/game.h"
#include "record/entry_line.h"

namespace {

using namespace zemtori;

std::vector<RecordEntry> suite_entries() {
    std::vector<RecordEntry> list;
    std::ifstream in(ZEMTORI_BENCH_DIR "/positions_seed1.txt");
    for (std::string line; std::getline(in, line);)
        if (line.size() >= 243) list.push_back(parse_entry_line(line));
    return list;
}

void BM_ComBan(benchmark::State& state) {
    static const std::vector<RecordEntry> suite = suite_entries();
    if (suite.size() < 50) {
        state.SkipWithError("positions_seed1.txt is missing or short");
        return;
    }
    QuietPort port;
    SilentSound sound;
    auto game = std::make_unique<Game>(port, sound);
    game->menu("LEVEL" + std::to_string(state.range(0)));
    for (auto _ : state) {
        for (const RecordEntry& entry : suite) {
            Position p;
            restore_position(entry, p);
            GameSetup::set_position(*game, p);
            GameSetup::computer_to_move(*game);
            game->com_ban();
            port.messages.clear();
        }
        benchmark::DoNotOptimize(game->view().engine.work.SAIZEN_TEN);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(suite.size()));
}
BENCHMARK(BM_ComBan)->DenseRange(1, 3)->Unit(benchmark::kMillisecond);

}  // namespace
