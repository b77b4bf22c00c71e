// The yardstick for start-up: a Qt program that does nothing but open an
// 800x500 window, and says so on stderr the way the game does, from the
// first turn of its event loop after show().
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 500);
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        const QSize outer = window.frameGeometry().size();
        std::fprintf(stderr, "window open: %dx%d%s\n", outer.width(), outer.height(),
                     window.isVisible() ? " visible" : " hidden");
        std::fflush(stderr);
    });
    return app.exec();
}
