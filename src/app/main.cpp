// Zemtori: the window, the game, and the event loop that joins them.
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QMessageBox>
#include <QStringList>
#include <QTextLayout>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "app/end_signals.h"
#include "app/game_wiring.h"
#include "app/sound_after_show.h"
#include "app/sound_library_messages.h"
#include "app/startup_log.h"
#include "qt/data_folder.h"
#include "qt/main_window.h"
#include "qt/menu_bar_style.h"
#include "qt/qt_translation.h"
#include "play/game.h"
#include "sound/effects.h"
#include "mixer_library.h"

namespace {

constexpr const char* NO_DISPLAY_LINE =
    "zemtori: 画面に接続できません。このゲームはグラフィカルなデスクトップ（X11 または Wayland）の上で動きます。\n";

// Qt's messages while it connects to the display, held back until it is
// known whether it could: with no display it ends the program with a fatal
// message and an abort, which a player should never see.
struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};
std::vector<HeldMessage> held_messages;
QtMessageHandler qt_handler = nullptr;

void hold_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs(NO_DISPLAY_LINE, stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    held_messages.push_back({type, context.category ? context.category : "", text});
}

void pass_held_messages() {
    qInstallMessageHandler(qt_handler);
    for (const HeldMessage& m : held_messages) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.c_str());
        if (qt_handler) qt_handler(m.type, context, m.text);
    }
    held_messages.clear();
}

const char* loaded(std::int32_t handle) { return handle != 0 ? "ok" : "none"; }

// Lays out `text` in `font` and lets it go: which fonts hold the glyphs
// `font` lacks (the menus' Japanese in a Latin face) is looked up once and
// kept by the font database for every thread.
void look_up_fallbacks(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

}  // namespace

int main(int argc, char** argv) {
    qt_handler = qInstallMessageHandler(hold_message);
    QApplication app(argc, argv);
    pass_held_messages();
    QApplication::setStyle(new zemtori::MenuBarStyle);
    QApplication::setApplicationName(QStringLiteral("Zemtori"));
    QGuiApplication::setDesktopFileName(QStringLiteral(ZEMTORI_APP_ID));
    // The boxes' buttons in Japanese, like every other word of the game.
    qCInfo(startup_log) << "Qt's Japanese texts:" << (zemtori::install_qt_translation() ? "ok" : "none");

    // The font database takes a good part of start-up and is first needed
    // by the board's first text; it is read on a second thread meanwhile
    // (its functions are thread-safe), and waited for before the game draws.
    // The same thread then looks up the fonts the menus' Japanese falls back
    // to, first needed when the window shows, and is joined before that (or
    // on the way out, when a picture stops the start).
    QString captions;
    for (const zemtori::MenuEntry& entry : zemtori::menu_entries()) captions += QString::fromUtf8(entry.caption);
    std::promise<void> families_read;
    std::future<void> families = families_read.get_future();
    std::jthread fonts([captions, menu_font = QApplication::font("QMenuBar"), &families_read] {
        QFontDatabase::families();
        families_read.set_value();
        look_up_fallbacks(captions, menu_font);
    });
    // The icon's pictures are read on a thread of their own meanwhile; the
    // icon is first needed when the window shows.
    const QString data = zemtori::find_data_folder(QCoreApplication::applicationDirPath());
    std::future<std::vector<QImage>> icon_pictures = std::async(
        std::launch::async, [data] { return zemtori::read_program_icon(data, QStringLiteral(ZEMTORI_APP_ID)); });

    zemtori::MainWindow window(zemtori::menu_entries());
    qCInfo(startup_log).noquote() << "data folder:" << data;
    const zemtori::PictureProblem problem = window.load_pictures(QDir(data).filePath(QStringLiteral("pictures")));
    if (!problem.ok()) {
        qCInfo(startup_log).noquote() << "pictures:" << problem.message().replace('\n', ' ');
        QApplication::setWindowIcon(zemtori::icon_of(icon_pictures.get()));
        QMessageBox::critical(nullptr, QStringLiteral("Zemtori"), problem.message());
        return 1;
    }
    qCInfo(startup_log) << "pictures: ok";

    families.wait();
    zemtori::SoundEffects sound(window, data.toStdString());
    // The game's start-up asks for the sound as always; it comes in once the
    // window shows (app/sound_after_show.h).
    zemtori::SoundAfterShow sound_after_show(sound);
    zemtori::Game game(window, sound_after_show);
    zemtori::connect_game(window, game);
    // SIGTERM, SIGHUP and the end of the session end the program as closing
    // the window does, keeping the game; from now on there is one to keep.
    zemtori::EndSignals end_signals([&window] { window.close_from_outside(); });
    zemtori::end_with_session(app, window, [&window] { window.close_from_outside(); });

    // The game in progress at the end and the level chosen are kept here.
    game.state_folder = zemtori::state_folder();
    game.load();
    if (window.ended()) return 0;
    const QIcon icon = zemtori::icon_of(icon_pictures.get());
    QApplication::setWindowIcon(icon);
    QStringList icon_sizes;
    for (const QSize& size : icon.availableSizes()) icon_sizes << QString::number(size.width());
    qCInfo(startup_log).noquote() << "icon:" << (icon_sizes.isEmpty() ? QStringLiteral("none") : icon_sizes.join(' '));
    fonts.join();
    window.show();
    window.place_on_screen();
    QTimer::singleShot(0, &window, [&window] {
        const QSize outer = window.frameGeometry().size();
        qCInfo(startup_log).nospace() << "window open: " << outer.width() << "x" << outer.height()
                                      << (window.isVisible() ? " visible" : " hidden");
    });
    // A game kept at the last end is offered once the board shows.
    QTimer::singleShot(0, &window, [&game] {
        using Offer = zemtori::Game::KeptGameOffer;
        const Offer offer = game.offer_kept_game();
        qCInfo(startup_log).noquote() << "kept game:"
                                      << (offer == Offer::None           ? "none"
                                          : offer == Offer::Removed      ? "removed"
                                          : offer == Offer::Declined     ? "declined"
                                          : offer == Offer::OtherVersion ? "another version's, left"
                                                                         : "brought back");
    });
    // Once the window shows, SDL2_mixer and the libraries it brings load on
    // a thread of their own (what ALSA says routed to the start-up log once
    // they are there); the sound comes in when they are, at a moment when
    // the game waits for the player and no box is open, so that its own
    // warning box never opens inside another.
    QTimer::singleShot(0, &window, [] { zemtori::mixer_library::start_loading(zemtori::route_sound_library_messages); });
    QTimer sound_arrival;
    sound_arrival.setInterval(5);
    QObject::connect(&sound_arrival, &QTimer::timeout, &window, [&] {
        if (window.ended()) {
            sound_arrival.stop();
            return;
        }
        if (!zemtori::mixer_library::loaded_already() || window.busy() || QApplication::activeModalWidget()) return;
        sound_arrival.stop();
        sound_after_show.arrive();
        qCInfo(startup_log).nospace() << "sounds: その他.wav " << loaded(sound.other) << ", 禁止.wav "
                                      << loaded(sound.refusal) << ", 駒打音.wav " << loaded(sound.piece)
                                      << ", BGM.wav " << loaded(sound.music);
    });
    sound_arrival.start();

    const int code = app.exec();
    // The game goes before the window: nothing may reach it any more.
    zemtori::disconnect_game(window);
    return code;
}
