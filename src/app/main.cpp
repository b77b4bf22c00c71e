// Zemtori: the window, the game, and the event loop that joins them.
#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include "platform/qt/data_folder.h"
#include "platform/qt/game_wiring.h"
#include "platform/qt/main_window.h"
#include "play/game.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zemtori"));

    zemtori::MainWindow window;
    const QString data = zemtori::find_data_folder(QCoreApplication::applicationDirPath());
    const zemtori::PictureProblem problem = window.load_pictures(QDir(data).filePath(QStringLiteral("pictures")));
    if (!problem.ok()) {
        QMessageBox::critical(nullptr, QStringLiteral("Zemtori"), problem.message());
        return 1;
    }

    zemtori::Game game(window, data.toStdString());
    zemtori::connect_game(window, game);

    game.load();
    if (window.ended()) return 0;
    window.show();
    window.place_on_screen();

    const int code = app.exec();
    // The game goes before the window: nothing may reach it any more.
    zemtori::disconnect_game(window);
    return code;
}
