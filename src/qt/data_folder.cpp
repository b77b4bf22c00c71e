#include "qt/data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace zemtori {

QString find_data_folder(const QString& program_dir) {
    const QDir dir(program_dir);
    const QString beside = QDir::cleanPath(dir.filePath(QStringLiteral("data")));
    const QString installed = QDir::cleanPath(dir.filePath(QStringLiteral("../share/zemtori")));
    for (const QString& candidate : {beside, installed})
        if (QFileInfo(QDir(candidate).filePath(QStringLiteral("pictures"))).isDir()) return candidate;
    return beside;
}

namespace {

// Reads a PNG file as PNG.  QIcon::addFile would first ask every image
// plugin whether it knows the file, which loads them all (and the JPEG
// library) during start-up.
void add_png(QIcon& icon, const QString& file) {
    QImageReader reader(file, "png");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
}

}  // namespace

QIcon program_icon(const QString& data_folder, const QString& app_id) {
    QIcon icon;
    const QDir icons(QDir(data_folder).filePath(QStringLiteral("icons")));
    for (const QString& name : icons.entryList({QStringLiteral("zemtori_*.png")}, QDir::Files))
        add_png(icon, icons.filePath(name));
    if (!icon.isNull() || app_id.isEmpty()) return icon;
    const QDir theme(QDir(data_folder).filePath(QStringLiteral("../icons/hicolor")));
    for (const QString& size : theme.entryList({QStringLiteral("*x*")}, QDir::Dirs, QDir::Name)) {
        const QString file = theme.filePath(size + QStringLiteral("/apps/") + app_id + QStringLiteral(".png"));
        if (QFileInfo(file).isFile()) add_png(icon, file);
    }
    return icon;
}

}  // namespace zemtori
