#include "qt/record_controls.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>

#include <dirent.h>

#include <cerrno>
#include <cmath>

#include "port/geometry.h"

namespace zemtori {

namespace {

// The light yellow of the lists and the fields.
const char* const PANEL_STYLE = "background-color: rgb(255, 255, 192); color: black;";
const QColor PANEL_YELLOW(255, 255, 192);
// The file pattern of the file list.
const QString KIFU_PATTERN = QStringLiteral("*.棋譜");
// As many characters as a record file's header line keeps.
constexpr int MAX_FIELD_CHARS = 1000;

QString qstr(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The controls' text, in pixels at the window's first size.
constexpr int CONTROL_FONT_PIXELS = 12;

// Puts `w` at its rectangle in pixels of the first size, `scale` times as
// large (the edges rounded, as the canvas places its pictures), with its
// text as much larger.
void put(QWidget* w, const QRect& at, double scale) {
    const auto edge = [scale](int v) { return static_cast<int>(std::lround(v * scale)); };
    w->setGeometry(QRect(QPoint(edge(at.left()), edge(at.top())),
                         QPoint(edge(at.left() + at.width()) - 1, edge(at.top() + at.height()) - 1)));
    QFont font = w->font();
    font.setPixelSize(edge(CONTROL_FONT_PIXELS));
    w->setFont(font);
}

enum class FolderState { Usable, NotReady, Unusable };

// Whether the lists can move to `folder`.  It is not ready when its volume
// says so, when it was listed as a drive and is no longer the root of a
// mounted volume (the medium was taken out), or when reading it fails for
// want of the device; it is unusable when it is missing, not a folder or may
// not be read.
FolderState folder_state(const QString& folder, bool listed_drive) {
    if (folder.isEmpty()) return FolderState::Unusable;
    const QStorageInfo volume(folder);
    if (volume.isValid() && !volume.isReady()) return FolderState::NotReady;
    if (listed_drive && (!volume.isValid() || QDir(volume.rootPath()) != QDir(folder))) return FolderState::NotReady;
    DIR* d = ::opendir(QFile::encodeName(folder).constData());
    if (d) {
        ::closedir(d);
        return FolderState::Usable;
    }
    switch (errno) {
    case EIO: case ENXIO: case ENODEV: case ENOMEDIUM: case ENOTCONN: case EHOSTDOWN: case ESTALE:
        return FolderState::NotReady;
    default:
        return FolderState::Unusable;
    }
}

constexpr int PATH_ROLE = Qt::UserRole;

// The application's own palette for `w`, every colour its own: not the
// canvas's green, which a child would otherwise inherit.
QPalette own_palette(const QWidget* w) {
    QPalette palette = QApplication::palette(w);
    palette.setResolveMask(~QPalette::ResolveMask(0));
    return palette;
}

}  // namespace

// Places `w` at a rectangle given in twips: left, top, width, height.
void RecordControls::place(QWidget* w, int left, int top, int width, int height) {
    const QRect at(to_pixels(left), to_pixels(top), to_pixels(width), to_pixels(height));
    placed_.emplace_back(w, at);
    put(w, at, scale_);
    w->hide();
}

void RecordControls::set_scale(double scale) {
    if (scale == scale_) return;
    scale_ = scale;
    for (const auto& [w, at] : placed_) put(w, at, scale);
}

RecordControls::RecordControls(QWidget* client, std::function<void(RecordControl)> used, double scale)
    : QObject(client), used_(std::move(used)), scale_(scale) {
    drive1_ = new QComboBox(client);
    place(drive1_, 240, 360, 2535, 300);
    dir1_ = new QListWidget(client);
    place(dir1_, 240, 600, 2535, 1710);
    file1_ = new QListWidget(client);
    place(file1_, 240, 2280, 2535, 930);

    // The captions have a label's ordinary background; the fields are light
    // yellow inside the sunken frame of a single-line text field.
    static const char* const captions[4] = {"対 局 名：", "先    手 ：", "後    手 ：", "ﾌｧｲﾙ名 ："};
    static const int label_tops[4] = {2400, 2640, 2880, 3120};
    for (int i = 0; i < 4; ++i) {
        labels_[i] = new QLabel(QString::fromUtf8(captions[i]), client);
        place(labels_[i], 120, label_tops[i], 855, 255);
        labels_[i]->setPalette(own_palette(labels_[i]));
        labels_[i]->setAutoFillBackground(true);
    }
    // Text1 (the file name) is the lowest field; Text2..Text4 stand above it.
    static const int text_tops[4] = {3120, 2400, 2640, 2880};
    for (int i = 0; i < 4; ++i) {
        texts_[i] = new QLineEdit(client);
        place(texts_[i], 960, text_tops[i], 2295, 270);
        texts_[i]->setMaxLength(MAX_FIELD_CHARS);
        QPalette field = own_palette(texts_[i]);
        field.setColor(QPalette::Base, PANEL_YELLOW);
        field.setColor(QPalette::Text, Qt::black);
        texts_[i]->setPalette(field);
        texts_[i]->installEventFilter(this);
        // Enter in a field does what RETURN does.
        connect(texts_[i], &QLineEdit::returnPressed, this, [this] {
            if (used_) used_(RecordControl::SavePanel);
        });
    }
    command1_ = new QPushButton(QStringLiteral("RETURN"), client);
    place(command1_, 3360, 3000, 855, 375);
    command1_->setAutoDefault(true);  // Enter presses it when it has the focus
    // The fields' rectangles overlap by two pixels: each lies on the one
    // above it, so that every field shows the top of its frame.
    for (const int i : {1, 2, 3, 0}) texts_[i]->raise();
    // Top to bottom: 対局名, 先手, 後手, ﾌｧｲﾙ名, then RETURN.
    QWidget::setTabOrder(texts_[1], texts_[2]);
    QWidget::setTabOrder(texts_[2], texts_[3]);
    QWidget::setTabOrder(texts_[3], texts_[0]);
    QWidget::setTabOrder(texts_[0], command1_);

    for (QWidget* w : {static_cast<QWidget*>(drive1_), static_cast<QWidget*>(dir1_),
                       static_cast<QWidget*>(file1_)})
        w->setStyleSheet(QString::fromLatin1(PANEL_STYLE));

    dir_folder_ = file_folder_ = QDir::currentPath();
    fill_drives();
    fill_folders();
    fill_files();

    connect(drive1_, &QComboBox::activated, this, [this](int) {
        if (used_) used_(RecordControl::DriveList);
    });
    // A folder is chosen as in a folder tree: by a double click (or Enter).
    connect(dir1_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString path = item->data(PATH_ROLE).toString();
        if (folder_state(path, false) != FolderState::Usable) return;
        dir_folder_ = path;
        fill_folders();
        if (used_) used_(RecordControl::DirList);
    });
    connect(file1_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        clicked_file_ = item->text();
        if (used_) used_(RecordControl::FileList);
    });
    connect(command1_, &QPushButton::clicked, this, [this] {
        if (used_) used_(RecordControl::SavePanel);
    });
}

