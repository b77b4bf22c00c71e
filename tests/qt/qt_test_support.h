// Helpers for the window tests: pixel colours and answering modal boxes.
#pragma once

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QAbstractButton>
#include <QMessageBox>
#include <QMouseEvent>
#include <QWidget>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "port/geometry.h"

namespace zemtori::test {

// The argument that makes the test program open the sound library alone and
// exit (0 when no device opened), for a test to watch it from outside.
constexpr const char* OPEN_SOUND_LIBRARY_ALONE = "--open-sound-library-alone";
int open_sound_library_alone();

inline QRgb palette_rgb(int index) {
    return qRgb(PALETTE[index].r, PALETTE[index].g, PALETTE[index].b);
}

// The pixel of a canvas image at logical pixel (x, y).
inline QRgb canvas_pixel(const QImage& image, int x, int y) {
    const qreal dpr = image.devicePixelRatio();
    return image.pixel(static_cast<int>(x * dpr), static_cast<int>(y * dpr)) | 0xff000000u;
}

// A press of `button` on the middle of board square (x, y) of the canvas,
// as the mouse gives it.
inline void press_board_square(QWidget* canvas, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    const QPointF at(to_pixels(grid_x(y + 0.5)), to_pixels(grid_y(x + 0.5)));
    QMouseEvent press(QEvent::MouseButtonPress, at, canvas->mapToGlobal(at), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &press);
}

// Waits for the next modal message box and hands it to `answer`, which
// reads it and clicks one of its buttons.  Polls from the event loop that
// the box runs, so it must be armed before the box is opened.
inline void when_message_box(std::function<void(QMessageBox&)> answer) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll->stop();
        poll->deleteLater();
        answer(*box);
    });
    poll->start();
}

// Answers every message box with OK (a question with Yes), from the moment it is made until it
// goes, and writes down each box's text in `seen`.
class OkToEveryBox {
public:
    OkToEveryBox() {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == last_) return;
            last_ = box;
            seen.push_back(box->text().toStdString());
            // A question (before a game in progress is given up) is answered Yes.
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            (ok ? ok : box->button(QMessageBox::Yes))->click();
        });
        poll_.start(10);
    }
    std::vector<std::string> seen;

private:
    QTimer poll_;
    QPointer<QMessageBox> last_;
};

}  // namespace zemtori::test
