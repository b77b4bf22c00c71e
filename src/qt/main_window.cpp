#include "qt/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QTime>

#include <cmath>
#include <set>

#include "art/picture_names.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/record_controls.h"
#include "qt/rules_window.h"

namespace zemtori {

namespace {

constexpr int TIMER1_MS = 50;
// The longest keep_alive handles events before the game looks again.
constexpr int KEEP_ALIVE_MS = 20;
constexpr int PIXELS_PER_INCH = 96;

QColor palette_colour(int index) {
    const Rgb c = PALETTE[index >= 0 && index < 16 ? index : 0];
    return QColor(c.r, c.g, c.b);
}

QString qstr(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A caption as the menu shows it literally: '&' would otherwise mark a
// keyboard accelerator.
QString menu_text(const std::string& caption) {
    QString text = qstr(caption);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return text;
}

}  // namespace

MainWindow::MainWindow(const std::vector<MenuEntry>& menu, QWidget* parent, qreal device_pixel_ratio)
    : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Zemtori"));
    canvas_ = new Canvas(device_pixel_ratio > 0 ? device_pixel_ratio : qApp->devicePixelRatio(), this);
    canvas_->on_mouse_down = [this](int button, double x, double y) {
        if (busy_) return;
        if (events.mouse_down) events.mouse_down(button, x, y);
    };
    // A piece is dragged only while the game waits for the player.
    canvas_->drag_piece = [this](double x, double y) -> std::optional<int> {
        if (busy_ || ended_ || !events.drag_piece) return std::nullopt;
        return events.drag_piece(x, y);
    };
    canvas_->drag_landing = [this](double x, double y) -> std::optional<QPoint> {
        if (busy_ || ended_ || !events.drag_landing) return std::nullopt;
        return events.drag_landing(x, y);
    };
    canvas_->drag_drop = [this](int button, double x, double y) {
        if (busy_ || ended_ || !events.drag_drop) return;
        events.drag_drop(button, x, y);
    };
    canvas_->pictures = &pictures_;
    // The record-file controls grow with the picture.
    canvas_->on_scale = [this] {
        if (records_) records_->set_scale(canvas_->view_scale());
    };
    setCentralWidget(canvas_);
    setFocusPolicy(Qt::StrongFocus);

    build_menus(menu);
    // An Esc that reaches the menu bar is the menus' (see eventFilter).
    menuBar()->installEventFilter(this);

    timer1_.setInterval(TIMER1_MS);
    connect(&timer1_, &QTimer::timeout, this, [this] {
        if (busy_) return;
        if (events.timer_tick) events.timer_tick();
    });

