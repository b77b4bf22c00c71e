// The pictures the window paints, loaded once from the data folder.
#pragma once

#include <QImage>
#include <QString>

#include <map>

namespace zemtori {

class PictureSet {
public:
    // Loads every picture from `folder`.  With a device pixel ratio above 1
    // the double-size files are taken where they exist.  Returns the path of
    // the first picture that is missing or unreadable, or an empty string
    // when all were loaded.
    QString load(const QString& folder, qreal device_pixel_ratio);

    // The picture of `code`, or nullptr for a code without one.
    const QImage* find(int code) const;

private:
    std::map<int, QImage> images_;
};

}  // namespace zemtori
