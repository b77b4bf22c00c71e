// zemtori-artgen: draws every picture of the game into a folder.
//
//   zemtori-artgen OUTPUT_DIR [ICON_DIR SIZE...]
//
// Writes "<name>.png" at logical size and "<name>@2x.png" at double size for
// every picture code; with ICON_DIR, also the program's icon as
// "zemtori_<SIZE>.png" for each size given and "zemtori.svg".  Needs a Qt
// platform; QT_QPA_PLATFORM=offscreen will do.
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#include "art/art.h"
#include "art/picture_names.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc == 3 || argc < 2) {
        std::fprintf(stderr, "usage: zemtori-artgen OUTPUT_DIR [ICON_DIR SIZE...]\n");
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
    if (argc > 3) {
        const QDir icons(QString::fromLocal8Bit(argv[2]));
        if (!QDir().mkpath(icons.path())) {
            std::fprintf(stderr, "zemtori-artgen: cannot create %s\n", argv[2]);
            return 1;
        }
        for (int i = 3; i < argc; ++i) {
            const int size = std::atoi(argv[i]);
            if (size < 8 || size > 1024) {
                std::fprintf(stderr, "zemtori-artgen: not an icon size: %s\n", argv[i]);
                return 2;
            }
            const QString file = icons.filePath(QStringLiteral("zemtori_%1.png").arg(size));
            if (!zemtori::art::icon(size).save(file, "PNG")) {
                std::fprintf(stderr, "zemtori-artgen: cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
        QFile svg(icons.filePath(QStringLiteral("zemtori.svg")));
        if (!svg.open(QIODevice::WriteOnly) || svg.write(zemtori::art::icon_svg()) < 0) {
            std::fprintf(stderr, "zemtori-artgen: cannot write %s\n", qPrintable(svg.fileName()));
            return 1;
        }
    }
    return 0;
}
