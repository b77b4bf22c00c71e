// A full redraw (gamen_hyouji) on the real window's canvas, offscreen: every
// background tile outside the board, the labels, both hands, the 81 cells
// with their frames and the title, painted through the Qt port.  And what a
// window made larger costs: every picture drawn again at its scale by the art
// generator (on a worker thread in the game), and the picture drawn again at
// that scale from what the game has drawn (on the main thread, once the
// pictures are there).
#include <benchmark/benchmark.h>

#include <QApplication>

#include "qt/canvas.h"
#include "qt/main_window.h"
#include "qt/scaled_view.h"
#include "play/game.h"
#include "sound/effects.h"

namespace {

using namespace zemtori;

// One QApplication for the whole run, made on first use, offscreen and silent.
void ensure_application() {
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
        static int argc = 1;
        static char name[] = "zemtori-bench-window";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

// Arg 0: the device pixel ratio (1 or 2).  Arg 1: 0 draws into the canvas
// image only; 1 also lets the shown window paint it, as the player sees it.
void BM_FullRedraw(benchmark::State& state) {
    ensure_application();
    MainWindow window(menu_entries(), nullptr, static_cast<qreal>(state.range(0)));
    window.end_hook = [] {};
    if (!window.load_pictures(QStringLiteral(ZEMTORI_BENCH_DATA_DIR "/pictures")).ok()) {
        state.SkipWithError("the generated pictures are missing");
        return;
    }
    SoundEffects sound(window, ZEMTORI_BENCH_DATA_DIR);
    Game game(window, sound);
    game.settings_file.clear();  // the defaults; the player's own settings stay untouched
    game.load();
    const bool shown = state.range(1) == 1;
    if (shown) {
        window.show();
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        game.gamen_hyouji();
        if (shown) QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FullRedraw)
    ->ArgNames({"dpr", "shown"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond);

// Arg: the device scale in hundredths (200: twice the first size).
void BM_PicturesAtScale(benchmark::State& state) {
    ensure_application();
    const double scale = state.range(0) / 100.0;
    for (auto _ : state) benchmark::DoNotOptimize(ScaledPictures::draw(scale));
}
BENCHMARK(BM_PicturesAtScale)->ArgName("scale_x100")->Arg(150)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

// The opening position's picture, kept as the game drew it, drawn again at
// the scale with its pictures already drawn.
void BM_PictureDrawnAgainAtScale(benchmark::State& state) {
    ensure_application();
    MainWindow window(menu_entries(), nullptr, 1.0);
    window.end_hook = [] {};
    if (!window.load_pictures(QStringLiteral(ZEMTORI_BENCH_DATA_DIR "/pictures")).ok()) {
        state.SkipWithError("the generated pictures are missing");
        return;
    }
    SoundEffects sound(window, ZEMTORI_BENCH_DATA_DIR);
    Game game(window, sound);
    game.settings_file.clear();
    game.load();
    const ScaledPictures pictures = ScaledPictures::draw(state.range(0) / 100.0);
    for (auto _ : state) benchmark::DoNotOptimize(window.canvas()->scaled().render(pictures));
    state.counters["drawings"] = static_cast<double>(window.canvas()->scaled().kept());
}
BENCHMARK(BM_PictureDrawnAgainAtScale)->ArgName("scale_x100")->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
