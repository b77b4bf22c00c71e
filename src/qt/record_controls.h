// The record-file controls on the window's client area: the drive, folder
// and file lists (Drive1, Dir1, File1) and the save panel (four captions,
// the text fields Text1..Text4 and the RETURN button Command1), each at its
// twip position, all hidden until the game shows them.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "port/port.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace zemtori {

class RecordControls : public QObject {
    Q_OBJECT
public:
    // Made on `client`; `used` hears of every control the player uses.
    // `scale` is the window's against its first size.
    RecordControls(QWidget* client, std::function<void(RecordControl)> used, double scale = 1);

    // The window is `scale` times its first size: every control is placed
    // and lettered as much larger.
    void set_scale(double scale);

    void show(RecordControl control, bool visible);
    bool visible(RecordControl control) const;
    std::string text(RecordText field) const;
    void set_text(RecordText field, const std::string& text);
    std::string selection(RecordControl list) const;
    std::string folder() const { return file_folder_.toStdString(); }
    bool set_folder(RecordControl list, const std::string& folder);

    // The widgets, for tests.
    QLabel* caption(int i) const { return labels_[i]; }  // 0 対局名 .. 3 ﾌｧｲﾙ名
    QComboBox* drive1() const { return drive1_; }
    QListWidget* dir1() const { return dir1_; }
    QListWidget* file1() const { return file1_; }
    QLineEdit* text_field(RecordText field) const;
    QPushButton* command1() const { return command1_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(QWidget* w, int left, int top, int width, int height);
    void fill_drives();
    void fill_folders();
    void fill_files();

    std::function<void(RecordControl)> used_;
    QComboBox* drive1_ = nullptr;
    QListWidget* dir1_ = nullptr;
    QListWidget* file1_ = nullptr;
    QLabel* labels_[4] = {};
    QLineEdit* texts_[4] = {};  // Text1..Text4
    QPushButton* command1_ = nullptr;
    QString dir_folder_, file_folder_, clicked_file_;
    double scale_ = 1;
    // Each control with its rectangle at the first size, in pixels.
    std::vector<std::pair<QWidget*, QRect>> placed_;
};

}  // namespace zemtori
