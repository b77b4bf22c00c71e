// zemtori-artgen: draws every picture of the game into a folder.
//
//   zemtori-artgen OUTPUT_DIR
//
// Writes "<name>.png" at logical size and "<name>@2x.png" at double size for
// every picture code.  Needs a Qt platform; QT_QPA_PLATFORM=offscreen will do.
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

#include "art.h"
#include "platform/qt/picture_names.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zemtori-artgen OUTPUT_DIR\n");
        return 2;
    }
    if (zemtori::art::mincho_family().isEmpty())
        std::fprintf(stderr, "zemtori-artgen: no Mincho font installed; the ink falls back to another face\n");

    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "zemtori-artgen: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const int code : zemtori::PICTURE_CODES) {
        const QString name = QString::fromStdString(zemtori::picture_name(code));
        for (const int scale : {1, 2}) {
            const QImage img = zemtori::art::picture(code, scale);
            const QString file = out.filePath(name + (scale == 1 ? ".png" : "@2x.png"));
            if (img.isNull() || !img.save(file, "PNG")) {
                std::fprintf(stderr, "zemtori-artgen: cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
