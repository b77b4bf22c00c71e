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
void add_png(std::vector<QImage>& images, const QString& file) {
    QImageReader reader(file, "png");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (!image.isNull()) images.push_back(std::move(image));
}

}  // namespace

std::vector<QImage> read_program_icon(const QString& data_folder, const QString& app_id) {
    std::vector<QImage> images;
    const QDir icons(QDir(data_folder).filePath(QStringLiteral("icons")));
    for (const QString& name : icons.entryList({QStringLiteral("zemtori_*.png")}, QDir::Files))
        add_png(images, icons.filePath(name));
    if (!images.empty() || app_id.isEmpty()) return images;
    const QDir theme(QDir(data_folder).filePath(QStringLiteral("../icons/hicolor")));
    for (const QString& size : theme.entryList({QStringLiteral("*x*")}, QDir::Dirs, QDir::Name)) {
        const QString file = theme.filePath(size + QStringLiteral("/apps/") + app_id + QStringLiteral(".png"));
        if (QFileInfo(file).isFile()) add_png(images, file);
    }
    return images;
}

QIcon icon_of(const std::vector<QImage>& images) {
    QIcon icon;
    for (const QImage& image : images) icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

QIcon program_icon(const QString& data_folder, const QString& app_id) {
    return icon_of(read_program_icon(data_folder, app_id));
}

}  // namespace zemtori
