#include "platform/qt/picture_set.h"

#include <QDir>
#include <QFileInfo>

#include "platform/qt/picture_names.h"

namespace zemtori {

QString PictureSet::load(const QString& folder, qreal device_pixel_ratio) {
    images_.clear();
    const QDir dir(folder);
    for (const int code : PICTURE_CODES) {
        const QString name = QString::fromStdString(picture_name(code));
        QImage image;
        if (device_pixel_ratio > 1.0) {
            const QString sharp = dir.filePath(name + QStringLiteral("@2x.png"));
            if (QFileInfo::exists(sharp) && image.load(sharp)) image.setDevicePixelRatio(2.0);
        }
        if (image.isNull()) {
            const QString plain = dir.filePath(name + QStringLiteral(".png"));
            if (!image.load(plain)) {
                images_.clear();
                return plain;
            }
        }
        images_[code] = image.convertToFormat(QImage::Format_RGB32);
    }
    return {};
}

const QImage* PictureSet::find(int code) const {
    const auto it = images_.find(code);
    return it == images_.end() ? nullptr : &it->second;
}

}  // namespace zemtori
