// The pictures the window paints, loaded once from the data folder.
#pragma once

#include <QImage>
#include <QString>

#include <map>

namespace zemtori {

// What stopped the pictures from loading: the file, and what is wrong with it
// in words for the player.  `file` is empty when every picture loaded.
struct PictureProblem {
    enum class Kind { None, Missing, Unreadable, Damaged, WrongSize };
    Kind kind = Kind::None;
    QString file;
    QString detail;  // the reason or the sizes; may be empty

    bool ok() const { return kind == Kind::None; }
    // The text of the box that stops the program: what is wrong, the file's
    // path, and the detail.
    QString message() const;
};

class PictureSet {
public:
    // Loads every picture from `folder`.  With a device pixel ratio above 1
    // the double-size files are taken where they exist.  Each picture must be
    // exactly the size the game draws it at (twice that for a double-size
    // file): a picture of another size would paint ghosts over its
    // neighbours or leave stale pixels.  The first file that is missing,
    // unreadable, damaged or of the wrong size stops the loading and nothing
    // is kept.
    PictureProblem load(const QString& folder, qreal device_pixel_ratio);

    // The picture of `code`, or nullptr for a code without one.  Pictures
    // keep their alpha: the title's last rows are transparent, every other
    // picture is opaque.
    const QImage* find(int code) const;

private:
    std::map<int, QImage> images_;
};

}  // namespace zemtori