// The mounted volumes, the root first; the one holding the current folder is
// chosen.
void RecordControls::fill_drives() {
    drive1_->clear();
    QStringList roots{QStorageInfo::root().rootPath()};
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !roots.contains(v.rootPath())) roots << v.rootPath();
    int chosen = 0;
    const QString here = QDir::currentPath();
    for (int i = 0; i < roots.size(); ++i) {
        drive1_->addItem(roots[i], roots[i]);
        const QString prefix = roots[i].endsWith(QLatin1Char('/')) ? roots[i] : roots[i] + QLatin1Char('/');
        if ((here == roots[i] || here.startsWith(prefix)) && roots[i].size() > roots[chosen].size()) chosen = i;
    }
    drive1_->setCurrentIndex(chosen);
}

// The folder and every folder above it, each indented under its parent, then
// the folders inside it.
void RecordControls::fill_folders() {
    dir1_->clear();
    QStringList chain;
    QDir d(dir_folder_);
    for (;;) {
        chain.prepend(d.absolutePath());
        if (d.isRoot() || !d.cdUp()) break;
    }
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const QString& path : chain) {
        const QString name = depth == 0 ? path : QDir(path).dirName();
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, dir1_);
        item->setData(PATH_ROLE, path);
        current = item;
        ++depth;
    }
    const QDir here(dir_folder_);
    for (const QString& sub : here.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + sub, dir1_);
        item->setData(PATH_ROLE, here.absoluteFilePath(sub));
    }
    dir1_->setCurrentItem(current);
}

