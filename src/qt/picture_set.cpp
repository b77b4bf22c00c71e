#include "qt/picture_set.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "port/geometry.h"
#include "qt/picture_names.h"

namespace zemtori {

namespace {

using Kind = PictureProblem::Kind;

QString size_text(QSize s) { return QStringLiteral("%1 × %2 ピクセル").arg(s.width()).arg(s.height()); }

// Reads the picture at `path`, which must be `want` pixels.  The size is
// checked from the header before anything is decoded, so an enormous picture
// costs nothing.
PictureProblem read_picture(const QString& path, QSize want, QImage& image) {
    const QFileInfo info(path);
    if (!info.exists()) return {Kind::Missing, path, {}};
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return {Kind::Unreadable, path, info.isFile() ? file.errorString() : QStringLiteral("ファイルではありません。")};
    QImageReader reader(&file);
    const QSize declared = reader.size();
    if (declared.isValid() && declared != want)
        return {Kind::WrongSize, path,
                QStringLiteral("%1ですが、%2でなければなりません。").arg(size_text(declared), size_text(want))};
    if (!reader.read(&image) || image.isNull())
        return {Kind::Damaged, path, QStringLiteral("画像として読めません（途中で切れているか、PNG ではありません）。")};
    if (image.size() != want)
        return {Kind::WrongSize, path,
                QStringLiteral("%1ですが、%2でなければなりません。").arg(size_text(image.size()), size_text(want))};
    return {};
}

}  // namespace

QString PictureProblem::message() const {
    QString headline;
    switch (kind) {
    case Kind::None: return {};
    case Kind::Missing: headline = QStringLiteral("画像ファイルが見つかりません。"); break;
    case Kind::Unreadable: headline = QStringLiteral("画像ファイルを読み込めません。"); break;
    case Kind::Damaged: headline = QStringLiteral("画像ファイルが壊れています。"); break;
    case Kind::WrongSize: headline = QStringLiteral("画像ファイルの大きさが違います。"); break;
    }
    QString text = headline + QLatin1Char('\n') + QDir::toNativeSeparators(file);
    if (!detail.isEmpty()) text += QLatin1Char('\n') + detail;
    return text;
}

PictureProblem PictureSet::load(const QString& folder, qreal device_pixel_ratio) {
    images_.clear();
    const QDir dir(folder);
    for (const int code : PICTURE_CODES) {
        const QString name = QString::fromStdString(picture_name(code));
        const QSize size(picture_width(code), picture_height(code));
        QImage image;
        PictureProblem problem;
        const QString sharp = dir.filePath(name + QStringLiteral("@2x.png"));
        if (device_pixel_ratio > 1.0 && QFileInfo::exists(sharp)) {
            problem = read_picture(sharp, size * 2, image);
            image.setDevicePixelRatio(2.0);
        } else {
            problem = read_picture(dir.filePath(name + QStringLiteral(".png")), size, image);
        }
        if (!problem.ok()) {
            images_.clear();
            return problem;
        }
        images_[code] = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    return {};
}

const QImage* PictureSet::find(int code) const {
    const auto it = images_.find(code);
    return it == images_.end() ? nullptr : &it->second;
}

}  // namespace zemtori