    end_hook = [] { QCoreApplication::exit(0); };
    resize(WINDOW_WIDTH / TWIPS_PER_PIXEL, WINDOW_HEIGHT / TWIPS_PER_PIXEL);
}

MainWindow::~MainWindow() = default;

// Menus are built in table order, so a parent always exists before its items.
// An entry that other entries name as their parent becomes a menu; the others
// become actions, which the game may give a check mark.
void MainWindow::build_menus(const std::vector<MenuEntry>& menu) {
    std::set<std::string> parents;
    for (const MenuEntry& item : menu)
        if (item.parent) parents.insert(item.parent);

    for (const MenuEntry& item : menu) {
        const std::string name = item.name;
        QMenu* owner = nullptr;
        if (item.parent) {
            const auto it = menus_.find(item.parent);
            if (it == menus_.end()) continue;  // a parent listed after its items
            owner = it->second;
        }
        if (parents.count(name)) {
            QMenu* m = owner ? owner->addMenu(menu_text(item.caption))
                             : menuBar()->addMenu(menu_text(item.caption));
            menus_[name] = m;
            actions_[name] = m->menuAction();
            // Opening a menu is a command of its own to the game.
            connect(m, &QMenu::aboutToShow, this, [this, name] { send_menu(name); });
        } else {
            QAction* a = owner ? owner->addAction(menu_text(item.caption))
                               : menuBar()->addAction(menu_text(item.caption));
            // An item is checkable only while it carries the mark, so that
            // unmarked items show no empty box, as players know from menus.
            actions_[name] = a;
            // Its key does what opening its menu and choosing it does.
            if (item.shortcut) {
                a->setShortcut(QKeySequence::fromString(QString::fromLatin1(item.shortcut), QKeySequence::PortableText));
                if (item.parent) shortcut_menus_[a] = item.parent;
                a->installEventFilter(this);
            }
            connect(a, &QAction::triggered, this, [this, a, name](bool now_checked) {
                // Qt flips a checkable item's mark before telling us; the
                // mark belongs to the game, so put it back first.
                if (a->isCheckable()) a->setChecked(!now_checked);
                send_menu(name);
            });
        }
    }
}

void MainWindow::send_menu(const std::string& item) {
    if (busy_) return;
    if (events.menu) events.menu(item);
}

// A menu item's key reaches the game as the mouse does: first the opening of
// the item's menu, then the item.  A disabled item's key does nothing.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The menu bar passes on to this window an Esc it does not use itself
    // (holding the focus with no title lit); that Esc was pressed in the
    // menus, so it only gives the focus back to the board.
    if (watched == menuBar() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !menuBar()->activeAction()) {
        event->accept();
        setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (event->type() == QEvent::Shortcut) {
        const auto it = shortcut_menus_.find(qobject_cast<QAction*>(watched));
        if (it != shortcut_menus_.end() && it->first->isEnabled()) send_menu(it->second);
    }
    return QMainWindow::eventFilter(watched, event);
}

PictureProblem MainWindow::load_pictures(const QString& folder) {
    return pictures_.load(folder, canvas_->image().devicePixelRatio());
}

void MainWindow::place_on_screen() {
    fit_outer_size();
    // Some window managers add their frame a moment after the window is
    // shown; fit once more when its size is known.
    QTimer::singleShot(300, this, [this] {
        fit_outer_size();
        placed_ = true;
    });
}

void MainWindow::fit_outer_size() {
    const QSize outer(WINDOW_WIDTH / TWIPS_PER_PIXEL, WINDOW_HEIGHT / TWIPS_PER_PIXEL);
    const QSize frame = frameGeometry().size() - geometry().size();
    // The canvas's share of the first size is its smallest, and the size
    // the picture is drawn at scale 1.
    const int bar = isVisible() ? height() - canvas_->height() : menuBar()->sizeHint().height();
    canvas_->set_base_size((outer - frame) - QSize(0, bar));
    if (size() != outer - frame) resize(outer - frame);
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QPoint corner = s ? s->geometry().topLeft() : QPoint(0, 0);
    if (pos() != corner) move(corner);
}

const QImage& MainWindow::canvas_image() const { return canvas_->image(); }

QAction* MainWindow::action(const std::string& item) const {
    const auto it = actions_.find(item);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::submenu(const std::string& item) const {
    const auto it = menus_.find(item);
    return it == menus_.end() ? nullptr : it->second;
}

RecordControls* MainWindow::record_controls() const {
    if (!records_) {
        records_ = new RecordControls(
            canvas_,
            [this](RecordControl control) {
                if (busy_) return;
                if (events.record_control_used) events.record_control_used(control);
            },
            canvas_->view_scale());
    }
    return records_;
}

bool MainWindow::record_control_visible(RecordControl control) const {
    return records_ && records_->visible(control);
}

// --- painting -------------------------------------------------------------

void MainWindow::paint_picture(int code, double x, double y) {
    const QImage* picture = pictures_.find(code);
    if (!picture) return;
    // Drawn with its alpha: the title's transparent rows leave what lies
    // under them; every other picture is opaque and covers its rectangle.
    const QPoint at(to_pixels(x), to_pixels(y));
    QPainter p(&canvas_->image());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(at, *picture);
    canvas_->scaled().picture(code, at, QSize(picture_width(code), picture_height(code)));
    // What is painted shows when the window next repaints, at the latest
    // when the event that painted it has been handled.
    canvas_->update();
}

// Four one-pixel bars rather than a stroked rectangle: both end points are
// covered exactly, at any device pixel ratio.
void MainWindow::draw_outline(int colour, double x1, double y1, double x2, double y2) {
    int left = to_pixels(x1), top = to_pixels(y1), right = to_pixels(x2), bottom = to_pixels(y2);
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const int w = right - left + 1, h = bottom - top + 1;
    const QColor c = palette_colour(colour);
    QPainter p(&canvas_->image());
    p.fillRect(QRect(left, top, w, 1), c);
    p.fillRect(QRect(left, bottom, w, 1), c);
    p.fillRect(QRect(left, top, 1, h), c);
    p.fillRect(QRect(right, top, 1, h), c);
    canvas_->scaled().outline(colour, QRect(left, top, w, h));
    canvas_->update();
}

void MainWindow::print_text(double x, double y, const std::string& text, int colour, int size_pt, bool bold) {
    QImage& image = canvas_->image();
    QPainter p(&image);
    QFont font(QStringLiteral("IPAPMincho"));
    // Points at 96 dpi, whatever the screen reports.
    const int pixel_size = std::max(1, static_cast<int>(std::lround(size_pt * PIXELS_PER_INCH / 72.0)));
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(palette_colour(colour));
    const QSizeF room = QSizeF(image.size()) / image.devicePixelRatio();
    p.drawText(QRectF(QPointF(to_pixels(x), to_pixels(y)), room), Qt::AlignLeft | Qt::AlignTop,
               qstr(text));
    canvas_->scaled().text(QPoint(to_pixels(x), to_pixels(y)), qstr(text), colour, pixel_size, bold);
    canvas_->update();
}

void MainWindow::refresh() { canvas_->repaint(); }

// --- questions ------------------------------------------------------------

MsgAnswer MainWindow::message_box(const std::string& text, const std::string& title, MsgIcon icon,
                                  MsgButtons buttons) {
    QMessageBox box(this);
    // The game ends lines with a carriage return; a label breaks only at '\n'.
    QString shown = qstr(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    box.setWindowTitle(qstr(title));
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    use_shared_icons(box, icon);
    const int answer = box.exec();
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    return answer == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

// The style makes a new icon for every box it is asked for (the warning sign,
// and on desktops whose theme puts icons on dialog buttons, one per button).
// A painted icon leaves its pixmaps in the application's pixmap cache under a
// key of that icon's own, which no later box asks for again: the cache kept
// about 2 KB for every box shown, up to its limit of several megabytes.  The
// window keeps the first icon of each kind and every box shows that one, so
// the cache holds one set of entries however many boxes are shown.
void MainWindow::use_shared_icons(QMessageBox& box, MsgIcon icon) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->icon().isNull()) continue;  // the style puts no icons on buttons
        const auto [it, made] = box_button_icons_.try_emplace(box.standardButton(button), button->icon());
        if (!made) button->setIcon(it->second);
    }
    if (icon != MsgIcon::Exclamation) return;
    const qreal dpr = box.devicePixelRatio();
    if (box_warning_.isNull() || box_warning_.devicePixelRatio() != dpr) {
        const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        box_warning_ = box.style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, &box).pixmap(QSize(side, side), dpr);
    }
    box.setIconPixmap(box_warning_);
}

