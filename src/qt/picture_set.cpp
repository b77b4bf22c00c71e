#include "qt/picture_set.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "art/picture_names.h"
#include "port/geometry.h"

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
    // Read as PNG, which every picture is: left to find the format itself,
    // the reader would first ask every image plugin, loading them all (and
    // the JPEG library) during start-up.
    QImageReader reader(&file, "png");
    reader.setAutoDetectImageFormat(false);
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

// The pictures are decoded side by side on a few threads (decoding a QImage
// is safe off the main thread), each into its own slot; the pending are then
// looked at in the list's order, so the problem reported is the one the
// first bad file in the list has, whichever thread met it first.
PictureProblem PictureSet::load(const QString& folder, qreal device_pixel_ratio) {
    images_.clear();
    const QDir dir(folder);
    struct Slot {
        QString path;
        QSize size;
        bool sharp = false;
        QImage image;
        PictureProblem problem;
    };
    std::array<Slot, PICTURE_CODES.size()> pending;
    for (std::size_t i = 0; i < PICTURE_CODES.size(); ++i) {
        const int code = PICTURE_CODES[i];
        const QString name = QString::fromStdString(picture_name(code));
        Slot& slot = pending[i];
        slot.size = QSize(picture_width(code), picture_height(code));
        const QString sharp = dir.filePath(name + QStringLiteral("@2x.png"));
        slot.sharp = device_pixel_ratio > 1.0 && QFileInfo::exists(sharp);
        slot.path = slot.sharp ? sharp : dir.filePath(name + QStringLiteral(".png"));
        if (slot.sharp) slot.size *= 2;
    }

    std::atomic<std::size_t> next{0};
    const auto decode = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < pending.size();) {
            Slot& slot = pending[i];
            slot.problem = read_picture(slot.path, slot.size, slot.image);
            if (!slot.problem.ok()) continue;
            if (slot.sharp) slot.image.setDevicePixelRatio(2.0);
            // In the formats the canvas draws fastest: an opaque picture as
            // plain RGB is copied, not blended.
            slot.image = slot.image.convertToFormat(slot.image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                                 : QImage::Format_RGB32);
        }
    };
    const unsigned helpers = std::min(3u, std::max(1u, std::thread::hardware_concurrency()) - 1);
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < helpers; ++t) threads.emplace_back(decode);
    decode();
    for (std::thread& t : threads) t.join();

    for (const Slot& slot : pending)
        if (!slot.problem.ok()) return slot.problem;
    for (std::size_t i = 0; i < pending.size(); ++i) images_[PICTURE_CODES[i]] = std::move(pending[i].image);
    return {};
}

const QImage* PictureSet::find(int code) const {
    const auto it = images_.find(code);
    return it == images_.end() ? nullptr : &it->second;
}

}  // namespace zemtori