void RecordControls::fill_files() {
    file1_->clear();
    clicked_file_.clear();
    const QDir here(file_folder_);
    file1_->addItems(here.entryList({KIFU_PATTERN}, QDir::Files, QDir::Name));
}

QLineEdit* RecordControls::text_field(RecordText field) const { return texts_[static_cast<int>(field)]; }

void RecordControls::show(RecordControl control, bool on) {
    switch (control) {
    case RecordControl::DriveList:
        drive1_->setVisible(on);
        break;
    // A list that comes into view shows its folder as it is now.
    case RecordControl::DirList:
        if (on && dir1_->isHidden()) fill_folders();
        dir1_->setVisible(on);
        break;
    case RecordControl::FileList:
        if (on && file1_->isHidden()) fill_files();
        file1_->setVisible(on);
        break;
    case RecordControl::SavePanel: {
        const bool opening = on && command1_->isHidden();
        for (QWidget* w : labels_) w->setVisible(on);
        for (QWidget* w : texts_) w->setVisible(on);
        command1_->setVisible(on);
        // The form opens with the caret in its first field, the title.
        if (opening) texts_[static_cast<int>(RecordText::Text2)]->setFocus(Qt::OtherFocusReason);
        break;
    }
    }
}

bool RecordControls::visible(RecordControl control) const {
    switch (control) {
    case RecordControl::DriveList: return !drive1_->isHidden();
    case RecordControl::DirList: return !dir1_->isHidden();
    case RecordControl::FileList: return !file1_->isHidden();
    case RecordControl::SavePanel: return !command1_->isHidden();
    }
    return false;
}

std::string RecordControls::text(RecordText field) const { return text_field(field)->text().toStdString(); }

void RecordControls::set_text(RecordText field, const std::string& text) { text_field(field)->setText(qstr(text)); }

std::string RecordControls::selection(RecordControl list) const {
    switch (list) {
    case RecordControl::DriveList: return drive1_->currentData().toString().toStdString();
    case RecordControl::DirList: return dir_folder_.toStdString();
    case RecordControl::FileList: return clicked_file_.toStdString();
    case RecordControl::SavePanel: break;
    }
    return {};
}

// A folder whose device is not ready is refused; any other failure leaves
// the list where it was.
bool RecordControls::set_folder(RecordControl list, const std::string& folder) {
    const QString path = QDir(qstr(folder)).absolutePath();
    const bool listed_drive = drive1_->findData(path) >= 0 || drive1_->findData(qstr(folder)) >= 0;
    switch (folder_state(path, listed_drive)) {
    case FolderState::NotReady: return false;
    case FolderState::Unusable: return true;
    case FolderState::Usable: break;
    }
    if (list == RecordControl::DirList) {
        dir_folder_ = path;
        fill_folders();
    } else if (list == RecordControl::FileList) {
        file_folder_ = path;
        fill_files();
    }
    return true;
}

// Esc in a field stays in the field: it never reaches the window, where it
// would end the program and lose the game being saved.
bool RecordControls::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        for (QLineEdit* field : texts_)
            if (watched == field) return true;
    return QObject::eventFilter(watched, event);
}

}  // namespace zemtori