bool MainWindow::menu_checked(const std::string& item) const {
    const QAction* a = action(item);
    return a && a->isChecked();
}

void MainWindow::set_menu_checked(const std::string& item, bool checked) {
    QAction* a = action(item);
    if (!a) return;
    if (checked) a->setCheckable(true);
    a->setChecked(checked);
    if (!checked) a->setCheckable(false);
}

void MainWindow::set_menu_enabled(const std::string& item, bool enabled) {
    if (QAction* a = action(item)) a->setEnabled(enabled);
}

void MainWindow::set_menu_caption(const std::string& item, const std::string& caption) {
    if (QAction* a = action(item)) a->setText(menu_text(caption));
}

// --- time -----------------------------------------------------------------

void MainWindow::set_timer1(bool enabled) {
    if (enabled && !timer1_.isActive()) timer1_.start();
    if (!enabled) timer1_.stop();
}

bool MainWindow::timer1_enabled() const { return timer1_.isActive(); }

double MainWindow::time_of_day() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

// Lets time pass without handling events: input waits in the queue.
void MainWindow::sleep(double seconds) {
    if (!(seconds > 0)) return;
    QThread::usleep(static_cast<unsigned long>(std::llround(seconds * 1e6)));
}

// Handles what is waiting (painting, a close request, Esc) and returns; what
// would start a command of the game is dropped, not kept for later.  The game
// calls it while the searching player thinks and between the slices of its
// pauses and falling steps.
void MainWindow::keep_alive() {
    busy_ = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents, KEEP_ALIVE_MS);
    busy_ = false;
}

// --- the rest -------------------------------------------------------------

// Until the controls are made every one of them is hidden and every field
// empty, so hiding them or emptying a field needs no controls.
void MainWindow::show_record_control(RecordControl control, bool visible) {
    if (!visible && !records_) return;
    record_controls()->show(control, visible);
}

std::string MainWindow::record_text(RecordText field) const {
    return records_ ? records_->text(field) : std::string();
}

void MainWindow::set_record_text(RecordText field, const std::string& text) {
    if (text.empty() && !records_) return;
    record_controls()->set_text(field, text);
}

std::string MainWindow::record_selection(RecordControl list) const { return record_controls()->selection(list); }

std::string MainWindow::record_folder() const { return record_controls()->folder(); }

bool MainWindow::set_record_folder(RecordControl list, const std::string& folder) {
    return record_controls()->set_folder(list, folder);
}

void MainWindow::end_program() {
    ended_ = true;
    if (end_hook) end_hook();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        // After a menu closed with Esc the menu bar stays lit, waiting for
        // the keys, and the next Esc leaves it.  Where the window system
        // hands that Esc to this window instead, it is still the menu
        // bar's: it goes there, and the program goes on.
        if (menuBar()->activeAction()) {
            QKeyEvent leave(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(menuBar(), &leave);
            return;
        }
        if (events.key_press) events.key_press(ESC_KEY);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// The rules window is made once and shown again as it was left; it closes
// with this window.
void MainWindow::show_rules() {
    if (rules_ == nullptr) rules_ = new RulesWindow(pictures_, this);
    rules_->show();
    rules_->raise();
    rules_->activateWindow();
}

void MainWindow::close_from_outside() {
    if (ended_) return;
    if (events.ended_from_outside) events.ended_from_outside();
    else if (events.closing) events.closing();
    if (!ended_) end_program();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!ended_ && events.closing) events.closing();
    event->accept();
}

}  // namespace zemtori
